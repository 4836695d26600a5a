#include "code_pages.h"
#include "text_typing.h"
#include <QStringDecoder>

namespace tds {

namespace {

// The ANSI code page Windows gives a locale, by its primary language (and,
// for Chinese, the country).
int codePageOfLocale(quint32 lcid)
{
    switch (lcid & 0x3FF) {
    case 0x04: {
        const quint32 country = lcid & 0xFFFF;
        return country == 0x0804 || country == 0x1004 ? 936 : 950;
    }
    case 0x11: return 932;
    case 0x12: return 949;
    case 0x1E: return 874;
    case 0x2A: return 1258;
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: return 1251;
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1A: case 0x1B: case 0x1C: case 0x24: return 1250;
    case 0x08: return 1253;
    case 0x1F: return 1254;
    case 0x0D: return 1255;
    case 0x01: case 0x20: case 0x29: return 1256;
    case 0x25: case 0x26: case 0x27: return 1257;
    default: return 1252;
    }
}

// The SQL collations (a sort id) of the code pages most met.
int codePageOfSortId(int sortId)
{
    if (sortId >= 30 && sortId <= 34)
        return 437;
    if (sortId >= 40 && sortId <= 49)
        return 850;
    if (sortId >= 51 && sortId <= 61)
        return 1252;
    return 0;
}

}  // namespace

int codePageOfCollation(const QByteArray &collation)
{
    if (collation.size() < 5)
        return 936;
    const quint32 lcid = quint8(collation[0]) | quint32(quint8(collation[1])) << 8
                         | quint32(quint8(collation[2]) & 0x0F) << 16;
    const int bySort = codePageOfSortId(quint8(collation[4]));
    return bySort ? bySort : codePageOfLocale(lcid);
}

QString decodeCodePage(int codePage, const QByteArray &bytes)
{
    if (codePage == 936)
        return decodeCodePage936(bytes);
#ifdef Q_OS_WIN
    return decodeWindowsCodePage(unsigned(codePage), bytes);
#else
    QStringDecoder decode(QStringLiteral("windows-%1").arg(codePage).toLatin1().constData());
    if (!decode.isValid())
        decode = QStringDecoder(QStringLiteral("cp%1").arg(codePage).toLatin1().constData());
    if (decode.isValid())
        return decode(bytes);
    // Without a converter for it: the bytes of the first 256 code points.
    return QString::fromLatin1(bytes);
#endif
}

}  // namespace tds
