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

    // One column's texts case-folded (a NULL as the empty text), made on the
    // first search of that column: a search per keystroke then compares
    // plain texts instead of folding every row again.
    template <typename Fold>
    const QVector<QString> &foldedColumn(int column, Fold fold) const
    {
        if (folded.size() != columns.size())
            folded = QVector<QVector<QString>>(columns.size());
        QVector<QString> &keys = folded[column];
        if (keys.isEmpty() && rowCount() > 0) {
            keys.reserve(rowCount());
            for (int row = 0; row < rowCount(); ++row) {
                const QVariant &v = cell(row, column);
                keys.push_back(v.isNull() ? QString() : fold(v.toString()));
            }
        }
        return keys;
    }

private:
    mutable QVector<QVector<QString>> folded;
};

}  // namespace dd
