#pragma once
// One catalog file opened read-only through Qt's SQLite driver.
#include "result_set.h"
#include "text_typing.h"
#include <QString>

namespace tds {

struct QueryOutcome {
    bool ok = false;
    bool hasResultSet = false;  // a statement that yields rows (maybe none)
    ResultSet rows;
    qint64 affected = 0;
    QString sqliteError;        // SQLite's own text when !ok
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
    QueryOutcome query(const QString &statement);
    // Makes the server's catalog of this database readable (see
    // system_catalog.h), once; false with a reason when it cannot be made.
    bool attachSystemCatalog(bool sysSchema, QString *error);

private:
    bool openFile(const QString &file, QString *error);
    QString file_, name_;
    bool fitWidths_ = false;
    TextType textType_ = TextType::NVarChar;
    bool catalogAttached_ = false;
};

}  // namespace tds
