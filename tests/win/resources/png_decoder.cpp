#include "png_decoder.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <memory>

// gdiplus.h uses min and max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

namespace {

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (m_ok) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

struct StreamRelease {
    void operator()(IStream* stream) const { stream->Release(); }
};

} // namespace

std::optional<DecodedPng> DecodePng(std::span<const std::uint8_t> bytes) {
    GdiplusSession session;
    if (!session.ok() || bytes.empty()) return std::nullopt;
    std::unique_ptr<IStream, StreamRelease> stream(
        SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream) return std::nullopt;

    DecodedPng result;
    {
        Gdiplus::Bitmap bitmap(stream.get());
        if (bitmap.GetLastStatus() != Gdiplus::Ok) return std::nullopt;
        result.width = static_cast<int>(bitmap.GetWidth());
        result.height = static_cast<int>(bitmap.GetHeight());
        result.argb.resize(static_cast<size_t>(result.width) * result.height);

        Gdiplus::Rect all(0, 0, result.width, result.height);
        Gdiplus::BitmapData data{};
        data.Width = result.width;
        data.Height = result.height;
        data.Stride = result.width * 4;
        data.PixelFormat = PixelFormat32bppARGB;
        data.Scan0 = result.argb.data();
        if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                            PixelFormat32bppARGB, &data) != Gdiplus::Ok)
            return std::nullopt;
        bitmap.UnlockBits(&data);
    }
    return result;
}
