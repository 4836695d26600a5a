// The program starts by loading the login window; it ends when its last
// window is unloaded or a handler ends it.
#include "cli/command_line.h"
#include "data/background_work.h"
#include "data/public_ado.h"
#include "login/form1.h"
#include "ui/error_modes.h"
#include "ui/form.h"
#include "ui/program_resources.h"
#include "ui/runtime.h"
#include <QApplication>
#include <QStringList>

int main(int argc, char **argv)
{
    // `datadict export ...` (and the other commands), --help and --version
    // run without windows.
    if (dd::cli::isCommandLine(argc, argv))
        return dd::cli::run(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("datadict"));
    QApplication::setApplicationVersion(QStringLiteral("1.00.0001"));
    QApplication::setWindowIcon(ui::programIcon());
    // Windows are ended by the program's own rules, not by the toolkit's.
    app.setQuitOnLastWindowClosed(false);
    ui::setProgramTitle(QStringLiteral("StravikR2/P5数据字典工具"));

    // An optional first argument names the server (or dictionary folder).
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && !args.at(1).isEmpty())
        login::setDefaultServer(args.at(1));

    ui::untrapped([] { ::Form1.Load(); });
    const int status = ui::programEnded() ? 0 : app.exec();
    dd::PublicADO::closeAll();
    // Reads still running off the window thread are stopped; one that a
    // silent server holds inside its driver ends with the process.
    return dd::BackgroundWork::shutdown(status);
}
