#pragma once
// Command button.
//
//   ui::CommandButton Command1{*this};
//   Command1.setCaption("确定");
//   Command1.setDefault(true);      // Enter presses it (unless the focus is on another button)
//   Command2.setCancel(true);       // Esc presses it wherever the focus is
//   Command1.onClick = [this] { Command1_Click(); };
//
// onClick is raised untrapped for mouse clicks, Space, Enter and Esc. A
// disabled button is never pressed.
#include "control.h"
#include <QString>
#include <functional>

class QPushButton;

namespace ui {

class CommandButton : public Control {
public:
    explicit CommandButton(Form &form);
    ~CommandButton() override;

    QString Caption() const;
    void setCaption(const QString &caption);
    bool Default() const { return default_; }
    void setDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void setCancel(bool isCancel);

    // Presses the button as the user would (nothing when disabled).
    void press();

    std::function<void()> onClick;

    QPushButton *button() const;

private:
    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace ui
