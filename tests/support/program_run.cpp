#include "program_run.h"
#include "no_terminal.h"

namespace ddtest {

ProgramRun runWithoutTerminal(const QString &program, const QStringList &args, const QString &password,
                              const QString &appendOutputTo)
{
    QProcess p;
    if (!appendOutputTo.isEmpty())
        p.setStandardOutputFile(appendOutputTo, QIODevice::Append);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DATADICT_PASSWORD");
    if (!password.isNull())
        env.insert("DATADICT_PASSWORD", password);
    env.insert("LANG", "C.UTF-8");
    p.setProcessEnvironment(env);
    withoutTerminal(p);
    p.start(program, args);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

}  // namespace ddtest
