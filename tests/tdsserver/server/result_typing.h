#pragma once
// A server types a result's text columns before it reads a row: a column of
// a table as its table declares it, the same whatever rows a query returns;
// an expression by what it is made of, as SQL Server's type precedence has
// it (nvarchar over varchar): N'..' literals, national parameters and the
// server's own names (@@VERSION, DB_NAME()) are nvarchar, '..' literals
// varchar, and a column in an expression counts as its type.
#include "select_list_names.h"
#include "text_typing.h"
#include <functional>

namespace tds {

struct TextSource {
    enum Kind { Unknown, National, Narrow, TableColumn };
    Kind kind = Unknown;
    QString column;  // TableColumn: the column's name
};

// Whether a name is a column of one of the catalog's tables.
using ColumnLookup = std::function<bool(const QString &name)>;

// One per item of the outermost select list of a statement whose values are
// put in (Rewrite::tsql); empty when the list cannot be read item by item.
QVector<TextSource> selectListSources(const QVector<sql::Token> &tokens, TextType textType,
                                      const ColumnLookup &isColumn);

// Whether a table's text column of that name goes out as national text.
bool isNationalColumn(const QString &column, TextType textType);

}  // namespace tds
