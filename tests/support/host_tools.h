#pragma once
// Programs of the machine the tests run on that read back what the program
// wrote (python3 and its readers, chromium). Under wine these are the Linux
// host's own programs, handed Unix paths; wine starts them but cannot wait
// for them, so they report back through files.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ddtest {

// The program's path, or an empty string when it is not installed.
QString hostProgram(const QString &name);
// A file's path as such a program sees it.
QString hostPath(const QString &path);

struct HostRun {
    bool finished = false;  // false: it did not start, or did not end in time
    int exitCode = -1;
    QByteArray out, err;
};
// `input` is the program's standard input.
HostRun runHostProgram(const QString &program, const QStringList &args, int timeoutMs,
                       const QByteArray &input = QByteArray());

}  // namespace ddtest
