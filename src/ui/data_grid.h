#pragma once
// Data grid: a read-only table view of a bound recordset, one column per
// field headed by the field's name, one row per record.
//
//   ui::DataGrid DataGrid1{*this};
//   DataGrid1.setDataSource(&rsTable);        // shows rsTable's rows
//   DataGrid1.Columns(0).setWidth(1900);      // twips
//   DataGrid1.SelBookmarks().Remove(0);       // harmless on an empty list
//   DataGrid1.SelBookmarks().Add(rsTable.AbsolutePosition());
//
// The grid's current row and the recordset's current record stay together:
// a click (or an arrow key) on a row makes that record current, which
// raises the recordset's MoveComplete; a move of the recordset moves the
// grid's current row. The highlighted rows are the SelBookmarks list only.
//
// Rows chosen for copying are apart from the current row: Ctrl+A chooses
// every row, Ctrl+click adds or drops one, Shift+click a run from the
// current row; none of it moves the recordset, and a right-click neither.
// They are shown highlighted until the user moves on (a plain click, an
// arrow key, Esc) or the rows are replaced.
//
// Column widths set through Columns(i) survive a reopen of the bound
// recordset as long as the reopened rows have the same column names.
#include "control.h"
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPoint;
class QTableView;

namespace dd {
class Recordset;
}

namespace ui {

class GridExtension;
class RecordsetTableModel;
class DataGrid;

// One column of the grid.
class DataGridColumn {
public:
    DataGridColumn(DataGrid &grid, int index) : grid_(grid), index_(index) {}
    float Width() const;
    void setWidth(float twips);
    QString Caption() const;

private:
    DataGrid &grid_;
    int index_;
};

// The highlighted rows: record positions (1-based AbsolutePosition).
class SelBookmarkList {
public:
    int Count() const { return static_cast<int>(positions_.size()); }
    // The position of entry index (0-based); 0 when there is no such entry.
    int Item(int index) const;
    // Removes entry index (0-based); nothing when there is no such entry.
    void Remove(int index);
    // Adds a record position; nothing when it is no record of the grid.
    void Add(int position);

private:
    friend class DataGrid;
    explicit SelBookmarkList(DataGrid &grid) : grid_(grid) {}
    DataGrid &grid_;
    std::vector<int> positions_;
};

class DataGrid : public Control {
public:
    explicit DataGrid(Form &form);
    ~DataGrid() override;

    // Binds a recordset (nullptr: none). Assigning the recordset already
    // bound keeps the grid as it is.
    void setDataSource(dd::Recordset *rs);
    dd::Recordset *DataSource() const;

    // Columns and rows shown beside the bound recordset's (grid_extension.h);
    // nullptr: the recordset alone. The current row, the highlighted rows
    // and the widths set stay.
    void setExtension(std::shared_ptr<GridExtension> extension);

    // Columns of the bound rows (0-based). An index that is no column
    // throws dd::Error.
    DataGridColumn Columns(int index);
    int ColumnCount() const;
    int RowCount() const;
    // The current row (0-based), -1 when none.
    int Row() const;

    SelBookmarkList &SelBookmarks() { return selBookmarks_; }

    // Rows to copy (0-based, in order): the chosen rows, else the current row.
    std::vector<int> rowsToCopy() const;
    void chooseAllRows();
    void clearChosenRows();
    // The captions, and one row's texts as the grid shows them.
    QStringList columnCaptions() const;
    QStringList rowTexts(int row) const;

    // Ctrl+C on the grid, and a right-click (at a global position).
    std::function<void()> onCopy;
    std::function<void(const QPoint &)> onContextMenu;

    void setHeadFont(const QFont &font);
    QFont HeadFont() const;

    QTableView *tableView() const;
    RecordsetTableModel *model() const { return model_; }

private:
    friend class DataGridColumn;
    friend class SelBookmarkList;
    class View;

    void rowsReset();
    void columnsAdded(int first, int last);
    void recordMoved(int row);
    void followRecord();
    void viewRowChanged(int row);
    void showSelection();
    void chooseRow(int row, Qt::KeyboardModifiers modifiers);
    void fitRowHeight();
    int defaultColumnWidth(int column) const;

    View *view_;
    RecordsetTableModel *model_;
    SelBookmarkList selBookmarks_{*this};
    std::vector<bool> chosen_;   // rows chosen for copying; empty when none
    int chosenCount_ = 0;
    bool syncing_ = false;
    // A move of the record not yet shown by the view (see recordMoved).
    bool followPending_ = false;
    // Widths set by code, with the column names they were set for.
    std::vector<float> widths_;
    QStringList widthColumns_;
};

}  // namespace ui
