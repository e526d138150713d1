#include "engine/name_grams.h"

#include <algorithm>

#include "engine/parallel_chunks.h"

namespace nuv::engine {
namespace {

constexpr std::size_t kPairWords = (1 << 16) / 64;

std::uint32_t Byte(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]);
}

std::uint32_t Pair(std::string_view text, std::size_t at) {
    return Byte(text, at) << 8 | Byte(text, at + 1);
}

// A triple's bit among a block's 8192.
std::uint32_t TripleSlot(std::string_view text, std::size_t at) {
    const std::uint32_t triple = Byte(text, at) | Byte(text, at + 1) << 8 | Byte(text, at + 2) << 16;
    return (triple * 0x9E3779B1u) >> (32 - 13);
}

bool Has(const std::uint64_t* bits, std::size_t bit) {
    return (bits[bit / 64] >> (bit % 64)) & 1;
}

void Set(std::uint64_t* bits, std::size_t bit) {
    bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

} // namespace

NameGrams NameGrams::Of(std::string_view packed, ArrayView<std::uint32_t> starts) {
    NameGrams grams;
    const std::size_t names = starts.empty() ? 0 : starts.size() - 1;
    const std::size_t blocks = (names + kNamesPerBlock - 1) / kNamesPerBlock;
    grams.blockTriples_.assign(blocks * kBlockTripleWords, 0);
    // Blocks are filled apart, so the workers share no triple bits; pairs, shared by every block,
    // are gathered per worker and joined at the end.
    std::vector<std::vector<std::uint64_t>> workerPairs(kChunkWorkers,
                                                        std::vector<std::uint64_t>(kPairWords));
    const std::size_t chunks = std::min(ChunkCountFor(packed.size()), blocks);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        std::uint64_t* pairs = workerPairs[worker].data();
        const auto [firstBlock, lastBlock] = ChunkBounds(blocks, chunks, c);
        for (std::size_t b = firstBlock; b < lastBlock; ++b) {
            std::uint64_t* triples = grams.blockTriples_.data() + b * kBlockTripleWords;
            const std::size_t from = starts[b * kNamesPerBlock];
            const std::size_t to = starts[std::min((b + 1) * kNamesPerBlock, names)];
            // A block's last byte is the zero byte ending its last name: no pair or triple that a
            // needle could hold starts there.
            for (std::size_t i = from; i + 1 < to; ++i) {
                Set(pairs, Pair(packed, i));
                if (i + 2 < packed.size()) Set(triples, TripleSlot(packed, i));
            }
        }
    });
    grams.pairs_ = std::move(workerPairs.front());
    for (std::size_t w = 1; w < workerPairs.size(); ++w)
        for (std::size_t k = 0; k < kPairWords; ++k)
            grams.pairs_[k] |= workerPairs[w][k];
    return grams;
}

bool NameGrams::PairsMayHold(std::string_view needle) const {
    if (pairs_.empty()) return true;
    if (needle.size() == 1) {
        // Every byte of a name is followed by another or by the name's zero byte, so a byte occurs
        // when some pair starts with it.
        const auto* first = pairs_.data() + Byte(needle, 0) * 256 / 64;
        return std::any_of(first, first + 256 / 64, [](std::uint64_t word) { return word != 0; });
    }
    for (std::size_t i = 0; i + 1 < needle.size(); ++i)
        if (!Has(pairs_.data(), Pair(needle, i))) return false;
    return true;
}

bool NameGrams::BlockMayHold(std::size_t block, const std::vector<std::uint32_t>& tripleSlots) const {
    const std::uint64_t* triples = blockTriples_.data() + block * kBlockTripleWords;
    return std::all_of(tripleSlots.begin(), tripleSlots.end(),
                       [&](std::uint32_t slot) { return Has(triples, slot); });
}

bool NameGrams::MayOccur(std::string_view needle) const {
    if (!PairsMayHold(needle)) return false;
    if (needle.size() < 3 || blockTriples_.empty()) return true;
    return !RunsThatMayHold(
                needle, 0,
                static_cast<std::uint32_t>(blockTriples_.size() / kBlockTripleWords * kNamesPerBlock))
                .empty();
}

std::vector<std::pair<std::uint32_t, std::uint32_t>>
NameGrams::RunsThatMayHold(std::string_view needle, std::uint32_t first, std::uint32_t last) const {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> runs;
    if (first >= last) return runs;
    if (needle.size() < 3 || blockTriples_.empty()) {
        runs.emplace_back(first, last);
        return runs;
    }
    std::vector<std::uint32_t> slots;
    for (std::size_t i = 0; i + 2 < needle.size(); ++i)
        slots.push_back(TripleSlot(needle, i));
    for (std::size_t b = first / kNamesPerBlock; b * kNamesPerBlock < last; ++b) {
        if (!BlockMayHold(b, slots)) continue;
        const auto from = std::max(first, static_cast<std::uint32_t>(b * kNamesPerBlock));
        const auto to = std::min(last, static_cast<std::uint32_t>((b + 1) * kNamesPerBlock));
        if (!runs.empty() && runs.back().second == from)
            runs.back().second = to;
        else
            runs.emplace_back(from, to);
    }
    return runs;
}

} // namespace nuv::engine
