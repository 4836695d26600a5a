#include "form.h"
#include "command_button.h"
#include "control.h"
#include "error_modes.h"
#include "event_scope.h"
#include "form_window.h"
#include "program_resources.h"
#include "twips.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace ui {

namespace {

// The program's windows, loaded and discarded, and what the
// running handlers and the end of the program are waiting for.
struct WindowRegistry {
    std::vector<Form *> loaded;      // in load order
    std::vector<Form *> discarded;   // unloaded, waiting to be deleted
    Form *active = nullptr;          // the window that last got Form_Activate
    int handlerDepth = 0;
    bool ended = false;
    bool deletionQueued = false;
    bool endCheckQueued = false;
};

void erase(std::vector<Form *> &forms, Form *f)
{
    forms.erase(std::remove(forms.begin(), forms.end(), f), forms.end());
}

WindowRegistry &windows()
{
    static WindowRegistry w;
    return w;
}

void queueDeletion()
{
    WindowRegistry &w = windows();
    if (w.deletionQueued || !QCoreApplication::instance())
        return;
    w.deletionQueued = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        windows().deletionQueued = false;
        deleteDiscardedForms();
    });
}

// The program ends when no window is loaded once the current handlers are
// done; a handler that unloads every window and then shows a fresh one
// keeps it running.
void queueEndCheck()
{
    WindowRegistry &w = windows();
    if (w.endCheckQueued || !QCoreApplication::instance())
        return;
    w.endCheckQueued = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        WindowRegistry &w = windows();
        w.endCheckQueued = false;
        if (w.loaded.empty() && !w.ended)
            End();
    });
}

}  // namespace

namespace detail {

EventScope::EventScope() { ++windows().handlerDepth; }

EventScope::~EventScope()
{
    if (--windows().handlerDepth == 0 && !windows().discarded.empty())
        queueDeletion();
}

bool EventScope::active() { return windows().handlerDepth > 0; }

}  // namespace detail

Form::Form() : window_(new FormWindow(*this))
{
    windows().loaded.push_back(this);
    window_->setWindowIcon(programIcon());
    applyWindowFlags();
}

Form::~Form()
{
    WindowRegistry &w = windows();
    erase(w.loaded, this);
    erase(w.discarded, this);
    if (w.active == this)
        w.active = nullptr;
    if (loaded_ && detachRef_)
        detachRef_();
    delete window_;
}

void Form::raiseLoad()
{
    Form_Load();
}

std::vector<Form *> Form::loadedForms()
{
    return windows().loaded;
}

QWidget *Form::widget() const
{
    return window_;
}

bool Form::Visible() const
{
    return loaded_ && window_->isVisible();
}

QString Form::Caption() const
{
    return window_->windowTitle();
}

void Form::setCaption(const QString &caption)
{
    window_->setWindowTitle(caption);
}

float Form::ScaleWidth() const
{
    return window_->isMinimized() ? 0.0f : pixelsToTwips(window_->width());
}

float Form::ScaleHeight() const
{
    return window_->isMinimized() ? 0.0f : pixelsToTwips(window_->height());
}

void Form::setClientSize(float widthTwips, float heightTwips)
{
    const QSize size = twipsSize(widthTwips, heightTwips);
    if (resizable_) {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_->resize(size);
    } else {
        window_->setFixedSize(size);
    }
}

void Form::setResizable(bool resizable)
{
    resizable_ = resizable;
    const QSize size = window_->size();
    if (resizable) {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        window_->setFixedSize(size);
    }
    applyWindowFlags();
}

void Form::setCaptionButtons(int buttons)
{
    captionButtons_ = buttons;
    applyWindowFlags();
}

