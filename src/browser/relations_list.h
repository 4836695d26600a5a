#pragma once
// The list of the tables the current table joins with ("关联表"), under the
// field grid: one row per link, with the way it goes (引用: this table's
// field refers to the other table; 被引用: the other refers to this), the
// other table, both fields, the evidence and the confidence. A line above
// it says how the links' build is doing, or how many there are. Enter or a
// double-click chooses a row.
#include "relations/relations.h"
#include "search/list_panel.h"
#include <QAbstractTableModel>
#include <functional>
#include <memory>

namespace browser {

class RelationsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The links of a table that are at least `least` sure (declared ones always).
    void setLinks(std::shared_ptr<const dd::relations::Relations> relations, int table,
                  dd::relations::Confidence least);
    void clear();
    // The other table of a row and its field.
    int otherTable(int row) const;
    int otherField(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const dd::relations::Link &link(int row) const { return relations_->links()[size_t(rows_[size_t(row)])]; }
    std::shared_ptr<const dd::relations::Relations> relations_;
    int table_ = -1;
    std::vector<int> rows_;
};

class RelationsList : public search::ListPanel {
    Q_OBJECT
public:
    explicit RelationsList(QWidget *parent);

    // A line instead of links (the build's progress or failure): no rows.
    void showStatus(const QString &text);
    void showLinks(std::shared_ptr<const dd::relations::Relations> relations, int table,
                   dd::relations::Confidence least);

    QString statusText() const { return lineText(); }
    RelationsModel *model() const { return model_; }

    // Enter or a double-click on a row: the other table and its field.
    std::function<void(int table, int field)> onChoose;
    // Whether 中 links are wanted too (the list's context menu).
    std::function<void(bool withMedium)> onWithMedium;
    bool withMedium = false;

protected:
    void chooseRow(int row) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    RelationsList(QWidget *parent, RelationsModel *model);
    void fitColumns();
    RelationsModel *model_;
};

}  // namespace browser
