// Decodes a PNG with GDI+ into straight (not premultiplied) ARGB pixels, so that
// the tests can check the artwork without going through the finder's own image code.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // top-down rows, 0xAARRGGBB

    std::uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return At(x, y) >> 24; }
    int Red(int x, int y) const { return (At(x, y) >> 16) & 0xFF; }
    int Green(int x, int y) const { return (At(x, y) >> 8) & 0xFF; }
    int Blue(int x, int y) const { return At(x, y) & 0xFF; }
};

std::optional<DecodedPng> DecodePng(std::span<const std::uint8_t> bytes);
