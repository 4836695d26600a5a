#pragma once
// Pinyin initials of Han characters, from the Unicode Character Database's
// Unihan readings (the table is made at build time, see CMakeLists.txt).
#include <QtGlobal>

namespace search {

// The first letters of the character's Mandarin readings as a mask, bit 0
// for a ... bit 25 for z; 0 when it has none (not a Han character). 行
// gives the bits of h and x.
quint32 pinyinInitials(char32_t c);

}  // namespace search
