#include "status_bar.h"
#include "data/error.h"
#include "form.h"
#include "twips.h"
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

StatusBar::StatusBar(Form &form) : Control(form, new Bar(*this))
{
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

void Panel::setText(const QString &text)
{
    text_ = text;
    bar_.panelChanged();
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
