#include "layered_image.h"

#include "finder/framework/gdi_guards.h"

#include <gdiplus.h>

namespace {

// A top-down 32-bit surface, zeroed by the system: fully transparent.
HBITMAP CreateTransparentSurface(HDC hDC, SIZE size, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(hDC, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// GDI+ keeps alpha only when it draws into a bitmap it knows to carry alpha;
// drawn through a device context, the surface would be taken as opaque RGB.
// The layered update wants colours already multiplied by alpha: PARGB.
void DrawPremultiplied(Gdiplus::Image* image, SIZE size, void* bits) {
    Gdiplus::Bitmap canvas(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
    Gdiplus::Graphics graphics(&canvas);
    graphics.DrawImage(image, 0, 0, size.cx, size.cy);
}

} // namespace

BOOL ShowLayeredImage(HWND hWnd, Gdiplus::Image* image, SIZE size, const BLENDFUNCTION& blend) {
    if (size.cx <= 0 || size.cy <= 0) return FALSE;
    ScopedWindowDC windowDC(hWnd);
    ScopedMemoryDC memoryDC(windowDC);
    void* bits = nullptr;
    ScopedBitmap surface(CreateTransparentSurface(windowDC, size, &bits));
    if (!windowDC.Get() || !memoryDC.Get() || !surface) return FALSE;
    if (image) DrawPremultiplied(image, size, bits);

    ScopedSelect selectSurface(memoryDC, surface);
    RECT window;
    GetWindowRect(hWnd, &window);
    POINT destination{window.left, window.top};
    POINT source{0, 0};
    const LONG exStyle = GetWindowLongW(hWnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    BLENDFUNCTION blendCopy = blend;
    return UpdateLayeredWindow(hWnd, windowDC, &destination, &size, memoryDC, &source, 0, &blendCopy,
                               ULW_ALPHA);
}
