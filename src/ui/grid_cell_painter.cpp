#include "grid_cell_painter.h"
#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace ui {

const QStaticText &GridCellPainter::laidOut(const QString &text, const QFont &font) const
{
    if (font != font_) {
        texts_.clear();
        font_ = font;
    }
    if (QStaticText *kept = texts_.object(text))
        return *kept;
    auto *made = new QStaticText(text);
    made->setTextFormat(Qt::PlainText);
    made->prepare(QTransform(), font);
    texts_.insert(text, made);
    return *made;
}

void GridCellPainter::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                                               : QPalette::Inactive;
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));

    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // A cell is one line high: a line break shows as a space, so the text
    // is read from its start instead of being cut through its middle.
    QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        for (QChar &c : text)
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
                || c == QChar::ParagraphSeparator)
                c = QLatin1Char(' ');
        const QStaticText &line = laidOut(text, option.font);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect box = option.rect.adjusted(margin, 0, -margin, 0);
        const QSizeF size = line.size();
        const QPointF at(box.left(), box.top() + (box.height() - size.height()) / 2);
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        if (size.width() > box.width() || size.height() > box.height())
            painter->setClipRect(box, Qt::IntersectClip);
        painter->drawStaticText(at, line);
        painter->restore();
    }

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(option);
        frame.rect = option.rect;
        frame.state |= QStyle::State_Item;
        frame.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, widget);
    }
}

}  // namespace ui
