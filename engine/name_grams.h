#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace nuv::engine {

// Which byte pairs and triples occur anywhere in a set of folded names. A needle holding one that
// occurs nowhere is in no name at all: its scan of every name is skipped, which makes a query
// without results (a typo, a word the machine does not have) cost microseconds instead of a pass
// over all the names. Pairs are kept exactly; triples exactly from 2^24 bits on (one bit for every
// possible triple, 2 MB, reached at about a million names) and hashed into fewer bits for smaller
// indexes, where a collision only costs the scan it could have spared. About 2 bytes per name.
class NameGrams {
public:
    NameGrams() = default; // holds nothing: MayOccur is true for every needle

    // Of packed names, each followed by a zero byte.
    static NameGrams Of(std::string_view packed);

    // False only when no name holds `needle`.
    bool MayOccur(std::string_view needle) const;

private:
    std::size_t TripleSlot(std::uint32_t triple) const;

    std::vector<std::uint64_t> pairs_;   // bit b0 * 256 + b1
    std::vector<std::uint64_t> triples_; // bit TripleSlot(b0 | b1 << 8 | b2 << 16)
    unsigned tripleBits_ = 0;            // log2 of the triples' bit count
};

} // namespace nuv::engine
