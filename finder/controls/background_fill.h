#pragma once

#include <windows.h>

#include "image_ex.h"

// Paints a skinned control's background for fill modes 1 to 3 from its
// holder: the holder's bitmap at the origin, or a gradient strip from
// `color`, rebuilt only when the control's width (horizontal) or height
// (vertical) differs from the strip's, stretched over width x height. Fill
// mode 0 is each control's own solid fill; other values draw nothing.
void FillBackground(HDC dc, CImageEx& holder, BYTE fillMode, int width, int height, COLORREF color);
