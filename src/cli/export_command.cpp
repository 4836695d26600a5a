// `datadict export`: the dictionary of an account-year database written to
// a file (or standard output) in one of the export formats.
#include "account_options.h"
#include "command.h"
#include "console.h"
#include "export/export_job.h"
#include "interrupt.h"
#include <QDateTime>

namespace dd::cli {

namespace {

using namespace dd::exporting;

int exportDictionary(const Arguments &args)
{
    ExportRequest request;
    const auto format = formatFromName(args.value(QStringLiteral("format")));
    if (!format)
        throw UsageError{QStringLiteral("不认识的格式【%1】：可用 xlsx、csv、md、html。")
                             .arg(args.value(QStringLiteral("format")))};
    request.format = *format;
    request.output = args.value(QStringLiteral("output"));
    request.csvRaw = args.has(QStringLiteral("csv-raw"));
    request.module = args.value(QStringLiteral("module"));
    request.scope = request.module.isEmpty() ? Scope::Dictionary : Scope::List;
    request.physical = args.has(QStringLiteral("physical"));
    const QString pw = password();

    return runInterruptible([&](BackgroundWork &work) {
        const AccountTarget target = checkAccount(args, pw);
        request.source = target.database();
        request.user = target.user;
        request.password = target.password;
        request.heading = {target.choice.entry, target.choice.year, QDateTime::currentDateTime()};
        ProgressLine line;
        ExportResult result;
        try {
            result = runExport(
                request,
                [&line](const ExportProgress &p) {
                    if (p.stage == ExportProgress::Reading)
                        line.show(QStringLiteral("正在读取字典：%1 个字段").arg(p.done));
                    else if (p.stage == ExportProgress::ReadingStructure)
                        line.show(QStringLiteral("正在读取实际结构：%1 个表").arg(p.done));
                    else
                        line.show(QStringLiteral("正在写入：%1 / %2 个字段").arg(p.done).arg(p.total));
                },
                work.token().flag());
        } catch (const Error &) {
            line.end();
            throw;
        }
        line.end();
        const QString cut = cutCellsNote(result);
        if (!cut.isEmpty())
            printError(cut);
        return kSucceeded;
    });
}

const CommandRegistration registered([] {
    Command c;
    c.name = QStringLiteral("export");
    c.order = 10;
    c.synopsis = {QStringLiteral("datadict export ") + accountSynopsis() + QStringLiteral(" [--module NAME]"),
                  QStringLiteral("                --format xlsx|csv|md|html --output FILE [--physical] [--csv-raw]")};
    c.summary = QStringLiteral("导出账套 ID 在 YEAR 年的数据字典（指定 --module 时只导出该模块）");
    c.optionsTitle = QStringLiteral("导出选项");
    c.options = accountOptions();
    c.options << Option{QStringLiteral("module"), QStringLiteral("NAME"), QStringLiteral("只导出这个模块的表")}
              << Option{QStringLiteral("format"), QStringLiteral("FORMAT"),
                        QStringLiteral("xlsx（Excel 工作簿）、csv、md（Markdown）或 html（网页）"), true}
              << Option{QStringLiteral("output"), QStringLiteral("FILE"),
                        QStringLiteral("目标文件；- 表示标准输出（xlsx 为二进制）"), true}
              << Option{QStringLiteral("physical"), QString(),
                        QStringLiteral("同时写出数据库的实际结构：表的约行数，字段的实际类型、允许空、键、核对")}
              << Option{QStringLiteral("csv-raw"), QString(),
                        QStringLiteral("CSV 单元格原样写出：以 = + - @ 等开头的不加 '（供程序读取）")};
    c.run = exportDictionary;
    return c;
}());

}  // namespace

}  // namespace dd::cli
