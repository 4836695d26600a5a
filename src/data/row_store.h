#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <vector>

namespace dd {

// The rows of one result, read completely: exact counts and O(1) access.
struct RowStore {
    QStringList columns;
    QVector<QVariant> cells;  // row-major, columns.size() per row

    int columnCount() const { return columns.size(); }
    int rowCount() const { return columns.isEmpty() ? 0 : cells.size() / columns.size(); }
    const QVariant &cell(int row, int column) const { return cells[row * columns.size() + column]; }

    // A cell's text case-folded (a NULL as the empty text), kept once made:
    // a search per keystroke then compares plain texts instead of folding
    // every row again. Made as searches reach the row, so that a search that
    // stops early (the exact name picked from the list) folds little.
    template <typename Fold>
    const QString &foldedCell(int row, int column, Fold fold) const
    {
        if (folded.size() != size_t(columns.size()))
            folded = std::vector<FoldedColumn>(columns.size());
        FoldedColumn &f = folded[column];
        if (f.unmade < 0) {
            f.keys.resize(rowCount());
            f.made.assign(rowCount(), false);
            f.unmade = rowCount();
        }
        if (f.unmade > 0 && !f.made[row]) {
            const QVariant &v = cell(row, column);
            f.keys[row] = v.isNull() ? QString() : fold(v.toString());
            f.made[row] = true;
            --f.unmade;
        }
        return f.keys[row];
    }

private:
    struct FoldedColumn {
        QVector<QString> keys;
        std::vector<bool> made;
        int unmade = -1;  // rows not yet folded; -1 before the first search
    };
    mutable std::vector<FoldedColumn> folded;
};

// Takes the rows read so far, a block at a time, out of a result that is
// too large to hold twice; the block is dropped once the sink returns.
// Returning false stops the read.
using RowSink = std::function<bool(RowStore &rows)>;

// Gives the rows read so far to the sink once there are at least atLeast of
// them, and drops them. false when the sink stopped the read.
inline bool handOver(RowStore &rows, const RowSink &sink, int atLeast)
{
    if (!sink || rows.rowCount() < atLeast)
        return true;
    const bool goOn = sink(rows);
    rows.cells.clear();
    return goOn;
}

}  // namespace dd
