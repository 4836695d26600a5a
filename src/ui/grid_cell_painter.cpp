#include "grid_cell_painter.h"
#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace ui {

void GridCellPainter::dropLayoutsIfFontChanged(const QFont &font) const
{
    if (font != font_) {
        texts_.clear();
        font_ = font;
    }
}

const QStaticText &GridCellPainter::laidOut(const QString &text, const QFont &font) const
{
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
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();

    // The grid line along the cell's right and bottom edges, as two filled
    // rectangles: the view's own grid goes through the line stroker for
    // every edge of every cell.
    const QColor gridColor = QColor::fromRgba(
        static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &option, widget)));
    const QRect &r = option.rect;
    painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), gridColor);
    painter->fillRect(QRect(r.left(), r.bottom(), r.width() - 1, 1), gridColor);
    const QRect inside = r.adjusted(0, 0, -1, -1);

    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(inside, option.palette.brush(group, QPalette::Highlight));
    // A cell is one line high: a line break shows as a space, so the text
    // is read from its start instead of being cut through its middle.
    QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        for (QChar &c : text)
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
                || c == QChar::ParagraphSeparator)
                c = QLatin1Char(' ');
        dropLayoutsIfFontChanged(option.font);
        const QColor colour = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect box = inside.adjusted(margin, 0, -margin, 0);
        const QStaticText &line = laidOut(text, option.font);
        const QSizeF size = line.size();
        painter->save();
        painter->setFont(option.font);
        painter->setPen(colour);
        if (size.width() > box.width() || size.height() > box.height())
            painter->setClipRect(box, Qt::IntersectClip);
        painter->drawStaticText(QPointF(box.left(), box.top() + (box.height() - size.height()) / 2), line);
        painter->restore();
    }

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(option);
        frame.rect = inside;
        frame.state |= QStyle::State_Item;
        frame.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, widget);
    }
}

}  // namespace ui
