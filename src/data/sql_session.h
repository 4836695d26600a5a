#pragma once
// The one place that talks to Qt SQL: a named database connection that runs
// statements forward-only and reads every row.
#include "connection_string.h"
#include "row_store.h"
#include <QString>
#include <memory>

namespace dd {

class SqlSession {
public:
    // Throws Error when the catalog cannot be reached.
    static std::unique_ptr<SqlSession> open(const ConnectionString &target, const QString &user,
                                            const QString &password);
    ~SqlSession();
    SqlSession(const SqlSession &) = delete;
    SqlSession &operator=(const SqlSession &) = delete;

    // With a sink, the rows go to it a block at a time and the store that
    // is returned holds only the column names.
    RowStore run(const QString &statement, const RowSink &sink = {});

private:
    explicit SqlSession(QString name) : name_(std::move(name)) {}
    QString name_;
    bool isOdbc_ = false;
};

}  // namespace dd
