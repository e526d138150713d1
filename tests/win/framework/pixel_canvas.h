// A 32-bit top-down DIB selected into a memory device context, for drawing
// into and reading back pixel by pixel.
#pragma once

#include "finder/framework/gdi_guards.h"

#include <cstdint>
#include <optional>

class PixelCanvas {
public:
    PixelCanvas(int width, int height) : m_dc(nullptr), m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_select.emplace(m_dc, m_bitmap.Get());
    }

    HDC Dc() const { return m_dc; }
    bool Valid() const { return m_dc.Get() && m_bits; }

    // Every pixel to one value: 0xAARRGGBB as the DIB stores it.
    void Fill(uint32_t value) {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = value;
    }
    uint32_t At(int x, int y) const {
        GdiFlush();
        return m_bits[y * m_width + x];
    }
    const uint32_t* Bits() const {
        GdiFlush();
        return m_bits;
    }
    int PixelCount() const { return m_width * m_height; }

private:
    ScopedMemoryDC m_dc;
    ScopedBitmap m_bitmap;
    uint32_t* m_bits = nullptr;
    int m_width;
    int m_height;
    std::optional<ScopedSelect> m_select; // declared last: deselects before the bitmap goes
};
