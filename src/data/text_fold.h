#pragma once
// How texts typed by people are compared: letter case and full-/half-width
// forms do not count (ＡＢＣ, abc and ABC are the same text), everything
// else does. The search and the relations between tables both use it.
#include <QString>

namespace dd {

// The folded form of a text: full-width ASCII forms and the ideographic
// space as their half-width counterparts, then case-folded.
QString foldText(const QString &text);

}  // namespace dd
