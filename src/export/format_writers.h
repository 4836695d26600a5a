#pragma once
// The four formats. Each writes the whole content in one pass, calls
// `progress` after every table and throws Error (exportCancelled() when
// progress returned false, or the file's failure).
#include "export_content.h"
#include <QString>

namespace dd::exporting {

class OutputFile;

// UTF-8 with a byte-order mark, RFC 4180: one row per field, the table's
// columns repeated on each.
void writeCsv(OutputFile &out, const ExportContent &content, const WriteProgress &progress);
// One section per module, one subsection per table with a pipe table of its fields.
void writeMarkdown(OutputFile &out, const ExportContent &content, const WriteProgress &progress);
// One self-contained page: contents by module, a section per table, a filter box.
void writeHtml(OutputFile &out, const ExportContent &content, const WriteProgress &progress);
// A workbook with the sheets "数据表" and "字段", written to `path`;
// failures name `shownName`.
void writeXlsx(const QString &path, const QString &shownName, const ExportContent &content,
               const WriteProgress &progress);

// One value as each format writes it.
// The value in double quotes, its own doubled, when it holds any of special
// (as CSV and tab-separated text want); otherwise as it is.
QString quotedIfHolding(const QString &value, QStringView special);
QString csvValue(const QString &value);
QString markdownText(const QString &value);
QString htmlText(const QString &value);

}  // namespace dd::exporting
