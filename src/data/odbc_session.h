#pragma once
// A connection to SQL Server through ODBC, on handles this class owns: one
// environment and one connection handle for its lifetime, one statement
// handle per statement. Every failure is read from the driver's diagnostic
// records and thrown as one Error.
#include "odbc_diagnostics.h"
#include "row_store.h"
#include <QString>
#include <memory>

namespace dd {

class OdbcSession {
public:
    // The statement time-out every statement is given, and the login's.
    static constexpr int QueryTimeoutSeconds = 30;
    static constexpr int LoginTimeoutSeconds = 15;

    // Connects with a DSN-less connection string; null, with the driver's
    // records in *failure, when it cannot.
    static std::unique_ptr<OdbcSession> connect(const QString &connectionString,
                                                QVector<OdbcDiagnostic> *failure);
    ~OdbcSession();
    OdbcSession(const OdbcSession &) = delete;
    OdbcSession &operator=(const OdbcSession &) = delete;

    // Runs a statement and reads all of its rows, every cell as text (a
    // NULL as a null QVariant); with a sink, hands them over a block at a
    // time (see SqlSession::run). Throws Error.
    RowStore run(const QString &statement, const RowSink &sink = {});

private:
    OdbcSession() = default;
    void *environment_ = nullptr;
    void *connection_ = nullptr;
};

}  // namespace dd
