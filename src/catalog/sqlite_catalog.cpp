// The local source's physical catalog: its files declare SQL Server type
// names ("nvarchar(20)", "int identity"), read back through SQLite's own
// catalog and pragmas, a statement each for the whole file.
#include "catalog_builder.h"
#include "data/error.h"
#include "server_catalog.h"
#include "type_names.h"
#include <algorithm>
#include <tuple>

namespace dd::catalog {

namespace {

// Counting is a statement of unions; SQLite takes at most 500 terms in one.
constexpr int kCountsPerStatement = 400;

const char *const kTables =
    "select rowid, name, type = 'view' from sqlite_master"
    " where type in ('table', 'view') and name not like 'sqlite\\_%' escape '\\'";
const char *const kColumns =
    "select m.rowid, p.cid, p.name, p.type, p.\"notnull\", p.pk from sqlite_master m"
    " join pragma_table_info(m.name) p where m.type in ('table', 'view')"
    " order by m.rowid, p.cid";
const char *const kIndexes =
    "select m.rowid, l.seq, l.\"unique\", i.cid from sqlite_master m"
    " join pragma_index_list(m.name) l join pragma_index_info(l.name) i"
    " where m.type = 'table' and l.origin <> 'pk' order by m.rowid, l.seq, i.seqno";
const char *const kForeignKeys =
    "select m.rowid, f.\"from\", r.rowid, f.\"to\" from sqlite_master m"
    " join pragma_foreign_key_list(m.name) f"
    " join sqlite_master r on r.type = 'table' and r.name = f.\"table\" collate nocase"
    " where m.type = 'table' order by m.rowid, f.id, f.seq";

QString text(const QVariant &cell) { return cell.isNull() ? QString() : cell.toString(); }

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

void checkStopped(const ReadControl &control)
{
    if (control.stopped())
        throw readStopped();
}

}  // namespace

Catalog readSqliteCatalog(SqlSession &session, const ReadControl &control)
{
    CatalogBuilder builder;
    struct Named {
        qint64 object;
        QString name;
    };
    std::vector<Named> tables;
    RowStore rows = session.run(QString::fromLatin1(kTables));
    for (int r = 0; r < rows.rowCount(); ++r) {
        const qint64 object = rows.cell(r, 0).toLongLong();
        const QString name = text(rows.cell(r, 1));
        const bool view = rows.cell(r, 2).toLongLong() != 0;
        // A file names a table of another schema "schema.table".
        const int dot = name.indexOf(QLatin1Char('.'));
        builder.addTable(object, dot > 0 ? name.left(dot) : QString(), dot > 0 ? name.mid(dot + 1) : name, view);
        if (!view)
            tables.push_back({object, name});
    }
    checkStopped(control);

    // The primary key is taken from table_info (an INTEGER PRIMARY KEY has
    // no index of its own): object, position in the key, column.
    std::vector<std::tuple<qint64, qint64, qint64>> primaryKeys;
    qint64 lastObject = -1;
    int tablesRead = 0;
    rows = session.run(QString::fromLatin1(kColumns), [&](RowStore &block) {
        for (int r = 0; r < block.rowCount(); ++r) {
            const qint64 object = block.cell(r, 0).toLongLong();
            const qint64 id = block.cell(r, 1).toLongLong();
            Column column;
            column.name = text(block.cell(r, 2));
            QString declared = text(block.cell(r, 3)).simplified();
            if (declared.endsWith(QLatin1String(" identity"), Qt::CaseInsensitive)) {
                column.identity = true;
                declared.chop(9);
            }
            const QString written = declaredTypeText(declared);
            column.type = written.isNull() ? declared.toLower() : written;
            column.nullable = block.cell(r, 4).toLongLong() == 0;
            if (block.cell(r, 5).toLongLong() > 0) {
                column.nullable = false;
                primaryKeys.emplace_back(object, block.cell(r, 5).toLongLong(), id);
            }
            if (builder.addColumn(object, id, std::move(column)) && object != lastObject) {
                lastObject = object;
                ++tablesRead;
            }
        }
        if (control.progress && !control.progress(tablesRead))
            return false;
        return !control.stopped();
    });
    checkStopped(control);

    std::sort(primaryKeys.begin(), primaryKeys.end());
    QHash<qint64, qint64> firstKeyColumn;
    for (const auto &[object, position, column] : primaryKeys) {
        if (position == 1)
            firstKeyColumn.insert(object, column);
        builder.addIndexColumn(object, -1, Key::Primary, column);
    }
    rows = session.run(QString::fromLatin1(kIndexes));
    for (int r = 0; r < rows.rowCount(); ++r)
        builder.addIndexColumn(rows.cell(r, 0).toLongLong(), rows.cell(r, 1).toLongLong(),
                               rows.cell(r, 2).toLongLong() != 0 ? Key::Unique : Key::Index,
                               rows.cell(r, 3).toLongLong());
    checkStopped(control);

    rows = session.run(QString::fromLatin1(kForeignKeys));
    for (int r = 0; r < rows.rowCount(); ++r) {
        const qint64 object = rows.cell(r, 0).toLongLong();
        const qint64 target = rows.cell(r, 2).toLongLong();
        const qint64 from = builder.columnIdByName(object, text(rows.cell(r, 1)));
        // No column named: the target's primary key.
        const qint64 to = rows.cell(r, 3).isNull() ? firstKeyColumn.value(target, -1)
                                                   : builder.columnIdByName(target, text(rows.cell(r, 3)));
        builder.addForeignKey(object, from, target, to);
    }
    checkStopped(control);

    // Exact counts, a few hundred tables a statement.
    return withRowCounts(builder, control, [&] {
        for (size_t first = 0; first < tables.size(); first += kCountsPerStatement) {
            QStringList terms;
            const size_t last = std::min(tables.size(), first + kCountsPerStatement);
            for (size_t t = first; t < last; ++t)
                terms << QStringLiteral("select %1, count(*) from %2").arg(tables[t].object).arg(quoted(tables[t].name));
            rows = session.run(terms.join(QStringLiteral(" union all ")));
            for (int r = 0; r < rows.rowCount(); ++r)
                builder.setRowCount(rows.cell(r, 0).toLongLong(), rows.cell(r, 1).toLongLong());
            checkStopped(control);
        }
    });
}

}  // namespace dd::catalog
