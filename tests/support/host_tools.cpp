#include "host_tools.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace ddtest {

namespace {

#ifdef Q_OS_WIN
// wine's own export: the Unix path of a Windows path (null when not under wine).
using UnixFileName = char *(CDECL *)(LPCWSTR);
UnixFileName wineUnixFileName()
{
    static const auto f = reinterpret_cast<UnixFileName>(reinterpret_cast<void *>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    return f;
}
bool underWine() { return wineUnixFileName() != nullptr; }
#else
bool underWine() { return false; }
#endif

QByteArray shellQuoted(const QString &s)
{
    QByteArray q = s.toUtf8();
    q.replace('\'', "'\\''");
    return '\'' + q + '\'';
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Under wine: a shell script runs the program with its output in files and
// writes its exit status last; the status file appearing is the end.
HostRun runThroughFiles(const QString &program, const QStringList &args, int timeoutMs,
                        const QByteArray &input)
{
    HostRun run;
    QTemporaryDir dir;
    QFile in(dir.filePath(QStringLiteral("in")));
    if (!in.open(QIODevice::WriteOnly) || in.write(input) != input.size())
        return run;
    in.close();
    const QString script = dir.filePath(QStringLiteral("run.sh"));
    QByteArray text = shellQuoted(program);
    for (const QString &a : args)
        text += ' ' + shellQuoted(a);
    text += " <" + shellQuoted(hostPath(in.fileName())) + " >" + shellQuoted(hostPath(dir.filePath(QStringLiteral("out")))) + " 2>"
          + shellQuoted(hostPath(dir.filePath(QStringLiteral("err")))) + "\necho $? >"
          + shellQuoted(hostPath(dir.filePath(QStringLiteral("status.tmp")))) + "\nmv "
          + shellQuoted(hostPath(dir.filePath(QStringLiteral("status.tmp")))) + ' '
          + shellQuoted(hostPath(dir.filePath(QStringLiteral("status")))) + '\n';
    QFile f(script);
    if (!dir.isValid() || !f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return run;
    f.close();
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), {hostPath(script)}))
        return run;
    const QDeadlineTimer deadline(timeoutMs);
    const QString status = dir.filePath(QStringLiteral("status"));
    while (!QFileInfo::exists(status)) {
        if (deadline.hasExpired())
            return run;
        QThread::msleep(50);
    }
    run.finished = true;
    run.exitCode = readAll(status).trimmed().toInt();
    run.out = readAll(dir.filePath(QStringLiteral("out")));
    run.err = readAll(dir.filePath(QStringLiteral("err")));
    return run;
}

}  // namespace

QString hostProgram(const QString &name)
{
#ifdef Q_OS_WIN
    if (!underWine())
        return QStandardPaths::findExecutable(name);
#endif
    // The system's own first (its python3 has the readers' modules).
    for (const char *dir : {"/usr/bin/", "/bin/"}) {
        const QString unixPath = QLatin1String(dir) + name;
        if (QFileInfo::exists(unixPath))
            return unixPath;
    }
    return underWine() ? QString() : QStandardPaths::findExecutable(name);
}

QString hostPath(const QString &path)
{
#ifdef Q_OS_WIN
    if (const UnixFileName toUnix = wineUnixFileName()) {
        const std::wstring windowsPath =
            QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
        if (char *unixPath = toUnix(windowsPath.c_str())) {
            const QString result = QString::fromUtf8(unixPath);
            ::HeapFree(::GetProcessHeap(), 0, unixPath);
            return result;
        }
    }
#endif
    return path;
}

HostRun runHostProgram(const QString &program, const QStringList &args, int timeoutMs,
                       const QByteArray &input)
{
    if (underWine())
        return runThroughFiles(program, args, timeoutMs, input);
    HostRun run;
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    run.finished = p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit;
    run.exitCode = p.exitCode();
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

}  // namespace ddtest
