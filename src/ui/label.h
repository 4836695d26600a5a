#pragma once
// Label: a caption drawn left-aligned at the top of its box. Labels are
// drawn below the other controls of their window and never take the focus.
//
//   ui::Label Label5{*this};
//   Label5.Move(4560, 4080, 2250, 180);
//   Label5.setForeColor(QColor(255, 0, 0));
//   Label5.setBackColor(ui::systemWindowBackground());   // opaque
//   Label5.setAutoSize(true);        // fits its text, growing to the right
//   Label5.setCaption("...");
//
// Auto-size keeps Left and Top and sets Width and Height to the text's
// extent whenever the caption or font changes (an empty caption set at
// design time keeps the designed size).
#include "control.h"
#include <QColor>
#include <QString>

class QLabel;

namespace ui {

// The system window-background colour (the back colour of input fields).
QColor systemWindowBackground();
// The system button-face colour (the default back colour of labels).
QColor systemButtonFace();

class Label : public Control {
public:
    explicit Label(Form &form);
    ~Label() override;

    QString Caption() const;
    void setCaption(const QString &caption);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor &color);   // opaque background
    void setTransparent(bool transparent);     // BackStyle 0
    QColor ForeColor() const { return foreColor_; }
    void setForeColor(const QColor &color);

    QLabel *label() const;

protected:
    void fontChanged() override;

private:
    void fitToText();
    void applyColors();

    bool autoSize_ = false;
    bool transparent_ = false;
    QColor backColor_;
    QColor foreColor_;
};

}  // namespace ui
