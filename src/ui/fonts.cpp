#include "fonts.h"
#include <QStringList>

namespace ui {

namespace {

// Faces that draw GB2312 text, in order of likeness to the classic Song face.
QStringList chineseFaces()
{
    return {QStringLiteral("SimSun"),          QStringLiteral("NSimSun"),
            QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
            QStringLiteral("AR PL UMing CN"),  QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Droid Sans Fallback")};
}

}  // namespace

QFont designFont(const QString &face, double points, bool bold, int charset)
{
    QFont font;
    QStringList families{face};
    if (charset == GB2312_CHARSET) {
        for (const QString &f : chineseFaces())
            if (!families.contains(f))
                families << f;
    }
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::AnyStyle, QFont::PreferDefault);
    return font;
}

int fontCharset(const QFont &font)
{
    const QStringList families = font.families();
    for (const QString &f : chineseFaces())
        if (families.contains(f))
            return GB2312_CHARSET;
    return DEFAULT_CHARSET;
}

}  // namespace ui
