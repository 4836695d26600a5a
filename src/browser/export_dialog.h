#pragma once
// The browser's save dialog for an export: the file, its type (which picks
// the format), the scope, "当前表", "当前列表" or "整个字典", and whether the
// database's own facts go beside the dictionary's.
#include "export/export_format.h"
#include "export/export_job.h"
#include <QString>
#include <optional>

class QWidget;

namespace browser {

struct ExportChoice {
    QString file;
    dd::exporting::Format format = dd::exporting::Format::Xlsx;
    dd::exporting::Scope scope = dd::exporting::Scope::List;
    bool physical = false;   // the database's own facts beside the dictionary's
};

// Asks for the target; nothing when the user cancels. Without a current
// table "当前表" cannot be chosen.
std::optional<ExportChoice> askExportTarget(QWidget *parent, const QString &suggestedName,
                                            bool hasCurrentTable);

}  // namespace browser
