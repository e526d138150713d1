// The 40-byte header that starts every packed device-independent bitmap,
// laid out as the platform's BITMAPINFOHEADER so a packed block can be handed
// to GDI as it is.
#pragma once

#include <cstdint>

struct DibHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight; // positive: rows are stored bottom-up
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant; // non-zero: 32-bit pixels with straight alpha
};
static_assert(sizeof(DibHeader) == 40, "a packed DIB header is 40 bytes");

constexpr std::uint32_t DibRowStride(std::uint32_t width, std::uint32_t bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}
