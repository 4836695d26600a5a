#include "cached_header.h"
#include "data/machinery_switch.h"
#include <QEvent>
#include <QPainter>
#include <QStyleOptionHeaderV2>

namespace ui {

bool CachedHeader::Look::operator==(const Look &o) const
{
    return size == o.size && state == o.state && position == o.position
           && selectedPosition == o.selectedPosition && alignment == o.alignment
           && sortIndicator == o.sortIndicator && palette == o.palette && ratio == o.ratio
           && text == o.text;
}

void CachedHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    if (!dd::machineryOn("headers")) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    QStyleOptionHeaderV2 option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = QRect(QPoint(0, 0), rect.size());
    const qreal ratio = painter->device()->devicePixelRatio();
    const Look key{rect.size(), int(option.state), int(option.position), int(option.selectedPosition),
                   int(option.textAlignment), int(option.sortIndicator), option.palette.cacheKey(),
                   ratio, option.text};
    QPixmap *look = looks_.object(key);
    if (!look) {
        look = new QPixmap(rect.size() * ratio);
        look->setDevicePixelRatio(ratio);
        // On the header's own background, so that copying it is a plain copy.
        look->fill(palette().color(viewport()->backgroundRole()));
        QPainter p(look);
        p.setFont(font());
        style()->drawControl(QStyle::CE_Header, &option, &p, this);
        p.end();
        looks_.insert(key, look);
    }
    painter->drawPixmap(rect.topLeft(), *look);
}

void CachedHeader::changeEvent(QEvent *e)
{
    QHeaderView::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange
        || e->type() == QEvent::PaletteChange)
        looks_.clear();
}

}  // namespace ui
