#include "physical_columns.h"
#include "data/object_names.h"
#include "data/recordset.h"
#include "export/physical_facts.h"

namespace browser {

using namespace dd::catalog;

namespace {

const QString NoSuchColumn = QStringLiteral("数据库中没有此字段");
const QString NoSuchTable = QStringLiteral("数据库中没有此表");
const QString Undocumented = QStringLiteral("字典中没有此字段");

QString cellText(const dd::Recordset &rs, int row, int column)
{
    const QVariant &v = rs.cell(row, column);
    return v.isNull() ? QString() : v.toString();
}

const Column *columnNamed(const Table &table, const QString &name)
{
    const QString key = dd::nameKey(name);
    for (const Column &c : table.columns)
        if (dd::nameKey(c.name) == key)
            return &c;
    return nullptr;
}

}  // namespace

TableRowCounts::TableRowCounts(std::shared_ptr<const PhysicalStructure> structure)
    : structure_(std::move(structure))
{
}

QStringList TableRowCounts::captions() const
{
    return {QStringLiteral("约行数")};
}

void TableRowCounts::rowsReplaced(const dd::Recordset *rs)
{
    rs_ = rs;
}

QString TableRowCounts::text(int row, int) const
{
    return rs_ ? structure_->rowCountText(cellText(*rs_, row, 0)) : QString();
}

FieldFacts::FieldFacts(std::shared_ptr<const PhysicalStructure> structure,
                       std::function<QString()> currentTable)
    : structure_(std::move(structure)), currentTable_(std::move(currentTable))
{
}

QStringList FieldFacts::captions() const
{
    return {QStringLiteral("实际类型"), QStringLiteral("允许空"), QStringLiteral("键"),
            QStringLiteral("核对")};
}

FieldFacts::Facts FieldFacts::factsOf(const Column &column, const QString &problem)
{
    return {column.type, dd::exporting::nullableText(column.nullable), keyText(column.keys), problem};
}

// The fields shown are those of the current table, in FieldID order: each
// is found among the dictionary's fields of that table (by position, else
// by name) for its 核对 text, and among the table's columns for the rest.
void FieldFacts::rowsReplaced(const dd::Recordset *rs)
{
    documented_.clear();
    undocumented_.clear();
    records_ = rs ? rs->rowCount() : 0;
    recordColumns_ = rs ? rs->columnCount() : 0;
    if (!rs)
        return;
    const QString tableName = currentTable_ ? currentTable_() : QString();
    const PhysicalStructure &s = *structure_;
    const Comparison &comparison = s.comparison();
    const Table *table = s.physicalTable(tableName);
    const int documentedTable = s.dictionaryTable(tableName);
    const dd::DictionaryTable *entry =
        documentedTable >= 0 ? &s.dictionary().tables[size_t(documentedTable)] : nullptr;

    documented_.resize(size_t(records_));
    for (int row = 0; row < records_; ++row) {
        const QString name = cellText(*rs, row, 0);
        int field = -1;
        if (entry) {
            const int byPosition = entry->firstField + row;
            if (row < entry->fieldCount && dd::sameName(s.dictionary().fields[size_t(byPosition)].name, name))
                field = byPosition;
            for (int f = entry->firstField; field < 0 && f < entry->firstField + entry->fieldCount; ++f)
                if (dd::sameName(s.dictionary().fields[size_t(f)].name, name))
                    field = f;
        }
        const Column *column = table ? columnNamed(*table, name) : nullptr;
        // A field of a missing table says so: the table is what is wrong.
        const QString problem = !table ? NoSuchTable
                                : field >= 0 ? comparison.fieldProblem(field)
                                             : (column ? QString() : NoSuchColumn);
        if (column)
            documented_[size_t(row)] = factsOf(*column, problem);
        else
            documented_[size_t(row)] = {QString(), QString(), QString(), problem};
    }
    if (table && documentedTable >= 0
        && size_t(documentedTable) < comparison.undocumentedColumnsOf.size())
        for (int c : comparison.undocumentedColumnsOf[size_t(documentedTable)])
            undocumented_.push_back(&table->columns[size_t(c)]);
}

QString FieldFacts::text(int row, int column) const
{
    if (row < 0 || size_t(row) >= documented_.size() || column < 0 || column >= 4)
        return QString();
    return documented_[size_t(row)][size_t(column)];
}

QString FieldFacts::extraRowText(int row, int column) const
{
    if (row < 0 || size_t(row) >= undocumented_.size())
        return QString();
    const Column &c = *undocumented_[size_t(row)];
    if (column == 0)
        return c.name;
    if (column < recordColumns_)
        return QString();   // no meaning, no documented type
    const int fact = column - recordColumns_;
    return fact < 4 ? factsOf(c, Undocumented)[size_t(fact)] : QString();
}

int FieldFacts::undocumentedRow(const QString &columnName) const
{
    for (size_t i = 0; i < undocumented_.size(); ++i)
        if (dd::sameName(undocumented_[i]->name, columnName))
            return records_ + int(i);
    return -1;
}

}  // namespace browser
