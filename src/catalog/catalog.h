#pragma once
// The physical catalog of one account-year database, read in one pass: every
// user table and view with its columns, keys and approximate row count, as
// the server itself describes them (beside the dictionary, which only
// documents them).
#include <QString>
#include <QStringList>
#include <vector>

namespace dd::catalog {

// Key membership of a column; several may apply.
enum KeyFlag : unsigned {
    PrimaryKey = 1u << 0,   // 主键
    UniqueKey = 1u << 1,    // 唯一 (a unique index or constraint, not the primary key)
    IndexKey = 1u << 2,     // 索引 (any other index)
    ForeignKey = 1u << 3,   // 外键 (a declared foreign key)
};

struct Column {
    QString name;
    QString type;             // as SQL Server writes it: nvarchar(20), decimal(18,4), nvarchar(max)
    bool nullable = true;
    bool identity = false;
    unsigned keys = 0;        // KeyFlag bits
};

// What a column with a declared foreign key (ForeignKey set) refers to.
// Kept beside the columns rather than in them: few columns have one.
struct ForeignReference {
    int column = -1;          // index into Table::columns
    QString table;            // named as Table::name names it
    QString targetColumn;
};

// A key over one or more columns (in key order), for what single-column
// flags cannot say.
struct Key {
    enum Kind { Primary, Unique, Index } kind = Index;
    QStringList columns;
};

struct Table {
    QString name;             // "Table" in schema dbo, "schema.Table" elsewhere
    QString schema;           // empty for dbo; a table of another schema is only a finding
                              // when the dictionary names it
    bool isView = false;
    long long rowCount = -1;  // approximate; -1 when unknown (views, or counts refused)
    std::vector<Column> columns;   // in column order
    std::vector<Key> keys;
    std::vector<ForeignReference> references;   // one per column at most

    // What column `index` refers to; null when it declares no foreign key.
    const ForeignReference *referenceOf(int index) const
    {
        for (const ForeignReference &r : references)
            if (r.column == index)
                return &r;
        return nullptr;
    }
};

struct Catalog {
    std::vector<Table> tables;   // in name order
    // Why row counts are unknown for every table (the server refused the
    // statement that gives them); empty when they were read.
    QString rowCountFailure;
};

}  // namespace dd::catalog
