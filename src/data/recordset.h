#pragma once
// A client-side recordset: the statement's rows read into a RowStore, a
// current position, and the events of a recordset declared with events.
#include "error.h"
#include "row_store.h"
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace dd {

class Connection;
class Recordset;

// Event reasons and statuses passed with MoveComplete / EndOfRecordset.
constexpr int adRsnMove = 10;
constexpr int adRsnMoveFirst = 12;
constexpr int adRsnMoveNext = 13;
constexpr int adStatusOK = 1;
constexpr int adPosEOF = -3;
constexpr int adSearchForward = 1;
constexpr int adBookmarkCurrent = 0;
constexpr int adBookmarkFirst = 1;

// The handlers of a recordset variable declared with events.
class RecordsetEvents {
public:
    virtual ~RecordsetEvents() = default;
    virtual void MoveComplete(int adReason, const Error *pError, int adStatus,
                              Recordset &pRecordset) = 0;
    virtual void EndOfRecordset(bool &fMoreData, int adStatus, Recordset &pRecordset) = 0;
};

// Controls bound to a recordset (grids): told when its rows are replaced and
// when its current record changes, before any event handler runs.
class RecordsetObserver {
public:
    virtual ~RecordsetObserver() = default;
    virtual void rowsReplaced(Recordset &rs) = 0;
    virtual void currentMoved(Recordset &rs) = 0;
    virtual void recordsetGone(Recordset &rs) = 0;
};

// A recordset variable declared with events: assign a recordset to hook its
// events to the sink, nullptr to unhook.
class EventHook {
public:
    explicit EventHook(RecordsetEvents &sink) : sink_(sink) {}
    ~EventHook();
    EventHook(const EventHook &) = delete;
    EventHook &operator=(const EventHook &) = delete;

    EventHook &operator=(Recordset *rs);
    Recordset *get() const { return rs_; }
    bool isHooked() const { return rs_ != nullptr; }

private:
    friend class Recordset;
    RecordsetEvents &sink_;
    Recordset *rs_ = nullptr;
};

class Field {
public:
    Field(const Recordset &rs, int index) : rs_(rs), index_(index) {}
    // The value of the current record's column; a NULL reads as empty text.
    QVariant Value() const;
    QString Name() const;

private:
    const Recordset &rs_;
    int index_;
};

class Recordset {
public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;
    // Takes over the rows of another (the result of Connection::Execute);
    // hooks and bound controls of this object stay with it.
    Recordset &operator=(Recordset &&other);

    int CursorLocation = 2;  // server; the system sets it before each Open

    void Open(const QString &source, Connection &activeConnection, int cursorType = -1,
              int lockType = -1, long options = -1);
    int State() const { return open_ ? 1 : 0; }
    void Close();
    bool EOF_() const;
    int RecordCount() const;
    void MoveNext();
    void MoveFirst();
    int AbsolutePosition() const;
    Field Fields(int index) const { return Field(*this, index); }
    void Find(const QString &criteria, long skipRecords = 0, int searchDirection = adSearchForward,
              int start = adBookmarkFirst);

    // A filter on the rows read: only the rows it keeps are records (counted,
    // walked, found, shown); it holds across reopenings until cleared with
    // an empty one. Setting it on an open recordset makes the first kept
    // record current (raising MoveComplete). No statement is sent.
    using RowFilter = std::function<bool(const RowStore &rows, int row)>;
    void setFilter(RowFilter keep);
    bool isFiltered() const { return bool(filter_); }

    // For bound controls.
    void addObserver(RecordsetObserver *o);
    void removeObserver(RecordsetObserver *o);
    int rowCount() const { return open_ ? rows_.rowCount() : 0; }
    int columnCount() const { return open_ ? rows_.columnCount() : 0; }
    QString columnName(int column) const { return rows_.columns.value(column); }
    const QVariant &cell(int row, int column) const { return rows_.cell(row, column); }
    int currentRow() const { return open_ && pos_ < rows_.rowCount() ? pos_ : -1; }
    // A bound grid making a row current (0-based); raises MoveComplete.
    void moveToRow(int row);

private:
    friend class Field;
    friend class EventHook;
    friend class Connection;

    // The result of Connection::Execute: open, first record current.
    Recordset(RowStore rows, Connection *connection);

    void requireOpen() const;
    void moveTo(int pos, int reason, bool ranPastEnd);
    void detachFromConnection();
    void closeByConnection();

    void applyFilter();

    bool open_ = false;
    RowStore rows_;
    RowStore unfiltered_;   // every row read, while a filter is set
    RowFilter filter_;
    int pos_ = 0;
    Connection *connection_ = nullptr;
    EventHook *hook_ = nullptr;
    std::vector<RecordsetObserver *> observers_;
};

}  // namespace dd
