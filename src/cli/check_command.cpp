// `datadict check`: where the dictionary of an account-year database and
// the database itself disagree, written as a report in one of the export
// formats or JSON. Exit 1 when an error (错误) was found, after the report
// is written; exit 3 when the report could not be made.
#include "account_options.h"
#include "command.h"
#include "console.h"
#include "export/structure_check.h"
#include "interrupt.h"
#include <QDateTime>

namespace dd::cli {

namespace {

using namespace dd::exporting;

constexpr int kErrorsFound = 1;
constexpr int kNoReport = 3;

int check(const Arguments &args)
{
    CheckRequest request;
    const auto format = reportFormatFromName(args.value(QStringLiteral("format")));
    if (!format)
        throw UsageError{QStringLiteral("不认识的格式【%1】：可用 xlsx、csv、md、html、json。")
                             .arg(args.value(QStringLiteral("format")))};
    request.format = *format;
    request.output = args.value(QStringLiteral("output"));
    if (request.output == QLatin1String("-") && request.format == ReportFormat::Xlsx)
        throw UsageError{QStringLiteral("Excel 工作簿不能写到标准输出。")};
    request.module = args.value(QStringLiteral("module"));
    const QString pw = password();

    return runInterruptible([&](BackgroundWork &work) {
        ProgressLine line;
        try {
            const AccountTarget target = checkAccount(args, pw);
            request.source = target.database();
            request.user = target.user;
            request.password = target.password;
            request.heading = {target.choice.entry, target.choice.year, QDateTime::currentDateTime()};
            const CheckResult result = runCheck(
                request,
                [&line](bool readingCatalog, int done) {
                    line.show(readingCatalog ? QStringLiteral("正在读取实际结构：%1 个表").arg(done)
                                             : QStringLiteral("正在读取字典：%1 个字段").arg(done));
                },
                work.token().flag());
            line.end();
            return result.errors > 0 ? kErrorsFound : kSucceeded;
        } catch (const Error &e) {
            line.end();
            if (work.isCancelled())
                throw;
            printError(e.Description());
            return kNoReport;
        }
    });
}

const CommandRegistration registered([] {
    Command c;
    c.name = QStringLiteral("check");
    c.order = 20;
    c.synopsis = {QStringLiteral("datadict check ") + accountSynopsis() + QStringLiteral(" [--module NAME]"),
                  QStringLiteral("               --format csv|xlsx|md|html|json --output FILE")};
    c.summary = QStringLiteral("核对数据字典与数据库的实际结构，列出不一致之处（有错误时退出状态为 1，无法生成报告时为 3）");
    c.optionsTitle = QStringLiteral("核对选项");
    c.options = accountOptions();
    c.options << Option{QStringLiteral("module"), QStringLiteral("NAME"), QStringLiteral("只核对这个模块的表")}
              << Option{QStringLiteral("format"), QStringLiteral("FORMAT"),
                        QStringLiteral("csv、xlsx（Excel 工作簿）、md（Markdown）、html（网页）或 json"), true}
              << Option{QStringLiteral("output"), QStringLiteral("FILE"),
                        QStringLiteral("目标文件；- 表示标准输出（xlsx 除外）"), true};
    c.run = check;
    return c;
}());

}  // namespace

}  // namespace dd::cli
