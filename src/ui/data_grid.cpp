#include "data_grid.h"
#include "data/error.h"
#include "data/recordset.h"
#include "grid_cell_painter.h"
#include "recordset_table_model.h"
#include "twips.h"
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QTableView>
#include <algorithm>

namespace ui {

namespace {
constexpr int kRecordSelectorWidth = 12;   // pixels
constexpr int kMinimumColumnWidth = 100;   // pixels, for columns the code sets no width for
constexpr int kRowPadding = 6;             // pixels a row is higher than its text

[[noreturn]] void noSuchColumn()
{
    throw dd::Error(9, QStringLiteral("下标越界"));
}
}  // namespace

// The record selectors: a band of empty sections, as wide as the band and
// one row high. The band's width is fixed and its rows are all one height,
// so no section is ever sized from its (empty) caption; measuring captions
// with the font is what the default header does for up to 200 sections
// each time the view lays itself out, which is after every reopening.
class RecordSelectors : public QHeaderView {
public:
    explicit RecordSelectors(QWidget *parent) : QHeaderView(Qt::Vertical, parent) {}

protected:
    QSize sectionSizeFromContents(int) const override
    {
        return QSize(kRecordSelectorWidth, defaultSectionSize());
    }
};

// The table view: passes the user's moves of the current row to the grid
// and keeps a focus change from moving the record.
class DataGrid::View : public QTableView {
public:
    explicit View(DataGrid &grid) : grid_(grid) {}

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        QTableView::currentChanged(current, previous);
        if (current.row() != previous.row() || !previous.isValid())
            grid_.viewRowChanged(current.isValid() ? current.row() : -1);
    }

    void focusInEvent(QFocusEvent *e) override
    {
        // Entering the grid by the keyboard picks a first cell when there
        // is no current one; the record stays where it is, and so does the
        // grid's current row (and its scroll position, for the click that
        // may be giving the focus).
        const QModelIndex before = currentIndex();
        const bool was = grid_.syncing_;
        grid_.syncing_ = true;
        QTableView::focusInEvent(e);
        if (currentIndex() != before) {
            if (before.isValid())
                selectionModel()->setCurrentIndex(before, QItemSelectionModel::NoUpdate);
            else
                selectionModel()->clearCurrentIndex();
        }
        grid_.syncing_ = was;
    }

    // The user acts on the row the record is on, even when the view has
    // not yet caught up with the record's last move.
    void keyPressEvent(QKeyEvent *e) override
    {
        grid_.followRecord();
        if (e->matches(QKeySequence::SelectAll)) {
            grid_.chooseAllRows();
            return;
        }
        if (e->matches(QKeySequence::Copy)) {
            if (grid_.onCopy)
                grid_.onCopy();
            return;
        }
        if (e->key() != Qt::Key_Control && e->key() != Qt::Key_Shift)
            grid_.clearChosenRows();
        if (e->key() == Qt::Key_Escape)
            return;
        QTableView::keyPressEvent(e);
    }
    // Ctrl+click and Shift+click choose rows for copying; a right-click
    // opens the menu. Neither moves the record.
    void mousePressEvent(QMouseEvent *e) override
    {
        grid_.followRecord();
        const int row = indexAt(e->position().toPoint()).row();  // -1: no row there
        const auto choosing = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (e->button() == Qt::RightButton || (e->button() == Qt::LeftButton && choosing && row >= 0)) {
            if (e->button() == Qt::LeftButton)
                grid_.chooseRow(row, e->modifiers());
            setFocus(Qt::MouseFocusReason);
            e->accept();
            return;
        }
        grid_.clearChosenRows();
        QTableView::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        // Dragging chooses nothing (and, with a button held, moves nothing).
        if (e->buttons() & Qt::RightButton)
            return;
        QTableView::mouseMoveEvent(e);
    }
    void contextMenuEvent(QContextMenuEvent *e) override
    {
        if (grid_.onContextMenu)
            grid_.onContextMenu(e->globalPos());
        e->accept();
    }

    void changeEvent(QEvent *e) override
    {
        QTableView::changeEvent(e);
        if (e->type() == QEvent::FontChange)
            grid_.fitRowHeight();
    }

private:
    DataGrid &grid_;
};

