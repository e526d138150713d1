#include "image_ex.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A gradient writes each 24-bit pixel as one 32-bit store, so the last pixel
// of the last row reaches one byte past the rows.
constexpr std::size_t SpareBytes = 4;
constexpr std::size_t MaskColorTableBytes = 8;
constexpr float GradientTarget = 248.0f;

bool DibSize(int width, int height, int bitsPerPixel, std::uint32_t& stride, std::uint32_t& size) {
    if (width < 0 || height < 0 || bitsPerPixel <= 0) return false;
    const std::uint64_t rowBits =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel);
    const std::uint64_t rowBytes = (rowBits + 31) / 32 * 4;
    const std::uint64_t total = rowBytes * static_cast<std::uint64_t>(height);
    if (total > std::numeric_limits<std::int32_t>::max()) return false;
    stride = static_cast<std::uint32_t>(rowBytes);
    size = static_cast<std::uint32_t>(total);
    return true;
}

void WriteHeader(std::uint8_t* block, int width, int height, int bitsPerPixel, std::uint32_t size) {
    DibHeader header = {};
    header.biSize = sizeof(DibHeader);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<std::uint16_t>(bitsPerPixel);
    header.biSizeImage = size;
    std::memcpy(block, &header, sizeof header);
}

// Resizes `block` in place of the old one; on failure the old block is freed
// too, so that a holder is never left with a header that lies about its rows.
std::uint8_t* Reallocate(std::uint8_t*& block, std::size_t bytes) {
    void* grown = std::realloc(block, bytes);
    if (!grown) {
        std::free(block);
        block = nullptr;
        return nullptr;
    }
    block = static_cast<std::uint8_t*>(grown);
    return block;
}

struct GradientChannels {
    float step[3];
    float current[3];
};

// Byte k of the word is channel k (blue, green, red), the fourth byte stays 0.
std::uint32_t AdvanceGradient(GradientChannels& channels) {
    std::uint32_t word = 0;
    for (int k = 0; k < 3; ++k) {
        channels.current[k] = channels.current[k] + channels.step[k];
        const auto value = static_cast<std::int32_t>(static_cast<double>(channels.current[k]) + 0.5);
        word |= (static_cast<std::uint32_t>(value) & 0xFF) << (8 * k);
    }
    return word;
}

void StoreWord(std::uint8_t* at, std::uint32_t word) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                                   static_cast<std::uint8_t>(word >> 16),
                                   static_cast<std::uint8_t>(word >> 24)};
    std::memcpy(at, bytes, sizeof bytes);
}

void OrWord(std::uint8_t* at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(at[i] | (word >> (8 * i)));
}

} // namespace

CImageEx::~CImageEx() {
    std::free(m_pMask);
    std::free(m_pDib);
}

void CImageEx::FreeDib() {
    std::free(m_pMask);
    std::free(m_pDib);
    m_pMask = nullptr;
    m_pDib = nullptr;
}

std::uint8_t* CImageEx::CreateDib(int width, int height, int bitsPerPixel) {
    std::uint32_t stride = 0;
    std::uint32_t size = 0;
    if (!DibSize(width, height, bitsPerPixel, stride, size)) return nullptr;
    if (!Reallocate(m_pDib, sizeof(DibHeader) + size + SpareBytes)) return nullptr;
    WriteHeader(m_pDib, width, height, bitsPerPixel, size);
    return Pixels();
}

std::uint8_t* CImageEx::CreateMask(int width, int height) {
    std::uint32_t stride = 0;
    std::uint32_t size = 0;
    if (!DibSize(width, height, 1, stride, size)) return nullptr;
    if (!Reallocate(m_pMask, sizeof(DibHeader) + MaskColorTableBytes + size)) return nullptr;
    WriteHeader(m_pMask, width, height, 1, size);
    const std::uint8_t colorTable[MaskColorTableBytes] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
    std::memcpy(m_pMask + sizeof(DibHeader), colorTable, sizeof colorTable);
    return m_pMask + sizeof(DibHeader) + MaskColorTableBytes;
}

void CImageEx::SetAlphaFlag(bool hasAlpha) {
    if (!m_pDib) return;
    const std::uint32_t flag = hasAlpha ? 1 : 0;
    std::memcpy(m_pDib + offsetof(DibHeader, biClrImportant), &flag, sizeof flag);
}

bool CImageEx::HasBitmap() const {
    const DibHeader* header = Header();
    return header && header->biWidth != 0 && header->biHeight != 0;
}

void CImageEx::FillGradient(int width, int height, COLORREF base, int direction) {
    std::uint8_t* pixels = CreateDib(width, height, 24);
    if (!pixels) return;
    const DibHeader* header = Header();
    const std::uint32_t stride = DibRowStride(static_cast<std::uint32_t>(width), 24);

    std::uint32_t word = GetBValue(base) | (GetGValue(base) << 8) | (GetRValue(base) << 16);
    const float baseChannel[3] = {static_cast<float>(GetBValue(base)), static_cast<float>(GetGValue(base)),
                                  static_cast<float>(GetRValue(base))};
    std::uint32_t count = 0;
    if (direction == GradientAlongY) {
        count = static_cast<std::uint32_t>(height);
    } else if (direction == GradientAlongX) {
        count = static_cast<std::uint32_t>(width);
        std::memset(pixels, 0, header->biSizeImage + SpareBytes);
    } else {
        return;
    }
    if (count == 0) return;

    GradientChannels channels = {};
    for (int k = 0; k < 3; ++k) {
        channels.step[k] = (GradientTarget - baseChannel[k]) / static_cast<float>(count);
        channels.current[k] = baseChannel[k];
    }
    if (direction == GradientAlongY) {
        for (int row = 0; row < height; ++row) {
            std::uint8_t* rowStart = pixels + static_cast<std::size_t>(row) * stride;
            for (int column = 0; column < width; ++column)
                StoreWord(rowStart + column * 3, word);
            word = AdvanceGradient(channels);
        }
    } else {
        for (int column = width - 1; column >= 0; --column) {
            for (int row = 0; row < height; ++row) {
                OrWord(pixels + static_cast<std::size_t>(row) * stride + column * 3, word);
            }
            word = AdvanceGradient(channels);
        }
    }
}
