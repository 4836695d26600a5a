#pragma once
// Paints the grids' cells: a one-line text on the row's colours, clipped at
// the cell's edge, the grid line along its right and bottom edges, and the
// focus frame on the current cell.
//
// The field grid shows the same names and types over and over, so each text
// is laid out once (its glyphs and size) and drawn from that layout on
// every later paint, until the font changes.
#include <QCache>
#include <QFont>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace ui {

class GridCellPainter : public QStyledItemDelegate {
public:
    explicit GridCellPainter(QObject *parent) : QStyledItemDelegate(parent) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    // The text's layout, made now or kept.
    const QStaticText &laidOut(const QString &text, const QFont &font) const;
    void dropLayoutsIfFontChanged(const QFont &font) const;

    mutable QCache<QString, QStaticText> texts_{4096};
    mutable QFont font_;
};

}  // namespace ui
