#include "drift.h"
#include "data/object_names.h"
#include "type_names.h"
#include <QHash>

namespace dd::catalog {

namespace {

const QString kNoTable = QStringLiteral("数据库中没有此表");
const QString kNoColumn = QStringLiteral("数据库中没有此字段");
const QString kUndocumentedColumn = QStringLiteral("字典中没有此字段");
const QString kTypeDiffers = QStringLiteral("类型不一致");
const QString kUndocumentedTable = QStringLiteral("字典中没有此表");

// The dictionary's own tables are documentation, never findings.
bool isDictionaryTable(const QString &key)
{
    static const QString grpdef = nameKey(QStringLiteral("RPT_GRPDEF"));
    static const QString itmdef = nameKey(QStringLiteral("RPT_ItmDEF"));
    return key == grpdef || key == itmdef;
}

// A documented name written with the default schema ("dbo.Table") names
// the same table as "Table".
QString tableKey(const QString &name)
{
    QString key = nameKey(name);
    if (key.startsWith(QLatin1String("dbo.")))
        key.remove(0, 4);
    return key;
}

// Types repeat across fields: each distinct text is normalised once.
class TypeCache {
public:
    const QString &canonical(const QString &type)
    {
        auto it = cache_.constFind(type);
        if (it == cache_.constEnd())
            it = cache_.insert(type, canonicalType(type));
        return *it;
    }

private:
    QHash<QString, QString> cache_;
};

}  // namespace

QString levelText(Level level)
{
    switch (level) {
    case Level::Error: return QStringLiteral("错误");
    case Level::Warning: return QStringLiteral("警告");
    case Level::Hint: return QStringLiteral("提示");
    }
    return QString();
}

QString keyText(unsigned keys)
{
    QStringList parts;
    if (keys & PrimaryKey)
        parts << QStringLiteral("主键");
    if (keys & UniqueKey)
        parts << QStringLiteral("唯一");
    if (keys & IndexKey)
        parts << QStringLiteral("索引");
    if (keys & ForeignKey)
        parts << QStringLiteral("外键");
    return parts.join(QStringLiteral("、"));
}

Comparison compare(const Dictionary &dictionary, const Catalog &catalog)
{
    Comparison result;
    result.physicalTableOf.assign(dictionary.tables.size(), -1);
    result.physicalColumnOf.assign(dictionary.fields.size(), -1);
    result.undocumentedColumnsOf.resize(dictionary.tables.size());
    result.fieldProblem.resize(dictionary.fields.size());

    QHash<QString, int> tableOfKey;
    tableOfKey.reserve(int(catalog.tables.size()));
    for (int t = 0; t < int(catalog.tables.size()); ++t)
        tableOfKey.insert(nameKey(catalog.tables[size_t(t)].name), t);

    std::vector<Finding> errors, warnings, hints;
    std::vector<bool> documented(catalog.tables.size(), false);
    TypeCache types;
    QHash<QString, int> columnOfKey;
    std::vector<bool> columnDocumented;

    for (int t = 0; t < int(dictionary.tables.size()); ++t) {
        const DictionaryTable &table = dictionary.tables[size_t(t)];
        const QString key = tableKey(table.name);
        const auto found = tableOfKey.constFind(key);
        const int physical = found == tableOfKey.constEnd() ? -1 : *found;
        result.physicalTableOf[size_t(t)] = physical;
        // A table listed twice is reported once, at its first listing.
        const bool report = !isDictionaryTable(key) && (physical < 0 || !documented[size_t(physical)]);
        if (physical >= 0)
            documented[size_t(physical)] = true;

        auto finding = [&](Level level, const QString &problem) {
            Finding f;
            f.level = level;
            f.table = table.name;
            f.description = table.description;
            f.problem = problem;
            f.dictionaryTable = t;
            return f;
        };

        if (physical < 0) {
            if (report)
                errors.push_back(finding(Level::Error, kNoTable));
            continue;
        }

        const Table &actual = catalog.tables[size_t(physical)];
        columnOfKey.clear();
        columnOfKey.reserve(int(actual.columns.size()));
        for (int c = 0; c < int(actual.columns.size()); ++c)
            columnOfKey.insert(nameKey(actual.columns[size_t(c)].name), c);
        columnDocumented.assign(actual.columns.size(), false);

        for (int i = table.firstField; i < table.firstField + table.fieldCount; ++i) {
            const DictionaryField &field = dictionary.fields[size_t(i)];
            const auto col = columnOfKey.constFind(nameKey(field.name));
            if (col == columnOfKey.constEnd()) {
                result.fieldProblem[size_t(i)] = kNoColumn;
                if (report) {
                    Finding f = finding(Level::Error, kNoColumn);
                    f.field = field.name;
                    f.documentedType = field.type;
                    f.dictionaryField = i;
                    errors.push_back(std::move(f));
                }
                continue;
            }
            result.physicalColumnOf[size_t(i)] = *col;
            columnDocumented[size_t(*col)] = true;
            const Column &column = actual.columns[size_t(*col)];
            const QString &documentedType = types.canonical(field.type);
            if (documentedType.isNull())
                continue;   // free text: not a type the server knows
            const QString &physicalType = types.canonical(column.type);
            if (physicalType.isNull() ? nameKey(column.type) == nameKey(field.type)
                                      : physicalType == documentedType)
                continue;
            result.fieldProblem[size_t(i)] = kTypeDiffers;
            if (report) {
                Finding f = finding(Level::Warning, kTypeDiffers);
                f.field = field.name;
                f.documentedType = field.type;
                f.physicalType = column.type;
                f.dictionaryField = i;
                warnings.push_back(std::move(f));
            }
        }

        std::vector<int> &undocumented = result.undocumentedColumnsOf[size_t(t)];
        for (int c = 0; c < int(actual.columns.size()); ++c) {
            if (columnDocumented[size_t(c)])
                continue;
            undocumented.push_back(c);
            if (report) {
                Finding f = finding(Level::Warning, kUndocumentedColumn);
                f.field = actual.columns[size_t(c)].name;
                f.physicalType = actual.columns[size_t(c)].type;
                warnings.push_back(std::move(f));
            }
        }
    }

    for (int p = 0; p < int(catalog.tables.size()); ++p) {
        const Table &table = catalog.tables[size_t(p)];
        if (documented[size_t(p)] || table.isView || !table.schema.isEmpty()
            || isDictionaryTable(nameKey(table.name)))
            continue;
        Finding f;
        f.level = Level::Hint;
        f.table = table.name;
        f.problem = kUndocumentedTable;
        hints.push_back(std::move(f));
    }

    result.findings.reserve(errors.size() + warnings.size() + hints.size());
    for (auto *group : {&errors, &warnings, &hints})
        for (Finding &f : *group)
            result.findings.push_back(std::move(f));
    return result;
}

}  // namespace dd::catalog
