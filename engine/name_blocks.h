#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nuv::engine {

// The first stage of a name scan: 64-byte blocks of the packed names (each name followed by a zero
// byte) where a needle may start. Blocks without a candidate are all that a rare needle meets, so
// this loop is the scan's speed; it has one version per instruction set, chosen once per process.

// A block holding candidates: bit k of `candidates` is set when the needle's first, second (for
// needles of three bytes or more) and last bytes sit at block + k, and, for a needle pinned to the
// name's end, a zero byte follows it. Bit k of `zeros` is set when block[k] is a zero byte.
struct CandidateBlock {
    const char* block;
    std::uint64_t candidates;
    std::uint64_t zeros;
};

inline constexpr std::ptrdiff_t kNameBlock = 64;

struct BlockNeedle {
    std::string_view text; // not empty, no zero byte
    bool atEnd = false;

    // Bytes past a block's start that checking a candidate of the block reads.
    std::ptrdiff_t Reach() const { return static_cast<std::ptrdiff_t>(text.size()) + (atEnd ? 1 : 0); }
};

// Scans the blocks starting at `from`, `from` + 64, ... while a block's reads stay below `end`
// (a block at p is scanned when end - p >= 64 + Reach() - 1). Writes up to `capacity` blocks with
// candidates to `out`, ascending, and returns how many; `resume` is where the scan stopped: past
// the last block written when `out` is full, else at the first block it could not scan.
using BlockScanner = std::size_t (*)(const char* from, const char* end, const BlockNeedle& needle,
                                     CandidateBlock* out, std::size_t capacity, const char** resume);

// The fastest scanner this processor runs; null where there is none (no SSE2), and the scan then
// goes hit by hit.
BlockScanner BestBlockScanner();

// Each version, or null where the processor or the build lacks it; for tests that hold them to
// the same answers.
BlockScanner Sse2BlockScanner();
BlockScanner Avx2BlockScanner();

} // namespace nuv::engine
