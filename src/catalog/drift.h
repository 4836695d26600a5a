#pragma once
// Where the dictionary is wrong: the dictionary laid beside the physical
// catalog, table by table and field by field.
#include "catalog/catalog.h"
#include "data/dictionary.h"
#include <QString>
#include <vector>

namespace dd::catalog {

enum class Level { Error, Warning, Hint };   // 错误, 警告, 提示
QString levelText(Level level);

struct Finding {
    Level level = Level::Error;
    QString table;            // 数据表: the dictionary's name (the physical name for 字典中没有此表)
    QString description;      // 中文表名 (empty for 字典中没有此表)
    QString field;            // 字段名称; empty for a table's finding
    QString problem;          // 问题: one of the five problem texts below
    QString documentedType;   // 字典类型
    QString physicalType;     // 实际类型
    int dictionaryTable = -1; // index into Dictionary::tables; -1 for 字典中没有此表
    int dictionaryField = -1; // index into Dictionary::fields; -1 for a table or an undocumented column
};

struct Comparison {
    // Errors first, then warnings, then hints; dictionary order within each.
    std::vector<Finding> findings;
    // Per Dictionary::tables index: index into Catalog::tables, or -1.
    std::vector<int> physicalTableOf;
    // Per Dictionary::fields index: index into its table's columns, or -1.
    std::vector<int> physicalColumnOf;
    // Per Dictionary::tables index: the physical columns the dictionary does
    // not list, as indexes into that table's columns.
    std::vector<std::vector<int>> undocumentedColumnsOf;
    // Per Dictionary::fields index: what is wrong with the field, if anything.
    enum class FieldProblem : unsigned char { None, NoColumn, TypeDiffers };
    std::vector<FieldProblem> fieldProblems;

    // The field's problem text (核对), empty when it agrees or is unknown.
    QString fieldProblem(int field) const;
};

Comparison compare(const Dictionary &dictionary, const Catalog &catalog);

// The field grid's key text: "主键", "唯一", "索引", "外键" joined by "、".
QString keyText(unsigned keys);

}  // namespace dd::catalog
