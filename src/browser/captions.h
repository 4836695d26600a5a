#pragma once
// Captions the browser builds from the data, each in one place.
//
//   fieldCaption("GL_accvouch", 30)          // "GL_accvouch表字段说明:(此表共30个字段)"
//   tableCountCaption(true, "全部模块", 523)  // "【共加载523个表】"
//   tableCountCaption(false, "总账", 12)      // "【总账】模块共加载了12个表"
#include <QString>

namespace browser {

// Above the field grid: the current table and how many fields it has.
QString fieldCaption(const QString &tableName, int fieldCount);

// Above the table grid: how many tables the list holds, for all modules or
// for the one module chosen.
QString tableCountCaption(bool allModules, const QString &moduleName, int tableCount);

}  // namespace browser
