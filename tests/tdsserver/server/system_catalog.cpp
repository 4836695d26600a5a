#include "system_catalog.h"
#include "session_state.h"
#include <QAtomicInt>
#include <QDateTime>
#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace tds::systemCatalog {

namespace {

// How a type's length, precision and scale follow from what is declared.
enum class Sizing { Fixed, Chars, NChars, Bytes, Decimal, Scaled };

struct TypeInfo {
    int id;          // system_type_id (xtype)
    int bytes;       // max_length of a fixed-size type
    int precision, scale;
    Sizing sizing;
};

const QHash<QString, TypeInfo> &typeInfo()
{
    static const QHash<QString, TypeInfo> types = {
        {"bigint", {127, 8, 19, 0, Sizing::Fixed}},       {"int", {56, 4, 10, 0, Sizing::Fixed}},
        {"smallint", {52, 2, 5, 0, Sizing::Fixed}},       {"tinyint", {48, 1, 3, 0, Sizing::Fixed}},
        {"bit", {104, 1, 1, 0, Sizing::Fixed}},           {"decimal", {106, 9, 18, 0, Sizing::Decimal}},
        {"numeric", {108, 9, 18, 0, Sizing::Decimal}},    {"money", {60, 8, 19, 4, Sizing::Fixed}},
        {"smallmoney", {122, 4, 10, 4, Sizing::Fixed}},   {"float", {62, 8, 53, 0, Sizing::Fixed}},
        {"real", {59, 4, 24, 0, Sizing::Fixed}},          {"datetime", {61, 8, 23, 3, Sizing::Fixed}},
        {"smalldatetime", {58, 4, 16, 0, Sizing::Fixed}}, {"date", {40, 3, 10, 0, Sizing::Fixed}},
        {"time", {41, 5, 16, 7, Sizing::Scaled}},         {"datetime2", {42, 8, 27, 7, Sizing::Scaled}},
        {"datetimeoffset", {43, 10, 34, 7, Sizing::Scaled}},
        {"char", {175, 1, 0, 0, Sizing::Chars}},          {"varchar", {167, 1, 0, 0, Sizing::Chars}},
        {"text", {35, 16, 0, 0, Sizing::Fixed}},          {"nchar", {239, 2, 0, 0, Sizing::NChars}},
        {"nvarchar", {231, 2, 0, 0, Sizing::NChars}},     {"ntext", {99, 16, 0, 0, Sizing::Fixed}},
        {"binary", {173, 1, 0, 0, Sizing::Bytes}},        {"varbinary", {165, 1, 0, 0, Sizing::Bytes}},
        {"image", {34, 16, 0, 0, Sizing::Fixed}},         {"uniqueidentifier", {36, 16, 0, 0, Sizing::Fixed}},
        {"timestamp", {189, 8, 0, 0, Sizing::Fixed}},     {"xml", {241, -1, 0, 0, Sizing::Fixed}},
        {"sql_variant", {98, 8016, 0, 0, Sizing::Fixed}},
    };
    return types;
}

constexpr int kSysnameUserType = 256;

// A column's type as the catalog records it.
struct ColumnType {
    QString name;            // the system type's name
    int systemType = 98, userType = 98;
    int bytes = 8016, precision = 0, scale = 0;
    bool identity = false;
};

ColumnType columnType(const QString &declared)
{
    ColumnType t;
    QString text = declared.simplified().toLower();
    if (text.endsWith(QLatin1String(" identity"))) {
        t.identity = true;
        text.chop(9);
    }
    QString name = text;
    QStringList args;
    const int open = text.indexOf(QLatin1Char('('));
    if (open > 0 && text.endsWith(QLatin1Char(')'))) {
        name = text.left(open).trimmed();
        for (const QString &a : text.mid(open + 1, text.size() - open - 2).split(QLatin1Char(',')))
            args << a.trimmed();
    }
    if (name == QLatin1String("sysname")) {
        t.name = QStringLiteral("nvarchar");
        t.systemType = 231;
        t.userType = kSysnameUserType;
        t.bytes = 256;
        return t;
    }
    if (name == QLatin1String("integer"))
        name = QStringLiteral("int");
    if (name == QLatin1String("float") && !args.isEmpty() && args[0].toInt() > 0 && args[0].toInt() <= 24)
        name = QStringLiteral("real");
    const auto it = typeInfo().constFind(name);
    if (it == typeInfo().constEnd()) {
        t.name = QStringLiteral("sql_variant");   // no type the server knows
        return t;
    }
    const TypeInfo &info = *it;
    t.name = name;
    t.systemType = t.userType = info.id;
    t.bytes = info.bytes;
    t.precision = info.precision;
    t.scale = info.scale;
    const bool max = args.value(0) == QLatin1String("max");
    const int n = args.isEmpty() ? 1 : args[0].toInt();
    switch (info.sizing) {
    case Sizing::Fixed:
        break;
    case Sizing::Chars:
    case Sizing::Bytes:
        t.bytes = max ? -1 : n;
        break;
    case Sizing::NChars:
        t.bytes = max ? -1 : 2 * n;
        break;
    case Sizing::Decimal:
        t.precision = args.isEmpty() ? 18 : n;
        t.scale = args.size() > 1 ? args[1].toInt() : 0;
        t.bytes = t.precision <= 9 ? 5 : t.precision <= 19 ? 9 : t.precision <= 28 ? 13 : 17;
        break;
    case Sizing::Scaled:
        t.scale = args.isEmpty() ? 7 : n;
        break;
    }
    return t;
}

// SQL Server 2000 has no max types: they are text, ntext and image there.
ColumnType as2000(ColumnType t)
{
    if (t.bytes != -1 || t.systemType == 241)
        return t;
    t.name = t.name == QLatin1String("nvarchar") ? QStringLiteral("ntext")
             : t.name == QLatin1String("varchar") ? QStringLiteral("text") : QStringLiteral("image");
    t.systemType = t.userType = typeInfo().value(t.name).id;
    t.bytes = 16;
    return t;
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The catalog's tables, by the name they get in the file, and their columns.
const char *const kSchema[] = {
    "create table objects (object_id int, name text collate nocase, schema_id int, type text collate rtrim,"
    " is_ms_shipped int)",
    "create view tables as select * from objects where type = 'U'",
    "create view views as select * from objects where type = 'V'",
    "create table schemas (schema_id int, name text collate nocase)",
    "create table columns (object_id int, column_id int, name text collate nocase, system_type_id int,"
    " user_type_id int, max_length int, precision int, scale int, is_nullable int, is_identity int)",
    "create table types (name text collate nocase, system_type_id int, user_type_id int, max_length int,"
    " precision int, scale int, is_user_defined int)",
    "create table indexes (object_id int, index_id int, name text collate nocase, type int, is_unique int,"
    " is_primary_key int, is_unique_constraint int, is_hypothetical int)",
    "create table index_columns (object_id int, index_id int, index_column_id int, column_id int,"
    " key_ordinal int, is_included_column int)",
    "create table foreign_keys (object_id int, name text collate nocase, parent_object_id int,"
    " referenced_object_id int, is_ms_shipped int)",
    "create table foreign_key_columns (constraint_object_id int, constraint_column_id int,"
    " parent_object_id int, parent_column_id int, referenced_object_id int, referenced_column_id int)",
    "create table partitions (partition_id int, object_id int, index_id int, partition_number int, rows int)",
    "create table sysobjects (id int, name text collate nocase, xtype text collate rtrim, uid int,"
    " status int, parent_obj int)",
    "create table sysusers (uid int, name text collate nocase)",
    "create table syscolumns (id int, colid int, name text collate nocase, xtype int, xusertype int,"
    " length int, xprec int, xscale int, isnullable int, status int)",
    "create table systypes (name text collate nocase, xtype int, xusertype int, length int, xprec int,"
    " xscale int)",
    "create table sysindexes (id int, indid int, name text collate nocase, status int, rows int, rowcnt int)",
    "create table sysindexkeys (id int, indid int, colid int, keyno int)",
    "create table sysforeignkeys (constid int, fkeyid int, rkeyid int, fkey int, rkey int, keyno int)",
};

class Writer {
public:
    explicit Writer(QSqlDatabase db) : db_(db) {}
    bool exec(const QString &sql)
    {
        QSqlQuery q(db_);
        if (q.exec(sql))
            return true;
        error_ = q.lastError().text() + QStringLiteral(" in: ") + sql;
        return false;
    }
    bool insert(const char *table, const QVariantList &values)
    {
        auto &q = inserts_[QLatin1String(table)];
        if (!q) {
            q = std::make_unique<QSqlQuery>(db_);
            QStringList marks;
            for (int i = 0; i < values.size(); ++i)
                marks << QStringLiteral("?");
            q->prepare(QStringLiteral("insert into %1 values (%2)").arg(QLatin1String(table), marks.join(',')));
        }
        for (int i = 0; i < values.size(); ++i)
            q->bindValue(i, values[i]);
        if (q->exec())
            return true;
        error_ = q->lastError().text();
        return false;
    }
    const QString &error() const { return error_; }

private:
    QSqlDatabase db_;
    std::map<QString, std::unique_ptr<QSqlQuery>> inserts_;
    QString error_;
};

struct SourceColumn {
    QString name, declared;
    bool notNull = false;
    int pk = 0;   // position in the primary key, 0 when not in it
};
struct SourceIndex {
    QString name;
    bool unique = false, constraint = false;
    QVector<int> columns;   // cids in key order
};
struct SourceForeignKey {
    QString table;
    QVector<QPair<QString, QString>> columns;  // from, to (empty: the target's key)
};
struct SourceTable {
    qint64 rowid = 0;
    QString name;
    bool view = false;
    QVector<SourceColumn> columns;
    QVector<SourceIndex> indexes;
    QVector<SourceForeignKey> foreignKeys;
    qint64 rows = 0;
};

QVector<SourceTable> readSource(const QString &connection, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    QVector<SourceTable> tables;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select rowid, name, type = 'view' from sqlite_master where type in ('table', 'view')"
                               " and name not like 'sqlite\\_%' escape '\\' order by rowid"))) {
        *error = q.lastError().text();
        return {};
    }
    while (q.next())
        tables.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toBool(), {}, {}, {}, 0});
    for (SourceTable &t : tables) {
        const QString name = quoted(t.name);
        q.exec(QStringLiteral("pragma table_info(%1)").arg(name));
        while (q.next())
            t.columns.append({q.value(1).toString(), q.value(2).toString(), q.value(3).toBool(), q.value(5).toInt()});
        if (t.view)
            continue;
        q.exec(QStringLiteral("pragma index_list(%1)").arg(name));
        while (q.next())
            if (q.value(3).toString() != QLatin1String("pk"))
                t.indexes.append({q.value(1).toString(), q.value(2).toBool(), q.value(3).toString() == QLatin1String("u"), {}});
        for (SourceIndex &i : t.indexes) {
            q.exec(QStringLiteral("pragma index_info(%1)").arg(quoted(i.name)));
            while (q.next())
                i.columns.append(q.value(1).toInt());
        }
        q.exec(QStringLiteral("pragma foreign_key_list(%1)").arg(name));
        int lastId = -1;
        while (q.next()) {
            if (q.value(0).toInt() != lastId) {
                t.foreignKeys.append({q.value(2).toString(), {}});
                lastId = q.value(0).toInt();
            }
            t.foreignKeys.last().columns.append({q.value(3).toString(), q.value(4).toString()});
        }
        if (q.exec(QStringLiteral("select count(*) from %1").arg(name)) && q.next())
            t.rows = q.value(0).toLongLong();
    }
    return tables;
}

