#include "catalog_builder.h"
#include "data/object_names.h"
#include <algorithm>

namespace dd::catalog {

void CatalogBuilder::addTable(qint64 object, const QString &schema, const QString &name, bool isView)
{
    Table table;
    const bool dbo = schema.isEmpty() || sameName(schema, QStringLiteral("dbo"));
    table.schema = dbo ? QString() : schema;
    table.name = dbo ? name : schema + QLatin1Char('.') + name;
    table.isView = isView;
    tableOf_.insert(object, int(tables_.size()));
    tables_.push_back(std::move(table));
    columnIds_.emplace_back();
}

QString CatalogBuilder::shared(const QString &text)
{
    const auto it = texts_.constFind(text);
    if (it != texts_.constEnd())
        return *it;
    texts_.insert(text);
    return text;
}

bool CatalogBuilder::addColumn(qint64 object, qint64 columnId, Column column)
{
    const auto it = tableOf_.constFind(object);
    if (it == tableOf_.constEnd())
        return false;
    if (*it != pendingTable_)
        flush();
    pendingTable_ = *it;
    column.name = shared(column.name);
    column.type = shared(column.type);
    pending_.push_back(std::move(column));
    pendingIds_.push_back(columnId);
    return true;
}

void CatalogBuilder::flush()
{
    if (pendingTable_ < 0)
        return;
    // Each table's columns get one block of exactly their size.
    std::vector<Column> &columns = tables_[size_t(pendingTable_)].columns;
    std::vector<qint64> &ids = columnIds_[size_t(pendingTable_)];
    columns.reserve(columns.size() + pending_.size());
    ids.reserve(ids.size() + pendingIds_.size());
    for (Column &c : pending_)
        columns.push_back(std::move(c));
    ids.insert(ids.end(), pendingIds_.begin(), pendingIds_.end());
    pending_.clear();
    pendingIds_.clear();
    pendingTable_ = -1;
}

qint64 CatalogBuilder::columnIdByName(qint64 object, const QString &name)
{
    flush();
    const auto t = tableOf_.constFind(object);
    if (t == tableOf_.constEnd())
        return -1;
    const std::vector<Column> &columns = tables_[size_t(*t)].columns;
    for (size_t c = 0; c < columns.size(); ++c)
        if (sameName(columns[c].name, name))
            return columnIds_[size_t(*t)][c];
    return -1;
}

Column *CatalogBuilder::column(qint64 object, qint64 columnId, Table **table)
{
    flush();
    const auto t = tableOf_.constFind(object);
    if (t == tableOf_.constEnd())
        return nullptr;
    const std::vector<qint64> &ids = columnIds_[size_t(*t)];
    const auto c = std::lower_bound(ids.begin(), ids.end(), columnId);
    if (c == ids.end() || *c != columnId)
        return nullptr;
    if (table)
        *table = &tables_[size_t(*t)];
    return &tables_[size_t(*t)].columns[size_t(c - ids.begin())];
}

void CatalogBuilder::addIndexColumn(qint64 object, qint64 index, Key::Kind kind, qint64 columnId)
{
    Table *table = nullptr;
    Column *col = column(object, columnId, &table);
    if (!col)
        return;
    col->keys |= kind == Key::Primary ? PrimaryKey : kind == Key::Unique ? UniqueKey : IndexKey;
    auto it = keyOf_.find({object, index});
    if (it == keyOf_.end()) {
        it = keyOf_.insert({object, index}, int(table->keys.size()));
        table->keys.push_back(Key{kind, {}});
    }
    table->keys[size_t(*it)].columns << col->name;
}

void CatalogBuilder::addForeignKey(qint64 object, qint64 columnId, qint64 referencedObject,
                                   qint64 referencedColumn)
{
    Table *owner = nullptr;
    Column *col = column(object, columnId, &owner);
    if (!col)
        return;
    Table *target = nullptr;
    const Column *targetColumn = column(referencedObject, referencedColumn, &target);
    col->keys |= ForeignKey;
    const int index = int(col - owner->columns.data());
    if (targetColumn && !owner->referenceOf(index))
        owner->references.push_back({index, target->name, targetColumn->name});
}

void CatalogBuilder::setRowCount(qint64 object, long long rows)
{
    const auto it = tableOf_.constFind(object);
    if (it != tableOf_.constEnd() && !tables_[size_t(*it)].isView)
        tables_[size_t(*it)].rowCount = rows;
}

Catalog CatalogBuilder::take()
{
    flush();
    std::vector<std::pair<QString, int>> order;
    order.reserve(tables_.size());
    for (int t = 0; t < int(tables_.size()); ++t)
        order.emplace_back(nameKey(tables_[size_t(t)].name), t);
    std::sort(order.begin(), order.end());
    Catalog catalog;
    catalog.tables.reserve(tables_.size());
    for (const auto &entry : order) {
        catalog.tables.push_back(std::move(tables_[size_t(entry.second)]));
    }
    tables_.clear();
    columnIds_.clear();
    tableOf_.clear();
    keyOf_.clear();
    texts_.clear();
    return catalog;
}

}  // namespace dd::catalog
