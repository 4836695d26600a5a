#include "odbc_client.h"
#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tdstest {

namespace {
QString nextName()
{
    static QAtomicInt counter;
    return QStringLiteral("tdstest-odbc-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

QueryOutcome readAll(QSqlQuery &q, bool executed)
{
    QueryOutcome out;
    if (!executed) {
        out.error = q.lastError();
        return out;
    }
    do {
        QueryResult r;
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i)
            r.columns << record.fieldName(i);
        while (q.next()) {
            QVector<QVariant> row(record.count());
            for (int i = 0; i < record.count(); ++i)
                row[i] = q.value(i);
            r.rows << row;
        }
        if (q.lastError().isValid()) {
            out.error = q.lastError();
            return out;
        }
        if (!r.columns.isEmpty())
            out.results << r;
    } while (q.nextResult());
    // A later statement of the batch may have failed.
    if (q.lastError().isValid()) {
        out.error = q.lastError();
        return out;
    }
    out.ok = true;
    return out;
}
}  // namespace

const QueryResult &QueryOutcome::first() const
{
    static const QueryResult empty;
    return results.isEmpty() ? empty : results.first();
}

OdbcClient::OdbcClient(const QString &connectionString, const QString &connectOptions) : name_(nextName())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name_);
    db.setDatabaseName(connectionString);
    db.setConnectOptions(connectOptions);
}

OdbcClient::~OdbcClient()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

bool OdbcClient::open() { return QSqlDatabase::database(name_, false).open(); }

QSqlError OdbcClient::lastError() const { return QSqlDatabase::database(name_, false).lastError(); }

QueryOutcome OdbcClient::query(const QString &statement, bool forwardOnly)
{
    QSqlQuery q(QSqlDatabase::database(name_, false));
    q.setForwardOnly(forwardOnly);
    const bool ok = q.exec(statement);
    return readAll(q, ok);
}

QueryOutcome OdbcClient::prepared(const QString &statement, const QVariantList &values, bool forwardOnly)
{
    QSqlQuery q(QSqlDatabase::database(name_, false));
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(statement))
        return readAll(q, false);
    for (const QVariant &v : values)
        q.addBindValue(v);
    const bool ok = q.exec();
    return readAll(q, ok);
}

QStringList statementsSentOnOpen()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("SET QUOTED_IDENTIFIER ON")};
#else
    return {QStringLiteral("sp_datatype_info_100 11"), QStringLiteral("SET QUOTED_IDENTIFIER ON")};
#endif
}

}  // namespace tdstest