bool writeCatalog(Writer &w, const QVector<SourceTable> &tables)
{
    for (const char *statement : kSchema)
        if (!w.exec(QLatin1String(statement)))
            return false;
    bool ok = true;
    for (auto it = typeInfo().begin(); it != typeInfo().end(); ++it) {
        const TypeInfo &i = it.value();
        ok = ok && w.insert("types", {it.key(), i.id, i.id, i.bytes, i.precision, i.scale, 0})
             && w.insert("systypes", {it.key(), i.id, i.id, i.bytes, i.precision, i.scale});
    }
    ok = ok && w.insert("types", {"sysname", 231, kSysnameUserType, 256, 0, 0, 0})
         && w.insert("systypes", {"sysname", 231, kSysnameUserType, 256, 0, 0})
         && w.insert("schemas", {1, "dbo"}) && w.insert("sysusers", {1, "dbo"});

    QHash<QString, int> schemaIds = {{QStringLiteral("dbo"), 1}};
    QHash<QString, int> objectOf;   // folded table name
    auto objectId = [](const SourceTable &t) { return 77058079 + int(t.rowid) * 16; };
    for (const SourceTable &t : tables)
        objectOf.insert(t.name.toCaseFolded(), objectId(t));

    int nextConstraint = 2000000001;
    for (const SourceTable &t : tables) {
        if (!ok)
            break;
        const int id = objectId(t);
        // "schema.name": a table of another schema.
        QString schema = QStringLiteral("dbo"), name = t.name;
        if (t.name.contains(QLatin1Char('.'))) {
            schema = t.name.section(QLatin1Char('.'), 0, 0);
            name = t.name.section(QLatin1Char('.'), 1);
        }
        int &schemaId = schemaIds[schema.toCaseFolded()];
        if (schemaId == 0) {
            schemaId = 4 + int(schemaIds.size());
            ok = ok && w.insert("schemas", {schemaId, schema}) && w.insert("sysusers", {schemaId, schema});
        }
        const QString type = t.view ? QStringLiteral("V ") : QStringLiteral("U ");
        ok = ok && w.insert("objects", {id, name, schemaId, type, 0})
             && w.insert("sysobjects", {id, name, type, schemaId, 0x60000000, 0});

        bool hasKey = false;
        for (int c = 0; c < t.columns.size(); ++c) {
            const SourceColumn &col = t.columns[c];
            const ColumnType ct = columnType(col.declared);
            const ColumnType old = as2000(ct);
            const bool nullable = !col.notNull && col.pk == 0;
            hasKey = hasKey || col.pk > 0;
            ok = ok
                 && w.insert("columns", {id, c + 1, col.name, ct.systemType, ct.userType, ct.bytes, ct.precision,
                                         ct.scale, nullable ? 1 : 0, ct.identity ? 1 : 0})
                 && w.insert("syscolumns", {id, c + 1, col.name, old.systemType, old.userType, old.bytes,
                                            old.precision, old.scale, nullable ? 1 : 0,
                                            (ct.identity ? 0x80 : 0) | (nullable ? 0x08 : 0)});
        }
        if (t.view)
            continue;

        // The primary key is the clustered index (1); a table without one
        // is a heap (0). Both carry the row count.
        const int base = hasKey ? 1 : 0;
        ok = ok
             && w.insert("indexes", {id, base, hasKey ? QVariant(QStringLiteral("PK_") + name) : QVariant(),
                                     base, hasKey ? 1 : 0, hasKey ? 1 : 0, 0, 0})
             && w.insert("partitions", {qint64(id) * 100 + base, id, base, 1, t.rows})
             && w.insert("sysindexes", {id, base, hasKey ? QVariant(QStringLiteral("PK_") + name) : QVariant(name),
                                        hasKey ? 2048 | 16 | 2 : 0, t.rows, t.rows});
        if (hasKey) {
            QVector<QPair<int, int>> key;   // position, column id
            for (int c = 0; c < t.columns.size(); ++c)
                if (t.columns[c].pk > 0)
                    key.append({t.columns[c].pk, c + 1});
            std::sort(key.begin(), key.end());
            for (int k = 0; k < key.size(); ++k)
                ok = ok && w.insert("index_columns", {id, 1, k + 1, key[k].second, k + 1, 0})
                     && w.insert("sysindexkeys", {id, 1, key[k].second, k + 1});
        }
        int indexId = 2;
        for (const SourceIndex &i : t.indexes) {
            const int status = (i.unique ? 2 : 0) | (i.constraint ? 4096 : 0);
            ok = ok && w.insert("indexes", {id, indexId, i.name, 2, i.unique ? 1 : 0, 0, i.constraint ? 1 : 0, 0})
                 && w.insert("partitions", {qint64(id) * 100 + indexId, id, indexId, 1, t.rows})
                 && w.insert("sysindexes", {id, indexId, i.name, status, t.rows, t.rows});
            for (int k = 0; k < i.columns.size(); ++k)
                ok = ok && w.insert("index_columns", {id, indexId, k + 1, i.columns[k] + 1, k + 1, 0})
                     && w.insert("sysindexkeys", {id, indexId, i.columns[k] + 1, k + 1});
            ++indexId;
        }
        // Statistics the server made by itself: in sysindexes, never an index.
        if (t.rows > 0 && t.columns.size() > 1)
            ok = ok && w.insert("sysindexes", {id, indexId, QStringLiteral("_WA_Sys_00000002_%1").arg(id, 8, 16, QLatin1Char('0')),
                                               64, 0, 0})
                 && w.insert("sysindexkeys", {id, indexId, 2, 1});

        for (const SourceForeignKey &f : t.foreignKeys) {
            const auto target = std::find_if(tables.begin(), tables.end(), [&](const SourceTable &s) {
                return s.name.compare(f.table, Qt::CaseInsensitive) == 0;
            });
            if (target == tables.end())
                continue;
            auto columnId = [](const SourceTable &s, const QString &column) {
                for (int c = 0; c < s.columns.size(); ++c)
                    if (column.isEmpty() ? s.columns[c].pk == 1 : s.columns[c].name.compare(column, Qt::CaseInsensitive) == 0)
                        return c + 1;
                return 0;
            };
            const int constraint = nextConstraint++;
            const int targetId = objectOf.value(target->name.toCaseFolded());
            ok = ok && w.insert("foreign_keys", {constraint, QStringLiteral("FK_%1_%2").arg(name, target->name), id, targetId, 0});
            for (int k = 0; k < f.columns.size(); ++k) {
                const int from = columnId(t, f.columns[k].first);
                const int to = columnId(*target, f.columns[k].second);
                ok = ok && w.insert("foreign_key_columns", {constraint, k + 1, id, from, targetId, to})
                     && w.insert("sysforeignkeys", {constraint, id, targetId, from, to, k + 1});
            }
        }
    }
    // The keys the server's own catalog is clustered on.
    for (const char *index : {"objects (object_id)", "schemas (schema_id)", "columns (object_id, column_id)",
                              "types (user_type_id)", "indexes (object_id, index_id)",
                              "index_columns (object_id, index_id, key_ordinal)", "foreign_keys (object_id)",
                              "partitions (object_id, index_id)", "sysobjects (id)", "sysusers (uid)",
                              "syscolumns (id, colid)", "systypes (xusertype)", "sysindexes (id, indid)",
                              "sysindexkeys (id, indid, keyno)"})
        ok = ok && w.exec(QStringLiteral("create index %1 on %2")
                              .arg(QStringLiteral("ix_%1").arg(QString::fromLatin1(index).section(QLatin1Char(' '), 0, 0)),
                                   QString::fromLatin1(index)));
    return ok;
}

