#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base_index.h"
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

} // namespace
} // namespace nuv::engine
