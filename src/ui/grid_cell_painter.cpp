#include "grid_cell_painter.h"
#include "data/machinery_switch.h"
#include <QApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QStyle>
#include <cmath>

namespace ui {

namespace {
// Room around a text's layout box for glyphs that reach beyond it
// (overhanging strokes, accents).
constexpr int GlyphRoom = 2;
}  // namespace

size_t qHash(const GridCellPainter::DrawnKey &key, size_t seed)
{
    return qHashMulti(seed, key.text, key.colour, key.ratio);
}

void GridCellPainter::fontIs(const QFont &font) const
{
    if (font != font_) {
        texts_.clear();
        images_.clear();
        font_ = font;
    }
}

const QStaticText &GridCellPainter::laidOut(const QString &text, const QFont &font, bool *seen) const
{
    QStaticText *kept = texts_.object(text);
    *seen = kept != nullptr;
    if (kept)
        return *kept;
    auto *made = new QStaticText(text);
    made->setTextFormat(Qt::PlainText);
    made->prepare(QTransform(), font);
    texts_.insert(text, made);
    return *made;
}

const GridCellPainter::Drawn *GridCellPainter::drawn(const DrawnKey &key, int yOffset,
                                                     const QStaticText &line, const QFont &font) const
{
    const QSizeF size = line.size();
    const QSize room(int(std::ceil(size.width())) + 2 * GlyphRoom,
                     int(std::ceil(size.height())) + 2 * GlyphRoom + 1);
    auto *made = new Drawn{QImage(room * key.ratio, QImage::Format_ARGB32_Premultiplied), size, yOffset};
    if (made->image.isNull()) {
        delete made;
        return nullptr;
    }
    made->image.setDevicePixelRatio(key.ratio);
    made->image.fill(Qt::transparent);
    {
        QPainter p(&made->image);
        p.setFont(font);
        p.setPen(QColor::fromRgba(key.colour));
        p.drawStaticText(QPointF(GlyphRoom, GlyphRoom + yOffset / 64.0), line);
    }
    const qsizetype kilobytes = std::max<qsizetype>(1, made->image.sizeInBytes() / 1024);
    if (!images_.insert(key, made, kilobytes))
        return nullptr;  // larger than the whole cache: inserting deleted it
    return made;
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
        fontIs(option.font);
        const QColor colour = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect box = inside.adjusted(margin, 0, -margin, 0);
        // Copying an image lands glyphs exactly where drawing them would
        // only on whole device pixels, with the painter's own compositing.
        const QTransform &t = painter->worldTransform();
        const bool copyable = dd::machineryOn("glyphs") && t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx())
                              && t.dy() == std::floor(t.dy())
                              && painter->compositionMode() == QPainter::CompositionMode_SourceOver;
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        auto top = [&](const QSizeF &s) { return box.top() + (box.height() - s.height()) / 2; };
        auto offsetIn = [](qreal y) { return int(std::lround((y - std::floor(y)) * 64)); };
        auto fits = [&](const QSizeF &s) { return s.width() <= box.width() && s.height() <= box.height(); };

        // A kept image gives the text's size too, so repainting a kept text
        // needs neither its layout nor its glyphs.
        const DrawnKey key{text, colour.rgba(), ratio};
        const Drawn *image = copyable ? images_.object(key) : nullptr;
        if (image && (!fits(image->size) || offsetIn(top(image->size)) != image->yOffset))
            image = nullptr;  // another cell size: drawn again below
        const QStaticText *line = nullptr;
        QSizeF size;
        if (image) {
            size = image->size;
        } else {
            bool seen = false;
            line = &laidOut(text, option.font, &seen);
            size = line->size();
            // Only a text painted before gets an image: most texts of a long
            // table list are painted once, and drawing into an image first
            // would cost them more than it saves.
            if (seen && copyable && fits(size))
                image = drawn(key, offsetIn(top(size)), *line, option.font);
        }

        const QPointF at(box.left(), top(size));
        if (image) {
            painter->drawImage(QPointF(at.x() - GlyphRoom, std::floor(at.y()) - GlyphRoom), image->image);
        } else {
            painter->save();
            painter->setFont(option.font);
            painter->setPen(colour);
            if (!fits(size))
                painter->setClipRect(box, Qt::IntersectClip);
            painter->drawStaticText(at, *line);
            painter->restore();
        }
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
