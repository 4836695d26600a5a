#pragma once
// Windows: a console program run in a console of its own, as cmd.exe runs
// it. The test reads what that console shows and types into it as the
// keyboard does, so the program's console calls (wide-character output,
// input without echo, Ctrl+C) are the ones under test.
#include <QProcess>
#include <QString>

namespace clitest {

class ConsoleProgram {
public:
    ConsoleProgram();
    ~ConsoleProgram();
    // The program's standard handles are its new console's. This process
    // stays attached to that console until destroyed, so the console
    // outlives the program for what it last showed and its input mode.
    bool start(const QString &program, const QStringList &args, const QProcessEnvironment &env);
    QProcess &process() { return process_; }

    // Whether the console has shown `text`, within `ms`. A wide character
    // takes two cells, and some consoles report it in both.
    bool shows(const QString &text, int ms = 0);
    QString screen();
    // Key presses for each character ('\r' is Enter).
    void type(const QString &keys);
    // Ctrl+C, as the console sends it to the programs it runs.
    void interrupt();
    // The console's input mode (ENABLE_ECHO_INPUT and the rest).
    unsigned long inputMode();

private:
    QProcess process_;
    bool attached_ = false;
};

}  // namespace clitest
