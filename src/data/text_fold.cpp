#include "text_fold.h"

namespace dd {

QString foldText(const QString &text)
{
    QString folded = text;
    bool wide = false;
    for (QChar c : text)
        if (c.unicode() == 0x3000 || (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)) {
            wide = true;
            break;
        }
    if (wide) {
        for (QChar &c : folded) {
            if (c.unicode() == 0x3000)
                c = QLatin1Char(' ');
            else if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
                c = QChar(char16_t(c.unicode() - 0xFEE0));
        }
    }
    return folded.toCaseFolded();
}

}  // namespace dd
