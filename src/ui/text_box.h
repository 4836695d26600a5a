#pragma once
// Text box.
//
//   ui::TextBox Text2{*this};
//   Text2.setPasswordChar('*');     // echoes every character as *
//   QString pw = Text2.Text();
//   Text2.SetFocus();
//
// onChange: every edit by the user and every setText by code.
// onGotFocus: as for ComboBox (not when the window is merely re-activated).
#include "control.h"
#include <QChar>
#include <QString>
#include <functional>

class QLineEdit;

namespace ui {

class TextBox : public Control {
public:
    explicit TextBox(Form &form);
    ~TextBox() override;

    QString Text() const;
    void setText(const QString &text);
    // QChar() for plain echo.
    void setPasswordChar(QChar c);
    QChar PasswordChar() const { return passwordChar_; }

    std::function<void()> onChange;
    std::function<void()> onGotFocus;

    QLineEdit *lineEdit() const;

private:
    QChar passwordChar_;
};

}  // namespace ui
