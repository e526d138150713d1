// CImageEx: a packed device-independent bitmap (header directly followed by
// the pixel rows) with an optional monochrome mask, and the gradient strips
// that skinned controls stretch over their backgrounds.
#pragma once

#include "color_types.h"
#include "dib_header.h"

#include <cstdint>

// How a skinned control paints its background; stored in one byte.
enum FillMode : std::uint8_t {
    FillSolid = 0,
    FillBitmap = 1,
    FillHorizontalGradient = 2,
    FillVerticalGradient = 3,
};

enum GradientDirection : int {
    GradientAlongX = 0,
    GradientAlongY = 1,
};

class CImageEx {
public:
    CImageEx() = default;
    CImageEx(const CImageEx&) = delete;
    CImageEx& operator=(const CImageEx&) = delete;
    virtual ~CImageEx();
    virtual void FreeDib();

    // (Re)allocates the block, keeping it when it exists, and writes a fresh
    // header. Returns the first pixel row (not cleared), or null when the
    // size is negative or no memory can be had; the holder is then empty.
    std::uint8_t* CreateDib(int width, int height, int bitsPerPixel);

    // A 24-bit strip going from `base` toward 248 in every channel: along y
    // the bottom row holds `base`, along x the rightmost column does.
    void FillGradient(int width, int height, COLORREF base, int direction);

    // A monochrome mask of the given size (two-entry colour table, black then
    // white) for holders drawn with SRCAND/SRCPAINT. Returns its first row.
    std::uint8_t* CreateMask(int width, int height);

    // Marks the pixels as 32-bit blue, green, red, straight alpha; DrawAtOrigin
    // then blends them.
    void SetAlphaFlag(bool hasAlpha);

    bool HasBitmap() const;
    const DibHeader* Header() const { return reinterpret_cast<const DibHeader*>(m_pDib); }
    std::uint8_t* Pixels() const { return m_pDib ? m_pDib + sizeof(DibHeader) : nullptr; }

#ifdef _WIN32
    HBITMAP CreatePremultipliedBitmap() const;
    void DrawAtOrigin(HDC dc) const;
    void DrawStretched(HDC dc, int x, int y, int width, int height) const;
#endif

    std::uint8_t* m_pDib = nullptr;
    std::uint8_t* m_pMask = nullptr;
};
