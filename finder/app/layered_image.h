// Shows an image as the whole face of a layered window with per-pixel alpha.
#pragma once

#include <windows.h>

namespace Gdiplus {
class Image;
}

// Draws image scaled to size onto a fully transparent 32-bit surface and
// hands it to the window with UpdateLayeredWindow, at the window's place.
// Adds the layered style when it is missing. Where the image's alpha is 0 the
// window is not there, neither to the eye nor to the mouse. A null image
// gives a fully transparent window. FALSE when the window was not updated.
BOOL ShowLayeredImage(HWND hWnd, Gdiplus::Image* image, SIZE size, const BLENDFUNCTION& blend);
