#include "text_box.h"
#include "focus_watcher.h"
#include <QLineEdit>
#include <QProxyStyle>
#include <QSignalBlocker>

namespace ui {

namespace {

// Draws the password box's hidden characters with the chosen character.
class PasswordStyle : public QProxyStyle {
public:
    explicit PasswordStyle(QChar c) : c_(c) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return c_.unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar c_;
};

}  // namespace

TextBox::TextBox(Form &form) : Control(form, new QLineEdit)
{
    QLineEdit *edit = lineEdit();
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this] { raiseUserEvent(onChange); });
    new FocusWatcher(edit, [this] { raiseUserEvent(onGotFocus); });
}

TextBox::~TextBox() = default;

QLineEdit *TextBox::lineEdit() const
{
    return static_cast<QLineEdit *>(widget());
}

QString TextBox::Text() const
{
    return lineEdit()->text();
}

void TextBox::setText(const QString &text)
{
    {
        const QSignalBlocker block(lineEdit());
        lineEdit()->setText(text);
    }
    if (onChange)
        onChange();
}

void TextBox::setPasswordChar(QChar c)
{
    passwordChar_ = c;
    QLineEdit *edit = lineEdit();
    if (c.isNull()) {
        edit->setEchoMode(QLineEdit::Normal);
        edit->setStyle(nullptr);
        return;
    }
    auto *style = new PasswordStyle(c);
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

}  // namespace ui
