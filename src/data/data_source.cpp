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
    if (!isLocalAlias(text) && QFileInfo(QDir(text).filePath(QStringLiteral("svsystem.db"))).isFile()) {
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

namespace {

struct KnownDriver {
    const char *name;
    OdbcDriverKind kind;
};

const KnownDriver knownDrivers[] = {
    {"ODBC Driver 18 for SQL Server", OdbcDriverKind::Microsoft18},
    {"ODBC Driver 17 for SQL Server", OdbcDriverKind::Microsoft},
    {"FreeTDS", OdbcDriverKind::FreeTds},
    {"SQL Server Native Client 11.0", OdbcDriverKind::Microsoft},
    {"SQL Server", OdbcDriverKind::WindowsLegacy},
};

}  // namespace

OdbcDriverKind odbcDriverKind(const QString &driver)
{
    for (const KnownDriver &d : knownDrivers)
        if (driver.compare(QLatin1String(d.name), Qt::CaseInsensitive) == 0)
            return d.kind;
    return OdbcDriverKind::Other;
}

QString odbcConnectionString(const QString &driver, const DataTarget &t, const QString &catalog,
                             const QString &user, const QString &password, bool validateCertificate)
{
    const OdbcDriverKind kind = odbcDriverKind(driver);
    const bool freeTds = kind == OdbcDriverKind::FreeTds;
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
        // Without a protocol version FreeTDS falls back to an old login (an
        // older server answers 7.4 with its own version, which FreeTDS
        // takes); the client charset keeps Chinese names and values intact.
        s += QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;");
    } else {
        // Microsoft's drivers read "(local)", "host\INSTANCE" and "host,port" themselves.
        const QString server = t.serverText.isEmpty() ? QStringLiteral("(local)") : t.serverText;
        s += QStringLiteral("SERVER=") + quoted(server) + QLatin1Char(';');
        // The client the users had never checked a certificate, and servers
        // that force encryption carry self-signed ones.
        if (validateCertificate && kind != OdbcDriverKind::WindowsLegacy)
            s += QStringLiteral("Encrypt=Yes;TrustServerCertificate=No;");
        else if (kind == OdbcDriverKind::Microsoft18)
            s += QStringLiteral("Encrypt=Optional;TrustServerCertificate=Yes;");
        else if (kind == OdbcDriverKind::Microsoft)
            s += QStringLiteral("TrustServerCertificate=Yes;");
    }
    // FreeTDS keeps the braces of a braced value that ends the string, so
    // every attribute, the last included, is closed by ";".
    s += QStringLiteral("DATABASE=") + quoted(catalog) + QLatin1Char(';');
    s += QStringLiteral("UID=") + quoted(user) + QLatin1Char(';');
    s += QStringLiteral("PWD=") + quoted(password) + QLatin1Char(';');
    return s;
}

QStringList sqlServerDriverOrder(const QStringList &installed, const QString &chosen)
{
    if (!chosen.trimmed().isEmpty())
        return {chosen.trimmed()};
    QStringList order;
    for (const KnownDriver &known : knownDrivers) {
#ifndef Q_OS_WIN
        if (known.kind == OdbcDriverKind::WindowsLegacy
            || QLatin1String(known.name) == QLatin1String("SQL Server Native Client 11.0"))
            continue;
#endif
        for (const QString &d : installed)
            if (d.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0 && !order.contains(d))
                order << d;
    }
    return order;
}

bool anotherDriverMayHelp(const QVector<OdbcDiagnostic> &records)
{
    static const char *const otherDriverReasons[] = {
        "ssl", "tls", "certificate", "encrypt", "handshake", "protocol", "tds version",
        "not supported", "unsupported", "can't open lib", "file not found", "could not be loaded",
    };
    for (const OdbcDiagnostic &d : records) {
        // The server's own refusals: any driver would meet them.
        if (d.native == 18456 || d.native == 4060 || d.native == 18452 || d.state == QLatin1String("28000"))
            return false;
    }
    for (const OdbcDiagnostic &d : records) {
        if (d.state.startsWith(QLatin1String("IM")) || d.state == QLatin1String("HYC00"))
            return true;
        for (const char *reason : otherDriverReasons)
            if (d.message.contains(QLatin1String(reason), Qt::CaseInsensitive))
                return true;
    }
    return false;
}

}  // namespace dd
