#pragma once
// A connection to one catalog that runs statements and reads every row: a
// SQL Server database on ODBC handles of its own, or a SQLite file of a
// dictionary folder through Qt SQL.
#include "connection_string.h"
#include "row_store.h"
#include <QString>
#include <memory>

namespace dd {

class OdbcSession;

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
    explicit SqlSession(QString name);
    QString name_;                      // of the Qt SQL connection (SQLite)
    std::unique_ptr<OdbcSession> odbc_; // SQL Server
};

}  // namespace dd
