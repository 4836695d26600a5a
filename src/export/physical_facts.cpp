#include "physical_facts.h"

namespace dd::exporting {

QString rowCountText(const catalog::Table *table, const catalog::Catalog &catalog)
{
    if (!table || table->isView)
        return QString();
    if (table->rowCount < 0)
        return catalog.rowCountFailure.isEmpty() ? QString() : QStringLiteral("?");
    return QString::number(table->rowCount);
}

QString nullableText(bool nullable)
{
    return nullable ? QStringLiteral("是") : QStringLiteral("否");
}

PhysicalFacts physicalFacts(const Dictionary &dictionary, const catalog::Catalog &catalog,
                            const catalog::Comparison &comparison)
{
    PhysicalFacts facts;
    facts.rowCount.resize(dictionary.tables.size());
    facts.field.resize(dictionary.fields.size());
    for (size_t t = 0; t < dictionary.tables.size(); ++t) {
        const int physical = t < comparison.physicalTableOf.size() ? comparison.physicalTableOf[t] : -1;
        const catalog::Table *table = physical >= 0 ? &catalog.tables[size_t(physical)] : nullptr;
        facts.rowCount[t] = rowCountText(table, catalog);
        const DictionaryTable &entry = dictionary.tables[t];
        for (int f = entry.firstField; f < entry.firstField + entry.fieldCount; ++f) {
            auto &out = facts.field[size_t(f)];
            out[3] = comparison.fieldProblem(f);
            const int column = size_t(f) < comparison.physicalColumnOf.size() ? comparison.physicalColumnOf[size_t(f)] : -1;
            if (!table || column < 0)
                continue;
            const catalog::Column &c = table->columns[size_t(column)];
            out[0] = c.type;
            out[1] = nullableText(c.nullable);
            out[2] = catalog::keyText(c.keys);
        }
    }
    return facts;
}

}  // namespace dd::exporting
