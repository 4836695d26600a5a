#pragma once
// Twips: the unit of every window design. 1440 twips are one inch; at the
// toolkit's 96 logical pixels per inch one logical pixel is 15 twips, so a
// design keeps its size and follows the desktop's scaling (Qt maps logical
// pixels to device pixels).
//
//   int px = ui::twipsToPixels(2655);          // 177
//   float tw = ui::pixelsToTwips(widget->width());
//   widget->setGeometry(ui::twipsRect(3720, 1320, 2655, 300));
#include <QRect>
#include <QSize>

namespace ui {

constexpr float TwipsPerPixel = 15.0f;

// Rounded to the nearest logical pixel.
int twipsToPixels(float twips);
float pixelsToTwips(int pixels);

QSize twipsSize(float width, float height);
QRect twipsRect(float left, float top, float width, float height);

}  // namespace ui
