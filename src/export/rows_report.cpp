#include "rows_report.h"
#include "export_format.h"
#include "format_writers.h"
#include "output_file.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cerrno>

namespace dd::exporting {

namespace {

void writeCsvRows(OutputFile &out, const RowsReport &report)
{
    auto line = [](const QStringList &values) {
        QString text;
        for (int i = 0; i < values.size(); ++i)
            text += (i ? QStringLiteral(",") : QString()) + csvValue(values[i]);
        return text + QStringLiteral("\r\n");
    };
    out.write(QByteArray("\xEF\xBB\xBF"));
    out.write(line(report.columns));
    for (const QStringList &row : report.rows)
        out.write(line(row));
}

void writeMarkdownRows(OutputFile &out, const RowsReport &report)
{
    auto line = [](const QStringList &cells, bool escape) {
        QString text = QStringLiteral("|");
        for (const QString &cell : cells)
            text += QLatin1Char(' ') + (escape ? markdownText(cell) : cell) + QStringLiteral(" |");
        return text + QLatin1Char('\n');
    };
    out.write(QStringLiteral("# ") + markdownText(report.title) + QStringLiteral("\n\n")
              + markdownText(report.heading) + QStringLiteral("\n\n") + markdownText(report.summary)
              + QStringLiteral("\n\n"));
    if (report.rows.empty())
        return;
    out.write(line(report.columns, true));
    out.write(line(QStringList(report.columns.size(), QStringLiteral("---")), false));
    for (const QStringList &row : report.rows)
        out.write(line(row, true));
}

void writeHtmlRows(OutputFile &out, const RowsReport &report)
{
    QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>")
                   + htmlText(report.title)
                   + QStringLiteral("</title>\n<style>body{font-family:sans-serif;margin:1em 2em}"
                                    "table{border-collapse:collapse}th,td{border:1px solid #bbb;"
                                    "padding:2px 6px;text-align:left}th{background:#eee}</style>\n"
                                    "</head>\n<body>\n<h1>")
                   + htmlText(report.title) + QStringLiteral("</h1>\n<p>") + htmlText(report.heading)
                   + QStringLiteral("</p>\n<p role=\"status\">") + htmlText(report.summary)
                   + QStringLiteral("</p>\n<table>\n<thead><tr>");
    for (const QString &c : report.columns)
        page += QStringLiteral("<th>") + htmlText(c) + QStringLiteral("</th>");
    page += QStringLiteral("</tr></thead>\n<tbody>\n");
    out.write(page);
    for (const QStringList &row : report.rows) {
        QString tr = QStringLiteral("<tr>");
        for (const QString &v : row)
            tr += QStringLiteral("<td>") + htmlText(v) + QStringLiteral("</td>");
        out.write(tr + QStringLiteral("</tr>\n"));
    }
    out.write("</tbody>\n</table>\n</body>\n</html>\n");
}

void writeJsonRows(OutputFile &out, const RowsReport &report)
{
    QJsonArray rows;
    for (const QStringList &row : report.rows) {
        QJsonObject object;
        for (int c = 0; c < report.columns.size(); ++c)
            object.insert(report.columns[c], row.value(c));
        rows.append(object);
    }
    const QJsonObject document{{QStringLiteral("title"), report.title},
                               {QStringLiteral("heading"), report.heading},
                               {QStringLiteral("summary"), report.summary},
                               {QStringLiteral("rows"), rows}};
    out.write(QJsonDocument(document).toJson(QJsonDocument::Indented));
}

void writeText(OutputFile &out, const RowsReport &report, ReportFormat format)
{
    switch (format) {
    case ReportFormat::Csv: writeCsvRows(out, report); break;
    case ReportFormat::Markdown: writeMarkdownRows(out, report); break;
    case ReportFormat::Json: writeJsonRows(out, report); break;
    default: writeHtmlRows(out, report); break;
    }
}

}  // namespace

std::optional<ReportFormat> reportFormatFromName(const QString &name)
{
    if (name.trimmed().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0)
        return ReportFormat::Json;
    const auto format = formatFromName(name);
    if (!format)
        return std::nullopt;
    switch (*format) {
    case Format::Xlsx: return ReportFormat::Xlsx;
    case Format::Csv: return ReportFormat::Csv;
    case Format::Markdown: return ReportFormat::Markdown;
    case Format::Html: return ReportFormat::Html;
    }
    return std::nullopt;
}

void writeRowsReport(const RowsReport &report, ReportFormat format, const QString &output)
{
    ExportTarget target(output);
    OutputFile out(target.device(), target.shownName());
    if (format == ReportFormat::Xlsx) {
        QTemporaryDir folder;
        if (!folder.isValid())
            throw fileError(ENOENT, folder.path());
        const QString workbook = folder.filePath(QStringLiteral("report.xlsx"));
        writeXlsxRows(workbook, target.shownName(), report);
        QFile written(workbook);
        if (!written.open(QIODevice::ReadOnly))
            throw fileError(written, workbook);
        while (!written.atEnd())
            out.write(written.read(1 << 16));
    } else {
        writeText(out, report, format);
    }
    out.finish();
    target.commit();
}

}  // namespace dd::exporting
