#pragma once
// Puts a catalog together from the rows of its statements, whichever server
// or file they came from: objects and columns known by number, keys and
// foreign keys by those numbers, row counts last.
#include "catalog/catalog.h"
#include <QHash>
#include <QSet>
#include <vector>

namespace dd::catalog {

class CatalogBuilder {
public:
    // schema: empty or "dbo" for the default schema.
    void addTable(qint64 object, const QString &schema, const QString &name, bool isView);
    // Columns of an object not added are ignored. Returns false for them.
    // Each object's columns come in rising columnId order.
    bool addColumn(qint64 object, qint64 columnId, Column column);
    // The id of an object's column by name (as the server compares names); -1 when none.
    qint64 columnIdByName(qint64 object, const QString &name);
    // One column of an index, in key order (keyOrdinal from 1).
    void addIndexColumn(qint64 object, qint64 index, Key::Kind kind, qint64 columnId);
    void addForeignKey(qint64 object, qint64 columnId, qint64 referencedObject, qint64 referencedColumn);
    void setRowCount(qint64 object, long long rows);

    int tableCount() const { return int(tables_.size()); }
    // The tables in name order; the builder is spent.
    Catalog take();

private:
    Column *column(qint64 object, qint64 columnId, Table **table = nullptr);
    void flush();
    // The columns of the table being read, moved into it once complete.
    std::vector<Column> pending_;
    std::vector<qint64> pendingIds_;
    int pendingTable_ = -1;
    std::vector<Table> tables_;
    std::vector<std::vector<qint64>> columnIds_;   // per table, rising, beside Table::columns
    QHash<qint64, int> tableOf_;
    QHash<QPair<qint64, qint64>, int> keyOf_;   // (object, index) -> index into Table::keys
    // Column names and types repeat across tables: each distinct text is kept once.
    QSet<QString> texts_;
    QString shared(const QString &text);
};

}  // namespace dd::catalog
