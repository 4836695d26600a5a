#pragma once
// For measuring what a piece of speed machinery is worth: the pieces named
// in DD_MACHINERY_OFF (or set by bench_ui between runs) are left out.
//   glyphs headers combo prepare folded blocks
#include <QByteArray>

namespace dd {

inline QByteArray &machineryOff()
{
    static QByteArray off = qgetenv("DD_MACHINERY_OFF");
    return off;
}

inline bool machineryOn(const char *piece)
{
    return !machineryOff().contains(piece);
}

}  // namespace dd
