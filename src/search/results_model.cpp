#include "results_model.h"

namespace search {

namespace {
const char *const kHeaders[] = {"数据表", "中文表名", "所属模块", "字段名称", "字段含义", "字段类型"};
}

void ResultsModel::setResults(std::shared_ptr<const SearchIndex> index, std::vector<Hit> hits)
{
    beginResetModel();
    index_ = std::move(index);
    hits_ = std::move(hits);
    endResetModel();
}

void ResultsModel::clear()
{
    setResults(nullptr, {});
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(hits_.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 6;
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(hits_.size()) || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const Hit &hit = hits_[size_t(index.row())];
    const dd::Dictionary &d = index_->dictionary();
    const dd::DictionaryTable &table = d.tables[size_t(hit.table)];
    switch (index.column()) {
    case 0: return table.name;
    case 1: return table.description;
    case 2: return table.module;
    default: break;
    }
    if (hit.isTable())
        return QString();
    const dd::DictionaryField &field = d.fields[size_t(hit.field)];
    switch (index.column()) {
    case 3: return field.name;
    case 4: return field.meaning;
    default: return field.type;
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 6)
        return QString::fromUtf8(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace search
