#pragma once
// A grid header that draws each distinct section look once and copies it
// afterwards. A grid's headers repaint whole whenever its rows are replaced
// or scrolled, and the style draws every section from scratch: gradients,
// frame lines and the caption laid out anew. The grid's model gives its
// headers captions only (no pictures, colours or fonts of their own), so a
// look is its caption, size, state and the header's palette.
#include <QCache>
#include <QHeaderView>
#include <QPixmap>

namespace ui {

class CachedHeader : public QHeaderView {
public:
    CachedHeader(Qt::Orientation orientation, QWidget *parent) : QHeaderView(orientation, parent) {}

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void changeEvent(QEvent *e) override;

private:
    // What a section's look depends on, besides the header's font and style
    // (a change of either empties the cache).
    struct Look {
        QSize size;
        int state, position, selectedPosition, alignment, sortIndicator;
        qint64 palette;
        qreal ratio;
        QString text;
        bool operator==(const Look &o) const;
        friend size_t qHash(const Look &l, size_t seed = 0)
        {
            return qHashMulti(seed, l.size.width(), l.size.height(), l.state, l.position, l.text);
        }
    };
    mutable QCache<Look, QPixmap> looks_{64};
};

}  // namespace ui
