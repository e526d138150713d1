#include "popup_placement.h"

namespace {

// Below the field the popup keeps this gap; above it, it touches the field.
constexpr int kGapBelowField = 5;

} // namespace

RECT ResultsPopupRect(const RECT& desktop, const RECT& field, const RECT& bar, SIZE popup) {
    // Sums instead of halves, so that a field of odd height is judged exactly.
    const bool above = field.top + field.bottom + desktop.top - desktop.bottom >= 0;
    const bool rightAligned = field.right + bar.left + desktop.left - desktop.right >= 0;

    RECT rect;
    rect.top = above ? field.top - popup.cy : field.bottom + kGapBelowField;
    rect.bottom = rect.top + popup.cy;
    rect.left = rightAligned ? field.right - popup.cx : bar.left;
    rect.right = rect.left + popup.cx;
    return rect;
}
