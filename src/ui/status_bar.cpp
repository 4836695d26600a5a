#include "status_bar.h"
#include "data/error.h"
#include "form.h"
#include "twips.h"
#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>
#include <qdrawutil.h>

namespace ui {

namespace {
constexpr int kTextInset = 4;   // pixels between a panel's bevel and its text

[[noreturn]] void noSuchPanel()
{
    throw dd::Error(35600, QStringLiteral("索引越界"));
}
}  // namespace

// Draws the panels and reports double-clicks.
class StatusBar::Bar : public QWidget {
public:
    explicit Bar(StatusBar &owner) : owner_(owner) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        for (int i = 1; i <= owner_.PanelCount(); ++i) {
            const Panel &panel = owner_.Panels(i);
            const QRect r = owner_.panelRect(i);
            // Inset bevel, as every text panel of the bar has.
            qDrawShadePanel(&p, r, palette(), true, 1);
            const QRect text = r.adjusted(kTextInset, 1, -kTextInset, -1);
            Qt::Alignment align = Qt::AlignVCenter;
            align |= panel.alignment() == Panel::AlignCenter  ? Qt::AlignHCenter
                     : panel.alignment() == Panel::AlignRight ? Qt::AlignRight
                                                              : Qt::AlignLeft;
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(text, int(align),
                       fontMetrics().elidedText(panel.Text(), Qt::ElideRight, text.width()));
        }
    }

    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton) {
            e->accept();
            owner_.doubleClicked(e->position().toPoint().x());
            return;
        }
        QWidget::mouseDoubleClickEvent(e);
    }

    bool event(QEvent *e) override
    {
        // A panel's own tooltip where it has one, else the bar's.
        if (e->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(e);
            const Panel *panel = owner_.panelAt(help->pos().x());
            const QString tip = panel && !panel->ToolTipText().isEmpty() ? panel->ToolTipText()
                                                                        : toolTip();
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, this);
            return true;
        }
        return QWidget::event(e);
    }

public:
    StatusBar &owner() const { return owner_; }

private:
    StatusBar &owner_;
};

// Keeps the bar on the bottom edge of its window at the full inner width.
class StatusBar::Dock : public QObject {
public:
    explicit Dock(StatusBar &owner) : owner_(owner) {}

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            owner_.dock();
        return QObject::eventFilter(watched, e);
    }

private:
    StatusBar &owner_;
};

// What assistive technology reads of the bar: a status bar whose children
// are its panels, each a piece of static text named by the panel's text.
class StatusBar::PanelAccess : public QAccessibleInterface {
public:
    PanelAccess(StatusBar &owner, int index) : owner_(owner), index_(index) {}

