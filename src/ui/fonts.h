#pragma once
// Fonts that window designs set. Designs name the face and the character
// set; where the machine lacks the face, a font for the same script draws
// the text (for GB2312, the Chinese faces installed), never empty boxes.
//
//   Label1.setFont(ui::designFont("宋体", 10.5, true));   // 宋体 10.5 pt bold, GB2312
#include <QFont>
#include <QString>

namespace ui {

constexpr int GB2312_CHARSET = 134;
constexpr int DEFAULT_CHARSET = 1;

QFont designFont(const QString &face, double points, bool bold, int charset = GB2312_CHARSET);

// The character set a design font was made with (GB2312_CHARSET, ...).
int fontCharset(const QFont &font);

}  // namespace ui
