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

// Tables the server's own tools keep in a user database (database
// diagrams): no one documents them, and they are no hint.
bool isToolTable(const QString &key)
{
    return key == QLatin1String("sysdiagrams") || key == QLatin1String("dtproperties");
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

// Types repeat across fields, and both readers keep each distinct text
// once: a text is normalised once per copy of it in memory (known by its
// data, which stays put while the comparison runs).
class TypeCache {
public:
    const QString &canonical(const QString &type)
    {
        auto it = cache_.constFind(type.constData());
        if (it == cache_.constEnd())
            it = cache_.insert(type.constData(), canonicalType(type));
        return *it;
    }

private:
    QHash<const QChar *, QString> cache_;
};

// The columns of one table by name, as the server compares names (see
// object_names.h), without making a folded copy of every name: an
// open-addressing table of folded-name hashes.
class ColumnIndex {
public:
    void reset(const std::vector<Column> &columns)
    {
        columns_ = &columns;
        size_t size = 16;
        while (size < columns.size() * 2)
            size *= 2;
        slots_.assign(size, -1);
        hashes_.resize(columns.size());
        for (int c = 0; c < int(columns.size()); ++c) {
            const size_t h = foldedHash(columns[size_t(c)].name);
            hashes_[size_t(c)] = h;
            size_t i = h & (slots_.size() - 1);
            while (slots_[i] >= 0) {
                // A name the table has twice keeps its first column.
                if (hashes_[size_t(slots_[i])] == h && foldedEqual(columns[size_t(slots_[i])].name, columns[size_t(c)].name))
                    break;
                i = (i + 1) & (slots_.size() - 1);
            }
            if (slots_[i] < 0)
                slots_[i] = c;
        }
    }

    int find(const QString &name) const
    {
        const size_t h = foldedHash(name);
        for (size_t i = h & (slots_.size() - 1); slots_[i] >= 0; i = (i + 1) & (slots_.size() - 1)) {
            const int c = slots_[i];
            if (hashes_[size_t(c)] == h && foldedEqual((*columns_)[size_t(c)].name, name))
                return c;
        }
        return -1;
    }

private:
    static int significantLength(const QString &s)
    {
        int end = int(s.size());
        while (end > 0 && s.at(end - 1) == QLatin1Char(' '))
            --end;
        return end;
    }
    static char32_t folded(const QString &s, int &i)
    {
        char32_t c = s.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s.at(i).unicode(), s.at(i + 1).unicode());
            ++i;
        }
        ++i;
        if (c < 0x80)
            return c >= 'A' && c <= 'Z' ? c + 32 : c;
        return QChar::toCaseFolded(c);
    }
    static size_t foldedHash(const QString &s)
    {
        const int end = significantLength(s);
        size_t h = 1469598103934665603ull;
        for (int i = 0; i < end;) {
            h ^= folded(s, i);
            h *= 1099511628211ull;
        }
        return h;
    }
    static bool foldedEqual(const QString &a, const QString &b)
    {
        const int ea = significantLength(a), eb = significantLength(b);
        int i = 0, j = 0;
        while (i < ea && j < eb)
            if (folded(a, i) != folded(b, j))
                return false;
        return i == ea && j == eb;
    }

    const std::vector<Column> *columns_ = nullptr;
    std::vector<int> slots_;
    std::vector<size_t> hashes_;
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

QString Comparison::fieldProblem(int field) const
{
    if (field < 0 || size_t(field) >= fieldProblems.size())
        return QString();
    switch (fieldProblems[size_t(field)]) {
    case FieldProblem::NoColumn: return kNoColumn;
    case FieldProblem::TypeDiffers: return kTypeDiffers;
    case FieldProblem::None: break;
    }
    return QString();
}

Comparison compare(const Dictionary &dictionary, const Catalog &catalog)
{
    Comparison result;
    result.physicalTableOf.assign(dictionary.tables.size(), -1);
    result.physicalColumnOf.assign(dictionary.fields.size(), -1);
    result.undocumentedColumnsOf.resize(dictionary.tables.size());
    result.fieldProblems.resize(dictionary.fields.size());

    QHash<QString, int> tableOfKey;
    tableOfKey.reserve(int(catalog.tables.size()));
    for (int t = 0; t < int(catalog.tables.size()); ++t)
        tableOfKey.insert(nameKey(catalog.tables[size_t(t)].name), t);

    std::vector<Finding> errors, warnings, hints;
    std::vector<bool> documented(catalog.tables.size(), false);
    TypeCache types;
    ColumnIndex columnIndex;
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
        columnIndex.reset(actual.columns);
        columnDocumented.assign(actual.columns.size(), false);

        for (int i = table.firstField; i < table.firstField + table.fieldCount; ++i) {
            const DictionaryField &field = dictionary.fields[size_t(i)];
            const int col = columnIndex.find(field.name);
            if (col < 0) {
                result.fieldProblems[size_t(i)] = Comparison::FieldProblem::NoColumn;
                if (report) {
                    Finding f = finding(Level::Error, kNoColumn);
                    f.field = field.name;
                    f.documentedType = field.type;
                    f.dictionaryField = i;
                    errors.push_back(std::move(f));
                }
                continue;
            }
            result.physicalColumnOf[size_t(i)] = col;
            columnDocumented[size_t(col)] = true;
            const Column &column = actual.columns[size_t(col)];
            if (field.type == column.type)
                continue;   // written alike: nothing to normalise
            const QString &documentedType = types.canonical(field.type);
            if (documentedType.isNull())
                continue;   // free text: not a type the server knows
            const QString &physicalType = types.canonical(column.type);
            if (physicalType.isNull() ? nameKey(column.type) == nameKey(field.type)
                                      : physicalType == documentedType)
                continue;
            result.fieldProblems[size_t(i)] = Comparison::FieldProblem::TypeDiffers;
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
        if (documented[size_t(p)] || table.isView || !table.schema.isEmpty())
            continue;
        const QString key = nameKey(table.name);
        if (isDictionaryTable(key) || isToolTable(key))
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
