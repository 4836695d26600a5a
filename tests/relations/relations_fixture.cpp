#include "relations_fixture.h"
#include "data/object_names.h"

namespace reltest {

std::shared_ptr<const dd::Dictionary> dictionaryOf(const QVector<dictgen::TableRow> &tables)
{
    auto d = std::make_shared<dd::Dictionary>();
    for (const dictgen::TableRow &t : tables) {
        d->tables.push_back({t.name, t.description, t.module, int(d->fields.size()), int(t.fields.size())});
        int number = 0;
        for (const dictgen::FieldRow &f : t.fields)
            d->fields.push_back({int(d->tables.size()) - 1, ++number, f.name, f.meaning, f.type});
    }
    return d;
}

std::shared_ptr<const dd::catalog::Catalog> catalogOf(const QVector<dictgen::TableRow> &tables,
                                                      const QVector<dictgen::DeclaredKey> &keys)
{
    auto c = std::make_shared<dd::catalog::Catalog>();
    for (const dictgen::TableRow &t : tables) {
        dd::catalog::Table table;
        table.name = t.name;
        table.rowCount = 10;
        for (const dictgen::FieldRow &f : t.fields) {
            dd::catalog::Column column;
            column.name = f.name;
            column.type = f.type;
            for (const dictgen::DeclaredKey &k : keys) {
                if (!dd::sameName(k.table, t.name) || !dd::sameName(k.column, f.name))
                    continue;
                if (k.referencedTable.isEmpty()) {
                    column.keys |= dd::catalog::PrimaryKey;
                    table.keys.push_back({dd::catalog::Key::Primary, {f.name}});
                } else {
                    column.keys |= dd::catalog::ForeignKey;
                    table.references.push_back({int(table.columns.size()), k.referencedTable,
                                                k.referencedColumn});
                }
            }
            table.columns.push_back(column);
        }
        c->tables.push_back(table);
    }
    return c;
}

}  // namespace reltest
