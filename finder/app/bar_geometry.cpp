#include "bar_geometry.h"

POINT FieldOriginForBar(const RECT& bar) {
    return POINT{bar.right - kFieldOverlap, bar.top};
}

RECT BarRectForOpenField(const RECT& bar, int fieldWidth, const RECT& desktop) {
    if (fieldWidth + bar.right - kFieldOverlap < desktop.right) return bar;
    const LONG width = bar.right - bar.left;
    RECT shifted = bar;
    shifted.right = desktop.right - fieldWidth + kFieldOverlap;
    shifted.left = shifted.right - width;
    return shifted;
}

void ClampDraggedBar(RECT& proposed, SIZE bar, const RECT& desktop, int fieldWidth) {
    if (proposed.left <= desktop.left) {
        proposed.left = desktop.left;
        proposed.right = desktop.left + bar.cx;
    }
    // The primary screen's top is 0; any proposed top at or above it is flush.
    if (proposed.top <= 0) {
        proposed.top = desktop.top;
        proposed.bottom = desktop.top + bar.cy;
    }
    if (fieldWidth > 0) {
        if (proposed.right + fieldWidth - kFieldOverlap >= desktop.right) {
            proposed.right = desktop.right - fieldWidth + kFieldOverlap;
            proposed.left = proposed.right - bar.cx;
        }
    } else if (proposed.right >= desktop.right) {
        proposed.right = desktop.right;
        proposed.left = desktop.right - bar.cx;
    }
    if (proposed.bottom >= desktop.bottom) {
        proposed.bottom = desktop.bottom;
        proposed.top = desktop.bottom - bar.cy;
    }
}
