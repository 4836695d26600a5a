#pragma once
// Whether a process still runs, and ending one by its id: what the test
// server's fixture control and its parent watch need, on Unix and Windows.
// On Unix a process that has ended but is not yet reaped (a zombie) counts
// as gone.
#include <QFile>
#include <QString>
#include <QtGlobal>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <signal.h>
#endif

namespace tdsproc {

inline bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
#ifdef Q_OS_WIN
    const HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    ::CloseHandle(h);
    return running;
#else
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const int close = int(line.lastIndexOf(')'));
        if (close > 0 && close + 2 < line.size() && (line.at(close + 2) == 'Z' || line.at(close + 2) == 'X'))
            return false;
    }
    return true;
#endif
}

// Asks the process to end (SIGTERM), or ends it at once when `force`
// (SIGKILL). Windows has no request a console-less process can be sent:
// there it is always ended at once.
inline void endProcess(qint64 pid, bool force)
{
    if (pid <= 0)
        return;
#ifdef Q_OS_WIN
    Q_UNUSED(force);
    if (const HANDLE h = ::OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(pid))) {
        ::TerminateProcess(h, 1);
        ::CloseHandle(h);
    }
#else
    ::kill(pid_t(pid), force ? SIGKILL : SIGTERM);
#endif
}

}  // namespace tdsproc
