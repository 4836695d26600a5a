#pragma once
// The whole dictionary of one account-year database, read once: every table
// of RPT_GRPDEF in the table list's order (systemid) and every field of
// RPT_ItmDEF under its table in FieldID order. A NULL is the empty text.
#include <QString>
#include <vector>

namespace dd {

struct DictionaryTable {
    QString name;         // Tablename
    QString description;  // Tabledefine
    QString module;       // SystemName
    int firstField = 0;   // this table's fields are fields[firstField, firstField + fieldCount)
    int fieldCount = 0;
};

struct DictionaryField {
    int table = 0;        // index into Dictionary::tables
    int number = 0;       // 1-based position within its table (序号)
    QString name;         // FieldName
    QString meaning;      // FieldDef
    QString type;         // FieldType
};

struct Dictionary {
    std::vector<DictionaryTable> tables;
    std::vector<DictionaryField> fields;
};

}  // namespace dd
