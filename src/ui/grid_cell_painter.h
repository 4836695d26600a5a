#pragma once
// Paints the grids' cells: a one-line text on the row's colours, clipped at
// the cell's edge, the grid line along its right and bottom edges, and the
// focus frame on the current cell.
//
// The field grid shows the same names and types over and over, so texts
// are kept in two forms: each text laid out once (its glyphs and size), and
// each text that fits its cell and comes back drawn once, in its colour,
// into an image that later paints copy. Copying an image costs a fraction of blending the
// glyphs again. A text wider than its cell is drawn from its layout, clipped.
#include <QCache>
#include <QFont>
#include <QImage>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace ui {

class GridCellPainter : public QStyledItemDelegate {
public:
    explicit GridCellPainter(QObject *parent) : QStyledItemDelegate(parent) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // A text as drawn once into an image, with room on every side for
    // glyphs that reach beyond its layout box.
    struct Drawn {
        QImage image;
        QSizeF size;  // the layout box
        int yOffset;  // where in a pixel its top was, in 1/64
    };
    struct DrawnKey {
        QString text;
        QRgb colour;
        qreal ratio;  // device pixels per pixel
        bool operator==(const DrawnKey &o) const
        {
            return colour == o.colour && ratio == o.ratio && text == o.text;
        }
    };

private:
    // The text's layout, made now or kept; *seen tells which.
    const QStaticText &laidOut(const QString &text, const QFont &font, bool *seen) const;
    const Drawn *drawn(const DrawnKey &key, int yOffset, const QStaticText &line, const QFont &font) const;
    void fontIs(const QFont &font) const;

    mutable QCache<QString, QStaticText> texts_{4096};
    // Cost: kilobytes of image.
    mutable QCache<DrawnKey, Drawn> images_{6 * 1024};
    mutable QFont font_;
};

size_t qHash(const GridCellPainter::DrawnKey &key, size_t seed = 0);

}  // namespace ui
