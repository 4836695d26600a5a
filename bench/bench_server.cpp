#include "bench_server.h"
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

TdsServer::TdsServer(const QString &folder, const QString &password)
    : TdsServerProcess(tdstest::ServerSettings{folder, password, {}, {}, 900})
{
}

QStringList TdsServer::statements(const QString &catalog) const
{
    QStringList out;
    for (const tdstest::StatementLogEntry &e : log().statements()) {
        if (e.request != QLatin1String("batch"))
            continue;
        if (!catalog.isEmpty() && e.catalog.compare(catalog, Qt::CaseInsensitive) != 0)
            continue;
        out << e.text.trimmed();
    }
    return out;
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
