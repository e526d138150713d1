#include "disk_tree.h"
#include "tree_generator.h"
#include "tree_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace workload {
namespace {

struct StoredEntry {
    std::string path;
    std::size_t name_offset;
    int depth;
    bool folder;

    std::string Name() const { return path.substr(name_offset); }
    std::string Parent() const { return path.substr(0, name_offset - 1); }
};

std::vector<StoredEntry> Generate(std::uint64_t count) {
    std::vector<StoredEntry> entries;
    bool generated = GenerateTree(count, [&](const Entry& entry) {
        entries.push_back({std::string(entry.path), entry.name_offset, entry.depth, entry.folder});
    });
    EXPECT_TRUE(generated);
    return entries;
}

const std::vector<StoredEntry>& Tree50k() {
    static const auto entries = Generate(50000);
    return entries;
}

TEST(GenerateTree, EmitsExactlyTheCountAskedFor) {
    for (std::uint64_t count : {kMinimumEntryCount, std::uint64_t{50000}, std::uint64_t{123457}}) {
        std::uint64_t emitted = 0;
        EXPECT_TRUE(GenerateTree(count, [&](const Entry&) { ++emitted; }));
        EXPECT_EQ(emitted, count);
    }
    std::uint64_t emitted = 0;
    EXPECT_FALSE(GenerateTree(kMinimumEntryCount - 1, [&](const Entry&) { ++emitted; }));
    EXPECT_EQ(emitted, 0u);
}

TEST(GenerateTree, SameCountGivesTheSameTree) {
    auto again = Generate(50000);
    ASSERT_EQ(again.size(), Tree50k().size());
    for (std::size_t i = 0; i < again.size(); ++i) {
        ASSERT_EQ(again[i].path, Tree50k()[i].path) << "entry " << i;
        ASSERT_EQ(again[i].folder, Tree50k()[i].folder) << "entry " << i;
    }
}

// Figures from two commits, or from two compilers, compare only when both ran
// on the same tree. A change to the generator must be deliberate: it updates
// this value, and the benchmark data is made again.
TEST(GenerateTree, TreeIsPinned) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    auto mix = [&](char c) { hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull; };
    ASSERT_TRUE(GenerateTree(kMinimumEntryCount, [&](const Entry& entry) {
        for (char c : entry.path)
            mix(c);
        mix(entry.folder ? '\\' : '\n');
    }));
    EXPECT_EQ(hash, 5642316195254621116ull);
}

TEST(GenerateTree, EveryEntrySitsInAFolderEmittedBeforeIt) {
    std::set<std::string> folders{"C:"};
    for (const auto& entry : Tree50k()) {
        ASSERT_TRUE(folders.count(entry.Parent())) << entry.path;
        auto separators = std::count(entry.path.begin(), entry.path.end(), '\\');
        ASSERT_EQ(entry.depth, separators) << entry.path;
        ASSERT_LE(entry.depth, kMaxDepth) << entry.path;
        if (entry.folder) folders.insert(entry.path);
    }
}

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

TEST(GenerateTree, NamesAreValidOnWindowsAndOnLinuxDisks) {
    for (const auto& entry : Tree50k()) {
        auto name = entry.Name();
        ASSERT_FALSE(name.empty()) << entry.path;
        ASSERT_LE(name.size(), 255u) << entry.path;
        ASSERT_EQ(name.find_first_of("\\/:*?\"<>|\n\r\t"), std::string::npos) << entry.path;
        ASSERT_NE(name.back(), '.') << entry.path;
        ASSERT_NE(name.back(), ' ') << entry.path;
        ASSERT_TRUE(ValidUtf8(name)) << entry.path;
    }
}

