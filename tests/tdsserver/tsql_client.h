#pragma once
// Runs FreeTDS's command-line client against a server: statements on
// standard input, each followed by "go".
#include <QString>
#include <QStringList>

namespace tdstest {

struct TsqlRun {
    bool finished = false;  // false: it had to be killed
    int exitCode = -1;
    QString output;         // standard output and error together
};

TsqlRun runTsql(quint16 port, const QString &user, const QString &password, const QString &catalog,
                const QStringList &statements, int timeoutMs = 20000);

}  // namespace tdstest
