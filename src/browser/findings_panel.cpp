#include "findings_panel.h"
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace browser {

using dd::catalog::Finding;
using dd::catalog::Level;

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
        const Finding &f = finding(index.row());
        switch (index.column()) {
        case 0: return dd::catalog::levelText(f.level);
        case 1: return f.table;
        case 2: return f.description;
        case 3: return f.field;
        case 4: return f.problem;
        case 5: return f.documentedType;
        default: return f.physicalType;
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const QStringList captions = {
            QStringLiteral("级别"), QStringLiteral("数据表"), QStringLiteral("中文表名"),
            QStringLiteral("字段名称"), QStringLiteral("问题"), QStringLiteral("字典类型"),
            QStringLiteral("实际类型")};
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

QString findingsSummary(const std::vector<Finding> &findings)
{
    int counts[3] = {0, 0, 0};
    for (const Finding &f : findings)
        ++counts[int(f.level)];
    return QStringLiteral("共%1处：错误%2处，警告%3处，提示%4处")
        .arg(findings.size())
        .arg(counts[int(Level::Error)])
        .arg(counts[int(Level::Warning)])
        .arg(counts[int(Level::Hint)]);
}

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
        const QString text = findingsSummary(structure->comparison().findings);
        model_->setStructure(std::move(structure));
        // Read out as it is written.
        summary_->setText(text);
        summary_->setAccessibleName(text);
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
