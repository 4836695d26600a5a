#pragma once
// Where the dictionary is wrong, as a list: the captions 级别, 数据表, 中文表名,
// 字段名称, 问题, 字典类型, 实际类型, one row per finding, and the line
// "共N处：错误X处，警告Y处，提示Z处". The browser's list and the check
// command's report both show it so.
#include "catalog/drift.h"
#include "export_content.h"
#include "rows_report.h"
#include <QStringList>
#include <vector>

namespace dd::exporting {

QStringList findingColumns();
QStringList findingRow(const catalog::Finding &finding);
QString findingsSummary(const std::vector<catalog::Finding> &findings);
// "结构核对 [001]Main 2011", the heading line, the summary and the rows.
RowsReport findingsReport(const std::vector<catalog::Finding> &findings, const ExportHeading &heading);

}  // namespace dd::exporting
