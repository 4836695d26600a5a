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

namespace {

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

bool isAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

std::shared_ptr<const CatalogWidths> measureCatalog(QSqlDatabase db)
{
    auto widths = std::make_shared<CatalogWidths>();
    QSqlQuery tables(db);
    if (!tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')")))
        return widths;
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString &table : names) {
        QSqlQuery columns(db);
        if (!columns.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table))))
            continue;
        QStringList columnNames;
        while (columns.next())
            columnNames << columns.value(1).toString();
        for (const QString &column : columnNames) {
            ColumnWidth &w = (*widths)[column.toLower()];
            QSqlQuery values(db);
            values.setForwardOnly(true);
            if (!values.exec(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE typeof(%1) = 'text'")
                                 .arg(quotedName(column), quotedName(table))))
                continue;
            while (values.next()) {
                const QString text = values.value(0).toString();
                w.characters = qMax(w.characters, int(text.size()));
                w.bytes = qMax(w.bytes, isAscii(text) ? int(text.size()) : int(encodeCodePage936(text).size()));
            }
        }
    }
    return widths;
}

constexpr int NVarCharLimit = 4000;  // characters
constexpr int VarCharLimit = 8000;   // bytes

}  // namespace

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

const CatalogWidths &CatalogConnection::widths()
{
    if (!widths_) {
        // The catalogs are read-only: measured once for the whole process.
        // A file written anew is measured anew.
        static QHash<QString, std::shared_ptr<const CatalogWidths>> measured;
        const bool inMemory = file_ == QLatin1String(":memory:");
        const QFileInfo info(file_);
        const QString key = QStringLiteral("%1|%2|%3").arg(file_).arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size());
        auto it = inMemory ? measured.end() : measured.find(key);
        if (it != measured.end()) {
            widths_ = *it;
        } else {
            widths_ = measureCatalog(QSqlDatabase::database(name_, false));
            if (!inMemory)
                measured.insert(key, widths_);
        }
    }
    return *widths_;
}

bool CatalogConnection::hasColumn(const QString &name)
{
    return widths().contains(name.toLower());
}

Column CatalogConnection::typedColumn(const QString &name, ColumnType typed, const TextSource &given,
                                      const QVector<QVector<QVariant>> &rows, int i, bool systemNames)
{
    Column c;
    c.name = name;
    c.type = typed;
    if (typed != ColumnType::NVarChar && typed != ColumnType::NVarCharMax) {
        if (fitWidths_ && typed == ColumnType::VarBinary)
            c.width = qMax(1, longestValue(rows, i, typed));
        return c;
    }
    TextSource source = given;
    if (source.kind == TextSource::Unknown && hasColumn(name))
        source = {TextSource::TableColumn, name};
    else if (source.kind == TextSource::Unknown && systemNames)
        source.kind = TextSource::National;
    bool national = textType_ == TextType::NVarChar;
    if (source.kind == TextSource::TableColumn)
        national = national || isNationalColumn(source.column, textType_);
    else if (source.kind == TextSource::National)
        national = true;
    int longest = longestValue(rows, i, national ? ColumnType::NVarChar : ColumnType::VarChar);
    if (source.kind == TextSource::TableColumn) {
        const ColumnWidth w = widths().value(source.column.toLower());
        longest = qMax(longest, national ? w.characters : w.bytes);
    }
    if (national)
        c.type = longest > NVarCharLimit ? ColumnType::NVarCharMax : ColumnType::NVarChar;
    else
        c.type = longest > VarCharLimit ? ColumnType::VarCharMax : ColumnType::VarChar;
    if (fitWidths_ && (c.type == ColumnType::NVarChar || c.type == ColumnType::VarChar))
        c.width = qMax(1, longest);
    return c;
}

QueryOutcome CatalogConnection::query(const QString &statement, const QVector<TextSource> &sources,
                                      bool systemNames)
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
        const TextSource source = sources.size() == columns ? sources[i] : TextSource();
        out.rows.columns << typedColumn(record.fieldName(i),
                                        columnTypeFor(record.field(i).metaType(), out.rows.rows, i), source,
                                        out.rows.rows, i, systemNames);
    }
    out.affected = out.rows.rows.size();
    out.ok = true;
    return out;
}

}  // namespace tds
