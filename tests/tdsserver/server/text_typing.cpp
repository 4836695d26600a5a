#include "text_typing.h"
#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

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

namespace {

// One UTF-16 unit in code page 936, if the code page has a character for it
// that reads back as the same unit (no best-fit approximation). Windows has
// the code page itself; elsewhere Qt's converter (ICU's GBK) stands in.
QByteArray encodeUnit(QChar c)
{
    if (c.isSurrogate())
        return QByteArray();
#ifdef Q_OS_WIN
    const wchar_t unit = wchar_t(c.unicode());
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, int(sizeof bytes), nullptr,
                                      &usedDefault);
    const QByteArray candidate = n > 0 && !usedDefault ? QByteArray(bytes, n) : QByteArray();
#else
    QStringEncoder encode("GBK");
    QByteArray candidate = encode(QStringView(&c, 1));
    if (!encode.isValid() || encode.hasError())
        candidate.clear();
#endif
    if (candidate.isEmpty() || decodeCodePage936(candidate) != QString(c))
        return QByteArray();
    return candidate;
}

}  // namespace

QByteArray encodeCodePage936(const QString &text)
{
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
            const QByteArray bytes = encodeUnit(c);
            it = known.insert(u, bytes.isEmpty() ? QByteArray("?") : bytes);
        }
        out += *it;
    }
    return out;
}

QString decodeCodePage936(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return decodeWindowsCodePage(936, bytes);
#else
    QStringDecoder decode("GBK");
    return decode(bytes);
#endif
}

#ifdef Q_OS_WIN
QString decodeWindowsCodePage(unsigned codePage, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QString();
    const int n = MultiByteToWideChar(codePage, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    QString text(qMax(n, 0), Qt::Uninitialized);
    MultiByteToWideChar(codePage, 0, bytes.constData(), int(bytes.size()),
                        reinterpret_cast<wchar_t *>(text.data()), n);
    return text;
}
#endif

}  // namespace tds
