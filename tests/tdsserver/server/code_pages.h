#pragma once
// Eight-bit text as a client sends it: in the code page of the collation
// that comes with the value (the server's own when none does).
#include <QByteArray>
#include <QString>

namespace tds {

// The Windows code page of a five-byte TDS collation (LCID, flags, sort id);
// the server's (936) for anything shorter.
int codePageOfCollation(const QByteArray &collation);

QString decodeCodePage(int codePage, const QByteArray &bytes);

}  // namespace tds
