#include "data_source.h"
#include "error.h"
#include <QDir>
#include <QFileInfo>

namespace dd {

namespace {

bool isLocalAlias(const QString &host)
{
    return host.isEmpty() || host == QLatin1String(".")
           || host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0
           || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

}  // namespace

DataTarget resolveDataSource(const QString &dataSource)
{
    DataTarget t;
    const QString text = dataSource.trimmed();
    if (!isLocalAlias(text) && QFileInfo(text).isDir()) {
        t.kind = DataTarget::SqliteFolder;
        t.folder = QDir(text).absolutePath();
        return t;
    }
    t.kind = DataTarget::SqlServer;
    t.serverText = text;
    QString host = text;
    const int comma = host.lastIndexOf(QLatin1Char(','));
    if (comma >= 0) {
        bool ok = false;
        const QString portText = host.mid(comma + 1).trimmed();
        const int port = portText.toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            throw Error(errc::ConnectFailed,
                        QStringLiteral("服务器名称中的端口无效：%1").arg(portText));
        t.port = port;
        host = host.left(comma).trimmed();
    }
    const int slash = host.indexOf(QLatin1Char('\\'));
    if (slash >= 0) {
        t.instance = host.mid(slash + 1).trimmed();
        host = host.left(slash).trimmed();
    }
    t.host = isLocalAlias(host) ? QStringLiteral("127.0.0.1") : host;
    return t;
}

QString odbcValue(const QString &value)
{
    QString inner = value;
    inner.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + inner + QLatin1Char('}');
}

QString freeTdsValue(const QString &value)
{
    if (value.contains(QLatin1String("};")))
        throw Error(errc::BadArgument,
                    QStringLiteral("当前的 ODBC 驱动程序无法传递含有“};”的登录信息，请改用其他驱动程序。"));
    return QLatin1Char('{') + value + QLatin1Char('}');
}

bool isFreeTdsDriver(const QString &driver)
{
    return driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive);
}

QString odbcConnectionString(const QString &driver, const DataTarget &t, const QString &catalog,
                             const QString &user, const QString &password)
{
    const bool freeTds = isFreeTdsDriver(driver);
    const auto quoted = [freeTds](const QString &v) { return freeTds ? freeTdsValue(v) : odbcValue(v); };
    QString s = QStringLiteral("DRIVER=") + odbcValue(driver) + QLatin1Char(';');
    if (freeTds) {
        QString server = t.host;
        if (!t.instance.isEmpty())
            server += QLatin1Char('\\') + t.instance;
        s += QStringLiteral("SERVER=") + quoted(server) + QLatin1Char(';');
        if (t.port > 0)
            s += QStringLiteral("PORT=%1;").arg(t.port);
        else if (t.instance.isEmpty())
            s += QStringLiteral("PORT=1433;");
        // Without a protocol version FreeTDS falls back to an old login; the
        // client charset keeps Chinese names and values intact. FreeTDS
        // takes its statement time-out only from here; after it runs out,
        // it waits as long again for the server to confirm the cancel, so
        // a silent server is reported within 30 seconds.
        s += QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;Timeout=15;");
    } else {
        // Microsoft's drivers read "(local)", "host\INSTANCE" and "host,port" themselves.
        const QString server = t.serverText.isEmpty() ? QStringLiteral("(local)") : t.serverText;
        s += QStringLiteral("SERVER=") + quoted(server) + QLatin1Char(';');
        if (driver.contains(QLatin1String("18")))
            s += QStringLiteral("Encrypt=Optional;");
    }
    // FreeTDS keeps the braces of a braced value that ends the string, so
    // every attribute, the last included, is closed by ";".
    s += QStringLiteral("DATABASE=") + quoted(catalog) + QLatin1Char(';');
    s += QStringLiteral("UID=") + quoted(user) + QLatin1Char(';');
    s += QStringLiteral("PWD=") + quoted(password) + QLatin1Char(';');
    return s;
}

QString chooseSqlServerDriver(const QStringList &installed)
{
    static const char *const preferred[] = {
        "ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "FreeTDS",
#ifdef Q_OS_WIN
        "SQL Server Native Client 11.0", "SQL Server",
#endif
    };
    for (const char *name : preferred) {
        for (const QString &d : installed)
            if (d.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return d;
    }
    for (const QString &d : installed)
        if (isFreeTdsDriver(d) || d.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive))
            return d;
    return QString();
}

}  // namespace dd
