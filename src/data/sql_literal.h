#pragma once
#include <QString>

namespace dd {

// The inside of a quoted SQL literal: every apostrophe doubled.
inline QString quoteInside(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

}  // namespace dd
