#pragma once
// A list over a line of text, chosen a whole row at a time: the search's
// results, and the browser's findings and related tables, are such lists.
// Enter or a double-click chooses the current row; Esc asks to close the
// list when onEscape is set. Tab passes the list by, as it does a grid.
#include <QFrame>
#include <functional>

class QAbstractItemModel;
class QLabel;
class QTableView;

namespace search {

class ListPanel : public QFrame {
    Q_OBJECT
public:
    // The panel takes the model; `listName` is the list's accessible name.
    ListPanel(QWidget *parent, QAbstractItemModel *model, const QString &listName);

    QTableView *view() const { return view_; }
    QString lineText() const;
    std::function<void()> onEscape;

protected:
    virtual void chooseRow(int row) = 0;
    QLabel *line() const { return line_; }
    void setLineText(const QString &text);
    // The first row current, the list at its top.
    void showFromTheTop();
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *line_;
    QTableView *view_;
};

}  // namespace search
