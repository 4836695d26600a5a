#include "sql_session.h"
#include "background_work.h"
#include "data_source.h"
#include "error.h"
#include "error_text.h"
#include "odbc_session.h"
#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace dd {

namespace {

// Rows of a local file handed to a sink at a time.
constexpr int kRowsPerHandOver = 256;

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("dd-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

// The SQLite source's failures (SQL Server's are read from the driver's
// diagnostic records).
Error errorFrom(const QSqlError &e, const QString &fallback)
{
    bool ok = false;
    long number = e.nativeErrorCode().toLong(&ok);
    if (!ok || number == 0)
        number = errc::ProviderError;
    QString text = clientFailureText(number);
    if (text.isEmpty())
        text = cleanDriverMessage(e.databaseText());
    if (text.isEmpty())
        text = cleanDriverMessage(e.driverText());
    if (text.isEmpty())
        text = fallback;
    return Error(number, text);
}

Error missingDatabase(const QString &catalog)
{
    return Error(errc::DatabaseMissing,
                 QStringLiteral("Cannot open database \"%1\" requested by the login. "
                                "The login failed.")
                     .arg(catalog));
}

// A catalog of a dictionary folder is a plain file name, never a path.
bool isPlainName(const QString &catalog)
{
    return !catalog.isEmpty() && !catalog.contains(QLatin1Char('/'))
           && !catalog.contains(QLatin1Char('\\')) && catalog != QLatin1String(".")
           && catalog != QLatin1String("..") && !catalog.contains(QChar(0));
}

void removeConnection(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

std::unique_ptr<SqlSession> SqlSession::open(const ConnectionString &cs, const QString &user,
                                             const QString &password)
{
    const DataTarget target = resolveDataSource(cs.dataSource());
    const QString name = nextConnectionName();
    std::unique_ptr<SqlSession> session(new SqlSession(name));

    if (target.kind == DataTarget::SqliteFolder) {
        const QString file = target.folder + QLatin1Char('/') + cs.catalog() + QStringLiteral(".db");
        if (!isPlainName(cs.catalog()) || !QFileInfo(file).isFile())
            throw missingDatabase(cs.catalog());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw errorFrom(db.lastError(), QStringLiteral("无法打开数据字典文件。"));
        return session;
    }

    // The drivers in order of preference: when one fails for a reason
    // another may not have, the next is tried. When all fail so, the user
    // reads the first driver's reason; a driver that reached the server and
    // was refused (password, database) ends the search with that refusal.
    const QStringList drivers =
        sqlServerDriverOrder(installedOdbcDrivers(), qEnvironmentVariable("DATADICT_ODBC_DRIVER"));
    if (drivers.isEmpty())
        throw Error(errc::ConnectFailed,
                    QStringLiteral("本机没有安装 SQL Server 的 ODBC 驱动程序。"));
    const bool validate = qEnvironmentVariableIntValue("DATADICT_VALIDATE_CERTIFICATE") == 1;
    QVector<OdbcDiagnostic> firstFailure;
    for (const QString &driver : drivers) {
        QVector<OdbcDiagnostic> failure;
        session->odbc_ = OdbcSession::connect(
            odbcConnectionString(driver, target, cs.catalog(), user, password, validate), &failure);
        if (session->odbc_)
            return session;
        if (!anotherDriverMayHelp(failure))
            throw odbcError(failure, QStringLiteral("无法连接到服务器。"));
        if (firstFailure.isEmpty())
            firstFailure = failure;
    }
    throw odbcError(firstFailure, QStringLiteral("无法连接到服务器。"));
}

SqlSession::SqlSession(QString name) : name_(std::move(name)) {}

SqlSession::~SqlSession() { removeConnection(name_); }

RowStore SqlSession::run(const QString &statement, const RowSink &sink)
{
    const CancelToken *token = CancelToken::current();
    if (token)
        token->throwIfCancelled();
    if (odbc_)
        return odbc_->run(statement, sink);
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(statement))
        throw errorFrom(query.lastError(), QStringLiteral("语句执行失败。"));
    RowStore rows;
    const QSqlRecord record = query.record();
    const int columns = record.count();
    for (int i = 0; i < columns; ++i)
        rows.columns << record.fieldName(i);
    if (columns > 0) {
        while (query.next()) {
            for (int i = 0; i < columns; ++i)
                rows.cells.append(query.value(i));
            if (token && rows.rowCount() % kRowsPerHandOver == 0)
                token->throwIfCancelled();
            if (!handOver(rows, sink, kRowsPerHandOver))
                throw readStopped();
        }
        if (!handOver(rows, sink, 1))
            throw readStopped();
    }
    if (query.lastError().type() != QSqlError::NoError)
        throw errorFrom(query.lastError(), QStringLiteral("读取结果失败。"));
    return rows;
}

}  // namespace dd
