#include "finder/framework/image.h"

#include "finder/framework/gdi_guards.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

// gdiplus.h uses min and max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

namespace {

namespace gdip = Gdiplus::DllExports;

// GDI+ runs while any CImage object exists that has decoded once: started by
// the first decode, shut down when the last CImage object goes.
class GdiplusForImages {
public:
    static GdiplusForImages& Instance() {
        static GdiplusForImages instance;
        return instance;
    }
    void AddImage() {
        std::lock_guard<std::mutex> hold(m_lock);
        ++m_nLiveImages;
    }
    void RemoveImage() {
        std::lock_guard<std::mutex> hold(m_lock);
        if (--m_nLiveImages == 0 && m_token != 0) {
            Gdiplus::GdiplusShutdown(m_token);
            m_token = 0;
        }
    }
    bool EnsureStarted() {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_token != 0) return true;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }

private:
    std::mutex m_lock;
    long m_nLiveImages = 0;
    ULONG_PTR m_token = 0;
};

// A decoded GDI+ bitmap, disposed when it goes.
class DecodedBitmap {
public:
    DecodedBitmap() = default;
    DecodedBitmap(const DecodedBitmap&) = delete;
    DecodedBitmap& operator=(const DecodedBitmap&) = delete;
    ~DecodedBitmap() {
        if (m_p) gdip::GdipDisposeImage(m_p);
    }
    Gdiplus::GpBitmap** Put() { return &m_p; }
    Gdiplus::GpBitmap* Get() const { return m_p; }

private:
    Gdiplus::GpBitmap* m_p = nullptr;
};

// Indexed images carry their transparency in the palette.
bool PaletteHasAlpha(Gdiplus::GpImage* image) {
    INT size = 0;
    if (gdip::GdipGetImagePaletteSize(image, &size) != Gdiplus::Ok ||
        size < static_cast<INT>(sizeof(Gdiplus::ColorPalette)))
        return false;
    std::vector<unsigned char> storage(static_cast<size_t>(size));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(storage.data());
    return gdip::GdipGetImagePalette(image, palette, size) == Gdiplus::Ok &&
           (palette->Flags & Gdiplus::PaletteFlagsHasAlpha) != 0;
}

bool HasAlpha(Gdiplus::GpImage* image) {
    Gdiplus::PixelFormat format = 0;
    if (gdip::GdipGetImagePixelFormat(image, &format) != Gdiplus::Ok) return false;
    if ((format & (PixelFormatAlpha | PixelFormatPAlpha)) != 0) return true;
    return (format & PixelFormatIndexed) != 0 && PaletteHasAlpha(image);
}

} // namespace

CImage::CImage() {
    GdiplusForImages::Instance().AddImage();
}

CImage::~CImage() {
    Destroy();
    GdiplusForImages::Instance().RemoveImage();
}

HRESULT CImage::Load(IStream* pStream) {
    Destroy();
    if (!pStream) return E_POINTER;
    if (!GdiplusForImages::Instance().EnsureStarted()) return E_FAIL;
    DecodedBitmap decoded;
    if (gdip::GdipCreateBitmapFromStream(pStream, decoded.Put()) != Gdiplus::Ok) return E_FAIL;
    return CopyFromGdiplusBitmap(decoded.Get());
}

