#pragma once
// The command line's console: what goes to standard output and standard
// error, the password asked without echo, and a progress line. Everything
// the program writes to its console goes through here.
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

namespace dd::cli {

// Text to standard output, as it is (no line end added).
void printOut(const QString &text);
// One line to standard error.
void printError(const QString &text);

struct PasswordAnswer {
    enum Outcome {
        Typed,        // a line was typed (it may be empty)
        NoTerminal,   // there is no terminal to ask on
        EndOfInput,   // the input ended before a line did
        Interrupted,  // Ctrl+C
    } outcome = NoTerminal;
    QString password;
};

// Asks on the controlling terminal with echo off; the terminal is as it
// was afterwards, however the answer ends.
PasswordAnswer askPassword(const QString &prompt);

// One line of progress on standard error, rewritten in place at most ten
// times a second; only when standard error is a terminal.
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

}  // namespace dd::cli
