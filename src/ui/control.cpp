#include "control.h"
#include "error_modes.h"
#include "form.h"
#include "twips.h"
#include <QWidget>

namespace ui {

Control::Control(Form &form, QWidget *widget) : form_(form), widget_(widget)
{
    widget_->setParent(form.widget());
    tabIndex_ = static_cast<int>(form.controls_.size());
    form.registerControl(this);
    // Until a design position is given, the widget's own size is the size.
    width_ = pixelsToTwips(widget_->width());
    height_ = pixelsToTwips(widget_->height());
    widget_->show();
}

Control::~Control()
{
    form_.unregisterControl(this);
    delete widget_;
}

void Control::setLeft(float twips)
{
    left_ = twips;
    applyGeometry();
}

void Control::setTop(float twips)
{
    top_ = twips;
    applyGeometry();
}

void Control::setWidth(float twips)
{
    width_ = twips;
    applyGeometry();
}

void Control::setHeight(float twips)
{
    height_ = twips;
    applyGeometry();
}

void Control::Move(float left, float top, float width, float height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    applyGeometry();
}

void Control::storeSize(float width, float height)
{
    width_ = width;
    height_ = height;
    widget_->setGeometry(twipsRect(left_, top_, width_, height_));
}

void Control::applyGeometry()
{
    widget_->setGeometry(twipsRect(left_, top_, width_, height_));
    geometryChanged();
}

bool Control::Enabled() const
{
    return widget_->isEnabled();
}

void Control::setEnabled(bool enabled)
{
    widget_->setEnabled(enabled);
}

bool Control::Visible() const
{
    return !widget_->isHidden();
}

void Control::setVisible(bool visible)
{
    widget_->setVisible(visible);
}

QString Control::ToolTipText() const
{
    return widget_->toolTip();
}

void Control::setToolTipText(const QString &text)
{
    widget_->setToolTip(text);
}

QFont Control::Font() const
{
    return widget_->font();
}

void Control::setFont(const QFont &font)
{
    widget_->setFont(font);
    fontChanged();
}

void Control::SetFocus()
{
    widget_->setFocus(Qt::OtherFocusReason);
}

void Control::raiseUserEvent(const std::function<void()> &handler) const
{
    if (!handler || !form_.isLoaded())
        return;
    untrapped(handler);
}

}  // namespace ui
