#include "server_catalog.h"
#include "catalog_builder.h"
#include "data/error.h"
#include "type_names.h"

namespace dd::catalog {

namespace {

constexpr long kInvalidObjectName = 208;

struct Statements {
    const char *tables;    // object, schema, name, is view
    const char *columns;   // object, column id, name, base type, bytes, precision, scale, flags (1 nullable, 2 identity)
    const char *indexes;   // object, index, primary key, unique, column id (in key order)
    const char *foreignKeys;   // object, column id, referenced object, referenced column id
    const char *rowCounts; // object, rows
};

const char *const kVersion = "select @@microsoftversion / 16777216";

// SQL Server 2005 and later.
const Statements kSys = {
    "select t.object_id, s.name, t.name, 0 from sys.tables t"
    " join sys.schemas s on s.schema_id = t.schema_id where t.is_ms_shipped = 0"
    " union all"
    " select v.object_id, s.name, v.name, 1 from sys.views v"
    " join sys.schemas s on s.schema_id = v.schema_id where v.is_ms_shipped = 0",

    "select c.object_id, c.column_id, c.name, coalesce(t.name, u.name), c.max_length, c.precision, c.scale,"
    " c.is_nullable + 2 * c.is_identity from sys.columns c"
    " join sys.objects o on o.object_id = c.object_id"
    " join sys.types u on u.user_type_id = c.user_type_id"
    " left join sys.types t on t.user_type_id = c.system_type_id"
    " where o.type in ('U', 'V') and o.is_ms_shipped = 0"
    " order by c.object_id, c.column_id",

    "select ic.object_id, ic.index_id, i.is_primary_key, i.is_unique, ic.column_id"
    " from sys.index_columns ic"
    " join sys.indexes i on i.object_id = ic.object_id and i.index_id = ic.index_id"
    " join sys.objects o on o.object_id = ic.object_id"
    " where o.type in ('U', 'V') and o.is_ms_shipped = 0 and ic.key_ordinal > 0"
    " and i.is_hypothetical = 0"
    " order by ic.object_id, ic.index_id, ic.key_ordinal",

    "select fc.parent_object_id, fc.parent_column_id, fc.referenced_object_id, fc.referenced_column_id"
    " from sys.foreign_key_columns fc"
    " join sys.foreign_keys f on f.object_id = fc.constraint_object_id"
    " where f.is_ms_shipped = 0"
    " order by fc.constraint_object_id, fc.constraint_column_id",

    "select p.object_id, sum(p.rows) from sys.partitions p"
    " join sys.objects o on o.object_id = p.object_id"
    " where o.type = 'U' and o.is_ms_shipped = 0 and p.index_id in (0, 1)"
    " group by p.object_id",
};

// SQL Server 2000. Index status bits: 2 unique, 32 hypothetical, 64
// statistics only, 2048 primary key, 4096 unique constraint.
const Statements kSysObjects = {
    "select o.id, u.name, o.name, case when o.xtype = 'V' then 1 else 0 end from sysobjects o"
    " join sysusers u on u.uid = o.uid"
    " where o.xtype in ('U', 'V') and o.name <> 'dtproperties'",

    "select c.id, c.colid, c.name, coalesce(t.name, u.name), c.length, c.xprec, c.xscale,"
    " c.isnullable + (c.status & 128) / 64 from syscolumns c"
    " join sysobjects o on o.id = c.id"
    " join systypes u on u.xusertype = c.xusertype"
    " left join systypes t on t.xusertype = c.xtype"
    " where o.xtype in ('U', 'V')"
    " order by c.id, c.colid",

    "select k.id, k.indid, i.status & 2048, i.status & 4098, k.colid from sysindexkeys k"
    " join sysindexes i on i.id = k.id and i.indid = k.indid"
    " join sysobjects o on o.id = k.id"
    " where o.xtype in ('U', 'V') and i.indid between 1 and 254 and (i.status & 96) = 0"
    " order by k.id, k.indid, k.keyno",

    "select f.fkeyid, f.fkey, f.rkeyid, f.rkey from sysforeignkeys f"
    " order by f.constid, f.keyno",

    "select i.id, i.rows from sysindexes i"
    " join sysobjects o on o.id = i.id"
    " where o.xtype = 'U' and i.indid < 2",
};

QString text(const QVariant &cell) { return cell.isNull() ? QString() : cell.toString(); }
bool flag(const QVariant &cell) { return cell.toLongLong() != 0; }

// Runs one statement, giving each row to `row`; stops at a cancel.
template <typename Row>
void forEachRow(SqlSession &session, const char *statement, const ReadControl &control, Row row,
                const std::function<bool()> &afterBlock = {})
{
    session.run(QString::fromLatin1(statement), [&](RowStore &rows) {
        for (int r = 0; r < rows.rowCount(); ++r)
            row(rows, r);
        if (afterBlock && !afterBlock())
            return false;
        return !control.stopped();
    });
    if (control.stopped())
        throw readStopped();
}

Catalog readWith(SqlSession &session, const Statements &s, const ReadControl &control)
{
    CatalogBuilder builder;
    forEachRow(session, s.tables, control, [&](const RowStore &rows, int r) {
        builder.addTable(rows.cell(r, 0).toLongLong(), text(rows.cell(r, 1)), text(rows.cell(r, 2)),
                         flag(rows.cell(r, 3)));
    });

    qint64 lastObject = -1;
    int tablesRead = 0;
    forEachRow(
        session, s.columns, control,
        [&](const RowStore &rows, int r) {
            const qint64 object = rows.cell(r, 0).toLongLong();
            Column column;
            column.name = text(rows.cell(r, 2));
            // A column of an alias type is written with its base type; a
            // CLR type (hierarchyid, geometry) has only its own name.
            column.type = typeText(text(rows.cell(r, 3)), rows.cell(r, 4).toInt(), rows.cell(r, 5).toInt(),
                                   rows.cell(r, 6).toInt());
            const int flags = rows.cell(r, 7).toInt();
            column.nullable = flags & 1;
            column.identity = flags & 2;
            if (builder.addColumn(object, rows.cell(r, 1).toLongLong(), std::move(column)) && object != lastObject) {
                lastObject = object;
                ++tablesRead;
            }
        },
        [&] { return !control.progress || control.progress(tablesRead); });

    forEachRow(session, s.indexes, control, [&](const RowStore &rows, int r) {
        const Key::Kind kind = flag(rows.cell(r, 2)) ? Key::Primary
                               : flag(rows.cell(r, 3)) ? Key::Unique : Key::Index;
        builder.addIndexColumn(rows.cell(r, 0).toLongLong(), rows.cell(r, 1).toLongLong(), kind,
                               rows.cell(r, 4).toLongLong());
    });
    forEachRow(session, s.foreignKeys, control, [&](const RowStore &rows, int r) {
        builder.addForeignKey(rows.cell(r, 0).toLongLong(), rows.cell(r, 1).toLongLong(),
                              rows.cell(r, 2).toLongLong(), rows.cell(r, 3).toLongLong());
    });

    return withRowCounts(builder, control, [&] {
        forEachRow(session, s.rowCounts, control, [&](const RowStore &rows, int r) {
            builder.setRowCount(rows.cell(r, 0).toLongLong(), rows.cell(r, 1).toLongLong());
        });
    });
}

}  // namespace

Catalog withRowCounts(CatalogBuilder &builder, const ReadControl &control,
                      const std::function<void()> &readCounts)
{
    QString countFailure;
    try {
        readCounts();
    } catch (const Error &e) {
        // A statement stopped from another thread ends in the driver's own error.
        if (e.Number() == errc::OperationCancelled || control.stopped())
            throw readStopped();
        countFailure = e.Description();
    }
    Catalog catalog = builder.take();
    catalog.rowCountFailure = countFailure;
    return catalog;
}

QStringList serverCatalogStatements(bool sql2000)
{
    const Statements &s = sql2000 ? kSysObjects : kSys;
    QStringList out;
    for (const char *statement : {kVersion, s.tables, s.columns, s.indexes, s.foreignKeys, s.rowCounts})
        out << QString::fromLatin1(statement);
    return out;
}

Catalog readServerCatalog(SqlSession &session, const ReadControl &control)
{
    // The major version: 8 is SQL Server 2000, 9 and above know sys.*.
    int major = 0;
    try {
        const RowStore version = session.run(QString::fromLatin1(kVersion));
        if (version.rowCount() > 0)
            major = version.cell(0, 0).toInt();
    } catch (const Error &e) {
        if (e.Number() == errc::OperationCancelled || control.stopped())
            throw readStopped();
    }
    if (control.stopped())
        throw readStopped();
    if (major == 0 || major >= 9) {
        try {
            return readWith(session, kSys, control);
        } catch (const Error &e) {
            if (e.Number() != kInvalidObjectName)
                throw;
        }
    }
    return readWith(session, kSysObjects, control);
}

}  // namespace dd::catalog
