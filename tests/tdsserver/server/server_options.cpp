#include "server_options.h"
#include <QFile>

namespace tds {

QString serverUsage()
{
    return QStringLiteral(
        "usage: tdsserver --folder DIR (--password TEXT | --password-file FILE) [options]\n"
        "Serves the SQLite files of DIR (catalog X is X.db) over TDS 7.x to user sa.\n"
        "  --password-file FILE the password: the file's text, less one final newline\n"
        "  --listen ADDR        address to listen on (127.0.0.1; ::1 is added for it)\n"
        "  --port N             port (0: a free one; it is printed and written to --port-file)\n"
        "  --port-file FILE     write the port here once listening\n"
        "  --pid-file FILE      write the process id here\n"
        "  --log FILE           statement log, one line per request (appended)\n"
        "  --trace FILE         packet trace, '-' for standard error\n"
        "  --refuse-logins      every login fails with 18456\n"
        "  --delay-ms N         delay every answer by N ms\n"
        "  --drop-after N       drop a session's connection when it sends statement N+1\n"
        "  --close-on-accept    close every connection right after accepting it\n"
        "  --hang-after-login   log in, then never answer a statement\n"
        "  --hang-after N       answer a session's first N statements, then never again\n"
        "  --fit-text-widths    declare text columns as wide as their longest value\n"
        "  --refuse-row-counts  deny the row counts of the server's catalog\n"
        "  --text-type T        character columns as nvarchar (default), varchar (code page\n"
        "                       936, Chinese_PRC_CI_AS) or mixed (names varchar)\n"
        "  --tds-version V      answer logins as 7.1 (SQL Server 2000), 7.2 (2005),\n"
        "                       7.3 (2008 R2) or 7.4 (2012 and later; default)\n"
        "  --browser-instance N answer the SQL Server Browser's UDP request for instance N\n"
        "  --browser-port N     the Browser's UDP port (1434)\n"
        "  --max-seconds N      exit after N seconds (default 900; 0: never)\n"
        "  --idle-seconds N     exit after N seconds without any connection\n"
        "  --parent-pid PID     exit when process PID is gone\n");
}

bool parseServerOptions(const QStringList &args, ServerOptions *o, QString *error)
{
    bool havePassword = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString *out) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(a);
                return false;
            }
            *out = args.at(++i);
            return true;
        };
        auto number = [&](qint64 *out, qint64 min) {
            QString text;
            if (!value(&text))
                return false;
            bool ok = false;
            *out = text.toLongLong(&ok);
            if (!ok || *out < min) {
                *error = QStringLiteral("%1 needs a number of at least %2, not '%3'").arg(a).arg(min).arg(text);
                return false;
            }
            return true;
        };
        qint64 n = 0;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            *error = serverUsage();
            return false;
        } else if (a == QLatin1String("--folder")) {
            if (!value(&o->folder)) return false;
        } else if (a == QLatin1String("--password")) {
            if (!value(&o->password)) return false;
            havePassword = true;
        } else if (a == QLatin1String("--password-file")) {
            QString path;
            if (!value(&path)) return false;
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                *error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
                return false;
            }
            QByteArray bytes = f.readAll();
            if (bytes.endsWith('\n'))
                bytes.chop(1);
            o->password = QString::fromUtf8(bytes);
            havePassword = true;
        } else if (a == QLatin1String("--listen")) {
            if (!value(&o->listen)) return false;
        } else if (a == QLatin1String("--port")) {
            if (!number(&n, 0)) return false;
            o->port = int(n);
        } else if (a == QLatin1String("--port-file")) {
            if (!value(&o->portFile)) return false;
        } else if (a == QLatin1String("--pid-file")) {
            if (!value(&o->pidFile)) return false;
        } else if (a == QLatin1String("--log")) {
            if (!value(&o->logFile)) return false;
        } else if (a == QLatin1String("--trace")) {
            if (!value(&o->traceFile)) return false;
        } else if (a == QLatin1String("--refuse-logins")) {
            o->refuseLogins = true;
        } else if (a == QLatin1String("--delay-ms")) {
            if (!number(&n, 0)) return false;
            o->delayMs = int(n);
        } else if (a == QLatin1String("--drop-after")) {
            if (!number(&n, 0)) return false;
            o->dropAfter = int(n);
        } else if (a == QLatin1String("--close-on-accept")) {
            o->closeOnAccept = true;
        } else if (a == QLatin1String("--hang-after")) {
            if (!number(&n, 0)) return false;
            o->hangAfter = int(n);
        } else if (a == QLatin1String("--hang-after-login")) {
            o->hangAfterLogin = true;
        } else if (a == QLatin1String("--fit-text-widths")) {
            o->fitTextWidths = true;
        } else if (a == QLatin1String("--refuse-row-counts")) {
            o->refuseRowCounts = true;
        } else if (a == QLatin1String("--text-type")) {
            QString text;
            if (!value(&text)) return false;
            if (!parseTextType(text, &o->textType)) {
                *error = QStringLiteral("--text-type is nvarchar, varchar or mixed, not '%1'").arg(text);
                return false;
            }
        } else if (a == QLatin1String("--tds-version")) {
            QString text;
            if (!value(&text)) return false;
            o->release = identity::releaseFor(text);
            if (!o->release) {
                *error = QStringLiteral("--tds-version is 7.1, 7.2, 7.3 or 7.4, not '%1'").arg(text);
                return false;
            }
        } else if (a == QLatin1String("--browser-instance")) {
            if (!value(&o->browserInstance)) return false;
        } else if (a == QLatin1String("--browser-port")) {
            if (!number(&n, 1)) return false;
            o->browserPort = int(n);
        } else if (a == QLatin1String("--max-seconds")) {
            if (!number(&n, 0)) return false;
            o->maxSeconds = int(n);
        } else if (a == QLatin1String("--idle-seconds")) {
            if (!number(&n, 0)) return false;
            o->idleSeconds = int(n);
        } else if (a == QLatin1String("--parent-pid")) {
            if (!number(&n, 1)) return false;
            o->parentPid = n;
        } else {
            *error = QStringLiteral("unknown option '%1'\n%2").arg(a, serverUsage());
            return false;
        }
    }
    if (o->folder.isEmpty() || !havePassword) {
        *error = QStringLiteral("--folder and --password are required\n%1").arg(serverUsage());
        return false;
    }
    if (o->port > 65535) {
        *error = QStringLiteral("--port %1 is no port").arg(o->port);
        return false;
    }
    return true;
}

}  // namespace tds