QTemporaryDir &catalogFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tdsserver-catalog-XXXXXX"));
    return dir;
}

bool isWord(const sql::Token &t, const char *word) { return t.kind == sql::Token::Word && t.is(word); }

}  // namespace

bool isNamedIn(const QVector<sql::Token> &tokens)
{
    static const char *const names[] = {"sysobjects", "syscolumns", "systypes", "sysindexes",
                                        "sysindexkeys", "sysforeignkeys", "sysusers"};
    for (int i = 0; i < tokens.size(); ++i) {
        if (isWord(tokens[i], "sys") && i + 1 < tokens.size() && tokens[i + 1].text == QLatin1String("."))
            return true;
        for (const char *name : names)
            if (isWord(tokens[i], name))
                return true;
    }
    return false;
}

bool readsRowCounts(const QVector<sql::Token> &tokens)
{
    bool sysindexes = false, rows = false;
    for (int i = 0; i < tokens.size(); ++i) {
        if (isWord(tokens[i], "partitions") && i >= 2 && isWord(tokens[i - 2], "sys"))
            return true;
        sysindexes = sysindexes || isWord(tokens[i], "sysindexes");
        rows = rows || isWord(tokens[i], "rows") || isWord(tokens[i], "rowcnt");
    }
    return sysindexes && rows;
}

