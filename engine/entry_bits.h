#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/bit_count.h"

namespace nuv::engine {

// One bit per base entry, entry i at bit i % 64 of word i / 64.
using EntryBits = std::vector<std::uint64_t>;

inline std::size_t EntryBitsWords(std::size_t entries) {
    return (entries + 63) / 64;
}

inline void MarkEntry(EntryBits& bits, std::uint32_t entry) {
    bits[entry / 64] |= std::uint64_t{1} << (entry % 64);
}

inline void UnmarkEntry(EntryBits& bits, std::uint32_t entry) {
    bits[entry / 64] &= ~(std::uint64_t{1} << (entry % 64));
}

// Marks entries [first, last) and nothing else of their words; `first` on a word bound.
inline void MarkRange(EntryBits& bits, std::size_t first, std::size_t last) {
    std::fill(bits.begin() + static_cast<std::ptrdiff_t>(first / 64),
              bits.begin() + static_cast<std::ptrdiff_t>(last / 64), ~std::uint64_t{0});
    if (last % 64 != 0) bits[last / 64] = (std::uint64_t{1} << (last % 64)) - 1;
}

// Marks entries [0, entries) and nothing past them.
inline void MarkEvery(EntryBits& bits, std::size_t entries) {
    MarkRange(bits, 0, entries);
}

inline bool IsMarked(const EntryBits& bits, std::uint32_t entry) {
    return (bits[entry / 64] >> (entry % 64)) & 1;
}

inline std::size_t CountMarked(const std::uint64_t* words, std::size_t count) {
    std::size_t marked = 0;
    for (std::size_t w = 0; w < count; ++w)
        marked += static_cast<std::size_t>(CountBits(words[w]));
    return marked;
}

// Calls visit(entry) for every marked entry of words [firstWord, endWord), ascending.
template <class Visit>
void ForEachMarked(const EntryBits& bits, std::size_t firstWord, std::size_t endWord, Visit&& visit) {
    for (std::size_t w = firstWord; w < endWord; ++w)
        for (std::uint64_t word = bits[w]; word != 0; word &= word - 1)
            visit(static_cast<std::uint32_t>(w * 64 + std::countr_zero(word)));
}

} // namespace nuv::engine
