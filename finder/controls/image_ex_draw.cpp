// The GDI half of CImageEx: turning the packed bitmap into pixels on a device
// context.
#include "image_ex.h"

#include "finder/framework/gdi_guards.h"

#include <cstring>

namespace {

constexpr std::size_t MaskColorTableBytes = 8;

const BITMAPINFO* InfoOf(const std::uint8_t* block) {
    return reinterpret_cast<const BITMAPINFO*>(block);
}

const void* MaskBits(const std::uint8_t* mask) {
    return mask + sizeof(BITMAPINFOHEADER) + MaskColorTableBytes;
}

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibHeader), "DibHeader mirrors BITMAPINFOHEADER");

void PremultiplyRows(std::uint8_t* pixels, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        std::uint8_t* pixel = pixels + i * 4;
        const unsigned alpha = pixel[3];
        for (int channel = 0; channel < 3; ++channel)
            pixel[channel] = static_cast<std::uint8_t>(pixel[channel] * alpha / 255);
    }
}

} // namespace

HBITMAP CImageEx::CreatePremultipliedBitmap() const {
    if (!m_pDib) return nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, InfoOf(m_pDib), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    const DibHeader* header = Header();
    std::memcpy(bits, Pixels(), header->biSizeImage);
    // Only 32-bit pixels carry an alpha byte; walking narrower rows 4 bytes
    // at a time would run past the bitmap.
    if (header->biBitCount == 32) {
        const std::size_t width =
            static_cast<std::size_t>(header->biWidth < 0 ? -header->biWidth : header->biWidth);
        const std::size_t height =
            static_cast<std::size_t>(header->biHeight < 0 ? -header->biHeight : header->biHeight);
        PremultiplyRows(static_cast<std::uint8_t*>(bits), width * height);
    }
    return bitmap;
}

void CImageEx::DrawAtOrigin(HDC dc) const {
    if (!m_pDib) return;
    const DibHeader* header = Header();
    const int width = header->biWidth;
    const int height = header->biHeight;
    if (m_pMask) {
        StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, MaskBits(m_pMask), InfoOf(m_pMask),
                      DIB_RGB_COLORS, SRCAND);
        StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, Pixels(), InfoOf(m_pDib), DIB_RGB_COLORS,
                      SRCPAINT);
    } else if (header->biClrImportant == 0) {
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), Pixels(), InfoOf(m_pDib), DIB_RGB_COLORS);
    } else {
        ScopedMemoryDC memoryDC(dc);
        if (!memoryDC.Get()) return;
        ScopedBitmap premultiplied(CreatePremultipliedBitmap());
        if (!premultiplied) return;
        ScopedSelect selected(memoryDC, premultiplied);
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, 0, 0, width, height, memoryDC, 0, 0, width, height, blend);
    }
}

void CImageEx::DrawStretched(HDC dc, int x, int y, int width, int height) const {
    if (!m_pDib) return;
    const DibHeader* header = Header();
    const int sourceWidth = header->biWidth;
    const int sourceHeight = header->biHeight;
    if (m_pMask) {
        StretchDIBits(dc, x, y, width, height, 0, 0, sourceWidth, sourceHeight, MaskBits(m_pMask),
                      InfoOf(m_pMask), DIB_RGB_COLORS, SRCAND);
        StretchDIBits(dc, x, y, width, height, 0, 0, sourceWidth, sourceHeight, Pixels(), InfoOf(m_pDib),
                      DIB_RGB_COLORS, SRCPAINT);
    } else {
        StretchDIBits(dc, x, y, width, height, 0, 0, sourceWidth, sourceHeight, Pixels(), InfoOf(m_pDib),
                      DIB_RGB_COLORS, SRCCOPY);
    }
}
