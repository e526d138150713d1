#include "canvas.h"

#include "finder/controls/gdiplus_header.h"

#include <cstdio>
#include <cstdlib>

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

Canvas::~Canvas() {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::Fill(COLORREF color) {
    GdiFlush();
    const std::uint32_t value = GetBValue(color) | (GetGValue(color) << 8) | (GetRValue(color) << 16);
    for (int i = 0; i < width_ * height_; ++i)
        bits_[i] = value;
}

COLORREF Canvas::Pixel(int x, int y) const {
    GdiFlush();
    const std::uint32_t value = bits_[y * width_ + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::uint8_t Canvas::Alpha(int x, int y) const {
    GdiFlush();
    return static_cast<std::uint8_t>(bits_[y * width_ + x] >> 24);
}

bool Canvas::SameAs(const Canvas& other) const {
    if (width_ != other.width_ || height_ != other.height_) return false;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
        }
    }
    return true;
}

int Canvas::Count(COLORREF color, const RECT& area) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            count += Pixel(x, y) == color ? 1 : 0;
    }
    return count;
}

int Canvas::FirstInkColumn(COLORREF background) const {
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y) {
            if (Pixel(x, y) != background) return x;
        }
    }
    return -1;
}

int Canvas::FirstInkRow(COLORREF background) const {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (Pixel(x, y) != background) return y;
        }
    }
    return -1;
}

void Canvas::CaptureClient(HWND window) {
    HDC source = GetDC(window);
    BitBlt(dc_, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    GdiFlush();
}

namespace {

bool PngEncoder(CLSID& clsid) {
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes);
    if (bytes == 0) return false;
    auto* codecs = static_cast<Gdiplus::ImageCodecInfo*>(std::malloc(bytes));
    bool found = false;
    if (codecs && Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) == Gdiplus::Ok) {
        for (UINT i = 0; i < count && !found; ++i) {
            if (lstrcmpW(codecs[i].MimeType, L"image/png") == 0) {
                clsid = codecs[i].Clsid;
                found = true;
            }
        }
    }
    std::free(codecs);
    return found;
}

} // namespace

void Canvas::SaveArtifact(const std::wstring& name) const {
    const wchar_t* folder = _wgetenv(L"TEST_ARTIFACTS");
    if (!folder || !*folder) return;
    CreateDirectoryW(folder, nullptr);
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return;
    {
        GdiFlush();
        Gdiplus::Bitmap image(width_, height_, width_ * 4, PixelFormat32bppRGB,
                              reinterpret_cast<BYTE*>(bits_));
        CLSID png = {};
        const std::wstring path = std::wstring(folder) + L"\\" + name + L".png";
        if (PngEncoder(png)) image.Save(path.c_str(), &png, nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
}

std::string Hex(COLORREF color) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%u, %u, %u)", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}
