#pragma once
// The database's own structure beside the dictionary, as the browser shows
// it: the catalog read, where the dictionary is wrong, and lookups by table
// name as the server takes names (letter case and trailing blanks ignored).
// Made once per catalog read, off the window thread; read-only after.
#include "catalog/catalog.h"
#include "catalog/drift.h"
#include "data/dictionary.h"
#include <QHash>
#include <QString>
#include <memory>

namespace browser {

class PhysicalStructure {
public:
    PhysicalStructure(std::shared_ptr<const dd::Dictionary> dictionary, dd::catalog::Catalog catalog);

    const dd::Dictionary &dictionary() const { return *dictionary_; }
    const dd::catalog::Catalog &catalog() const { return catalog_; }
    const dd::catalog::Comparison &comparison() const { return comparison_; }

    // The table or view of that name; nullptr when the database has none.
    const dd::catalog::Table *physicalTable(const QString &name) const;
    // The first dictionary table of that name; -1 when there is none.
    int dictionaryTable(const QString &name) const;
    // 约行数: digits; "?" when the server refused the counts; empty for a
    // view or a table the database lacks.
    QString rowCountText(const QString &name) const;
    // Listed while empty tables are hidden: a table with rows, or one whose
    // count is unknown (a view, or counts refused); never a missing one.
    bool isListedWhenHidingEmpty(const QString &name) const;

private:
    std::shared_ptr<const dd::Dictionary> dictionary_;
    dd::catalog::Catalog catalog_;
    dd::catalog::Comparison comparison_;
    QHash<QString, int> physicalByName_;
    QHash<QString, int> dictionaryByName_;
};

}  // namespace browser
