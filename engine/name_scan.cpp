#include "engine/name_scan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/bit_count.h"
#include "engine/name_blocks.h"
#include "engine/parallel_chunks.h"
#include "engine/text_match.h"

namespace nuv::engine {
namespace {

constexpr std::uint32_t kNoEntry = 0xFFFFFFFFu;

// Packed folded names, each followed by a zero byte, and where each starts, the end last; and
// what byte pairs and triples they hold, where that is known.
struct NameTable {
    std::string_view buffer;
    ArrayView<std::uint32_t> starts;
    const NameGrams* grams = nullptr;
};

// The entry whose folded name holds byte `offset`, searching forward from `from`: doubling steps
// first, since consecutive hits are usually close.
std::uint32_t EntryAt(ArrayView<std::uint32_t> starts, std::uint32_t from, std::uint32_t last,
                      std::uint32_t offset) {
    std::uint32_t step = 1, low = from;
    while (low + step <= last && starts[low + step] <= offset) {
        low += step;
        step *= 2;
    }
    const std::uint32_t high = std::min(last, low + step);
    return static_cast<std::uint32_t>(
               std::upper_bound(starts.begin() + low, starts.begin() + high + 1, offset) - starts.begin()) -
           1;
}

// Whether a hit at `offset` inside the entry spanning [start, next) sits where the needle is
// pinned; next - 1 is the entry's zero byte.
bool AnchorsHold(const NameNeedle& needle, std::uint32_t offset, std::uint32_t start, std::uint32_t next) {
    return (!needle.atStart || offset == start) && (!needle.atEnd || offset + needle.text.size() + 1 == next);
}

// Hit by hit from `from`, which lies in entry `entry`; `lastFound` is the entry reported last.
template <class Found>
void FindFrom(const NameTable& table, const NameNeedle& needle, const char* from, std::uint32_t entry,
              std::uint32_t last, std::uint32_t lastFound, Found& found) {
    const auto& starts = table.starts;
    const char* buffer = table.buffer.data();
    const char* end = buffer + starts[last];
    while (from < end) {
        const char* hit = FindNeedle(from, end, needle.text);
        if (hit == end) break;
        const auto offset = static_cast<std::uint32_t>(hit - buffer);
        entry = EntryAt(starts, entry, last, offset);
        // A hit that runs past the name's end (into the zero byte) is no match within it.
        if (offset + needle.text.size() >= starts[entry + 1]) {
            from = buffer + starts[entry + 1];
            continue;
        }
        // A hit in the wrong place may still be followed by one in the right place ("a.dll.dll").
        if (!AnchorsHold(needle, offset, starts[entry], starts[entry + 1])) {
            from = hit + 1;
            continue;
        }
        if (entry != lastFound) found(entry);
        lastFound = entry;
        from = buffer + starts[entry + 1];
    }
}

// The candidates left once the name holding `bit` is settled: those past its zero byte.
std::uint64_t CandidatesAfterName(std::uint64_t candidates, std::uint64_t zeros, int bit) {
    const std::uint64_t zerosFromHit = zeros & (~std::uint64_t{0} << bit);
    if (zerosFromHit == 0) return 0; // the name runs on past this block
    const std::uint64_t nameEnd = zerosFromHit & (0 - zerosFromHit);
    return candidates & ~((nameEnd << 1) - 1); // nameEnd at bit 63 shifts out: nothing is left
}

// Blocks handed over by the block scanner at a time: enough to make its call cheap, few enough
// to stay in the first-level cache.
constexpr std::size_t kBlockBatch = 64;

// Every name is followed by one zero byte, so the entry holding a byte is `first` plus the zero
// bytes before it. The block scanner yields the blocks with candidate positions (the needle's
// first, second and last bytes in place, and a zero byte right after it when pinned to the end)
// together with their name ends, so that a hit's entry is a population count away: dense hits,
// the common case of a short needle, cost no search of the start offsets. found(entry) is called
// once for each entry that holds the needle, ascending.
template <class Found>
void FindNamesContaining(const NameTable& table, const NameNeedle& needle, std::uint32_t first,
                         std::uint32_t last, Found&& found) {
    if (first >= last) return;
    const char* buffer = table.buffer.data();
    const char* p = buffer + table.starts[first];
    std::uint32_t entry = first, lastFound = kNoEntry;
    const std::string_view text = needle.text;
    const BlockScanner scan = BestBlockScanner();
    // A needle holding a zero byte could match across two names; the hit-by-hit scan checks ends.
    if (scan && text.find('\0') == std::string_view::npos) {
        const char* end = buffer + table.starts[last];
        const std::size_t m = text.size();
        const BlockNeedle blockNeedle{text, needle.atEnd};
        // `entry` is the entry holding `exactAt`; a block further on needs it found again. Rare
        // needles thus never read the zero bytes of the blocks between their hits.
        const char* exactAt = p;
        CandidateBlock blocks[kBlockBatch];
        for (;;) {
            const std::size_t count = scan(p, end, blockNeedle, blocks, kBlockBatch, &p);
            for (std::size_t b = 0; b < count; ++b) {
                const auto& [block, blockCandidates, zeros] = blocks[b];
                std::uint64_t candidates = blockCandidates;
                if (block != exactAt)
                    entry = EntryAt(table.starts, entry, last, static_cast<std::uint32_t>(block - buffer));
                while (candidates != 0) {
                    const int bit = std::countr_zero(candidates);
                    const char* at = block + bit;
                    const bool startHolds = !needle.atStart || at == buffer || at[-1] == '\0';
                    // The scanner checked the first, second and last bytes.
                    if (!startHolds || (m > 3 && std::memcmp(at + 2, text.data() + 2, m - 3) != 0)) {
                        candidates &= candidates - 1;
                        continue;
                    }
                    const auto hitEntry = entry + static_cast<std::uint32_t>(
                                                      CountBits(zeros & ((std::uint64_t{1} << bit) - 1)));
                    if (hitEntry != lastFound) found(hitEntry);
                    lastFound = hitEntry;
                    candidates = CandidatesAfterName(candidates, zeros, bit);
                }
                entry += static_cast<std::uint32_t>(CountBits(zeros));
                exactAt = block + kNameBlock;
            }
            if (count < kBlockBatch) break;
        }
    }
    FindFrom(table, needle, p, entry, last, lastFound, found);
}

// The same, reading only the runs of names that the table's grams leave possible.
template <class Found>
void ScanNames(const NameTable& table, const NameNeedle& needle, std::uint32_t first, std::uint32_t last,
               Found&& found) {
    if (!table.grams) return FindNamesContaining(table, needle, first, last, found);
    for (const auto& [from, to] : table.grams->RunsThatMayHold(needle.text, first, last))
        FindNamesContaining(table, needle, from, to, found);
}

// Every name of the table that holds the needle, by position, both cores sharing the scan.
std::vector<std::uint32_t> FindAllNamesContaining(const NameTable& table, const NameNeedle& needle) {
    const std::size_t count = table.starts.size() - 1;
    const std::size_t chunks = ChunkCountFor(count);
    std::vector<std::vector<std::uint32_t>> found(chunks);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t) {
        const auto [first, last] = ChunkBounds(count, chunks, c);
        ScanNames(table, needle, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last),
                  [&](std::uint32_t entry) { found[c].push_back(entry); });
    });
    return JoinChunkParts(found);
}

