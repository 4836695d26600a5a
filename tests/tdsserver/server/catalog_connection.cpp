#include "catalog_connection.h"
#include "column_typing.h"
#include "system_catalog.h"
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tds {

CatalogConnection::CatalogConnection(const QString &file, const QString &connectionName, bool fitWidths,
                                     TextType textType)
    : file_(file), name_(connectionName), fitWidths_(fitWidths), textType_(textType)
{
}

CatalogConnection::~CatalogConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::removeDatabase(name_);
}

bool CatalogConnection::open(QString *error)
{
    if (!QFileInfo(file_).isFile()) {
        *error = QStringLiteral("no such file: %1").arg(file_);
        return false;
    }
    return openFile(file_, error);
}

bool CatalogConnection::openInMemory(QString *error)
{
    return openFile(QStringLiteral(":memory:"), error);
}

bool CatalogConnection::openFile(const QString &file, QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}

bool CatalogConnection::attachSystemCatalog(bool sysSchema, QString *error)
{
    if (catalogAttached_)
        return true;
    const QString file = file_ == QLatin1String(":memory:") ? QString()
                                                             : systemCatalog::catalogFileFor(file_, name_, error);
    if (file.isEmpty())
        return error->isEmpty();   // an empty database has no catalog to show
    QSqlQuery q(QSqlDatabase::database(name_, false));
    if (!q.exec(QStringLiteral("attach database '%1' as %2")
                    .arg(QString(file).replace(QLatin1Char('\''), QLatin1String("''")), systemCatalog::attachName(sysSchema)))) {
        *error = q.lastError().text();
        return false;
    }
    catalogAttached_ = true;
    return true;
}

QueryOutcome CatalogConnection::query(const QString &statement)
{
    QueryOutcome out;
    QSqlQuery q(QSqlDatabase::database(name_, false));
    q.setForwardOnly(true);
    if (!q.exec(statement)) {
        out.sqliteError = q.lastError().databaseText();
        if (out.sqliteError.isEmpty())
            out.sqliteError = q.lastError().text();
        return out;
    }
    const QSqlRecord record = q.record();
    out.hasResultSet = q.isSelect() || record.count() > 0;
    if (!out.hasResultSet) {
        out.ok = true;
        out.affected = qMax(0, q.numRowsAffected());
        return out;
    }
    const int columns = record.count();
    while (q.next()) {
        QVector<QVariant> row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = q.value(i);
        out.rows.rows << row;
    }
    if (q.lastError().type() != QSqlError::NoError) {
        out.sqliteError = q.lastError().databaseText();
        out.rows = ResultSet();
        return out;
    }
    for (int i = 0; i < columns; ++i) {
        Column c;
        c.name = record.fieldName(i);
        c.type = textColumnType(columnTypeFor(record.field(i).metaType(), out.rows.rows, i), c.name,
                                textType_);
        if (c.type == ColumnType::VarChar && longestValue(out.rows.rows, i, c.type) > 8000)
            c.type = ColumnType::VarCharMax;
        if (fitWidths_ && (c.type == ColumnType::NVarChar || c.type == ColumnType::VarChar
                           || c.type == ColumnType::VarBinary))
            c.width = qMax(1, longestValue(out.rows.rows, i, c.type));
        out.rows.columns << c;
    }
    out.affected = out.rows.rows.size();
    out.ok = true;
    return out;
}

}  // namespace tds
