// `datadict relations`: the links between the tables of an account-year
// database (or those of one table), at least as sure as asked, written as
// CSV, Markdown or JSON to a file or standard output.
#include "account_options.h"
#include "command.h"
#include "relations_source.h"
#include "export/export_content.h"
#include "export/rows_report.h"
#include "interrupt.h"
#include <QDateTime>

namespace dd::cli {

namespace {

using namespace dd::relations;

int listRelations(const Arguments &args)
{
    const auto format = exporting::reportFormatFromName(args.value(QStringLiteral("format")));
    if (!format || (*format != exporting::ReportFormat::Csv && *format != exporting::ReportFormat::Markdown
                    && *format != exporting::ReportFormat::Json))
        throw UsageError{QStringLiteral("不认识的格式【%1】：可用 csv、md、json。").arg(args.value(QStringLiteral("format")))};
    Confidence least = Confidence::Medium;
    if (args.has(QStringLiteral("min")) && !confidenceFromText(args.value(QStringLiteral("min")), &least))
        throw UsageError{QStringLiteral("不认识的可信度【%1】：可用 高、中、低。").arg(args.value(QStringLiteral("min")))};
    const QString tableName = args.value(QStringLiteral("table"));
    const QString output = args.value(QStringLiteral("output"));
    const QString pw = password();

    return runInterruptible([&](BackgroundWork &work) {
        const AccountTarget target = checkAccount(args, pw);
        const auto relations = readRelations(target, work);
        const Dictionary &d = relations->dictionary();
        std::vector<int> chosen;
        if (tableName.isEmpty()) {
            for (size_t i = 0; i < relations->links().size(); ++i)
                chosen.push_back(int(i));
        } else {
            const int table = relations->tableNamed(tableName);
            if (table < 0)
                throw Error(errc::BadArgument, QStringLiteral("数据字典中没有表【%1】。").arg(tableName));
            chosen = relations->linksOf(table);
        }
        exporting::RowsReport report;
        report.title = tableName.isEmpty() ? QStringLiteral("表间关联") : tableName + QStringLiteral("的关联");
        report.heading = exporting::headingLine({target.choice.entry, target.choice.year, QDateTime::currentDateTime()});
        report.columns = QStringList{QStringLiteral("子表"), QStringLiteral("子表字段"), QStringLiteral("父表"),
                                     QStringLiteral("父表字段"), QStringLiteral("依据"), QStringLiteral("可信度")};
        for (int i : chosen) {
            const Link &l = relations->links()[size_t(i)];
            if (l.confidence < least && !(l.evidence & DeclaredKey))
                continue;
            report.rows.push_back({d.tables[size_t(l.child)].name, d.fields[size_t(l.childField)].name,
                                   d.tables[size_t(l.parent)].name, d.fields[size_t(l.parentField)].name,
                                   evidenceText(l.evidence), confidenceText(l.confidence)});
        }
        report.summary = QStringLiteral("共%1个关联（可信度不低于%2）").arg(report.rows.size()).arg(confidenceText(least));
        exporting::writeRowsReport(report, *format, output);
        return kSucceeded;
    });
}

const CommandRegistration registered([] {
    Command c;
    c.name = QStringLiteral("relations");
    c.order = 40;
    c.synopsis = {QStringLiteral("datadict relations ") + accountSynopsis() + QStringLiteral(" [--table T] [--min 高|中|低]"),
                  QStringLiteral("                   --format csv|md|json --output FILE")};
    c.summary = QStringLiteral("列出表间关联（子表、子表字段、父表、父表字段、依据、可信度）");
    c.optionsTitle = QStringLiteral("关联选项");
    c.options = accountOptions();
    c.options << Option{QStringLiteral("table"), QStringLiteral("T"), QStringLiteral("只列出这个表引用和被引用的关联")}
              << Option{QStringLiteral("min"), QStringLiteral("LEVEL"), QStringLiteral("最低可信度：高、中或低，默认 中（外键总是列出）")}
              << Option{QStringLiteral("format"), QStringLiteral("FORMAT"), QStringLiteral("csv、md（Markdown）或 json"), true}
              << Option{QStringLiteral("output"), QStringLiteral("FILE"), QStringLiteral("目标文件；- 表示标准输出"), true};
    c.run = listRelations;
    return c;
}());

}  // namespace

}  // namespace dd::cli
