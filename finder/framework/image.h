// A decoded image in a DIB section of its own, drawn with plain GDI.
//
// Load decodes a PNG (or any format GDI+ reads) from a stream. An image with
// an alpha channel becomes 32 bits per pixel, bytes blue, green, red, alpha,
// the colours straight as stored (not multiplied by alpha), HasAlphaChannel
// true; any other image becomes 24 bits per pixel, blue, green, red. Rows are
// bottom-up, so GetPitch is negative and GetBits points at the top row.
//
// GDI+ is started by the first decode of any CImage and shut down when the
// last CImage object is destroyed.
#pragma once

#include <windows.h>

#include <objidl.h>

class CImage {
public:
    CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    ~CImage();

    // Empties the image, then decodes the stream into it. On failure the
    // image stays empty.
    HRESULT Load(IStream* pStream);
    void Destroy();

    bool IsNull() const { return m_hBitmap == nullptr; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBPP() const { return m_nBPP; }
    int GetPitch() const { return m_nPitch; }
    bool HasAlphaChannel() const { return m_bHasAlpha; }
    void* GetBits() { return m_pBits; }
    const void* GetBits() const { return m_pBits; }
    void* GetPixelAddress(int x, int y);
    operator HBITMAP() const { return m_hBitmap; }

    // Draws the image at its own size with its top-left corner at (x, y). An
    // image with alpha is blended per pixel, taking its colours as already
    // multiplied by alpha: per channel, result = source + destination *
    // (255 - alpha) / 255, limited to 255. Any other image is copied. FALSE
    // for an empty image or a failed draw.
    BOOL Draw(HDC hDestDC, int x, int y) const;

private:
    HRESULT CopyFromGdiplusBitmap(void* pBitmap);
    BOOL BlendOnto(HDC hDestDC, int x, int y) const;

    HBITMAP m_hBitmap = nullptr;
    unsigned char* m_pBits = nullptr; // the top row
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBPP = 0;
    int m_nPitch = 0;
    bool m_bHasAlpha = false;
};
