#pragma once
// The four formats. Each writes the whole content in one pass, calls
// `progress` after every table and throws Error (exportCancelled() when
// progress returned false, or the file's failure).
#include "export_content.h"
#include <QString>

namespace dd::exporting {

class OutputFile;

// UTF-8 with a byte-order mark, RFC 4180: one row per field, the table's
// columns repeated on each. Unless raw, a cell a spreadsheet would take for
// a formula or a number (see spreadsheetSafe) gets a leading apostrophe.
void writeCsv(OutputFile &out, const ExportContent &content, const WriteProgress &progress,
              bool raw = false);
// One section per module, one subsection per table with a pipe table of its fields.
void writeMarkdown(OutputFile &out, const ExportContent &content, const WriteProgress &progress);
// One self-contained page: contents by module, a section per table, a filter box.
void writeHtml(OutputFile &out, const ExportContent &content, const WriteProgress &progress);
// Excel's limits; tests give smaller ones.
struct XlsxLimits {
    int rowsPerSheet = 1048576;
    int linksPerSheet = 65530;
    int cellLength = 32767;   // UTF-16 code units, as Excel counts characters
};
// What follows a text cut at the cell limit.
QString cutMarker();

// A workbook with the sheets "数据表" and "字段", written to `path`;
// failures name `shownName`. Rows beyond a sheet's limit continue on
// "字段(2)", "字段(3)"...; links beyond the limit stay plain names; a longer
// text is cut and ends with cutMarker(). Returns the number of cells cut.
// A stopped or failed workbook is dropped unwritten: no file at `path`.
int writeXlsx(const QString &path, const QString &shownName, const ExportContent &content,
              const WriteProgress &progress, const XlsxLimits &limits = {});

// One value as each format writes it.
// The value in double quotes, its own doubled, when it holds any of special
// (as CSV and tab-separated text want); otherwise as it is.
QString quotedIfHolding(const QString &value, QStringView special);
// A value that starts with =, +, -, @, a tab or a carriage return, with an
// apostrophe before it, so that a spreadsheet shows it as text.
QString spreadsheetSafe(const QString &value);
QString csvValue(const QString &value, bool raw = false);
QString markdownText(const QString &value);
QString htmlText(const QString &value);

}  // namespace dd::exporting
