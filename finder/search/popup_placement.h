// Where the results popup opens next to the search field.
#pragma once

#include <windows.h>

// The popup goes above the field when the field's vertical centre is at or
// below the middle of the desktop, else 5 pixels below it. It is aligned with
// the field's right edge when the field's right edge and the bar's left edge
// add up to at least the desktop's width, else with the bar's left edge.
RECT ResultsPopupRect(const RECT& desktop, const RECT& field, const RECT& bar, SIZE popup);
