#include "command_button.h"
#include <QPushButton>

namespace ui {

CommandButton::CommandButton(Form &form) : Control(form, new QPushButton)
{
    QPushButton *b = button();
    // Enter on a button that has the focus presses that button.
    b->setAutoDefault(true);
    QObject::connect(b, &QPushButton::clicked, b, [this] { raiseUserEvent(onClick); });
}

CommandButton::~CommandButton() = default;

QPushButton *CommandButton::button() const
{
    return static_cast<QPushButton *>(widget());
}

QString CommandButton::Caption() const
{
    return button()->text();
}

void CommandButton::setCaption(const QString &caption)
{
    button()->setText(caption);
}

void CommandButton::setDefault(bool isDefault)
{
    default_ = isDefault;
    button()->setDefault(isDefault);
}

void CommandButton::setCancel(bool isCancel)
{
    cancel_ = isCancel;
}

void CommandButton::press()
{
    QPushButton *b = button();
    if (b->isEnabled() && b->isVisible())
        b->click();
}

}  // namespace ui
