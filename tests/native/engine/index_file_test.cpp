#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/file_io.h"
#include "engine/index_file.h"
#include "engine_test_support.h"

namespace nuv::engine {
namespace {

using testing::AddPathList;
using testing::Query;

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "nuv_engine_" + name;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class IndexFile : public ::testing::Test {
protected:
    void SetUp() override {
        AddPathList(catalog, "C:\\Users\\Anna\\Straße.txt\nC:\\Users\\Anna\\中文\\\nD:\\x\\y\\z.bin\n");
        catalog.AddPath("C:\\Users\\Anna\\bad\xED\xA0\x80name.txt", false); // WTF-8 from invalid UTF-16
        catalog.RenamePath("D:\\x", "D:\\renamed");
        file = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::remove(file.c_str());
    }
    void TearDown() override { std::remove(file.c_str()); }

    Catalog catalog;
    std::string file;
};

TEST_F(IndexFile, SaveAndLoadGiveBackTheSameCatalog) {
    std::string error;
    ASSERT_TRUE(catalog.Save(file, &error)) << error;
    EXPECT_FALSE(std::ifstream(file + ".tmp").good()); // the temporary was renamed into place
    Catalog loaded;
    ASSERT_TRUE(loaded.Load(file, &error)) << error;
    EXPECT_EQ(loaded.Size(), catalog.Size());
    for (const char* query : {"", "strasse", "中", "bad", "renamed\\", "*.bin"})
        EXPECT_EQ(Query(loaded, query), Query(catalog, query)) << query;
    // A loaded catalogue takes changes like any other.
    loaded.AddPath("D:\\renamed\\y\\new.bin", false);
    EXPECT_EQ(Query(loaded, "*.bin"),
              (std::vector<std::string>{"D:\\renamed\\y\\new.bin", "D:\\renamed\\y\\z.bin"}));
    // Saving again replaces the file.
    ASSERT_TRUE(loaded.Save(file, &error)) << error;
    Catalog again;
    ASSERT_TRUE(again.Load(file, &error)) << error;
    EXPECT_EQ(again.Size(), loaded.Size());
}

TEST_F(IndexFile, SaveReportsAFolderThatDoesNotExist) {
    std::string error;
    EXPECT_FALSE(catalog.Save(TempPath("no_such_folder/index.dat"), &error));
    EXPECT_FALSE(error.empty());
}

// Every damaged file is refused with a reason, and the catalogue keeps what it had.
TEST_F(IndexFile, RejectsDamagedFilesAndKeepsTheCatalog) {
    std::string error;
    ASSERT_TRUE(catalog.Save(file, &error));
    const std::string good = ReadBytes(file);
    const std::size_t payloadMiddle = kHeaderSize + (good.size() - kHeaderSize) / 2;

    std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty", ""},
        {"magic only", good.substr(0, 8)},
        {"header cut", good.substr(0, kHeaderSize - 1)},
        {"header only", good.substr(0, kHeaderSize)},
        {"payload cut", good.substr(0, payloadMiddle)},
        {"last byte cut", good.substr(0, good.size() - 1)},
        {"byte appended", good + "x"},
        {"foreign text", "C:\\Users\\Anna\\a path list, not an index\n"},
    };
    for (std::size_t at : {std::size_t{0}, std::size_t{8}, std::size_t{24}, std::size_t{40},
                           std::size_t{kHeaderSize} + 1, payloadMiddle, good.size() - 1}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
        damaged.emplace_back("flipped byte " + std::to_string(at), flipped);
    }
    std::string zeroed = good;
    std::memset(zeroed.data() + kHeaderSize, 0, 16);
    damaged.emplace_back("payload zeroed", zeroed);

