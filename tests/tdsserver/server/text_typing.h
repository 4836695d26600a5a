#pragma once
// How character columns go out: as NVARCHAR (UTF-16), as VARCHAR in the
// server's collation (code page 936 bytes), or mixed as real dictionaries
// are, names VARCHAR and descriptions and meanings NVARCHAR.
#include "result_set.h"
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace tds {

enum class TextType { NVarChar, VarChar, Mixed };

// "nvarchar", "varchar", "mixed"; false for any other text.
bool parseTextType(const QString &text, TextType *type);

// The wire type of a character column of that name.
ColumnType textColumnType(ColumnType typed, const QString &columnName, TextType textType);

// The text in code page 936, as the server's collation holds it: each
// UTF-16 unit the code page has no character for becomes "?".
QByteArray encodeCodePage936(const QString &text);
// The bytes back to text (for tests and the width of a column).
QString decodeCodePage936(const QByteArray &bytes);

#ifdef Q_OS_WIN
// Windows' own conversion, which needs no ICU (Qt's converters have only
// UTF and Latin-1 without it).
QString decodeWindowsCodePage(unsigned codePage, const QByteArray &bytes);
#endif

}  // namespace tds
