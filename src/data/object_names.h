#pragma once
// The server's rule for the names of tables and columns: letter case is
// ignored and trailing blanks are ignored (leading blanks count). Every
// comparison of such names goes through here.
#include <QString>

namespace dd {

// The form two names share exactly when the server takes them as one.
inline QString nameKey(const QString &name)
{
    int end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' '))
        --end;
    return name.left(end).toCaseFolded();
}

inline bool sameName(const QString &a, const QString &b)
{
    return nameKey(a) == nameKey(b);
}

}  // namespace dd
