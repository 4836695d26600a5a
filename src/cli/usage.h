#pragma once
// The one usage text: the program's own lines, every command's synopsis and
// options as they registered them, the options every account command
// shares, and the exit statuses.
#include <QString>

namespace dd::cli {

QString usageText();

}  // namespace dd::cli
