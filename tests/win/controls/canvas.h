// A 32-bit top-down DIB section selected into a memory device context, so
// tests can draw with GDI and read every pixel back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Fill(COLORREF color);
    COLORREF Pixel(int x, int y) const; // RGB order as COLORREF; the fourth byte dropped
    std::uint8_t Alpha(int x, int y) const;
    bool SameAs(const Canvas& other) const;
    // Pixels of `color` within the rectangle.
    int Count(COLORREF color, const RECT& area) const;
    // The leftmost column and the topmost row holding a pixel other than
    // `background`, or -1.
    int FirstInkColumn(COLORREF background) const;
    int FirstInkRow(COLORREF background) const;

    // Copies what a window shows (its whole client area) into this canvas.
    void CaptureClient(HWND window);
    // Writes a PNG under TEST_ARTIFACTS, when that is set, for people to look at.
    void SaveArtifact(const std::wstring& name) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

std::string Hex(COLORREF color);