    bool isValid() const override { return index_ <= owner_.PanelCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return parent()->window(); }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(owner_.bar_); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        const Panel &panel = *owner_.panels_[size_t(index_ - 1)];
        switch (t) {
        case QAccessible::Name:
            return panel.Text();
        case QAccessible::Description:
            return panel.ToolTipText().isEmpty() ? owner_.bar_->toolTip() : panel.ToolTipText();
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const QRect r = owner_.panelRect(index_);
        return QRect(owner_.bar_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !owner_.bar_->isVisible();
        return s;
    }

private:
    StatusBar &owner_;
    int index_;
};

class StatusBar::BarAccess : public QAccessibleWidget {
public:
    BarAccess(QWidget *bar, StatusBar &owner) : QAccessibleWidget(bar, QAccessible::StatusBar), owner_(owner) {}
    ~BarAccess() override
    {
        for (QAccessible::Id id : panels_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return owner_.PanelCount(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= owner_.PanelCount())
            return nullptr;
        while (int(panels_.size()) <= index)
            panels_.push_back(QAccessible::registerAccessibleInterface(
                new PanelAccess(owner_, int(panels_.size()) + 1)));
        return QAccessible::accessibleInterface(panels_[size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < panels_.size(); ++i)
            if (QAccessible::accessibleInterface(panels_[i]) == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = owner_.bar_->mapFromGlobal(QPoint(x, y));
        if (!owner_.bar_->rect().contains(local))
            return nullptr;
        const Panel *panel = owner_.panelAt(local.x());
        return panel ? child(panel->Index() - 1) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("状态栏");
        if (t == QAccessible::Description)
            return owner_.bar_->toolTip();
        return QAccessibleWidget::text(t);
    }

private:
    StatusBar &owner_;
    mutable std::vector<QAccessible::Id> panels_;
};

namespace {
QAccessibleInterface *statusBarAccess(const QString &, QObject *object);
}

StatusBar::StatusBar(Form &form) : Control(form, new Bar(*this))
{
    static const bool factory = [] {
        QAccessible::installFactory(statusBarAccess);
        return true;
    }();
    (void)factory;
    bar_ = static_cast<Bar *>(widget());
    dock_ = new Dock(*this);
    dock_->setParent(bar_);
    form.widget()->installEventFilter(dock_);
    dock();
}

StatusBar::~StatusBar()
{
    form().widget()->removeEventFilter(dock_);
}

Panel &StatusBar::AddPanel(const QString &key, float width, float minWidth)
{
    panels_.push_back(std::unique_ptr<Panel>(new Panel(*this, PanelCount() + 1, key)));
    Panel &panel = *panels_.back();
    panel.minWidth_ = minWidth;
    panel.width_ = std::max(width, minWidth);
    panelChanged();
    return panel;
}

Panel &StatusBar::Panels(int index)
{
    if (index < 1 || index > PanelCount())
        noSuchPanel();
    return *panels_[index - 1];
}

Panel &StatusBar::Panels(const QString &key)
{
    for (auto &p : panels_)
        if (p->Key().compare(key, Qt::CaseInsensitive) == 0)
            return *p;
    noSuchPanel();
}

QRect StatusBar::panelRect(int index) const
{
    float left = 0;
    for (int i = 1; i < index && i <= PanelCount(); ++i)
        left += panels_[i - 1]->Width();
    const float width = index >= 1 && index <= PanelCount() ? panels_[index - 1]->Width() : 0;
    const int l = twipsToPixels(left);
    const int r = twipsToPixels(left + width);
    // A thin gap between neighbouring panels and above them.
    return QRect(l, 2, std::max(0, r - l - 2), std::max(0, bar_->height() - 3));
}

Panel *StatusBar::panelAt(int x) const
{
    if (panels_.empty())
        return nullptr;
    float right = 0;
    for (const auto &p : panels_) {
        right += p->Width();
        if (x < twipsToPixels(right))
            return p.get();
    }
    return panels_.back().get();
}

void StatusBar::doubleClicked(int x)
{
    Panel *panel = panelAt(x);
    if (!panel)
        return;
    raiseUserEvent([this, panel] {
        if (onPanelDblClick)
            onPanelDblClick(*panel);
    });
}

void StatusBar::geometryChanged()
{
    dock();
}

void StatusBar::dock()
{
    if (docking_)
        return;
    docking_ = true;
    const QWidget *window = form().widget();
    const float height = Height();
    Move(0, pixelsToTwips(window->height()) - height, pixelsToTwips(window->width()), height);
    docking_ = false;
    bar_->update();
}

void StatusBar::panelChanged()
{
    bar_->update();
}

void StatusBar::panelTextChanged(const Panel &panel)
{
    bar_->update();
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(bar_);
    if (QAccessibleInterface *child = bar ? bar->child(panel.Index() - 1) : nullptr) {
        QAccessibleEvent event(child, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

StatusBar *StatusBar::ofBar(QObject *object)
{
    auto *bar = dynamic_cast<Bar *>(object);
    return bar ? &bar->owner() : nullptr;
}

namespace {
QAccessibleInterface *statusBarAccess(const QString &, QObject *object)
{
    StatusBar *owner = StatusBar::ofBar(object);
    return owner ? owner->makeAccess() : nullptr;
}
}  // namespace

QAccessibleInterface *StatusBar::makeAccess()
{
    return new BarAccess(bar_, *this);
}

void Panel::setText(const QString &text)
{
    text_ = text;
    bar_.panelTextChanged(*this);
}

void Panel::setWidth(float twips)
{
    width_ = std::max(twips, minWidth_);
    bar_.panelChanged();
}

void Panel::setMinWidth(float twips)
{
    minWidth_ = std::max(0.0f, twips);
    width_ = std::max(width_, minWidth_);
    bar_.panelChanged();
}

void Panel::setAlignment(Alignment alignment)
{
    alignment_ = alignment;
    bar_.panelChanged();
}

}  // namespace ui
