#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace dd {

// The rows of one result, read completely: exact counts and O(1) access.
struct RowStore {
    QStringList columns;
    QVector<QVariant> cells;  // row-major, columns.size() per row

    int columnCount() const { return columns.size(); }
    int rowCount() const { return columns.isEmpty() ? 0 : cells.size() / columns.size(); }
    const QVariant &cell(int row, int column) const { return cells[row * columns.size() + column]; }
};

}  // namespace dd
