#include "twips.h"
#include <cmath>

namespace ui {

int twipsToPixels(float twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

float pixelsToTwips(int pixels)
{
    return static_cast<float>(pixels) * TwipsPerPixel;
}

QSize twipsSize(float width, float height)
{
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

QRect twipsRect(float left, float top, float width, float height)
{
    // Edges are rounded, not the size, so that neighbouring controls meet.
    const int l = twipsToPixels(left), t = twipsToPixels(top);
    return QRect(l, t, twipsToPixels(left + width) - l, twipsToPixels(top + height) - t);
}

}  // namespace ui
