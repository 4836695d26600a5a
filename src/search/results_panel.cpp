#include "results_panel.h"
#include "results_model.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace search {

ResultsPanel::ResultsPanel(QWidget *parent)
    : QFrame(parent), status_(new QLabel(this)), view_(new QTableView(this)), model_(new ResultsModel(this))
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(status_);
    layout->addWidget(view_, 1);
    // No accessible name of its own: assistive technology reads the line's
    // text ("共找到3处") and hears it change.
    status_->setTextFormat(Qt::PlainText);

    view_->setModel(model_);
    view_->setAccessibleName(QStringLiteral("搜索结果"));
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
    const int widths[] = {115, 90, 60, 85, 95};
    view_->horizontalHeader()->setMinimumSectionSize(40);
    for (int i = 0; i < 5; ++i)
        view_->horizontalHeader()->resizeSection(i, widths[i]);
    view_->installEventFilter(this);
    QObject::connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && onChoose)
            onChoose(model_->hit(index.row()));
    });
    hide();
}

ResultsPanel::~ResultsPanel() = default;

void ResultsPanel::showStatus(const QString &text)
{
    if (model_->rowCount() > 0)
        model_->clear();
    if (status_->text() != text)
        status_->setText(text);
}

void ResultsPanel::showResults(std::shared_ptr<const SearchIndex> index, std::vector<Hit> hits)
{
    const size_t count = hits.size();
    model_->setResults(std::move(index), std::move(hits));
    status_->setText(count ? QStringLiteral("共找到%1处").arg(count) : QStringLiteral("没有找到"));
    if (count)
        view_->setCurrentIndex(model_->index(0, 0));
    view_->scrollToTop();
}

bool ResultsPanel::moveCurrent(int delta)
{
    const int rows = model_->rowCount();
    if (rows == 0)
        return false;
    const int row = std::clamp(view_->currentIndex().row() + delta, 0, rows - 1);
    view_->setCurrentIndex(model_->index(row, 0));
    view_->scrollTo(model_->index(row, 0));
    return true;
}

const Hit *ResultsPanel::currentHit() const
{
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || current.row() >= model_->rowCount())
        return nullptr;
    return &model_->hit(current.row());
}

int ResultsPanel::pageRows() const
{
    return std::max(1, view_->viewport()->height() / std::max(1, view_->verticalHeader()->defaultSectionSize()) - 1);
}

QString ResultsPanel::statusText() const
{
    return status_->text();
}

bool ResultsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && currentHit()) {
            if (onChoose)
                onChoose(Hit(*currentHit()));
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

}  // namespace search
