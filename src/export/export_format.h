#pragma once
// The four export formats and how a file name or a word names them.
#include <QString>
#include <optional>

namespace dd::exporting {

enum class Format { Xlsx, Csv, Markdown, Html };

// "xlsx", "csv", "md", "html" (also "markdown", "htm"); nothing otherwise.
std::optional<Format> formatFromName(const QString &name);
// From a file name's suffix.
std::optional<Format> formatOfFile(const QString &fileName);
QString suffixOf(Format format);
// The save dialog's file types, one per format: "Excel 工作簿 (*.xlsx)".
QString fileTypeOf(Format format);

}  // namespace dd::exporting