// The base index's own names: entry i is name i.
NameTable EntryNames(const BaseIndex& base) {
    return NameTable{base.FoldedBuffer(), base.FoldedStarts(), &base.FoldedGrams()};
}

} // namespace

void FindEntriesContaining(const BaseIndex& base, const NameNeedle& needle, std::uint32_t first,
                           std::uint32_t last, std::vector<std::uint32_t>& entries) {
    ScanNames(EntryNames(base), needle, first, last, [&](std::uint32_t entry) { entries.push_back(entry); });
}

void MarkEntriesContaining(const BaseIndex& base, const NameNeedle& needle, std::uint32_t first,
                           std::uint32_t last, EntryBits& marks) {
    ScanNames(EntryNames(base), needle, first, last, [&](std::uint32_t entry) { MarkEntry(marks, entry); });
}

std::vector<std::uint32_t> FindAllEntriesContaining(const BaseIndex& base, const NameNeedle& needle) {
    return FindAllNamesContaining(EntryNames(base), needle);
}

std::vector<std::uint32_t> FindFoldersContaining(const BaseIndex& base, const NameNeedle& needle) {
    std::vector<std::uint32_t> folders =
        FindAllNamesContaining(NameTable{base.FolderFoldedBuffer(), base.FolderFoldedStarts()}, needle);
    for (std::uint32_t& folder : folders)
        folder = base.FolderEntry(folder);
    return folders;
}

} // namespace nuv::engine
