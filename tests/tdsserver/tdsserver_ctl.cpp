// Starts the test server in the background for CTest's "tdsserver" fixture,
// and stops it again:
//   tdsserver_ctl start STATE_DIR SERVER_ARGUMENTS...
//   tdsserver_ctl stop STATE_DIR
// STATE_DIR receives port, pid, statements.log and server.out.
#include "process_alive.h"
#include "tds_server_process.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
}

bool alive(qint64 pid) { return tdsproc::processAlive(pid); }

int stopServer(const QDir &state)
{
    const qint64 pid = readFile(state.filePath(QStringLiteral("pid"))).toLongLong();
    if (alive(pid)) {
        tdsproc::endProcess(pid, false);
        QDeadlineTimer deadline(5000);
        while (alive(pid) && !deadline.hasExpired())
            QThread::msleep(20);
        if (alive(pid)) {
            tdsproc::endProcess(pid, true);
            std::fprintf(stderr, "tdsserver_ctl: server %lld had to be killed\n", pid);
        }
    }
    QFile::remove(state.filePath(QStringLiteral("pid")));
    QFile::remove(state.filePath(QStringLiteral("port")));
    return 0;
}

int startServer(const QDir &state, const QStringList &serverArgs)
{
    stopServer(state);  // a server left from an earlier run
    QFile::remove(state.filePath(QStringLiteral("statements.log")));
    QProcess p;
    p.setProgram(tdstest::TdsServerProcess::binary());
    p.setArguments(serverArgs + QStringList{
        QStringLiteral("--port"), QStringLiteral("0"),
        QStringLiteral("--port-file"), state.filePath(QStringLiteral("port")),
        QStringLiteral("--pid-file"), state.filePath(QStringLiteral("pid")),
        QStringLiteral("--log"), state.filePath(QStringLiteral("statements.log"))});
    // Detached and with no inherited pipes, so CTest does not wait for it.
#ifdef Q_OS_WIN
    // Windows hands a child every inheritable handle, this program's own
    // standard handles (CTest's pipes) among them.
    for (const DWORD h : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        ::SetHandleInformation(::GetStdHandle(h), HANDLE_FLAG_INHERIT, 0);
#endif
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(state.filePath(QStringLiteral("server.out")));
    p.setStandardErrorFile(state.filePath(QStringLiteral("server.out")), QIODevice::Append);
    qint64 pid = 0;
    if (!p.startDetached(&pid)) {
        std::fprintf(stderr, "tdsserver_ctl: cannot start %s\n", qPrintable(p.program()));
        return 1;
    }
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        const QByteArray port = readFile(state.filePath(QStringLiteral("port")));
        if (!port.isEmpty()) {
            std::printf("tdsserver running, pid %lld, port %s\n", pid, port.constData());
            return 0;
        }
        if (!alive(pid))
            break;
        QThread::msleep(20);
    }
    std::fprintf(stderr, "tdsserver_ctl: the server did not start:\n%s\n",
                 readFile(state.filePath(QStringLiteral("server.out"))).constData());
    if (alive(pid))
        tdsproc::endProcess(pid, true);
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || (args[1] != QLatin1String("start") && args[1] != QLatin1String("stop"))) {
        std::fputs("usage: tdsserver_ctl start STATE_DIR SERVER_ARGUMENTS... | stop STATE_DIR\n", stderr);
        return 2;
    }
    QDir state(args[2]);
    if (!state.exists() && !QDir().mkpath(state.path())) {
        std::fprintf(stderr, "tdsserver_ctl: cannot make %s\n", qPrintable(state.path()));
        return 1;
    }
    return args[1] == QLatin1String("start") ? startServer(state, args.mid(3)) : stopServer(state);
}