std::optional<ServerMessage> prepare(const QVector<sql::Token> &tokens, SessionState &session)
{
    if (!isNamedIn(tokens))
        return std::nullopt;
    const bool sysSchema = session.release().major >= 9;
    if (session.refuseRowCounts && readsRowCounts(tokens)) {
        ServerMessage m;
        m.severity = 14;
        if (sysSchema) {
            m.number = 229;
            m.text = QStringLiteral("The SELECT permission was denied on the object 'partitions', "
                                    "database 'mssqlsystemresource', schema 'sys'.");
        } else {
            m.number = 230;
            m.text = QStringLiteral("SELECT permission denied on column 'rows' of object 'sysindexes', "
                                    "database '%1', owner 'dbo'.").arg(session.catalog());
        }
        return m;
    }
    QString error;
    if (!session.connection()->attachSystemCatalog(sysSchema, &error))
        return messages::cannotRun(error);
    return std::nullopt;
}

QString attachName(bool sysSchema)
{
    return sysSchema ? QStringLiteral("sys") : QStringLiteral("server_catalog_2000");
}

QString catalogFileFor(const QString &databaseFile, const QString &sourceConnection, QString *error)
{
    // Made once per database file and change of it.
    static QHash<QString, QString> made;
    const QFileInfo info(databaseFile);
    const QString key = info.absoluteFilePath() + QLatin1Char('|')
                        + QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|')
                        + QString::number(info.size());
    const auto it = made.constFind(key);
    if (it != made.constEnd())
        return *it;
    if (!catalogFolder().isValid()) {
        *error = QStringLiteral("no folder for the server catalog");
        return QString();
    }
    QString readError;
    const QVector<SourceTable> tables = readSource(sourceConnection, &readError);
    if (!readError.isEmpty()) {
        *error = readError;
        return QString();
    }
    static QAtomicInt counter;
    const int n = counter.fetchAndAddRelaxed(1) + 1;
    const QString file = catalogFolder().filePath(QStringLiteral("catalog-%1.db").arg(n));
    const QString connection = QStringLiteral("tds-server-catalog-%1").arg(n);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery(db).exec(QStringLiteral("pragma journal_mode=off"));
            db.transaction();
            Writer w(db);
            ok = writeCatalog(w, tables);
            ok = db.commit() && ok;
            if (!ok)
                *error = w.error().isEmpty() ? db.lastError().text() : w.error();
        } else {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok)
        return QString();
    made.insert(key, file);
    return file;
}

}  // namespace tds::systemCatalog