DataGrid::DataGrid(Form &form)
    : Control(form, new View(*this)), view_(static_cast<View *>(widget())),
      model_(new RecordsetTableModel(view_))
{
    view_->setModel(model_);
    view_->setItemDelegate(new GridCellPainter(view_));
    view_->setShowGrid(false);  // the cells draw it
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Highlighted rows come from SelBookmarks only, never from clicks.
    view_->setSelectionMode(QAbstractItemView::NoSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSortingEnabled(false);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    // Tab leaves the grid for the next control of the window.
    view_->setTabKeyNavigation(false);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *head = view_->horizontalHeader();
    head->setSectionsClickable(false);
    head->setSectionResizeMode(QHeaderView::Interactive);
    head->setHighlightSections(false);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Record selectors: a narrow empty band; uniform row heights keep long
    // lists fast.
    view_->setVerticalHeader(new RecordSelectors(view_));
    QHeaderView *rows = view_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setSectionsClickable(true);
    rows->setHighlightSections(false);
    rows->setFixedWidth(kRecordSelectorWidth);

    // The toolkit's fonts until the window's design sets its own.
    fitRowHeight();

    QObject::connect(model_, &QAbstractItemModel::modelReset, view_, [this] { rowsReset(); });
    QObject::connect(model_, &QAbstractItemModel::columnsInserted, view_,
                     [this](const QModelIndex &, int first, int last) { columnsAdded(first, last); });
    QObject::connect(model_, &RecordsetTableModel::currentRecordMoved, view_,
                     [this](int row) { recordMoved(row); });
    rowsReset();
}

DataGrid::~DataGrid() = default;

void DataGrid::setDataSource(dd::Recordset *rs)
{
    model_->setRecordset(rs);
}

void DataGrid::setExtension(std::shared_ptr<GridExtension> extension)
{
    model_->setExtension(std::move(extension));
    showSelection();  // the highlighted rows across the columns now shown
}

void DataGrid::columnsAdded(int first, int last)
{
    QHeaderView *head = view_->horizontalHeader();
    for (int i = first; i <= last; ++i)
        head->resizeSection(i, defaultColumnWidth(i));
}

QTableView *DataGrid::tableView() const
{
    // Whoever looks at the view sees it on the current record.
    const_cast<DataGrid *>(this)->followRecord();
    return view_;
}

dd::Recordset *DataGrid::DataSource() const
{
    return model_->recordset();
}

DataGridColumn DataGrid::Columns(int index)
{
    if (index < 0 || index >= ColumnCount())
        noSuchColumn();
    return DataGridColumn(*this, index);
}

int DataGrid::ColumnCount() const
{
    return model_->columnCount();
}

int DataGrid::RowCount() const
{
    return model_->rowCount();
}

int DataGrid::Row() const
{
    const dd::Recordset *rs = DataSource();
    return rs ? rs->currentRow() : -1;
}

void DataGrid::setHeadFont(const QFont &font)
{
    view_->horizontalHeader()->setFont(font);
}

QFont DataGrid::HeadFont() const
{
    return view_->horizontalHeader()->font();
}

// The bound rows were replaced (opened, closed, rebound): fresh columns,
// no highlighted rows.
void DataGrid::rowsReset()
{
    selBookmarks_.positions_.clear();
    chosen_.clear();
    chosenCount_ = 0;
    // Widths belong to the recordset's own columns (an extension's come and go).
    QStringList names;
    const int own = DataSource() ? model_->recordColumnCount() : ColumnCount();
    for (int i = 0; i < own; ++i)
        names << model_->headerData(i, Qt::Horizontal).toString();
    // A closed recordset shows no columns; the widths wait for its reopening.
    if (!names.isEmpty() && names != widthColumns_) {
        widths_.clear();
        widthColumns_.clear();
    }
    QHeaderView *head = view_->horizontalHeader();
    for (int i = 0; i < ColumnCount(); ++i) {
        const bool set = i < int(widths_.size()) && widths_[i] >= 0;
        head->resizeSection(i, set ? twipsToPixels(widths_[i]) : defaultColumnWidth(i));
    }
    showSelection();
    recordMoved(Row());
}

// The recordset's current record moved: the grid's current row follows,
// without passing the move back. Loops that walk a whole recordset (filling
// a list of names, say) move it thousands of times in one handler, so the
// view follows once, when the handler is over (or as soon as anyone looks
// at the view), rather than after every move.
void DataGrid::recordMoved(int)
{
    if (followPending_)
        return;
    followPending_ = true;
    QMetaObject::invokeMethod(view_, [this] { followRecord(); }, Qt::QueuedConnection);
}

void DataGrid::followRecord()
{
    if (!followPending_)
        return;
    followPending_ = false;
    const int row = Row();
    const bool was = syncing_;
    syncing_ = true;
    QItemSelectionModel *selection = view_->selectionModel();
    if (row >= 0 && row < RowCount()) {
        const int column = std::max(0, view_->currentIndex().column());
        const QModelIndex index = model_->index(row, std::min(column, ColumnCount() - 1));
        selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        view_->scrollTo(index);
    } else {
        selection->clearCurrentIndex();
    }
    syncing_ = was;
}

// The user moved the grid's current row: that record becomes current.
void DataGrid::viewRowChanged(int row)
{
    if (syncing_ || row < 0)
        return;
    dd::Recordset *rs = DataSource();
    // An extension's row is no record: the record stays where it is.
    if (!rs || row == rs->currentRow() || row >= rs->rowCount())
        return;
    raiseUserEvent([rs, row] { rs->moveToRow(row); });
}

void DataGrid::showSelection()
{
    QItemSelection rows;
    const int last = ColumnCount() - 1;
    const int count = RowCount();
    auto add = [&](int first, int end) {
        if (last >= 0 && first < end)
            rows.select(model_->index(first, 0), model_->index(end - 1, last));
    };
    for (int position : selBookmarks_.positions_) {
        const int row = position - 1;
        if (row >= 0 && row < count)
            add(row, row + 1);
    }
    // Chosen rows in runs, so that choosing every row is one range.
    for (int row = 0; chosenCount_ > 0 && row < int(chosen_.size()) && row < count;) {
        if (!chosen_[row]) {
            ++row;
            continue;
        }
        int end = row;
        while (end < int(chosen_.size()) && end < count && chosen_[end])
            ++end;
        add(row, end);
        row = end;
    }
    view_->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

std::vector<int> DataGrid::rowsToCopy() const
{
    std::vector<int> rows;
    if (chosenCount_ > 0) {
        rows.reserve(size_t(chosenCount_));
        for (int row = 0; row < int(chosen_.size()) && row < RowCount(); ++row)
            if (chosen_[row])
                rows.push_back(row);
    } else if (Row() >= 0 && Row() < RowCount()) {
        rows.push_back(Row());
    }
    return rows;
}

void DataGrid::chooseAllRows()
{
    chosen_.assign(size_t(RowCount()), true);
    chosenCount_ = RowCount();
    showSelection();
}

void DataGrid::clearChosenRows()
{
    if (chosenCount_ == 0)
        return;
    chosen_.clear();
    chosenCount_ = 0;
    showSelection();
}

// Ctrl: one row in or out; Shift: the run from the current row to this one.
void DataGrid::chooseRow(int row, Qt::KeyboardModifiers modifiers)
{
    if (row < 0 || row >= RowCount())
        return;
    if (int(chosen_.size()) != RowCount())
        chosen_.assign(size_t(RowCount()), false);
    if (modifiers & Qt::ShiftModifier) {
        const int from = Row() >= 0 ? Row() : row;
        for (int r = std::min(from, row); r <= std::max(from, row); ++r)
            chosen_[r] = true;
    } else {
        // The first Ctrl+click keeps the current row chosen with the new one.
        if (chosenCount_ == 0 && Row() >= 0 && Row() != row)
            chosen_[Row()] = true;
        chosen_[row] = !chosen_[row];
    }
    chosenCount_ = int(std::count(chosen_.begin(), chosen_.end(), true));
    showSelection();
}

QStringList DataGrid::columnCaptions() const
{
    QStringList captions;
    for (int c = 0; c < ColumnCount(); ++c)
        captions << model_->headerData(c, Qt::Horizontal).toString();
    return captions;
}

QStringList DataGrid::rowTexts(int row) const
{
    QStringList texts;
    for (int c = 0; c < ColumnCount(); ++c)
        texts << model_->data(model_->index(row, c)).toString();
    return texts;
}

void DataGrid::fitRowHeight()
{
    const int height = view_->fontMetrics().height() + kRowPadding;
    view_->verticalHeader()->setMinimumSectionSize(1);
    view_->verticalHeader()->setDefaultSectionSize(height);
}

int DataGrid::defaultColumnWidth(int column) const
{
    const QString caption = model_->headerData(column, Qt::Horizontal).toString();
    const int text = view_->horizontalHeader()->fontMetrics().horizontalAdvance(caption) + 20;
    return std::max(kMinimumColumnWidth, text);
}

float DataGridColumn::Width() const
{
    // The width the code set, as long as the column still has it.
    const int pixels = grid_.view_->horizontalHeader()->sectionSize(index_);
    if (index_ < int(grid_.widths_.size()) && grid_.widths_[index_] >= 0
        && twipsToPixels(grid_.widths_[index_]) == pixels)
        return grid_.widths_[index_];
    return pixelsToTwips(pixels);
}

void DataGridColumn::setWidth(float twips)
{
    if (twips < 0)
        throw dd::Error(380, QStringLiteral("无效的属性值"));
    if (grid_.widthColumns_.isEmpty()) {
        const int own = grid_.DataSource() ? grid_.model_->recordColumnCount() : grid_.ColumnCount();
        for (int i = 0; i < own; ++i)
            grid_.widthColumns_ << grid_.model_->headerData(i, Qt::Horizontal).toString();
    }
    if (int(grid_.widths_.size()) <= index_)
        grid_.widths_.resize(index_ + 1, -1.0f);
    grid_.widths_[index_] = twips;
    grid_.view_->horizontalHeader()->resizeSection(index_, twipsToPixels(twips));
}

QString DataGridColumn::Caption() const
{
    return grid_.model_->headerData(index_, Qt::Horizontal).toString();
}

int SelBookmarkList::Item(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return positions_[index];
}

void SelBookmarkList::Remove(int index)
{
    if (index < 0 || index >= Count())
        return;
    positions_.erase(positions_.begin() + index);
    grid_.showSelection();
}

void SelBookmarkList::Add(int position)
{
    if (position < 1 || position > grid_.RowCount())
        return;
    positions_.push_back(position);
    grid_.showSelection();
}

}  // namespace ui
