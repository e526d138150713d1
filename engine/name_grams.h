#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/array_view.h"

namespace nuv::engine {

// Which byte pairs occur anywhere in a set of folded names, and which byte triples occur in each
// block of 1024 consecutive names. A needle holding a pair that occurs nowhere is in no name, and
// a block that lacks one of its triples holds no name with it: a scan then reads only the blocks
// that may hold the needle. A rare word is in a few blocks of a thousand, so its scan reads a few
// per cent of the names; a query without results (a typo) costs microseconds.
//
// Pairs are kept exactly, in 8 KB. Triples are hashed into 8192 bits per block (1 byte per name);
// the thousand names of a block hold about a thousand distinct triples, so a triple a block lacks
// still finds its bit set about once in ten, which only costs reading that block.
class NameGrams {
public:
    static constexpr std::uint32_t kNamesPerBlock = 1024;

    NameGrams() = default; // holds nothing: every needle may occur anywhere

    // Of packed names, each followed by a zero byte; name i starts at starts[i], the end last.
    static NameGrams Of(std::string_view packed, ArrayView<std::uint32_t> starts);

    // False only when no name holds `needle`.
    bool MayOccur(std::string_view needle) const;

    // The runs of names in [first, last), ascending and apart, outside which no name holds `needle`:
    // [first, last) itself for a needle too short to tell.
    std::vector<std::pair<std::uint32_t, std::uint32_t>>
    RunsThatMayHold(std::string_view needle, std::uint32_t first, std::uint32_t last) const;

private:
    static constexpr std::size_t kBlockTripleWords = 8192 / 64;

    bool PairsMayHold(std::string_view needle) const;
    bool BlockMayHold(std::size_t block, const std::vector<std::uint32_t>& tripleSlots) const;

    std::vector<std::uint64_t> pairs_;        // bit b0 * 256 + b1
    std::vector<std::uint64_t> blockTriples_; // kBlockTripleWords per block, bit TripleSlot(triple)
};

} // namespace nuv::engine
