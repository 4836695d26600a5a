#pragma once
// One catalog file opened read-only through Qt's SQLite driver.
#include "result_set.h"
#include "result_typing.h"
#include "text_typing.h"
#include <QHash>
#include <QString>
#include <memory>

namespace tds {

struct QueryOutcome {
    bool ok = false;
    bool hasResultSet = false;  // a statement that yields rows (maybe none)
    ResultSet rows;
    qint64 affected = 0;
    QString sqliteError;        // SQLite's own text when !ok
};

// The longest text a column holds anywhere in its catalog: what a server's
// schema would have to declare for it. Exact when asked for; otherwise only
// whether a value passes 4000 characters or 8000 bytes is certain.
struct ColumnWidth {
    int characters = 0;  // UTF-16 units
    int bytes = 0;       // in code page 936
};
// The columns of a catalog's tables, and the widths measured so far; kept
// for the whole run, since the files are read-only.
struct CatalogShape {
    QHash<QString, QVector<QPair<QString, QString>>> places;  // lower-case column name -> (table, column)
    QHash<QString, ColumnWidth> widths;                       // by lower-case column name
};

class CatalogConnection {
public:
    // connectionName must be unique in the process.
    // fitWidths: text and binary columns are declared as wide as their
    // longest value rather than the largest width.
    CatalogConnection(const QString &file, const QString &connectionName, bool fitWidths = false,
                      TextType textType = TextType::NVarChar);
    ~CatalogConnection();
    CatalogConnection(const CatalogConnection &) = delete;
    CatalogConnection &operator=(const CatalogConnection &) = delete;

    // Never creates the file.
    bool open(QString *error);
    // An empty database: every table is missing.
    bool openInMemory(QString *error);
    // sources: how the select list's items are typed (selectListSources);
    // without them each column is taken for the table column of its name.
    // systemNames: the statement reads the server's catalog, whose names
    // are nvarchar (sysname); a column of no table of the file is one.
    QueryOutcome query(const QString &statement, const QVector<TextSource> &sources = {},
                       bool systemNames = false);
    // Is there a column of that name in any table of the catalog?
    bool hasColumn(const QString &name);
    // Makes the server's catalog of this database readable (see
    // system_catalog.h), once; false with a reason when it cannot be made.
    bool attachSystemCatalog(bool sysSchema, QString *error);

private:
    bool openFile(const QString &file, QString *error);
    CatalogShape &shape();
    ColumnWidth widthOf(const QString &column);
    Column typedColumn(const QString &name, ColumnType typed, const TextSource &source,
                       const QVector<QVector<QVariant>> &rows, int column, bool systemNames);
    QString file_, name_;
    std::shared_ptr<CatalogShape> shape_;
    bool fitWidths_ = false;
    TextType textType_ = TextType::NVarChar;
    bool catalogAttached_ = false;
};

}  // namespace tds
