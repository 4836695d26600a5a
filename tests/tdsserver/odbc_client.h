#pragma once
// One QODBC connection for tests and benchmarks: opens a connection string,
// runs statements forward-only and reads every result set.
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace tdstest {

struct QueryResult {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
};

struct QueryOutcome {
    bool ok = false;
    QSqlError error;
    QVector<QueryResult> results;  // one per result set
    // The first result set (empty when there is none).
    const QueryResult &first() const;
};

class OdbcClient {
public:
    // connectOptions: as QSqlDatabase::setConnectOptions, e.g. "SQL_ATTR_LOGIN_TIMEOUT=5".
    explicit OdbcClient(const QString &connectionString,
                        const QString &connectOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=10"));
    ~OdbcClient();
    OdbcClient(const OdbcClient &) = delete;
    OdbcClient &operator=(const OdbcClient &) = delete;

    bool open();
    QSqlError lastError() const;
    QueryOutcome query(const QString &statement, bool forwardOnly = true);
    // A prepared statement with positional values.
    QueryOutcome prepared(const QString &statement, const QVariantList &values, bool forwardOnly = true);

private:
    QString name_;
};

// What Qt's ODBC driver sends by itself when a connection opens. Its
// type-information request (SQLGetTypeInfo) reaches the server through
// unixODBC, not through wine's driver manager.
QStringList statementsSentOnOpen();

}  // namespace tdstest
