#pragma once
// Whether a process still runs; one that has ended but is not yet reaped
// (a zombie) counts as gone.
#include <QFile>
#include <QString>
#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#endif

namespace tdsproc {

inline bool processAlive(qint64 pid)
{
#ifdef Q_OS_UNIX
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const int close = int(line.lastIndexOf(')'));
        if (close > 0 && close + 2 < line.size() && (line.at(close + 2) == 'Z' || line.at(close + 2) == 'X'))
            return false;
    }
    return true;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

}  // namespace tdsproc
