// Where the floating bar may stand and where the search field stands beside
// it. All rectangles are in screen pixels; the desktop is the primary screen.
#pragma once

#include <windows.h>

// The open field's left edge lies this far left of the bar's right edge, so
// that it covers the bar's magnifier.
constexpr int kFieldOverlap = 29;

// The field's top-left corner for a bar at `bar`.
POINT FieldOriginForBar(const RECT& bar);

// The bar moved left, size and top kept, so that a field of fieldWidth opened
// beside it ends exactly at the desktop's right edge; the bar unchanged when
// the field fits.
RECT BarRectForOpenField(const RECT& bar, int fieldWidth, const RECT& desktop);

// Clamps a drag's proposed bar rectangle to the desktop. With the field shown
// (fieldWidth > 0) the right limit is where the field's right edge meets the
// desktop's; with it hidden (fieldWidth 0), the bar's own right edge.
void ClampDraggedBar(RECT& proposed, SIZE bar, const RECT& desktop, int fieldWidth);
