#pragma once
// Tells a control when the focus enters it from elsewhere in its window
// (Tab, Shift+Tab, a click, SetFocus), as opposed to the window merely
// getting the focus back (after a message box or another window) or a
// drop-down list closing.
#include <QObject>
#include <functional>

class QWidget;

namespace ui {

class FocusWatcher : public QObject {
public:
    FocusWatcher(QWidget *control, std::function<void()> entered);
    // Also watch a part of the control (the edit field of a combo box).
    void watch(QWidget *part);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *control_;
    std::function<void()> entered_;
    bool inside_ = false;
};

}  // namespace ui
