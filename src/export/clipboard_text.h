#pragma once
// What copying puts on the clipboard: rows of a grid as tab-separated text
// and as an HTML table (so a paste into a spreadsheet keeps the columns),
// and the SELECT statement of a table.
#include <QString>
#include <QStringList>
#include <vector>

namespace dd::exporting {

struct CopiedRows {
    QStringList headers;              // written first when wanted
    std::vector<QStringList> rows;
};

// Tab-separated, one line per row ("\r\n" between lines). A value holding a
// tab, a line break or a quote is quoted as spreadsheets read it.
QString tabSeparated(const CopiedRows &rows, bool withHeaders);
// A complete HTML fragment with one table, UTF-8 declared.
QString htmlTable(const CopiedRows &rows, bool withHeaders);

// "select cInvCode, -- 存货编码" ... "from Inventory": one field a line, its
// meaning as a comment; names that need it bracketed.
struct SelectField {
    QString name, meaning;
};
QString selectStatement(const QString &table, const std::vector<SelectField> &fields);
// A name as it can stand in a statement: as it is, or [bracketed].
QString sqlName(const QString &name);
// A text as one comment line: its line breaks become spaces.
QString commentText(const QString &text);

}  // namespace dd::exporting
