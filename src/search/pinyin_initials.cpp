#include "pinyin_initials.h"
#include "pinyin_table.inc"
#include <algorithm>
#include <iterator>

namespace search {

quint32 pinyinInitials(char32_t c)
{
    const auto *end = std::end(kInitialBlocks);
    // The last block that starts at or before c.
    const auto *block = std::upper_bound(std::begin(kInitialBlocks), end, c,
                                         [](char32_t v, const InitialBlock &b) { return v < b.first; });
    if (block == std::begin(kInitialBlocks))
        return 0;
    --block;
    if (c - block->first >= block->count)
        return 0;
    return kInitialMasks[kInitialIndexes[block->offset + (c - block->first)]];
}

}  // namespace search
