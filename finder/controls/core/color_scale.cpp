#include "color_scale.h"

namespace {

unsigned ScaleChannel(unsigned channel, double factor) {
    const double scaled = channel * factor + 0.5;
    if (scaled > 255.0) return 255;
    if (scaled < 0.0) return 0;
    return static_cast<unsigned>(scaled);
}

} // namespace

COLORREF ScaleColor(COLORREF color, double factor) {
    const unsigned red = ScaleChannel(color & 0xFF, factor);
    const unsigned green = ScaleChannel((color >> 8) & 0xFF, factor);
    const unsigned blue = ScaleChannel((color >> 16) & 0xFF, factor);
    return (color & 0xFF000000u) | red | (green << 8) | (blue << 16);
}
