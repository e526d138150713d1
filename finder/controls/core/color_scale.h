#pragma once

#include "color_types.h"

// Lightens (factor above 1) or darkens each of red, green and blue, rounding
// to the nearest value and stopping at 255; the unused high byte is kept.
COLORREF ScaleColor(COLORREF color, double factor);
