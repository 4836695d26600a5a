#pragma once
// The rows of a search's results for a table view: 数据表, 中文表名, 所属模块,
// 字段名称, 字段含义, 字段类型; a table row leaves the field columns empty.
#include "searcher.h"
#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace search {

class ResultsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setResults(std::shared_ptr<const SearchIndex> index, std::vector<Hit> hits);
    void clear();
    const Hit &hit(int row) const { return hits_[size_t(row)]; }
    const SearchIndex *searchIndex() const { return index_.get(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const SearchIndex> index_;
    std::vector<Hit> hits_;
};

}  // namespace search
