#pragma once
// A report that is one list of rows under captions (the findings of a
// structure check, say), written in any of the export's formats or as
// JSON, to a file (atomically) or to standard output ("-").
//
//   RowsReport report{title, headingLine(heading), summary, columns, rows};
//   writeRowsReport(report, ReportFormat::Csv, "-");
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace dd::exporting {

struct RowsReport {
    QString title;       // the document's title
    QString heading;     // the account, the year and the time
    QString summary;     // a line above the rows
    QStringList columns;
    std::vector<QStringList> rows;   // each as many values as columns
};

enum class ReportFormat { Xlsx, Csv, Markdown, Html, Json };

// "xlsx", "csv", "md", "html", "json" (also "markdown", "htm").
std::optional<ReportFormat> reportFormatFromName(const QString &name);
// Throws Error: the file's failure.
void writeRowsReport(const RowsReport &report, ReportFormat format, const QString &output);

// The workbook: one sheet, the heading, the bold captions, the rows (xlsx_writer.cpp).
void writeXlsxRows(const QString &path, const QString &shownName, const RowsReport &report);

}  // namespace dd::exporting
