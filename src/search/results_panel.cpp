#include "results_panel.h"
#include "results_model.h"
#include <QHeaderView>
#include <QTableView>

namespace search {

ResultsPanel::ResultsPanel(QWidget *parent) : ResultsPanel(parent, new ResultsModel(nullptr)) {}

ResultsPanel::ResultsPanel(QWidget *parent, ResultsModel *model)
    : ListPanel(parent, model, QStringLiteral("搜索结果")), model_(model)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    // No accessible name of its own: assistive technology reads the line's
    // text ("共找到3处") and hears it change.
    QHeaderView *header = view()->horizontalHeader();
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(40);
    const int widths[] = {115, 90, 60, 85, 95};
    for (int i = 0; i < 5; ++i)
        header->resizeSection(i, widths[i]);
}

void ResultsPanel::showStatus(const QString &text)
{
    if (model_->rowCount() > 0)
        model_->clear();
    setLineText(text);
}

void ResultsPanel::showResults(std::shared_ptr<const SearchIndex> index, std::vector<Hit> hits)
{
    const size_t count = hits.size();
    model_->setResults(std::move(index), std::move(hits));
    setLineText(count ? QStringLiteral("共找到%1处").arg(count) : QStringLiteral("没有找到"));
    showFromTheTop();
}

bool ResultsPanel::moveCurrent(int delta)
{
    const int rows = model_->rowCount();
    if (rows == 0)
        return false;
    const int row = std::clamp(view()->currentIndex().row() + delta, 0, rows - 1);
    view()->setCurrentIndex(model_->index(row, 0));
    view()->scrollTo(model_->index(row, 0));
    return true;
}

const Hit *ResultsPanel::currentHit() const
{
    const QModelIndex current = view()->currentIndex();
    if (!current.isValid() || current.row() >= model_->rowCount())
        return nullptr;
    return &model_->hit(current.row());
}

int ResultsPanel::pageRows() const
{
    const int row = std::max(1, view()->verticalHeader()->defaultSectionSize());
    return std::max(1, view()->viewport()->height() / row - 1);
}

void ResultsPanel::chooseRow(int row)
{
    if (row < model_->rowCount() && onChoose)
        onChoose(model_->hit(row));
}

}  // namespace search
