#include "text_typing.h"
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace tds {

namespace {

// Code page 936 from the system where it has one (Windows, whose Qt
// builds often come without ICU); elsewhere from Qt (through ICU).
// An empty result: no such character.
#ifdef Q_OS_WIN
QByteArray toCodePage936(QStringView text)
{
    const auto wide = reinterpret_cast<LPCWCH>(text.utf16());
    const int length = ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(length, Qt::Uninitialized);
    BOOL substituted = FALSE;
    if (length <= 0
        || ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), length, nullptr, &substituted) != length
        || substituted)
        return QByteArray();
    return bytes;
}

QString fromCodePage936(const QByteArray &bytes)
{
    const int length = ::MultiByteToWideChar(936, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString text(qMax(length, 0), Qt::Uninitialized);
    if (length > 0)
        ::MultiByteToWideChar(936, 0, bytes.constData(), int(bytes.size()), reinterpret_cast<LPWSTR>(text.data()), length);
    return text;
}
#else
QByteArray toCodePage936(QStringView text)
{
    QStringEncoder encode("GBK");
    const QByteArray bytes = encode(text);
    return encode.isValid() && !encode.hasError() ? bytes : QByteArray();
}

QString fromCodePage936(const QByteArray &bytes)
{
    QStringDecoder decode("GBK");
    return decode(bytes);
}
#endif

}  // namespace

bool parseTextType(const QString &text, TextType *type)
{
    if (text == QLatin1String("nvarchar"))
        *type = TextType::NVarChar;
    else if (text == QLatin1String("varchar"))
        *type = TextType::VarChar;
    else if (text == QLatin1String("mixed"))
        *type = TextType::Mixed;
    else
        return false;
    return true;
}

ColumnType textColumnType(ColumnType typed, const QString &name, TextType textType)
{
    if (typed != ColumnType::NVarChar && typed != ColumnType::NVarCharMax)
        return typed;
    const bool describes = name.compare(QLatin1String("Tabledefine"), Qt::CaseInsensitive) == 0
                           || name.compare(QLatin1String("FieldDef"), Qt::CaseInsensitive) == 0
                           || name == QStringLiteral("中文表名") || name == QStringLiteral("字段含义");
    if (textType == TextType::NVarChar || (textType == TextType::Mixed && describes))
        return typed;
    return typed == ColumnType::NVarChar ? ColumnType::VarChar : ColumnType::VarCharMax;
}

QByteArray encodeCodePage936(const QString &text)
{
    // The code page as Windows has it; the round trip weeds out the
    // characters an encoder would otherwise approximate.
    static QHash<char16_t, QByteArray> known;
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += char(u);
            continue;
        }
        auto it = known.constFind(u);
        if (it == known.constEnd()) {
            QByteArray bytes = "?";
            if (!c.isSurrogate()) {
                const QByteArray candidate = toCodePage936(QStringView(&c, 1));
                if (!candidate.isEmpty() && fromCodePage936(candidate) == QString(c))
                    bytes = candidate;
            }
            it = known.insert(u, bytes);
        }
        out += *it;
    }
    return out;
}

QString decodeCodePage936(const QByteArray &bytes)
{
    return fromCodePage936(bytes);
}

}  // namespace tds
