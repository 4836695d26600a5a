#pragma once
// The terminal of the command line: the password asked without echo, and
// progress shown on standard error when that is a terminal.
#include <QElapsedTimer>
#include <QString>
#include <optional>

namespace dd::exporting {

// Asks on the controlling terminal with echo off; nothing when there is no
// terminal to ask on.
std::optional<QString> askPassword(const QString &prompt);

// One line of progress, rewritten in place at most ten times a second;
// only on a terminal.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    void show(const QString &text);
    void end();

private:
    bool terminal_;
    bool shown_ = false;
    QElapsedTimer since_;
};

void printError(const QString &text);

}  // namespace dd::exporting
