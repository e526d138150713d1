#include "engine/name_grams.h"

#include <algorithm>

#include "engine/parallel_chunks.h"

namespace nuv::engine {
namespace {

constexpr unsigned kExactTripleBits = 24;
constexpr unsigned kFewestTripleBits = 16;

std::uint32_t Byte(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

bool Has(const std::vector<std::uint64_t>& bits, std::size_t bit) {
    return (bits[bit / 64] >> (bit % 64)) & 1;
}

void Set(std::vector<std::uint64_t>& bits, std::size_t bit) {
    bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

} // namespace

std::size_t NameGrams::TripleSlot(std::uint32_t triple) const {
    if (tripleBits_ == kExactTripleBits) return triple;
    return (triple * 0x9E3779B1u) >> (32 - tripleBits_);
}

NameGrams NameGrams::Of(std::string_view packed) {
    NameGrams grams;
    // About one bit per byte of names: a triple is at most one per byte, and most repeat.
    grams.tripleBits_ = kFewestTripleBits;
    while (grams.tripleBits_ < kExactTripleBits && (std::size_t{1} << grams.tripleBits_) < packed.size())
        ++grams.tripleBits_;
    const std::size_t pairWords = (1 << 16) / 64, tripleWords = (std::size_t{1} << grams.tripleBits_) / 64;
    // Each worker fills bitmaps of its own, joined at the end: setting bits shared between threads
    // would cost an atomic operation per byte.
    const std::size_t chunks = packed.size() < 3 ? 0 : std::min(ChunkCountFor(packed.size()), kChunkWorkers);
    std::vector<NameGrams> parts(std::max<std::size_t>(chunks, 1), grams);
    for (auto& part : parts) {
        part.pairs_.assign(pairWords, 0);
        part.triples_.assign(tripleWords, 0);
    }
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t) {
        NameGrams& part = parts[c];
        // Chunks overlap by two bytes, so every triple lies wholly in one of them.
        const auto [first, last] = ChunkBounds(packed.size() - 2, chunks, c);
        std::uint32_t window = Byte(packed, first) | Byte(packed, first + 1) << 8;
        for (std::size_t i = first; i < last; ++i) {
            window = window | Byte(packed, i + 2) << 16;
            Set(part.pairs_, (window & 0xFF) << 8 | (window >> 8 & 0xFF));
            Set(part.triples_, part.TripleSlot(window));
            window >>= 8;
        }
    });
    grams = std::move(parts.front());
    for (std::size_t p = 1; p < parts.size(); ++p) {
        for (std::size_t w = 0; w < pairWords; ++w)
            grams.pairs_[w] |= parts[p].pairs_[w];
        for (std::size_t w = 0; w < tripleWords; ++w)
            grams.triples_[w] |= parts[p].triples_[w];
    }
    // The last pair of the names, which no triple starts.
    if (packed.size() >= 2)
        Set(grams.pairs_, Byte(packed, packed.size() - 2) << 8 | Byte(packed, packed.size() - 1));
    return grams;
}

bool NameGrams::MayOccur(std::string_view needle) const {
    if (pairs_.empty()) return true;
    if (needle.size() == 1) {
        // Every byte of a name is followed by another or by the name's zero byte, so a byte occurs
        // when some pair starts with it.
        const std::size_t first = Byte(needle, 0) * 256 / 64;
        return std::any_of(pairs_.begin() + static_cast<std::ptrdiff_t>(first),
                           pairs_.begin() + static_cast<std::ptrdiff_t>(first + 256 / 64),
                           [](std::uint64_t word) { return word != 0; });
    }
    for (std::size_t i = 0; i + 1 < needle.size(); ++i)
        if (!Has(pairs_, Byte(needle, i) << 8 | Byte(needle, i + 1))) return false;
    for (std::size_t i = 0; i + 2 < needle.size(); ++i)
        if (!Has(triples_,
                 TripleSlot(Byte(needle, i) | Byte(needle, i + 1) << 8 | Byte(needle, i + 2) << 16)))
            return false;
    return true;
}

} // namespace nuv::engine
