#include "form_window.h"
#include "command_button.h"
#include "form.h"
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace ui {

FormWindow::FormWindow(Form &form) : QWidget(nullptr), form_(form)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void FormWindow::setPicture(const QPixmap &picture)
{
    picture_ = picture;
    update();
}

bool FormWindow::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        form_.windowActivated();
    return QWidget::event(e);
}

void FormWindow::paintEvent(QPaintEvent *e)
{
    QWidget::paintEvent(e);
    if (!picture_.isNull()) {
        QPainter p(this);
        // Unscaled: one picture pixel per logical pixel, at the top-left.
        p.drawPixmap(QPoint(0, 0), picture_);
    }
}

void FormWindow::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    form_.windowResized();
}

void FormWindow::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        form_.windowResized();
}

void FormWindow::closeEvent(QCloseEvent *e)
{
    // The window is never closed by the toolkit itself: the close box
    // unloads the Form, which hides and discards this widget.
    e->ignore();
    form_.closeRequested();
}

void FormWindow::keyPressEvent(QKeyEvent *e)
{
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool escape = e->key() == Qt::Key_Escape;
    const bool plain = e->modifiers() == Qt::NoModifier ||
                       (enter && e->modifiers() == Qt::KeypadModifier);
    if ((enter || escape) && plain) {
        for (CommandButton *b : form_.commandButtons()) {
            if ((enter && b->Default()) || (escape && b->Cancel())) {
                e->accept();
                b->press();
                return;
            }
        }
    }
    QWidget::keyPressEvent(e);
}

}  // namespace ui