    const auto before = Query(catalog, "");
    for (const auto& [what, bytes] : damaged) {
        WriteBytes(file, bytes);
        error.clear();
        EXPECT_FALSE(catalog.Load(file, &error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_EQ(Query(catalog, ""), before) << what;
    }
    EXPECT_FALSE(catalog.Load(TempPath("missing.dat"), &error));
}

RawTree SmallTree() {
    RawTree tree;
    const std::uint32_t volume = tree.AddVolume("C:");
    const std::uint32_t folder = tree.Add(volume, "dir", true);
    tree.Add(folder, "file", false);
    return tree;
}

// Files whose checksum is right but whose structure is not: written by a broken or hostile
// program. The index build refuses them.
TEST_F(IndexFile, RejectsWellFormedFilesWithBrokenStructure) {
    std::vector<std::pair<std::string, RawTree>> broken;
    broken.emplace_back("parent out of range", SmallTree());
    broken.back().second.parents[1] = 7;
    broken.emplace_back("parent is a file", SmallTree());
    broken.back().second.parents[0] = 1;
    broken.emplace_back("parent is itself", SmallTree());
    broken.back().second.parents[0] = 0;
    broken.emplace_back("folders in a cycle", SmallTree());
    broken.back().second.SetFolder(1);
    broken.back().second.parents[0] = 1;
    broken.emplace_back("volume out of range", SmallTree());
    broken.back().second.parents[0] = kVolumeRef | 5;
    broken.emplace_back("names run backwards", SmallTree());
    broken.back().second.nameStarts[2] = 2;
    broken.emplace_back("names past the end", SmallTree());
    broken.back().second.nameStarts[1] = 400;

    const auto before = Query(catalog, "");
    for (const auto& [what, tree] : broken) {
        ASSERT_TRUE(ReplaceFileAtomically(file, EncodeIndexFile(tree), nullptr));
        std::string error;
        EXPECT_FALSE(catalog.Load(file, &error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_EQ(Query(catalog, ""), before) << what;
    }
    ASSERT_TRUE(ReplaceFileAtomically(file, EncodeIndexFile(SmallTree()), nullptr));
    std::string error;
    EXPECT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, ""), (std::vector<std::string>{"C:\\dir\\", "C:\\dir\\file"}));
}

// A file in result order loads without a sort; one that is not (written by another program, or
// by a build whose folding differed) is sorted on load instead of answering out of order.
TEST_F(IndexFile, LoadsEntriesOutOfResultOrderInResultOrder) {
    RawTree tree;
    const std::uint32_t c = tree.AddVolume("C:");
    const std::uint32_t b = tree.Add(c, "b", true);
    const std::uint32_t a = tree.Add(c, "a", true);
    tree.Add(b, "x", false); // folds alike, under the later folder first
    tree.Add(a, "x", false);
    tree.Add(a, "doc", false); // folds alike, exact names descending
    tree.Add(a, "Doc", false);
    tree.Add(a, "Ab", false);                              // folded names descending
    const std::uint32_t lower = tree.Add(a, "docs", true); // sibling folders that fold alike
    const std::uint32_t upper = tree.Add(a, "Docs", true);
    tree.Add(lower, "z", false);
    tree.Add(upper, "z", false);
    tree.Add(a, "shared-prefix-b", false); // longer names that agree in their first bytes
    tree.Add(a, "shared-prefix-a", false);
    tree.Add(a, "SHARED-PREFIX-a", false);
    const std::vector<std::string> expected = {"C:\\a\\",
                                               "C:\\a\\Ab",
                                               "C:\\b\\",
                                               "C:\\a\\Doc",
                                               "C:\\a\\doc",
                                               "C:\\a\\Docs\\",
                                               "C:\\a\\docs\\",
                                               "C:\\a\\SHARED-PREFIX-a",
                                               "C:\\a\\shared-prefix-a",
                                               "C:\\a\\shared-prefix-b",
                                               "C:\\a\\x",
                                               "C:\\b\\x",
                                               "C:\\a\\Docs\\z",
                                               "C:\\a\\docs\\z"};
    ASSERT_TRUE(ReplaceFileAtomically(file, EncodeIndexFile(tree), nullptr));
    std::string error;
    ASSERT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, ""), expected);

    // The order of every pair that folds alike is checked, not only the first.
    tree = RawTree{};
    const std::uint32_t d = tree.AddVolume("D:");
    const std::uint32_t f = tree.Add(d, "f", true);
    tree.Add(f, "x", false);
    tree.Add(d, "x", false);
    ASSERT_TRUE(ReplaceFileAtomically(file, EncodeIndexFile(tree), nullptr));
    ASSERT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, "x"), (std::vector<std::string>{"D:\\x", "D:\\f\\x"}));
}

} // namespace
} // namespace nuv::engine
