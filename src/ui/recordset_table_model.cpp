#include "recordset_table_model.h"

namespace ui {

namespace {
// An unbound grid shows two empty, uncaptioned placeholder columns.
constexpr int kPlaceholderColumns = 2;
}

RecordsetTableModel::RecordsetTableModel(QObject *parent) : QAbstractTableModel(parent) {}

RecordsetTableModel::~RecordsetTableModel()
{
    if (rs_)
        rs_->removeObserver(this);
}

void RecordsetTableModel::setRecordset(dd::Recordset *rs)
{
    if (rs == rs_)
        return;
    beginResetModel();
    if (rs_)
        rs_->removeObserver(this);
    rs_ = rs;
    if (rs_)
        rs_->addObserver(this);
    endResetModel();
    emit currentRecordMoved(rs_ ? rs_->currentRow() : -1);
}

int RecordsetTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !rs_)
        return 0;
    return rs_->rowCount();
}

int RecordsetTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return rs_ ? rs_->columnCount() : kPlaceholderColumns;
}

QVariant RecordsetTableModel::data(const QModelIndex &index, int role) const
{
    if (!rs_ || !index.isValid() || index.row() >= rs_->rowCount()
        || index.column() >= rs_->columnCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    // A NULL shows as empty text.
    const QVariant &v = rs_->cell(index.row(), index.column());
    return v.isNull() ? QString() : v.toString();
}

QVariant RecordsetTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString();
    if (!rs_ || section >= rs_->columnCount())
        return QString();
    return rs_->columnName(section);
}

Qt::ItemFlags RecordsetTableModel::flags(const QModelIndex &index) const
{
    // Shown, never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RecordsetTableModel::rowsReplaced(dd::Recordset &)
{
    beginResetModel();
    endResetModel();
}

void RecordsetTableModel::currentMoved(dd::Recordset &rs)
{
    emit currentRecordMoved(rs.currentRow());
}

void RecordsetTableModel::recordsetGone(dd::Recordset &)
{
    beginResetModel();
    rs_ = nullptr;
    endResetModel();
    emit currentRecordMoved(-1);
}

}  // namespace ui
