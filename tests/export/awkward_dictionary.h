#pragma once
// A dictionary of awkward values for the export tests, and the readers that
// read exported files back without the writer's help (tests/export/read_export.py).
#include "dictionary_generator.h"
#include "test_folder.h"
#include <QJsonObject>
#include <QStringList>
#include <vector>

namespace exporttest {

// Account 001 "示范<&>公司", year 2011, database svdata_001_2011.
QVector<dictgen::TableRow> awkwardTables();
void makeAwkwardFolder(ddtest::DictionaryFolder &folder);

// Rows as the export writes them, from the hand-made tables.
std::vector<QStringList> expectedTableRows();   // name, description, module, field count
std::vector<QStringList> expectedFieldRows();   // table, description, module, number, name, meaning, type

// Runs the independent reader; an empty object (and a failed QVERIFY) when it fails.
QJsonObject readBack(const QString &kind, const QString &file);
// The rows of a JSON array of arrays, numbers as their decimal text.
std::vector<QStringList> rowsOf(const QJsonValue &value);

QString binaryDir();
QString sourceDir();

}  // namespace exporttest
