// Small window and icon helpers shared by the skinned controls.
#pragma once

#include <windows.h>

#include "finder/framework/wnd.h"

#include <string>

// Invalidates, with erasing, the part of the parent's client area under the
// child, so that the parent's skin is painted again beneath it.
void InvalidateParentArea(CWnd* child);

// The size of the icon's colour bitmap; 0 x 0 without an icon or when its
// bitmaps cannot be read.
SIZE IconSize(HICON icon);

// The window text, empty when there is none.
std::wstring WindowText(const CWnd& window);

// Gives `window` the size width x height without moving or repainting it; its
// place is kept as an offset from the parent window's outer top-left corner.
void ResizeInPlace(CWnd& window, int width, int height);