TEST(GenerateTree, NamesAreUniqueInTheirFolderIgnoringCase) {
    std::set<std::string> seen;
    for (const auto& entry : Tree50k()) {
        auto key = entry.path;
        for (auto& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        ASSERT_TRUE(seen.insert(key).second) << entry.path;
    }
}

TEST(GenerateTree, LooksLikeARealDrive) {
    TreeStats stats;
    for (const auto& entry : Tree50k()) {
        stats.Add(Entry{entry.path, entry.name_offset, entry.depth, entry.folder});
    }
    double folder_share = static_cast<double>(stats.folders) / stats.entries;
    double average_name = static_cast<double>(stats.name_bytes) / stats.entries;
    std::uint64_t depth_3_to_10 = 0;
    for (int depth = 3; depth <= kMaxDepth; ++depth)
        depth_3_to_10 += stats.by_depth[depth];

    EXPECT_GT(folder_share, 0.07);
    EXPECT_LT(folder_share, 0.11);
    EXPECT_GT(average_name, 15.0);
    EXPECT_LT(average_name, 21.0);
    EXPECT_GT(stats.non_ascii_names, stats.entries / 100);
    EXPECT_GT(stats.names_over_100_chars, 0u);
    EXPECT_GT(stats.paths_over_260_chars, 0u);
    EXPECT_GT(depth_3_to_10, stats.entries * 95 / 100);
    EXPECT_GT(stats.largest_folder, stats.entries / 100);
}

TEST(Utf16Length, CountsWhatWindowsCounts) {
    struct Case {
        std::string text;
        std::uint64_t units;
    } cases[] = {{"", 0}, {"abc.txt", 7}, {"报告.docx", 7}, {"résumé", 6}, {"\xF0\x9F\x98\x80", 2}};
    for (const auto& c : cases)
        EXPECT_EQ(Utf16Length(c.text), c.units) << c.text;
}

TEST(DiskTree, WritesEveryEntryUnderItsOwnParent) {
    namespace fs = std::filesystem;
    // After a deep subtree the next sibling must land in the shallower
    // folder, not in the deepest one still open.
    const std::vector<StoredEntry> entries = {
        {"C:\\Users", 3, 1, true},
        {"C:\\Users\\李娜", 9, 2, true},
        {"C:\\Users\\李娜\\a", 16, 3, true},
        {"C:\\Users\\李娜\\a\\b", 18, 4, true},
        {"C:\\Users\\李娜\\a\\b\\deep.txt", 20, 5, false},
        {"C:\\Users\\李娜\\résumé.docx", 16, 3, false},
        {"C:\\Users\\Public", 9, 2, true},
        {"C:\\Users\\Public\\a", 16, 3, true},
        {"C:\\pagefile.sys", 3, 1, false},
    };
    const std::set<std::string> expected = {
        "Users/",
        "Users/李娜/",
        "Users/李娜/a/",
        "Users/李娜/a/b/",
        "Users/李娜/a/b/deep.txt",
        "Users/李娜/résumé.docx",
        "Users/Public/",
        "Users/Public/a/",
        "pagefile.sys",
    };
    auto root = fs::temp_directory_path() / ("workload-disk-" + std::to_string(getpid()));
    fs::remove_all(root);

    DiskTree disk;
    ASSERT_TRUE(disk.Open(root.string())) << disk.error;
    for (const auto& entry : entries) {
        ASSERT_TRUE(disk.Add(Entry{entry.path, entry.name_offset, entry.depth, entry.folder})) << disk.error;
    }
    ASSERT_TRUE(disk.Close());

    std::set<std::string> on_disk;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        on_disk.insert(fs::relative(item.path(), root).string() + (item.is_directory() ? "/" : ""));
    }
    EXPECT_EQ(on_disk, expected);

    DiskTree again;
    EXPECT_FALSE(again.Open(root.string())) << "an existing tree must not be written over";
    DiskTree duplicate;
    ASSERT_TRUE(duplicate.Open((root / "second").string()));
    EXPECT_TRUE(duplicate.Add(Entry{entries.back().path, 3, 1, false}));
    EXPECT_FALSE(duplicate.Add(Entry{entries.back().path, 3, 1, false})) << "a name twice in one folder";
    fs::remove_all(root);
}

} // namespace
} // namespace workload
