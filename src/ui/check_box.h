#pragma once
// Check box.
//
//   ui::CheckBox Check1{*this};
//   Check1.setCaption("显示实际结构");   // also its accessible name
//   Check1.onClick = [this] { Check1_Click(); };
//
// onClick is raised untrapped after the value changed by a mouse click or
// Space; setValue() changes it without raising anything.
#include "control.h"
#include <QString>
#include <functional>

class QCheckBox;

namespace ui {

class CheckBox : public Control {
public:
    explicit CheckBox(Form &form);
    ~CheckBox() override;

    QString Caption() const;
    void setCaption(const QString &caption);
    bool Value() const;
    void setValue(bool checked);

    std::function<void()> onClick;

    QCheckBox *checkBox() const;
};

}  // namespace ui