HRESULT CImage::CopyFromGdiplusBitmap(void* pBitmap) {
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(pBitmap);
    UINT width = 0;
    UINT height = 0;
    gdip::GdipGetImageWidth(bitmap, &width);
    gdip::GdipGetImageHeight(bitmap, &height);
    if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) return E_FAIL;
    const bool alpha = HasAlpha(bitmap);
    const int bpp = alpha ? 32 : 24;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height); // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info.bmiHeader.biCompression = BI_RGB;
    void* dibBits = nullptr;
    ScopedBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &dibBits, nullptr, 0));
    if (!dib || !dibBits) return E_OUTOFMEMORY;

    // 32bppARGB is GDI+'s straight-alpha format; in memory its bytes are
    // blue, green, red, alpha, as 24bppRGB's are blue, green, red.
    Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData locked{};
    if (gdip::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead,
                                 alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB, &locked) != Gdiplus::Ok)
        return E_FAIL;
    const int pitch = ((static_cast<int>(width) * bpp + 31) / 32) * 4;
    auto* top = static_cast<unsigned char*>(dibBits) + static_cast<size_t>(height - 1) * pitch;
    const size_t rowBytes = static_cast<size_t>(width) * (bpp / 8);
    for (UINT y = 0; y < height; ++y) {
        const auto* source =
            static_cast<const unsigned char*>(locked.Scan0) + static_cast<ptrdiff_t>(y) * locked.Stride;
        std::memcpy(top - static_cast<ptrdiff_t>(y) * pitch, source, rowBytes);
    }
    gdip::GdipBitmapUnlockBits(bitmap, &locked);

    m_hBitmap = dib.Release();
    m_pBits = top;
    m_nWidth = static_cast<int>(width);
    m_nHeight = static_cast<int>(height);
    m_nBPP = bpp;
    m_nPitch = -pitch;
    m_bHasAlpha = alpha;
    return S_OK;
}

void CImage::Destroy() {
    if (m_hBitmap) DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_pBits = nullptr;
    m_nWidth = m_nHeight = m_nBPP = m_nPitch = 0;
    m_bHasAlpha = false;
}

void* CImage::GetPixelAddress(int x, int y) {
    if (!m_pBits) return nullptr;
    return m_pBits + static_cast<ptrdiff_t>(y) * m_nPitch + static_cast<ptrdiff_t>(x) * (m_nBPP / 8);
}

BOOL CImage::Draw(HDC hDestDC, int x, int y) const {
    if (!m_hBitmap) return FALSE;
    if (m_bHasAlpha) return BlendOnto(hDestDC, x, y);
    ScopedMemoryDC source(hDestDC);
    if (!source.Get()) return FALSE;
    ScopedSelect selected(source, m_hBitmap);
    return BitBlt(hDestDC, x, y, m_nWidth, m_nHeight, source, 0, 0, SRCCOPY);
}

// AlphaBlend would do this, but Wine's lets a channel that passes 255 carry
// into the next one (straight colours over a light target do pass it), so
// the blend is done here, the same on every platform: the target area is
// read, blended and written back. Only the part inside the DC's clip box can
// change, so only that part is read and blended: a window that repaints a
// small area under a control does not pay for its whole background.
BOOL CImage::BlendOnto(HDC hDestDC, int x, int y) const {
    RECT area{x, y, x + m_nWidth, y + m_nHeight};
    RECT clip;
    const int clipKind = GetClipBox(hDestDC, &clip);
    if (clipKind == ERROR) return FALSE;
    if (clipKind == NULLREGION || !IntersectRect(&area, &area, &clip)) return TRUE;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row y at y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemoryDC work(hDestDC);
    if (!target || !bits || !work.Get()) return FALSE;
    ScopedSelect selected(work, target);
    if (!BitBlt(work, 0, 0, width, height, hDestDC, area.left, area.top, SRCCOPY)) return FALSE;
    GdiFlush();

    auto* out = static_cast<unsigned char*>(bits);
    for (int row = area.top - y; row < area.bottom - y; ++row) {
        const unsigned char* in =
            m_pBits + static_cast<ptrdiff_t>(row) * m_nPitch + static_cast<ptrdiff_t>(area.left - x) * 4;
        for (int column = 0; column < width; ++column, in += 4, out += 4) {
            const int keep = 255 - in[3];
            for (int channel = 0; channel < 4; ++channel)
                out[channel] = static_cast<unsigned char>(
                    std::min(255, in[channel] + (out[channel] * keep + 127) / 255));
        }
    }
    return BitBlt(hDestDC, area.left, area.top, width, height, work, 0, 0, SRCCOPY);
}
