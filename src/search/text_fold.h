#pragma once
// How the search compares texts: letter case and full-/half-width forms do
// not count (ＡＢＣ, abc and ABC are the same text), everything else does.
#include <QString>

namespace search {

// The folded form of a text: full-width ASCII forms and the ideographic
// space as their half-width counterparts, then case-folded.
QString foldText(const QString &text);

}  // namespace search
