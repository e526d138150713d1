#pragma once

#include <cstdint>

namespace nuv::engine {

// The number of set bits. Baseline x86-64 has no popcnt instruction, so std::popcount becomes a
// library call there; this stays inline and costs a dozen operations.
inline int CountBits(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

} // namespace nuv::engine
