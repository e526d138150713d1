#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/base_index.h"
#include "engine/name_blocks.h"
#include "engine/name_grams.h"
#include "engine/name_scan.h"

namespace nuv::engine {
namespace {

// Names of 1 to 150 bytes over a three-letter alphabet: hits are dense, runs of one name span
// several 64-byte blocks, and name ends fall at every offset within a block.
std::shared_ptr<const BaseIndex> MakeIndex(std::size_t count) {
    RawTree raw;
    const std::uint32_t volume = raw.AddVolume("C:");
    std::uint32_t state = 12345;
    const auto next = [&] {
        state = state * 1103515245u + 12345u; // a fixed sequence, so a failure repeats
        return (state >> 16) & 0x7FFF;
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::string name;
        const std::size_t length = 1 + next() % (i % 7 == 0 ? 150 : 12);
        for (std::size_t k = 0; k < length; ++k)
            name.push_back("abc"[next() % 3]);
        raw.Add(volume, name, false);
    }
    std::string error;
    auto index = BaseIndex::Build(std::move(raw), &error);
    EXPECT_TRUE(index) << error;
    return index;
}

bool ReferenceHolds(std::string_view name, const NameNeedle& needle) {
    if (needle.atStart && needle.atEnd) return name == needle.text;
    if (needle.atStart) return name.starts_with(needle.text);
    if (needle.atEnd) return name.ends_with(needle.text);
    return name.find(needle.text) != std::string_view::npos;
}

std::vector<std::uint32_t> Reference(const BaseIndex& index, const NameNeedle& needle, std::uint32_t first,
                                     std::uint32_t last) {
    std::vector<std::uint32_t> entries;
    for (std::uint32_t i = first; i < last; ++i)
        if (ReferenceHolds(index.Folded(i), needle)) entries.push_back(i);
    return entries;
}

TEST(NameScan, FindsExactlyTheNamesHoldingTheNeedleWherePinnedInAnyRange) {
    const auto index = MakeIndex(3000);
    ASSERT_TRUE(index);
    const auto size = static_cast<std::uint32_t>(index->Size());
    const std::string longRun(70, 'a');
    const std::vector<std::string> needles = {"a", "c", "ab", "cba", "abcab", "aaaaaaaa", longRun, "d"};
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges = {
        {0, size}, {1, size - 1}, {size / 2, size}, {17, 18}, {5, 5}};
    for (const auto& text : needles)
        for (const bool atStart : {false, true})
            for (const bool atEnd : {false, true})
                for (const auto& [first, last] : ranges) {
                    const NameNeedle needle{text, atStart, atEnd};
                    std::vector<std::uint32_t> found;
                    FindEntriesContaining(*index, needle, first, last, found);
                    EXPECT_EQ(found, Reference(*index, needle, first, last))
                        << "needle " << text << (atStart ? " pinned to the start" : "")
                        << (atEnd ? " pinned to the end" : "") << " range " << first << ".." << last;
                }
}

// What a block scanner must report, byte by byte: every block it scans, in order, with its
// candidate and zero bits, kept when it has a candidate; and where it stops.
std::vector<CandidateBlock> ReferenceBlocks(const char* from, const char* end, const BlockNeedle& needle,
                                            const char** stop) {
    const std::string_view t = needle.text;
    const std::size_t m = t.size();
    std::vector<CandidateBlock> blocks;
    const char* p = from;
    for (; end - p >= kNameBlock + needle.Reach() - 1; p += kNameBlock) {
        CandidateBlock block{p, 0, 0};
        for (int k = 0; k < kNameBlock; ++k) {
            const char* at = p + k;
            const bool candidate = at[0] == t[0] && (m < 3 || at[1] == t[1]) && at[m - 1] == t[m - 1] &&
                                   (!needle.atEnd || at[m] == '\0');
            if (candidate) block.candidates |= std::uint64_t{1} << k;
            if (at[0] == '\0') block.zeros |= std::uint64_t{1} << k;
        }
        if (block.candidates != 0) blocks.push_back(block);
    }
    *stop = p;
    return blocks;
}

TEST(NameScan, EveryBlockScannerReportsTheSameBlocksAsAByteByByteCheck) {
    std::vector<std::pair<const char*, BlockScanner>> scanners = {{"SSE2", Sse2BlockScanner()},
                                                                  {"AVX2", Avx2BlockScanner()}};
    std::erase_if(scanners, [](const auto& s) { return s.second == nullptr; });
    if (scanners.empty()) GTEST_SKIP() << "no block scanner on this processor";
    // A four-letter alphabet with zero bytes as name ends: candidates of every kind are dense.
    std::string buffer(5000, '\0');
    std::uint32_t state = 777;
    for (char& c : buffer) {
        state = state * 1103515245u + 12345u;
        c = "abc\0"[(state >> 16) % 4];
    }
    const char* end = buffer.data() + buffer.size();
    for (const std::string text : {"a", "ab", "bb", "abc", "aab", "abca", "cabac"})
        for (const bool atEnd : {false, true})
            for (const std::size_t offset : {0, 1, 7, 63})
                for (const std::size_t capacity : {1, 3, 64}) {
                    const BlockNeedle needle{text, atEnd};
                    const char* from = buffer.data() + offset;
                    const char* expectedStop = nullptr;
                    const auto expected = ReferenceBlocks(from, end, needle, &expectedStop);
                    for (const auto& [name, scan] : scanners) {
                        std::vector<CandidateBlock> got;
                        const char* p = from;
                        for (;;) {
                            std::vector<CandidateBlock> batch(capacity);
                            const std::size_t n = scan(p, end, needle, batch.data(), capacity, &p);
                            got.insert(got.end(), batch.begin(),
                                       batch.begin() + static_cast<std::ptrdiff_t>(n));
                            if (n < capacity) break;
                        }
                        const auto context = ::testing::Message()
                                             << name << " needle " << text << (atEnd ? " at end" : "")
                                             << " offset " << offset << " capacity " << capacity;
                        ASSERT_EQ(got.size(), expected.size()) << context;
                        for (std::size_t b = 0; b < got.size(); ++b) {
                            EXPECT_EQ(got[b].block, expected[b].block) << context;
                            EXPECT_EQ(got[b].candidates, expected[b].candidates) << context;
                            EXPECT_EQ(got[b].zeros, expected[b].zeros) << context;
                        }
                        EXPECT_EQ(p, expectedStop) << context;
                    }
                }
}

TEST(NameGrams, LeaveEveryNameHoldingANeedleInARunAndRuleOutBlocksWithoutIt) {
    // Each block of names draws from letters of its own, so a needle's triples pin it to one block.
    // Over 64 KB of names, so that two workers fill the tables, and a last block cut short.
    constexpr std::uint32_t kBlock = NameGrams::kNamesPerBlock;
    const std::uint32_t count = 6 * kBlock - 100;
    std::vector<std::string> names;
    std::string packed;
    std::vector<std::uint32_t> starts;
    std::uint32_t state = 99;
    for (std::uint32_t i = 0; i < count; ++i) {
        const char* letters = "abcdefghijklmnopqr" + 3 * (i / kBlock);
        std::string name;
        for (std::size_t k = 0; k < 8 + i % 13; ++k) {
            state = state * 1103515245u + 12345u;
            name.push_back(letters[(state >> 16) % 3]);
        }
        starts.push_back(static_cast<std::uint32_t>(packed.size()));
        packed += name;
        packed.push_back('\0');
        names.push_back(std::move(name));
    }
    starts.push_back(static_cast<std::uint32_t>(packed.size()));
    ASSERT_GT(packed.size(), 65536u);
    const NameGrams grams = NameGrams::Of(packed, starts);
    using Runs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    const auto inRuns = [](const Runs& runs, std::uint32_t i) {
        return std::any_of(runs.begin(), runs.end(),
                           [&](const auto& run) { return run.first <= i && i < run.second; });
    };
    for (std::uint32_t i = 0; i < count; i += 7)
        for (std::size_t from = 0; from < names[i].size(); from += 3)
            for (std::size_t length = 1; from + length <= names[i].size() && length <= 5; ++length) {
                const std::string_view needle = std::string_view(names[i]).substr(from, length);
                ASSERT_TRUE(grams.MayOccur(needle)) << needle;
                ASSERT_TRUE(inRuns(grams.RunsThatMayHold(needle, 0, count), i)) << needle << " in name " << i;
            }
    const std::string inBlock2 = names[2 * kBlock].substr(0, 4);
    EXPECT_EQ(grams.RunsThatMayHold(inBlock2, 0, count), (Runs{{2 * kBlock, 3 * kBlock}}));
    EXPECT_EQ(grams.RunsThatMayHold(inBlock2, 2 * kBlock + 50, 2 * kBlock + 60),
              (Runs{{2 * kBlock + 50, 2 * kBlock + 60}}));
    EXPECT_EQ(grams.RunsThatMayHold(inBlock2, 0, 2 * kBlock), Runs{});
    EXPECT_EQ(grams.RunsThatMayHold("ab", 10, 20), (Runs{{10, 20}})) << "too short to tell";
    // Pairs are kept exactly: no name holds a 'z', nor letters of two blocks side by side.
    EXPECT_FALSE(grams.MayOccur("z"));
    EXPECT_FALSE(grams.MayOccur("ad"));
    EXPECT_FALSE(grams.MayOccur("abcz"));
    EXPECT_TRUE(NameGrams().MayOccur("anything"));
    EXPECT_EQ(NameGrams().RunsThatMayHold("anything", 3, 9), (Runs{{3, 9}}));
}

} // namespace
} // namespace nuv::engine
