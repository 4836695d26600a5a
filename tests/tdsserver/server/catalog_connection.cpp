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

std::shared_ptr<CatalogShape> readShape(QSqlDatabase db)
{
    auto shape = std::make_shared<CatalogShape>();
    QSqlQuery tables(db);
    if (!tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')")))
        return shape;
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString &table : names) {
        QSqlQuery columns(db);
        if (columns.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table))))
            while (columns.next())
                shape->places[columns.value(1).toString().toLower()] << qMakePair(table, columns.value(1).toString());
    }
    return shape;
}

// SQL sees code points and UTF-8 bytes; the wire counts UTF-16 units and
// code page 936 bytes. ASCII text counts alike in all; any other value has
// between one and two units (and bytes) a code point, so only values at
// least half as long as the measure sought are converted here.
ColumnWidth measureColumn(QSqlDatabase db, const QVector<QPair<QString, QString>> &places, bool exact)
{
    ColumnWidth w;
    for (const auto &[table, column] : places) {
        const QString c = quotedName(column), t = quotedName(table);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT max(length(%1)), max(CASE WHEN length(CAST(%1 AS BLOB)) = length(%1) "
                                   "THEN length(%1) END) FROM %2 WHERE typeof(%1) = 'text'").arg(c, t))
            || !q.next())
            continue;
        const int longest = q.value(0).toInt(), ascii = q.value(1).toInt();
        w.characters = qMax(w.characters, ascii);
        w.bytes = qMax(w.bytes, ascii);
        const int from = exact ? (longest + 1) / 2 : 2000;
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT %1 FROM %2 WHERE typeof(%1) = 'text' AND length(CAST(%1 AS BLOB)) <> length(%1) "
                                   "AND length(%1) >= %3").arg(c, t).arg(from)))
            continue;
        while (q.next()) {
            const QString text = q.value(0).toString();
            w.characters = qMax(w.characters, int(text.size()));
            w.bytes = qMax(w.bytes, int(encodeCodePage936(text).size()));
        }
    }
    return w;
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

CatalogShape &CatalogConnection::shape()
{
    if (!shape_) {
        // A file written anew is read anew.
        static QHash<QString, std::shared_ptr<CatalogShape>> shapes;
        const bool inMemory = file_ == QLatin1String(":memory:");
        const QFileInfo info(file_);
        const QString key = QStringLiteral("%1|%2|%3").arg(file_).arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size());
        auto it = inMemory ? shapes.end() : shapes.find(key);
        if (it != shapes.end()) {
            shape_ = *it;
        } else {
            shape_ = readShape(QSqlDatabase::database(name_, false));
            if (!inMemory)
                shapes.insert(key, shape_);
        }
    }
    return *shape_;
}

bool CatalogConnection::hasColumn(const QString &name)
{
    return shape().places.contains(name.toLower());
}

ColumnWidth CatalogConnection::widthOf(const QString &column)
{
    CatalogShape &s = shape();
    const QString key = column.toLower();
    auto it = s.widths.find(key);
    if (it == s.widths.end())
        it = s.widths.insert(key, measureColumn(QSqlDatabase::database(name_, false), s.places.value(key), fitWidths_));
    return *it;
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
        const ColumnWidth w = widthOf(source.column);
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
