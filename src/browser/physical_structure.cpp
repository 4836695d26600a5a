#include "physical_structure.h"
#include "data/object_names.h"
#include "export/physical_facts.h"

namespace browser {

using namespace dd::catalog;

PhysicalStructure::PhysicalStructure(std::shared_ptr<const dd::Dictionary> dictionary, Catalog catalog)
    : dictionary_(std::move(dictionary)), catalog_(std::move(catalog)),
      comparison_(compare(*dictionary_, catalog_))
{
    physicalByName_.reserve(int(catalog_.tables.size()));
    for (int i = 0; i < int(catalog_.tables.size()); ++i)
        physicalByName_.insert(dd::nameKey(catalog_.tables[size_t(i)].name), i);
    dictionaryByName_.reserve(int(dictionary_->tables.size()));
    for (int i = int(dictionary_->tables.size()) - 1; i >= 0; --i)   // the first one wins
        dictionaryByName_.insert(dd::nameKey(dictionary_->tables[size_t(i)].name), i);
}

const Table *PhysicalStructure::physicalTable(const QString &name) const
{
    const auto it = physicalByName_.constFind(dd::nameKey(name));
    return it == physicalByName_.constEnd() ? nullptr : &catalog_.tables[size_t(*it)];
}

int PhysicalStructure::dictionaryTable(const QString &name) const
{
    return dictionaryByName_.value(dd::nameKey(name), -1);
}

QString PhysicalStructure::rowCountText(const QString &name) const
{
    return dd::exporting::rowCountText(physicalTable(name), catalog_);
}

bool PhysicalStructure::isListedWhenHidingEmpty(const QString &name) const
{
    const Table *table = physicalTable(name);
    return table && (table->rowCount > 0 || table->rowCount < 0);
}

}  // namespace browser
