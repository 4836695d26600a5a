#pragma once
// The floating list of a search's results: a status line ("共找到N处",
// "没有找到", the load's progress or failure) over a table of hits. It sits
// over the window's own controls without moving them; the focus stays in
// the search box, which hands it Up/Down/Page keys (moveCurrent).
#include "searcher.h"
#include <QFrame>
#include <functional>
#include <memory>

class QLabel;
class QTableView;

namespace search {

class ResultsModel;

class ResultsPanel : public QFrame {
    Q_OBJECT
public:
    explicit ResultsPanel(QWidget *parent);
    ~ResultsPanel() override;

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

    QString statusText() const;
    QTableView *view() const { return view_; }
    ResultsModel *model() const { return model_; }

    // Enter or a double-click on a row; Esc in the list.
    std::function<void(Hit)> onChoose;
    std::function<void()> onEscape;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *status_;
    QTableView *view_;
    ResultsModel *model_;
};

}  // namespace search