void Form::applyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (captionButtons_ & CloseBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (captionButtons_ & MinButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if ((captionButtons_ & MaxButton) && resizable_)
        flags |= Qt::WindowMaximizeButtonHint;
    const bool visible = window_->isVisible();
    window_->setWindowFlags(flags);
    if (visible)
        window_->show();
}

void Form::setStartUpPosition(StartUpPosition position)
{
    startUp_ = position;
}

void Form::setPicture(const QPixmap &picture)
{
    window_->setPicture(picture);
}

void Form::setIcon(const QIcon &icon)
{
    window_->setWindowIcon(icon);
}

void Form::placeAtFirstShow()
{
    QRect area;
    if (startUp_ == StartUpPosition::Manual)
        return;
    if (startUp_ == StartUpPosition::CenterOwner && owner_) {
        area = owner_->window_->frameGeometry();
    } else {
        QScreen *screen = owner_ ? owner_->window_->screen() : QGuiApplication::primaryScreen();
        if (screen)
            area = screen->availableGeometry();
    }
    if (area.isEmpty())
        return;
    const QSize size = window_->size();
    window_->move(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2);
}

void Form::Show(Form *owner)
{
    if (!loaded_)
        return;  // a discarded window: the global reference builds a fresh one
    if (owner && owner != this && owner->loaded_ && owner_ != owner) {
        owner_ = owner;
        owner->window_->winId();
        window_->winId();
        if (QWindow *w = window_->windowHandle())
            w->setTransientParent(owner->window_->windowHandle());
    }
    const bool first = !shownOnce_;
    if (first)
        placeAtFirstShow();
    const bool wasVisible = window_->isVisible();
    window_->show();
    if (wasVisible)
        window_->raise();
    window_->activateWindow();
    if (first) {
        shownOnce_ = true;
        Form_Resize();
    }
    if (loaded_ && windows().active != this) {
        windows().active = this;
        Form_Activate();
    }
}

void Form::Hide()
{
    window_->hide();
    if (windows().active == this)
        windows().active = nullptr;
}

void Form::Unload()
{
    if (!loaded_ || unloading_)
        return;
    unloading_ = true;
    int cancel = 0;
    try {
        Form_Unload(cancel);
    } catch (...) {
        unloading_ = false;
        discard();
        throw;
    }
    unloading_ = false;
    if (cancel != 0 || !loaded_)
        return;
    discard();
}

void Form::discard()
{
    if (!loaded_)
        return;
    WindowRegistry &w = windows();
    loaded_ = false;
    if (detachRef_)
        detachRef_();
    erase(w.loaded, this);
    w.discarded.push_back(this);
    if (w.active == this)
        w.active = nullptr;
    for (Form *other : w.loaded) {
        if (other->owner_ == this) {
            other->owner_ = nullptr;
            if (QWindow *h = other->window_->windowHandle())
                h->setTransientParent(nullptr);
        }
    }
    for (QTimer *t : window_->findChildren<QTimer *>())
        t->stop();
    window_->hide();
    if (!detail::EventScope::active())
        queueDeletion();
    if (w.loaded.empty() && !w.ended)
        queueEndCheck();
}

void Form::windowActivated()
{
    if (!loaded_ || !shownOnce_ || windows().active == this)
        return;
    windows().active = this;
    untrapped([this] { Form_Activate(); });
}

void Form::windowResized()
{
    if (!loaded_ || !shownOnce_)
        return;
    untrapped([this] { Form_Resize(); });
}

void Form::closeRequested()
{
    if (!loaded_ || !(captionButtons_ & CloseBox))
        return;
    untrapped([this] { Unload(); });
}

std::vector<CommandButton *> Form::commandButtons() const
{
    std::vector<CommandButton *> buttons;
    for (Control *c : controls_)
        if (auto *b = dynamic_cast<CommandButton *>(c))
            buttons.push_back(b);
    return buttons;
}

void Form::registerControl(Control *c)
{
    controls_.push_back(c);
}

void Form::unregisterControl(Control *c)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
}

void End()
{
    WindowRegistry &w = windows();
    w.ended = true;
    const std::vector<Form *> forms = w.loaded;
    for (Form *f : forms) {
        f->loaded_ = false;
        if (f->detachRef_)
            f->detachRef_();
        for (QTimer *t : f->window_->findChildren<QTimer *>())
            t->stop();
        f->window_->hide();
        w.discarded.push_back(f);
    }
    w.loaded.clear();
    w.active = nullptr;
    if (!detail::EventScope::active())
        queueDeletion();
    if (QCoreApplication::instance())
        QCoreApplication::exit(0);
}

bool programEnded()
{
    return windows().ended;
}

void deleteDiscardedForms()
{
    WindowRegistry &w = windows();
    if (w.handlerDepth > 0)
        return;
    while (!w.discarded.empty()) {
        Form *f = w.discarded.back();
        w.discarded.pop_back();
        delete f;
    }
}

void resetProgram()
{
    End();
    WindowRegistry &w = windows();
    w.ended = false;
    deleteDiscardedForms();
}

}  // namespace ui
