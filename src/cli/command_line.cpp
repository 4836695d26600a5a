#include "command_line.h"
#include "command.h"
#include "console.h"
#include "data/background_work.h"
#include "data/public_ado.h"
#include "usage.h"
#include <QCoreApplication>

namespace dd::cli {

namespace {

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

int runCommand(const Command &command, const QStringList &args)
{
    try {
        const Arguments parsed = Arguments::parse(args, command.options);
        if (parsed.helpAsked()) {
            printOut(usageText());
            return kSucceeded;
        }
        return command.run(parsed);
    } catch (const UsageError &e) {
        printError(e.text);
        printError(QStringLiteral("用 datadict --help 查看用法。"));
        return kUsage;
    } catch (const Exit &e) {
        return e.status;
    } catch (const Error &e) {
        printError(e.Description());
        return kFailed;
    }
}

}  // namespace

bool isCommandLine(int argc, char **argv)
{
    if (argc < 2)
        return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    return isHelp(first) || first == QLatin1String("--version") || findCommand(first);
}

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString first = args.value(0);
    int status = kSucceeded;
    if (isHelp(first)) {
        printOut(usageText());
    } else if (first == QLatin1String("--version")) {
        printOut(QStringLiteral("数据字典工具 1.00.0001\n"));
    } else if (const Command *command = findCommand(first)) {
        status = runCommand(*command, args.mid(1));
    } else {
        printError(QStringLiteral("不认识的命令【%1】。").arg(first));
        status = kUsage;
    }
    PublicADO::closeAll();
    return BackgroundWork::shutdown(status);
}

}  // namespace dd::cli
