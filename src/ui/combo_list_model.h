#pragma once
// The entries of a combo box: a plain list of texts. A standard item model
// spends an object and a role map per entry, which a dictionary of ten
// thousand table names pays when the list is filled and again when it is
// freed; this one keeps the texts and nothing else.
#include <QAbstractListModel>
#include <QStringList>

namespace ui {

class ComboListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Appends the texts as one insertion.
    void append(const QStringList &texts);
    const QString &text(int row) const { return texts_.at(row); }
    // Whether entries were inserted, removed or rewritten other than by
    // append() since the list was last emptied.
    bool changedInPlace() const { return changedInPlace_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

private:
    QStringList texts_;
    bool changedInPlace_ = false;
};

}  // namespace ui
