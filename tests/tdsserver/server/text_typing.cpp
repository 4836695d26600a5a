#include "text_typing.h"
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tds {

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
                QStringEncoder encode("GBK");
                QStringDecoder decode("GBK");
                const QByteArray candidate = encode(QStringView(&c, 1));
                if (encode.isValid() && !encode.hasError() && !candidate.isEmpty()
                    && QString(decode(candidate)) == QString(c))
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
    QStringDecoder decode("GBK");
    return decode(bytes);
}

}  // namespace tds
