#include "bench_server.h"
#include "bench_locations.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

namespace {

// A field of a statement-log line: \\ \t \r \n stand for themselves.
QString unescape(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s.at(i) != QLatin1Char('\\') || i + 1 == s.size()) {
            out += s.at(i);
            continue;
        }
        const QChar n = s.at(++i);
        out += n == QLatin1Char('t') ? QChar('\t') : n == QLatin1Char('n') ? QChar('\n')
             : n == QLatin1Char('r') ? QChar('\r') : n;
    }
    return out;
}

QString logPath(const QTemporaryDir &dir) { return dir.filePath(QStringLiteral("statements.log")); }

}  // namespace

TdsServer::TdsServer(QString folder, QString password)
    : folder_(std::move(folder)), password_(std::move(password))
{
}

TdsServer::~TdsServer() { stop(); }

bool TdsServer::start(QString *error)
{
    const QString portFile = dir_.filePath(QStringLiteral("port"));
    const QStringList args = {
        QStringLiteral("--folder"), folder_,
        QStringLiteral("--password"), password_,
        QStringLiteral("--port"), QStringLiteral("0"),
        QStringLiteral("--port-file"), portFile,
        QStringLiteral("--log"), logPath(dir_),
        QStringLiteral("--max-seconds"), QStringLiteral("1200"),
        QStringLiteral("--parent-pid"), QString::number(QCoreApplication::applicationPid())};
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.start(QStringLiteral(BENCH_TDSSERVER_BINARY), args);
    if (!process_.waitForStarted(10000)) {
        *error = QStringLiteral("cannot start %1: %2").arg(QStringLiteral(BENCH_TDSSERVER_BINARY),
                                                           process_.errorString());
        return false;
    }
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        QFile f(portFile);
        if (f.open(QIODevice::ReadOnly)) {
            const uint port = f.readAll().trimmed().toUInt();
            if (port > 0 && port < 65536) {
                port_ = quint16(port);
                return true;
            }
        }
        if (process_.state() == QProcess::NotRunning) {
            *error = QStringLiteral("the test server exited at start");
            return false;
        }
        QThread::msleep(10);
    }
    *error = QStringLiteral("the test server reported no port within 15 s");
    stop();
    return false;
}

void TdsServer::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QStringList TdsServer::statements(const QString &catalog) const
{
    QStringList out;
    QFile f(logPath(dir_));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        // time, session, catalog, request, procedure, outcome, text
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 7 || fields[3] != QLatin1String("batch"))
            continue;
        if (!catalog.isEmpty() && unescape(fields[2]).compare(catalog, Qt::CaseInsensitive) != 0)
            continue;
        out << unescape(fields[6]).trimmed();
    }
    return out;
}

void TdsServer::clearLog() const
{
    QFile f(logPath(dir_));
    if (f.exists())
        f.resize(0);
}

TsqlTime timeTsql(quint16 port, const QString &password, const QString &catalog,
                  const QStringList &statements)
{
    QByteArray input;
    for (const QString &s : statements)
        input += s.toUtf8() + "\ngo\n";
    input += "exit\n";
    const QStringList args = {QStringLiteral("-H"), QStringLiteral("127.0.0.1"),
                              QStringLiteral("-p"), QString::number(port),
                              QStringLiteral("-U"), QStringLiteral("sa"),
                              QStringLiteral("-P"), password,
                              QStringLiteral("-D"), catalog,
                              QStringLiteral("-o"), QStringLiteral("q")};
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("TDSVER"), QStringLiteral("7.4"));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    TsqlTime t;
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral("tsql"), args);
    if (!p.waitForStarted(10000))
        return t;
    p.write(input);
    p.closeWriteChannel();
    t.finished = p.waitForFinished(30000);
    t.ms = clock.nsecsElapsed() / 1e6;
    if (!t.finished) {
        p.kill();
        p.waitForFinished(2000);
    }
    t.exitCode = p.exitCode();
    return t;
}

quint16 refusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    quint16 port = 1;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);  // bound, never listening: nothing accepts there
    return port;
}

double peakResidentMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            const QByteArray kb = line.mid(6).trimmed().split(' ').value(0);
            return kb.toDouble() / 1024.0;
        }
    }
    return -1;
}

}  // namespace bench
