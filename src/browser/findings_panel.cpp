#include "findings_panel.h"
#include "export/findings_report.h"
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

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

FindingsPanel::FindingsPanel(QWidget *parent)
    : QFrame(parent), summary_(new QLabel(this)), view_(new QTableView(this)), model_(new FindingsModel(this))
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(summary_);
    layout->addWidget(view_, 1);
    summary_->setTextFormat(Qt::PlainText);

    view_->setModel(model_);
    view_->setAccessibleName(QStringLiteral("核对结果"));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(false);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->horizontalHeader()->setMinimumSectionSize(30);
    const int widths[] = {40, 100, 80, 90, 120, 80, 80};
    for (int i = 0; i < 7; ++i)
        view_->horizontalHeader()->resizeSection(i, widths[i]);
    view_->installEventFilter(this);
    QObject::connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && onChoose)
            onChoose(model_->finding(index.row()));
    });
    hide();
}

FindingsPanel::~FindingsPanel() = default;

void FindingsPanel::showFindings(std::shared_ptr<const PhysicalStructure> structure)
{
    if (structure.get() != model_->structure()) {
        const QString text = dd::exporting::findingsSummary(structure->comparison().findings);
        model_->setStructure(std::move(structure));
        // Read out as it is written.
        summary_->setText(text);
        summary_->setAccessibleName(text);
        // Columns as wide as their texts while that is cheap to measure.
        if (model_->rowCount() <= 2000)
            view_->resizeColumnsToContents();
        if (model_->rowCount() > 0)
            view_->setCurrentIndex(model_->index(0, 0));
        view_->scrollToTop();
    }
}

QString FindingsPanel::summary() const
{
    return summary_->text();
}

const Finding *FindingsPanel::currentFinding() const
{
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || current.row() >= model_->rowCount())
        return nullptr;
    return &model_->finding(current.row());
}

bool FindingsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && currentFinding()) {
            if (onChoose)
                onChoose(Finding(*currentFinding()));
            return true;
        }
        if (key == Qt::Key_Escape) {
            if (onEscape)
                onEscape();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace browser
