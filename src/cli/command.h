#pragma once
// The commands of the command line. Each lives in a file of its own and
// registers itself there, with its options and its part of the usage text:
//
//   namespace { const dd::cli::CommandRegistration registered([] {
//       dd::cli::Command c;
//       c.name = QStringLiteral("check");
//       c.order = 20;                                   // its place in the usage text
//       c.synopsis = {QStringLiteral("datadict check ") + dd::cli::accountSynopsis()};
//       c.summary = QStringLiteral("...");
//       c.options = dd::cli::accountOptions();          // --server --account --year
//       c.options << dd::cli::Option{QStringLiteral("format"), QStringLiteral("FORMAT"), QStringLiteral("...")};
//       c.run = [](const dd::cli::Arguments &args) { ...; return 0; };
//       return c;
//   }()); }
//
// and is listed in src/cli/CMakeLists.txt. The parser (arguments.h), the
// usage text (usage.h), the console (console.h) and Ctrl+C (interrupt.h)
// are shared by all.
#include "arguments.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace dd::cli {

// Exit statuses every command uses.
constexpr int kSucceeded = 0;
constexpr int kFailed = 1;        // the work could not be done
constexpr int kUsage = 2;         // the command line itself is wrong
constexpr int kInterrupted = 130; // Ctrl+C

struct Command {
    QString name;                 // the first argument
    int order = 0;                // place in the usage text, smallest first
    QStringList synopsis;         // usage lines, each from "datadict "
    QString summary;              // what it does, one line
    QString optionsTitle;         // heading of its options in the usage text
    QList<Option> options;
    std::function<int(const Arguments &)> run;  // returns the exit status
};

// Thrown to end a command with a status, once it has said why.
struct Exit {
    int status;
};

// Registers a command while the program starts.
class CommandRegistration {
public:
    explicit CommandRegistration(Command command);
};

// Every command registered, in usage order.
const std::vector<Command> &commands();
const Command *findCommand(const QString &name);

}  // namespace dd::cli
