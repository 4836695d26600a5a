#include "combo_list_model.h"

namespace ui {

void ComboListModel::append(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    const int first = int(texts_.size());
    beginInsertRows(QModelIndex(), first, first + int(texts.size()) - 1);
    texts_.append(texts);
    endInsertRows();
}

int ComboListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(texts_.size());
}

QVariant ComboListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= texts_.size())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return texts_.at(index.row());
    return QVariant();
}

bool ComboListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= texts_.size()
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    texts_[index.row()] = value.toString();
    changedInPlace_ = true;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags ComboListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

bool ComboListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row > texts_.size() || count < 1)
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    texts_.insert(row, count, QString());
    changedInPlace_ = true;
    endInsertRows();
    return true;
}

bool ComboListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > texts_.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    texts_.remove(row, count);
    changedInPlace_ = !texts_.isEmpty();  // emptied: as good as cleared
    endRemoveRows();
    return true;
}

}  // namespace ui
