#include "findings_report.h"

namespace dd::exporting {

using catalog::Finding;
using catalog::Level;

QStringList findingColumns()
{
    return {QStringLiteral("级别"), QStringLiteral("数据表"), QStringLiteral("中文表名"),
            QStringLiteral("字段名称"), QStringLiteral("问题"), QStringLiteral("字典类型"),
            QStringLiteral("实际类型")};
}

QStringList findingRow(const Finding &f)
{
    return {catalog::levelText(f.level), f.table, f.description, f.field, f.problem, f.documentedType,
            f.physicalType};
}

QString findingsSummary(const std::vector<Finding> &findings)
{
    int counts[3] = {0, 0, 0};
    for (const Finding &f : findings)
        ++counts[int(f.level)];
    return QStringLiteral("共%1处：错误%2处，警告%3处，提示%4处")
        .arg(findings.size())
        .arg(counts[int(Level::Error)])
        .arg(counts[int(Level::Warning)])
        .arg(counts[int(Level::Hint)]);
}

RowsReport findingsReport(const std::vector<Finding> &findings, const ExportHeading &heading)
{
    RowsReport report;
    report.title = QStringLiteral("结构核对 ") + heading.account + QLatin1Char(' ') + heading.year;
    report.heading = headingLine(heading);
    report.summary = findingsSummary(findings);
    report.columns = findingColumns();
    report.rows.reserve(findings.size());
    for (const Finding &f : findings)
        report.rows.push_back(findingRow(f));
    return report;
}

}  // namespace dd::exporting
