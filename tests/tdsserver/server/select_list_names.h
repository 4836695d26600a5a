#pragma once
// SQL Server names the columns of a result as the select list writes them:
// an alias as given, a plain column in the case the query used, and any
// other expression not at all. SQLite names plain columns as the table
// declares them and expressions by their text; this puts that right.
#include "sql_text.h"
#include <optional>

namespace tds {

// One item of a select list: its expression, less the alias if it has one.
struct SelectItem {
    QVector<sql::Token> expression;
    bool aliased = false;
};

// The items of the outermost select list; nullopt when it cannot be read
// item by item (a '*' in it, or no SELECT at all).
std::optional<QVector<SelectItem>> selectList(const QVector<sql::Token> &tokens);

// A plain column, maybe qualified (name(.name)*): its name; nullopt otherwise.
std::optional<QString> plainColumnName(const QVector<sql::Token> &expression);

// One entry per item of the outermost select list: the name SQL Server
// would give, or nullopt where SQLite's own name is already right (an
// alias). nullopt for the whole list where selectList() gives none.
std::optional<QVector<std::optional<QString>>> selectListNames(const QVector<sql::Token> &tokens);

}  // namespace tds
