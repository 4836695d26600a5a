#include "tsql_client.h"
#include <QProcess>

namespace tdstest {

TsqlRun runTsql(quint16 port, const QString &user, const QString &password, const QString &catalog,
                const QStringList &statements, int timeoutMs)
{
    QStringList args = {QStringLiteral("-H"), QStringLiteral("127.0.0.1"),
                        QStringLiteral("-p"), QString::number(port),
                        QStringLiteral("-U"), user, QStringLiteral("-P"), password};
    if (!catalog.isEmpty())
        args << QStringLiteral("-D") << catalog;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("TDSVER"), QStringLiteral("7.4"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("tsql"), args);
    TsqlRun run;
    if (!p.waitForStarted(timeoutMs)) {
        run.output = p.errorString();
        return run;
    }
    QByteArray input;
    for (const QString &s : statements)
        input += s.toUtf8() + "\ngo\n";
    input += "exit\n";
    p.write(input);
    p.closeWriteChannel();
    run.finished = p.waitForFinished(timeoutMs);
    if (!run.finished) {
        p.kill();
        p.waitForFinished(2000);
    }
    run.exitCode = p.exitCode();
    run.output = QString::fromUtf8(p.readAll());
    return run;
}

}  // namespace tdstest
