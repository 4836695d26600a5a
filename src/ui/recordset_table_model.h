#pragma once
// A read-only table model over the rows of a recordset. It observes the
// recordset: a reopen, a close or the recordset's end resets the model, and
// a change of the current record is passed on as currentRecordMoved(). The
// model holds no copy of the rows; it reads the recordset's row store.
#include "data/recordset.h"
#include <QAbstractTableModel>
#include <memory>

namespace ui {

class GridExtension;

class RecordsetTableModel : public QAbstractTableModel, private dd::RecordsetObserver {
    Q_OBJECT
public:
    explicit RecordsetTableModel(QObject *parent = nullptr);
    ~RecordsetTableModel() override;

    // Binds another recordset (nullptr: none). Rebinding the same one keeps
    // everything as it is.
    void setRecordset(dd::Recordset *rs);
    dd::Recordset *recordset() const { return rs_; }

    // Extra columns and rows beside the recordset's (nullptr: none). They
    // are inserted and removed as such: the rows the view shows, its
    // current row and its selection stay.
    void setExtension(std::shared_ptr<GridExtension> extension);
    const std::shared_ptr<GridExtension> &extension() const { return extension_; }
    // The recordset's own columns and rows, without the extension's.
    int recordColumnCount() const;
    int recordRowCount() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The recordset's current record changed (row -1: none, at EOF).
    void currentRecordMoved(int row);

private:
    void rowsReplaced(dd::Recordset &rs) override;
    void currentMoved(dd::Recordset &rs) override;
    void recordsetGone(dd::Recordset &rs) override;

    void countExtras();

    dd::Recordset *rs_ = nullptr;
    std::shared_ptr<GridExtension> extension_;
    int extraColumns_ = 0;
    int extraRows_ = 0;
};

}  // namespace ui
