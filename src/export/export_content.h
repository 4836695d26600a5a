#pragma once
// What an export writes: some tables of one dictionary with their fields,
// and the heading that names the account, the year and the time of export.
#include "data/dictionary.h"
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace dd::exporting {

struct ExportHeading {
    QString account;   // the account entry, "[001]Main"
    QString year;      // "2011"
    QDateTime time;    // when the export ran
};

// The database's own facts beside the dictionary, for an export that
// asks for them (physical_facts.h makes them).
struct PhysicalFacts {
    std::vector<QString> rowCount;                // per Dictionary::tables index: 约行数
    std::vector<std::array<QString, 4>> field;    // per Dictionary::fields index:
                                                  // 实际类型, 允许空, 键, 核对
};

struct ExportContent {
    const Dictionary *dictionary = nullptr;
    std::vector<int> tables;   // indexes into dictionary->tables, in the order written
    ExportHeading heading;
    const PhysicalFacts *physical = nullptr;   // null: the dictionary alone

    const DictionaryTable &table(int i) const { return dictionary->tables[tables[i]]; }
    int tableCount() const { return int(tables.size()); }
    int fieldCount() const;

    // What the physical facts add after a table's or a field's own values
    // (nothing without them), and their captions.
    QStringList tableExtras(int position) const;
    QStringList fieldExtras(int field) const;
    QStringList tableExtraColumns() const;   // 约行数
    QStringList fieldExtraColumns() const;   // 实际类型, 允许空, 键, 核对
};

// Column captions of the table list and of the field list.
QStringList tableColumns();   // 数据表, 中文表名, 所属模块, 字段数
QStringList fieldColumns();   // 数据表, 中文表名, 所属模块, 序号, 字段名称, 字段含义, 字段类型

// "账套：[001]Main　会计年度：2011　导出时间：2026-12-09 10:30:00"
QString headingLine(const ExportHeading &heading);
// "数据字典 [001]Main 2011"
QString documentTitle(const ExportHeading &heading);

// The modules of the content in the order they first appear, each with the
// positions (into ExportContent::tables) of its tables.
struct ModuleGroup {
    QString module;
    std::vector<int> positions;
};
std::vector<ModuleGroup> groupByModule(const ExportContent &content);

// Called after each table written with the number of fields written so far;
// false stops the export (it then throws exportCancelled()).
using WriteProgress = std::function<bool(int fieldsWritten)>;

}  // namespace dd::exporting
