#include "recordset.h"
#include "connection.h"
#include "criterion.h"
#include <algorithm>

namespace dd {

namespace {
[[noreturn]] void closedError() { throw objectIsClosed(); }
}  // namespace

EventHook::~EventHook() { *this = nullptr; }

EventHook &EventHook::operator=(Recordset *rs)
{
    if (rs_ == rs)
        return *this;
    if (rs_)
        rs_->hook_ = nullptr;
    rs_ = rs;
    if (rs_) {
        if (rs_->hook_)
            rs_->hook_->rs_ = nullptr;
        rs_->hook_ = this;
    }
    return *this;
}

QVariant Field::Value() const
{
    rs_.requireOpen();
    if (index_ < 0 || index_ >= rs_.rows_.columnCount())
        throw noSuchItem();
    if (rs_.pos_ >= rs_.rows_.rowCount())
        throw noCurrentRecord();
    const QVariant &v = rs_.rows_.cell(rs_.pos_, index_);
    return v.isNull() ? QVariant(QString()) : v;
}

QString Field::Name() const
{
    rs_.requireOpen();
    if (index_ < 0 || index_ >= rs_.rows_.columnCount())
        throw noSuchItem();
    return rs_.rows_.columns[index_];
}

Recordset::Recordset(RowStore rows, Connection *connection)
    : open_(true), rows_(std::move(rows)), connection_(connection)
{
    connection_->attach(this);
}

Recordset::~Recordset()
{
    if (hook_)
        hook_->rs_ = nullptr;
    detachFromConnection();
    const auto observers = observers_;
    for (RecordsetObserver *o : observers)
        o->recordsetGone(*this);
}

Recordset &Recordset::operator=(Recordset &&other)
{
    if (this == &other)
        return *this;
    detachFromConnection();
    open_ = other.open_;
    // The rows are the other's as read; this variable's filter applies to them.
    rows_ = other.filter_ && other.open_ ? std::move(other.unfiltered_) : std::move(other.rows_);
    unfiltered_ = RowStore();
    pos_ = filter_ ? 0 : other.pos_;
    if (open_)
        applyFilter();
    connection_ = other.connection_;
    if (connection_)
        connection_->attach(this);
    other.detachFromConnection();
    other.open_ = false;
    other.rows_ = RowStore();
    other.unfiltered_ = RowStore();
    other.pos_ = 0;
    const auto observers = observers_;
    for (RecordsetObserver *o : observers)
        o->rowsReplaced(*this);
    return *this;
}

void Recordset::requireOpen() const
{
    if (!open_)
        closedError();
}

void Recordset::Open(const QString &source, Connection &activeConnection, int, int, long)
{
    if (open_)
        throw objectIsOpen();
    rows_ = activeConnection.query(source);
    open_ = true;
    applyFilter();
    pos_ = 0;
    connection_ = &activeConnection;
    activeConnection.attach(this);
    const auto observers = observers_;
    for (RecordsetObserver *o : observers)
        o->rowsReplaced(*this);
    moveTo(0, adRsnMove, false);
}

void Recordset::Close()
{
    requireOpen();
    closeByConnection();
    detachFromConnection();
}

void Recordset::closeByConnection()
{
    open_ = false;
    rows_ = RowStore();
    unfiltered_ = RowStore();
    pos_ = 0;
    const auto observers = observers_;
    for (RecordsetObserver *o : observers)
        o->rowsReplaced(*this);
}

void Recordset::detachFromConnection()
{
    if (connection_)
        connection_->detach(this);
    connection_ = nullptr;
}

bool Recordset::EOF_() const
{
    requireOpen();
    return pos_ >= rows_.rowCount();
}

int Recordset::RecordCount() const
{
    requireOpen();
    return rows_.rowCount();
}

int Recordset::AbsolutePosition() const
{
    requireOpen();
    return pos_ < rows_.rowCount() ? pos_ + 1 : adPosEOF;
}

void Recordset::MoveNext()
{
    requireOpen();
    if (pos_ >= rows_.rowCount())
        throw noCurrentRecord();
    moveTo(pos_ + 1, adRsnMoveNext, pos_ + 1 >= rows_.rowCount());
}

void Recordset::MoveFirst()
{
    requireOpen();
    moveTo(0, adRsnMoveFirst, false);
}

void Recordset::moveToRow(int row)
{
    if (!open_ || row < 0 || row >= rows_.rowCount())
        return;
    moveTo(row, adRsnMove, false);
}

void Recordset::Find(const QString &criteria, long skipRecords, int searchDirection, int start)
{
    requireOpen();
    const Criterion criterion = Criterion::parse(criteria);
    int column = -1;
    for (int i = 0; i < rows_.columnCount(); ++i) {
        if (rows_.columns[i].compare(criterion.column(), Qt::CaseInsensitive) == 0) {
            column = i;
            break;
        }
    }
    if (column < 0)
        throw noSuchItem();

    const int count = rows_.rowCount();
    const int step = searchDirection < 0 ? -1 : 1;
    int from;
    if (start == adBookmarkFirst)
        from = 0;
    else if (start == 2)  // last
        from = count - 1;
    else
        from = pos_;
    from += int(skipRecords) * step;

    int found = count;
    for (int i = from; i >= 0 && i < count; i += step) {
        if (criterion.matchesFolded(rows_.foldedCell(i, column, &Criterion::fold))) {
            found = i;
            break;
        }
    }
    moveTo(found, adRsnMove, found >= count);
}

void Recordset::setFilter(RowFilter keep)
{
    if (!keep && !filter_)
        return;
    if (open_ && filter_)
        rows_ = std::move(unfiltered_);   // back to every row read
    unfiltered_ = RowStore();
    filter_ = std::move(keep);
    if (!open_)
        return;
    applyFilter();
    pos_ = 0;
    const auto observers = observers_;
    for (RecordsetObserver *o : observers)
        o->rowsReplaced(*this);
    moveTo(0, adRsnMove, false);
}

// rows_ holds every row read: keep those the filter keeps, the rest aside.
void Recordset::applyFilter()
{
    if (!filter_)
        return;
    RowStore kept;
    kept.columns = rows_.columns;
    const int width = rows_.columnCount();
    for (int r = 0; r < rows_.rowCount(); ++r)
        if (filter_(rows_, r))
            for (int c = 0; c < width; ++c)
                kept.cells.append(rows_.cell(r, c));
    unfiltered_ = std::move(rows_);
    rows_ = std::move(kept);
}

void Recordset::moveTo(int pos, int reason, bool ranPastEnd)
{
    pos_ = std::clamp(pos, 0, rows_.rowCount());
    {
        const auto observers = observers_;
        for (RecordsetObserver *o : observers)
            o->currentMoved(*this);
    }
    // A handler may unhook, close or reopen the recordset; look again each time.
    if (hook_)
        hook_->sink_.MoveComplete(reason, nullptr, adStatusOK, *this);
    if (ranPastEnd && hook_) {
        bool moreData = false;
        hook_->sink_.EndOfRecordset(moreData, adStatusOK, *this);
    }
}

void Recordset::addObserver(RecordsetObserver *o)
{
    if (std::find(observers_.begin(), observers_.end(), o) == observers_.end())
        observers_.push_back(o);
}

void Recordset::removeObserver(RecordsetObserver *o)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

}  // namespace dd
