#include "focus_watcher.h"
#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace ui {

FocusWatcher::FocusWatcher(QWidget *control, std::function<void()> entered)
    : QObject(control), control_(control), entered_(std::move(entered))
{
    control->installEventFilter(this);
}

void FocusWatcher::watch(QWidget *part)
{
    part->installEventFilter(this);
}

bool FocusWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool comesBack =
            reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        if (!inside_ && !comesBack) {
            inside_ = true;
            entered_();
        }
        inside_ = true;
    } else if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QWidget *now = QApplication::focusWidget();
            if (!now || (now != control_ && !control_->isAncestorOf(now)))
                inside_ = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
