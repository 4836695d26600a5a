#include "recordset_table_model.h"
#include "grid_extension.h"

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
    countExtras();
    endResetModel();
    emit currentRecordMoved(rs_ ? rs_->currentRow() : -1);
}

void RecordsetTableModel::setExtension(std::shared_ptr<GridExtension> extension)
{
    if (extension == extension_)
        return;
    const int columns = recordColumnCount();
    const int rows = recordRowCount();
    // The old extension's rows go, then its columns.
    if (extraRows_ > 0) {
        beginRemoveRows({}, rows, rows + extraRows_ - 1);
        extraRows_ = 0;
        endRemoveRows();
    }
    if (extraColumns_ > 0) {
        beginRemoveColumns({}, columns, columns + extraColumns_ - 1);
        extraColumns_ = 0;
        endRemoveColumns();
    }
    extension_ = std::move(extension);
    if (!extension_ || columns == 0)
        return;  // nothing to show beside a closed or unbound recordset
    extension_->rowsReplaced(rs_);
    if (const int n = int(extension_->captions().size()); n > 0) {
        beginInsertColumns({}, columns, columns + n - 1);
        extraColumns_ = n;
        endInsertColumns();
    }
    if (const int n = extension_->extraRowCount(); n > 0) {
        beginInsertRows({}, rows, rows + n - 1);
        extraRows_ = n;
        endInsertRows();
    }
}

// What the extension adds, counted when the rows were last replaced: extra
// columns and rows go with an open recordset only.
void RecordsetTableModel::countExtras()
{
    const bool open = extension_ && recordColumnCount() > 0;
    if (extension_)
        extension_->rowsReplaced(open ? rs_ : nullptr);
    extraColumns_ = open ? int(extension_->captions().size()) : 0;
    extraRows_ = open ? extension_->extraRowCount() : 0;
}

int RecordsetTableModel::recordColumnCount() const
{
    return rs_ ? rs_->columnCount() : 0;
}

int RecordsetTableModel::recordRowCount() const
{
    return rs_ ? rs_->rowCount() : 0;
}

int RecordsetTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !rs_)
        return 0;
    return rs_->rowCount() + extraRows_;
}

int RecordsetTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return rs_ ? rs_->columnCount() + extraColumns_ : kPlaceholderColumns;
}

QVariant RecordsetTableModel::data(const QModelIndex &index, int role) const
{
    if (!rs_ || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const int records = rs_->rowCount();
    const int recordColumns = rs_->columnCount();
    if (index.row() >= records)
        return extension_->extraRowText(index.row() - records, index.column());
    if (index.column() >= recordColumns)
        return extension_->text(index.row(), index.column() - recordColumns);
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
    if (!rs_ || section >= columnCount())
        return QString();
    if (section >= rs_->columnCount())
        return extension_->captions().value(section - rs_->columnCount());
    return rs_->columnName(section);
}

Qt::ItemFlags RecordsetTableModel::flags(const QModelIndex &index) const
{
    // Shown, never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RecordsetTableModel::rowsReplaced(dd::Recordset &rs)
{
    beginResetModel();
    (void)rs;
    countExtras();
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
    countExtras();
    endResetModel();
    emit currentRecordMoved(-1);
}

}  // namespace ui
