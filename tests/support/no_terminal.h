#pragma once
// Starts a child without a terminal to ask on: its own session on Unix,
// no console on Windows.
#include <QProcess>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace ddtest {

inline void withoutTerminal(QProcess &p)
{
#ifdef Q_OS_WIN
    p.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *a) { a->flags |= DETACHED_PROCESS; });
#else
    p.setChildProcessModifier([] { ::setsid(); });
#endif
}

}  // namespace ddtest
