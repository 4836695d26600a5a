#include "sql_session.h"
#include "data_source.h"
#include "error.h"
#include "error_text.h"
#include "odbc_fetch.h"
#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace dd {

namespace {

// Two statement time-outs (the statement, then the wait for its cancel),
// less a margin.
constexpr qint64 kSilentServerMs = 29000;

// Rows of a local file handed to a sink at a time.
constexpr int kRowsPerHandOver = 256;

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("dd-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

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

    const QString driver = chooseSqlServerDriver(installedOdbcDrivers());
    if (driver.isEmpty())
        throw Error(errc::ConnectFailed,
                    QStringLiteral("本机没有安装 SQL Server 的 ODBC 驱动程序。"));
    session->isOdbc_ = true;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    // The password travels inside the connection string, quoted; the
    // database object's own user and password fields are appended unquoted
    // by the driver plugin, so they stay empty.
    db.setDatabaseName(odbcConnectionString(driver, target, cs.catalog(), user, password));
    // Login and query time-outs keep a server that accepts and never answers
    // from freezing the window for good.
    db.setConnectOptions(QStringLiteral(
        "SQL_ATTR_LOGIN_TIMEOUT=15;SQL_ATTR_CONNECTION_TIMEOUT=30;SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY"));
    QElapsedTimer opening;
    opening.start();
    if (!db.open())
        throw errorFrom(db.lastError(), QStringLiteral("无法连接到服务器。"));
    // The driver plugin runs a statement of its own after the login and
    // ignores its failure. A login alone is over within its time-out, so an
    // open that lasted as long as that statement's time-out and its cancel
    // means the server stopped answering once logged in.
    if (opening.elapsed() >= kSilentServerMs)
        throw Error(20003, clientFailureText(20003));
    return session;
}

SqlSession::~SqlSession() { removeConnection(name_); }

RowStore SqlSession::run(const QString &statement, const RowSink &sink)
{
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    QSqlQuery query(db);
    // Forward-only goes out as a plain batch; a scrollable query would be a
    // server cursor with extra round trips.
    query.setForwardOnly(true);
    if (!query.exec(statement))
        throw errorFrom(query.lastError(), QStringLiteral("语句执行失败。"));
    RowStore rows;
    const QSqlRecord record = query.record();
    const int columns = record.count();
    for (int i = 0; i < columns; ++i)
        rows.columns << record.fieldName(i);
    if (columns > 0 && !(isOdbc_ && fetchOdbcRows(query, rows, sink))) {
        while (query.next()) {
            for (int i = 0; i < columns; ++i)
                rows.cells.append(query.value(i));
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
