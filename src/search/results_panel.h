#pragma once
// The floating list of a search's results: a status line ("共找到N处",
// "没有找到", the load's progress or failure) over a table of hits. It sits
// over the window's own controls without moving them; the focus stays in
// the search box, which hands it Up/Down/Page keys (moveCurrent).
#include "list_panel.h"
#include "searcher.h"
#include <functional>
#include <memory>

namespace search {

class ResultsModel;

class ResultsPanel : public ListPanel {
    Q_OBJECT
public:
    explicit ResultsPanel(QWidget *parent);

    // A line instead of results (load progress, failure): no rows.
    void showStatus(const QString &text);
    // The hits of a search, the first one current.
    void showResults(std::shared_ptr<const SearchIndex> index, std::vector<Hit> hits);

    // Moves the current row by delta (clamped); false without rows.
    bool moveCurrent(int delta);
    // The current hit, or nullptr.
    const Hit *currentHit() const;
    // Rows a page down moves.
    int pageRows() const;

    QString statusText() const { return lineText(); }
    ResultsModel *model() const { return model_; }

    // Enter or a double-click on a row.
    std::function<void(Hit)> onChoose;

protected:
    void chooseRow(int row) override;

private:
    ResultsPanel(QWidget *parent, ResultsModel *model);
    ResultsModel *model_;
};

}  // namespace search
