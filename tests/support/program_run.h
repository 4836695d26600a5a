#pragma once
// A program run as from a shell without a terminal to ask on: LANG=C.UTF-8,
// standard input at its end, DATADICT_PASSWORD as given (not set when the
// password is null), standard output appended to a file when one is named.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ddtest {

struct ProgramRun {
    int status = -1;   // -1: crashed or killed after two minutes
    QByteArray out, err;
};

ProgramRun runWithoutTerminal(const QString &program, const QStringList &args,
                              const QString &password = QStringLiteral("pw"),
                              const QString &appendOutputTo = QString());

}  // namespace ddtest
