#include "findings_panel.h"
#include "export/findings_report.h"
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace browser {

using dd::catalog::Finding;

class FindingsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setStructure(std::shared_ptr<const PhysicalStructure> structure)
    {
        beginResetModel();
        structure_ = std::move(structure);
        endResetModel();
    }
    const PhysicalStructure *structure() const { return structure_.get(); }
    const Finding &finding(int row) const { return findings()[size_t(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(findings().size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 7; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        return dd::exporting::findingRow(finding(index.row())).value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const QStringList captions = dd::exporting::findingColumns();
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        return captions.value(section);
    }

private:
    const std::vector<Finding> &findings() const
    {
        static const std::vector<Finding> none;
        return structure_ ? structure_->comparison().findings : none;
    }
    std::shared_ptr<const PhysicalStructure> structure_;
};

FindingsPanel::FindingsPanel(QWidget *parent) : FindingsPanel(parent, new FindingsModel(nullptr)) {}

FindingsPanel::FindingsPanel(QWidget *parent, FindingsModel *model)
    : ListPanel(parent, model, QStringLiteral("核对结果")), model_(model)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QHeaderView *header = view()->horizontalHeader();
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(30);
    const int widths[] = {40, 100, 80, 90, 120, 80, 80};
    for (int i = 0; i < 7; ++i)
        header->resizeSection(i, widths[i]);
}

void FindingsPanel::showFindings(std::shared_ptr<const PhysicalStructure> structure)
{
    if (structure.get() != model_->structure()) {
        const QString text = dd::exporting::findingsSummary(structure->comparison().findings);
        model_->setStructure(std::move(structure));
        // Read out as it is written.
        setLineText(text);
        line()->setAccessibleName(text);
        // Columns as wide as their texts while that is cheap to measure.
        if (model_->rowCount() <= 2000)
            view()->resizeColumnsToContents();
        showFromTheTop();
    }
}

const Finding *FindingsPanel::currentFinding() const
{
    const QModelIndex current = view()->currentIndex();
    if (!current.isValid() || current.row() >= model_->rowCount())
        return nullptr;
    return &model_->finding(current.row());
}

void FindingsPanel::chooseRow(int row)
{
    if (row < model_->rowCount() && onChoose)
        onChoose(Finding(model_->finding(row)));
}

}  // namespace browser
