#include "list_panel.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace search {

ListPanel::ListPanel(QWidget *parent, QAbstractItemModel *model, const QString &listName)
    : QFrame(parent), line_(new QLabel(this)), view_(new QTableView(this))
{
    model->setParent(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(line_);
    layout->addWidget(view_, 1);
    line_->setTextFormat(Qt::PlainText);

    view_->setModel(model);
    view_->setAccessibleName(listName);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(false);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->installEventFilter(this);
    QObject::connect(view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            chooseRow(index.row());
    });
    hide();
}

QString ListPanel::lineText() const
{
    return line_->text();
}

void ListPanel::setLineText(const QString &text)
{
    if (line_->text() != text)
        line_->setText(text);
}

void ListPanel::showFromTheTop()
{
    if (view_->model()->rowCount() > 0)
        view_->setCurrentIndex(view_->model()->index(0, 0));
    view_->scrollToTop();
}

bool ListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QModelIndex current = view_->currentIndex();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (current.isValid())
                chooseRow(current.row());
            return true;
        }
        if (key == Qt::Key_Escape && onEscape) {
            onEscape();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace search
