#include "odbc_session.h"
#include "background_work.h"
#include "odbc_api.h"
#include "odbc_fetch.h"
#include <vector>

namespace dd {

namespace {

// Frees a statement handle however the statement ends; while it runs, the
// cancel token of the calling thread's work can cancel it from another
// thread.
struct StatementHandle {
    SQLHSTMT handle = SQL_NULL_HSTMT;
    CancelToken *token = nullptr;

    void cancellableBy(CancelToken *t)
    {
        if (!t)
            return;
        const SQLHSTMT h = handle;
        if (!t->setCanceller([h] { SQLCancel(h); }))
            throw readStopped();
        token = t;
    }
    ~StatementHandle()
    {
        if (token)
            token->clearCanceller();
        if (handle != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
};

SQLPOINTER integerAttribute(SQLULEN value) { return reinterpret_cast<SQLPOINTER>(value); }

QStringList columnNames(SQLHSTMT statement, SQLSMALLINT columns)
{
    QStringList names;
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
        std::vector<SQLWCHAR> name(256);
        SQLSMALLINT length = 0;
        SQLRETURN r = SQLColAttributeW(statement, c, SQL_DESC_LABEL, name.data(),
                                       SQLSMALLINT(name.size() * sizeof(SQLWCHAR)), &length, nullptr);
        if (SQL_SUCCEEDED(r) && size_t(length) / sizeof(SQLWCHAR) >= name.size()) {
            name.resize(size_t(length) / sizeof(SQLWCHAR) + 1);
            r = SQLColAttributeW(statement, c, SQL_DESC_LABEL, name.data(),
                                 SQLSMALLINT(name.size() * sizeof(SQLWCHAR)), &length, nullptr);
        }
        if (!SQL_SUCCEEDED(r))
            throw odbcError(readOdbcDiagnostics(SQL_HANDLE_STMT, statement), QStringLiteral("读取结果失败。"));
        names << fromOdbcText(name.data(), qMin<qsizetype>(length / qsizetype(sizeof(SQLWCHAR)),
                                                            qsizetype(name.size()) - 1));
    }
    return names;
}

}  // namespace

std::unique_ptr<OdbcSession> OdbcSession::connect(const QString &connectionString,
                                                  QVector<OdbcDiagnostic> *failure)
{
    std::unique_ptr<OdbcSession> session(new OdbcSession);
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
        *failure = {{QStringLiteral("HY001"), 0, QStringLiteral("ODBC 环境无法建立。")}};
        return nullptr;
    }
    session->environment_ = env;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, integerAttribute(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        *failure = readOdbcDiagnostics(SQL_HANDLE_ENV, env);
        return nullptr;
    }
    session->connection_ = dbc;
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, integerAttribute(LoginTimeoutSeconds), 0);
    SQLSetConnectAttr(dbc, SQL_ATTR_ACCESS_MODE, integerAttribute(SQL_MODE_READ_ONLY), 0);
    const SQLRETURN r = SQLDriverConnectW(dbc, nullptr, toOdbcText(connectionString),
                                          SQLSMALLINT(connectionString.size()), nullptr, 0, nullptr,
                                          SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(r)) {
        *failure = readOdbcDiagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        session->connection_ = nullptr;
        return nullptr;
    }
    return session;
}

OdbcSession::~OdbcSession()
{
    if (connection_) {
        SQLDisconnect(connection_);
        SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    }
    if (environment_)
        SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

RowStore OdbcSession::run(const QString &statementText, const RowSink &sink)
{
    StatementHandle statement;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement.handle)))
        throw odbcError(readOdbcDiagnostics(SQL_HANDLE_DBC, connection_), QStringLiteral("语句执行失败。"));
    // Whatever the driver: a statement the server never answers ends.
    SQLSetStmtAttr(statement.handle, SQL_ATTR_QUERY_TIMEOUT, integerAttribute(QueryTimeoutSeconds), 0);
    statement.cancellableBy(CancelToken::current());
    const SQLRETURN r =
        SQLExecDirectW(statement.handle, toOdbcText(statementText), SQLINTEGER(statementText.size()));
    if (!SQL_SUCCEEDED(r) && r != SQL_NO_DATA)
        throw odbcError(readOdbcDiagnostics(SQL_HANDLE_STMT, statement.handle), QStringLiteral("语句执行失败。"));
    RowStore rows;
    SQLSMALLINT columns = 0;
    if (r != SQL_NO_DATA && !SQL_SUCCEEDED(SQLNumResultCols(statement.handle, &columns)))
        throw odbcError(readOdbcDiagnostics(SQL_HANDLE_STMT, statement.handle), QStringLiteral("读取结果失败。"));
    if (columns <= 0)
        return rows;
    rows.columns = columnNames(statement.handle, columns);
    fetchOdbcRows(statement.handle, rows, sink);
    return rows;
}

}  // namespace dd
