#include "export_format.h"
#include <QFileInfo>

namespace dd::exporting {

std::optional<Format> formatFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("xlsx"))
        return Format::Xlsx;
    if (n == QLatin1String("csv"))
        return Format::Csv;
    if (n == QLatin1String("md") || n == QLatin1String("markdown"))
        return Format::Markdown;
    if (n == QLatin1String("html") || n == QLatin1String("htm"))
        return Format::Html;
    return std::nullopt;
}

std::optional<Format> formatOfFile(const QString &fileName)
{
    return formatFromName(QFileInfo(fileName).suffix());
}

QString suffixOf(Format format)
{
    switch (format) {
    case Format::Xlsx: return QStringLiteral("xlsx");
    case Format::Csv: return QStringLiteral("csv");
    case Format::Markdown: return QStringLiteral("md");
    case Format::Html: return QStringLiteral("html");
    }
    return QString();
}

QString fileTypeOf(Format format)
{
    switch (format) {
    case Format::Xlsx: return QStringLiteral("Excel 工作簿 (*.xlsx)");
    case Format::Csv: return QStringLiteral("CSV 文件 (*.csv)");
    case Format::Markdown: return QStringLiteral("Markdown 文档 (*.md)");
    case Format::Html: return QStringLiteral("网页 (*.html)");
    }
    return QString();
}

}  // namespace dd::exporting
