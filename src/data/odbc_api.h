#pragma once
// The ODBC interface, included the one way every platform needs it (the
// Windows headers first, without their min/max macros), and the one
// conversion of the driver's wide characters to text.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <QString>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace dd {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "UTF-16 wide ODBC characters");

// Copied as they are: the toolkit's UTF-16 decoder would take a leading
// U+FEFF or U+FFFE for a byte-order mark, dropping it or swapping every
// character after it, and costs several times the copy.
inline QString fromOdbcText(const SQLWCHAR *text, qsizetype length)
{
    return QString(reinterpret_cast<const QChar *>(text), length);
}

// The text as the driver takes it: UTF-16, not terminated (pass size()).
inline SQLWCHAR *toOdbcText(const QString &text)
{
    return reinterpret_cast<SQLWCHAR *>(const_cast<QChar *>(text.constData()));
}

}  // namespace dd
