#pragma once
// Status bar: text panels side by side, addressed by 1-based index, docked
// to the bottom edge of its window at the window's full inner width.
//
//   ui::StatusBar StatusBar1{*this};
//   StatusBar1.setHeight(345);
//   StatusBar1.AddPanel("cAccID", 6000, 6000);          // key, width, minimum width (twips)
//   StatusBar1.Panels(1).setText("当前账套:[001]Main");
//   StatusBar1.setToolTipText("双击状态栏可重新选择账套");
//   StatusBar1.onPanelDblClick = [this](ui::Panel &p) { StatusBar1_PanelDblClick(p); };
//
// A double-click anywhere on the bar raises onPanelDblClick (untrapped)
// with the panel under the mouse; right of the last panel, the last panel.
// Panels keep their widths (never narrower than their minimum width);
// whatever is left of the bar's width stays empty. Assistive technology
// reads the bar as a status bar whose children are the panels' texts.
#include "control.h"
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAccessibleInterface;
class QObject;

namespace ui {

class StatusBar;

class Panel {
public:
    enum Alignment { AlignLeft, AlignCenter, AlignRight };

    int Index() const { return index_; }
    const QString &Key() const { return key_; }
    const QString &Text() const { return text_; }
    void setText(const QString &text);
    float Width() const { return width_; }
    void setWidth(float twips);
    float MinWidth() const { return minWidth_; }
    void setMinWidth(float twips);
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment alignment);
    const QString &ToolTipText() const { return toolTip_; }
    void setToolTipText(const QString &text) { toolTip_ = text; }

private:
    friend class StatusBar;
    Panel(StatusBar &bar, int index, QString key) : bar_(bar), index_(index), key_(std::move(key)) {}

    StatusBar &bar_;
    int index_;
    QString key_;
    QString text_;
    QString toolTip_;
    float width_ = 0;
    float minWidth_ = 0;
    Alignment alignment_ = AlignLeft;
};

class StatusBar : public Control {
public:
    explicit StatusBar(Form &form);
    ~StatusBar() override;

    // Appends a text panel; returns it.
    Panel &AddPanel(const QString &key, float width, float minWidth);
    // 1-based; an index that is no panel throws dd::Error.
    Panel &Panels(int index);
    // The panel of that key; a key that is no panel throws dd::Error.
    Panel &Panels(const QString &key);
    int PanelCount() const { return static_cast<int>(panels_.size()); }

    // The panel at a point of the bar's widget (pixels), or nullptr.
    Panel *panelAt(int x) const;
    // A panel's area in the bar's widget (pixels).
    QRect panelRect(int index) const;

    std::function<void(Panel &)> onPanelDblClick;

    // The status bar whose drawing widget object is, or nullptr (for the
    // accessibility factory).
    static StatusBar *ofBar(QObject *object);
    QAccessibleInterface *makeAccess();

private:
    friend class Panel;
    class Bar;
    class Dock;
    class BarAccess;
    class PanelAccess;

    void geometryChanged() override;
    void dock();
    void panelChanged();
    void panelTextChanged(const Panel &panel);
    void doubleClicked(int x);

    Bar *bar_;
    Dock *dock_;
    bool docking_ = false;
    std::vector<std::unique_ptr<Panel>> panels_;
};

}  // namespace ui
