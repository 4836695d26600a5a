#pragma once
// Base of every control: position and size in twips (single precision, as
// the layout code computes with them), Enabled, Visible, ToolTipText,
// SetFocus and the window it sits on. Controls are members of their Form,
// declared in tab order; each wraps one Qt widget (widget()) that tests may
// drive with QTest.
//
//   Text1.Move(3720, 1320, 2655, 300);         // design position
//   DataGrid1.setTop(Combo1.Top() + 2 * Combo1.Height());
//
// Subclasses (DataGrid, StatusBar, ...) pass their widget to the constructor
// and raise events the user caused through raiseUserEvent, so that an
// escaping dd::Error is reported and ends the program (untrapped) and no
// event reaches a window that has been unloaded.
#include <QFont>
#include <QString>
#include <functional>

class QWidget;

namespace ui {

class Form;

class Control {
public:
    virtual ~Control();
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void Move(float left, float top, float width, float height);

    bool Enabled() const;
    void setEnabled(bool enabled);
    bool Visible() const;
    void setVisible(bool visible);
    QString ToolTipText() const;
    void setToolTipText(const QString &text);
    QFont Font() const;
    void setFont(const QFont &font);
    // Position in the tab order (declaration order of the controls).
    int TabIndex() const { return tabIndex_; }
    void SetFocus();

    QWidget *widget() const { return widget_; }
    Form &form() const { return form_; }

protected:
    // The widget becomes a child of the form's window.
    Control(Form &form, QWidget *widget);

    // Runs the handler of an event the user caused (untrapped); skipped when
    // the window is no longer loaded.
    void raiseUserEvent(const std::function<void()> &handler) const;
    // Called after Left/Top/Width/Height change (the widget has been moved).
    virtual void geometryChanged() {}
    // Called after the font changed.
    virtual void fontChanged() {}
    // Sets the stored size without moving the widget by hand (auto-size).
    void storeSize(float width, float height);

private:
    void applyGeometry();

    Form &form_;
    QWidget *widget_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int tabIndex_ = 0;
};

}  // namespace ui
