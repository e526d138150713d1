#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "engine/file_io.h"
#include "engine/index_file.h"
#include "engine/snapshot.h"
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

std::string WithChecksum(std::string file) {
    const std::uint64_t checksum = IndexFileChecksum(file);
    std::memcpy(file.data() + kChecksumOffset, &checksum, sizeof(checksum));
    return file;
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
    // Saving again replaces the file, and the base it folds the change into becomes the
    // catalogue's own: nothing is left in the change lists, and every answer stays as it was.
    const auto rowsBeforeSave = Query(loaded, "");
    ASSERT_TRUE(loaded.Save(file, &error)) << error;
    const auto adopted = loaded.CurrentSnapshot();
    EXPECT_TRUE(adopted->Added().empty() && adopted->Removed().empty());
    EXPECT_EQ(Query(loaded, ""), rowsBeforeSave);
    Catalog again;
    ASSERT_TRUE(again.Load(file, &error)) << error;
    EXPECT_EQ(again.Size(), loaded.Size());
    // The adopted base takes changes like any other.
    loaded.RemovePath("D:\\renamed\\y\\new.bin");
    EXPECT_EQ(Query(loaded, "*.bin"), (std::vector<std::string>{"D:\\renamed\\y\\z.bin"}));
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
    // The layout before this one: a 72-byte header and the entries alone; the service rebuilds.
    std::string older(72, '\0');
    std::memcpy(older.data(), kMagic, sizeof(kMagic));
    older[8] = 1;
    damaged.emplace_back("older version", older);
    std::string misplaced = good; // a section moved off its alignment, checksum repaired
    misplaced[kSectionTableOffset + 16] = static_cast<char>(misplaced[kSectionTableOffset + 16] + 4);
    damaged.emplace_back("section misaligned", WithChecksum(misplaced));

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

// A built index's arrays as vectors a test can damage; EncodeIndexFile writes them as they are.
struct EditableArrays {
    explicit EditableArrays(const BaseIndex& index) {
        const BaseIndexArrays& a = index.Arrays();
        names = a.names;
        nameStarts.assign(a.nameStarts.begin(), a.nameStarts.end());
        folded = a.folded;
        foldedStarts.assign(a.foldedStarts.begin(), a.foldedStarts.end());
        parents.assign(a.parents.begin(), a.parents.end());
        folderBits.assign(a.folderBits.begin(), a.folderBits.end());
        foldersBefore.assign(a.foldersBefore.begin(), a.foldersBefore.end());
        folderFolded = a.folderFolded;
        folderFoldedStarts.assign(a.folderFoldedStarts.begin(), a.folderFoldedStarts.end());
        folderEntries.assign(a.folderEntries.begin(), a.folderEntries.end());
        children.assign(a.children.begin(), a.children.end());
        childrenStarts.assign(a.childrenStarts.begin(), a.childrenStarts.end());
        for (std::uint32_t v = 0; v < index.VolumeCount(); ++v)
            volumes.push_back(index.VolumeName(v));
    }
    std::string Encode() const {
        return EncodeIndexFile(BaseIndexArrays{names, nameStarts, folded, foldedStarts, parents, folderBits,
                                               foldersBefore, folderFolded, folderFoldedStarts, folderEntries,
                                               children, childrenStarts},
                               volumes);
    }

    std::string names, folded, folderFolded;
    std::vector<std::uint32_t> nameStarts, foldedStarts, parents, foldersBefore, folderFoldedStarts,
        folderEntries, children, childrenStarts;
    std::vector<std::uint64_t> folderBits;
    std::vector<std::string> volumes;
};

// Files whose checksum is right but whose arrays are not what a build makes: written by a broken
// or hostile program. Each is refused before a query can read through it.
TEST_F(IndexFile, RejectsWellFormedFilesWithBrokenStructure) {
    // C:\a\ and C:\a\b\ (folders), C:\a\b\file; index order: a, b, file.
    RawTree tree;
    const std::uint32_t a = tree.Add(tree.AddVolume("C:"), "a", true);
    tree.Add(tree.Add(a, "b", true), "file", false);
    std::string error;
    const auto index = BaseIndex::Build(std::move(tree), &error);
    ASSERT_TRUE(index) << error;
    const EditableArrays good(*index);
    ASSERT_EQ(good.parents, (std::vector<std::uint32_t>{kVolumeRef, 0, 1}));

    const std::vector<std::pair<std::string, std::function<void(EditableArrays&)>>> broken = {
        {"parent out of range", [](EditableArrays& e) { e.parents[2] = 7; }},
        {"parent is a file", [](EditableArrays& e) { e.parents[1] = 2; }},
        {"parent is itself", [](EditableArrays& e) { e.parents[1] = 1; }},
        {"volume out of range", [](EditableArrays& e) { e.parents[0] = kVolumeRef | 5; }},
        {"folders in a cycle",
         [](EditableArrays& e) { // a and b each other's parent, every other table agreeing
             e.parents[0] = 1;
             e.children = {1, 0, 2};
             e.childrenStarts = {0, 1, 3, 3};
         }},
        {"names run backwards", [](EditableArrays& e) { e.nameStarts[2] = 0; }},
        {"names past the end", [](EditableArrays& e) { e.nameStarts[3] = 400; }},
        {"a name table too short", [](EditableArrays& e) { e.nameStarts.pop_back(); }},
        {"folded name is not its name folded", [](EditableArrays& e) { e.folded[0] = 'x'; }},
        {"folded name without its zero byte", [](EditableArrays& e) { e.folded[1] = 'b'; }},
        {"folded names past the end", [](EditableArrays& e) { e.foldedStarts[3] = 400; }},
        {"folder flag past the last entry",
         [](EditableArrays& e) { e.folderBits[0] |= std::uint64_t{1} << 9; }},
        {"folder count wrong", [](EditableArrays& e) { e.foldersBefore[1] = 3; }},
        {"folder table names another entry", [](EditableArrays& e) { e.folderEntries[1] = 2; }},
        {"folder names disagree", [](EditableArrays& e) { e.folderFolded[0] = 'z'; }},
        {"children under the wrong parent",
         [](EditableArrays& e) { std::swap(e.children[0], e.children[1]); }},
        {"children past the end", [](EditableArrays& e) { e.childrenStarts[3] = 9; }},
        {"entries out of order",
         [](EditableArrays& e) { // "a" renamed "c": every table agrees, but it sorts last
             e.names[0] = 'c';
             e.folded[0] = 'c';
             e.folderFolded[0] = 'c';
         }},
    };
    const auto before = Query(catalog, "");
    for (const auto& [what, damage] : broken) {
        EditableArrays arrays = good;
        damage(arrays);
        ASSERT_TRUE(ReplaceFileAtomically(file, arrays.Encode(), nullptr));
        error.clear();
        EXPECT_FALSE(catalog.Load(file, &error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_EQ(Query(catalog, ""), before) << what;
    }
    ASSERT_TRUE(ReplaceFileAtomically(file, good.Encode(), nullptr));
    EXPECT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, ""), (std::vector<std::string>{"C:\\a\\", "C:\\a\\b\\", "C:\\a\\b\\file"}));
}

// A large file is checksummed, and the folding of its names checked, beside the other checks, on
// threads of their own; a fault found there is reported like any other.
TEST_F(IndexFile, LargeIndexIsCheckedWholeOnLoad) {
    RawTree tree;
    const std::uint32_t volume = tree.AddVolume("C:");
    std::uint32_t folder = volume;
    for (std::uint32_t i = 0; i < 100000; ++i) {
        if (i % 1000 == 0) folder = tree.Add(volume, "Folder " + std::to_string(i), true);
        tree.Add(folder, "File " + std::to_string(i) + ".TXT", false);
    }
    std::string error;
    const auto index = BaseIndex::Build(std::move(tree), &error);
    ASSERT_TRUE(index) << error;
    EditableArrays arrays(*index);
    ASSERT_TRUE(ReplaceFileAtomically(file, arrays.Encode(), nullptr));
    ASSERT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, "file 99999.txt"),
              (std::vector<std::string>{"C:\\Folder 99000\\File 99999.TXT"}));

    // Each refusal leaves the file's bytes to the threads still reading them, which must be
    // done before the bytes go.
    std::string flipped = arrays.Encode();
    flipped[flipped.size() / 2] ^= 0x20;
    WriteBytes(file, flipped);
    EXPECT_FALSE(catalog.Load(file, &error));
    EXPECT_EQ(error, "index file checksum mismatch");
    // "file 0.txt" becomes "file 0.txu": still in order, but not the folding of its name.
    arrays.folded[arrays.foldedStarts[1] - 2] = 'u';
    ASSERT_TRUE(ReplaceFileAtomically(file, arrays.Encode(), nullptr));
    EXPECT_FALSE(catalog.Load(file, &error));
    EXPECT_EQ(error, "index file damaged: folded names disagree with the names");
    EXPECT_EQ(Query(catalog, "file 99999.txt").size(), 1u); // the catalogue keeps what it had
}

// The index uses the file's bytes where they lie; saving over the file (the service does so every
// few seconds) must leave a loaded index answering as before.
TEST_F(IndexFile, ALoadedIndexOutlivesItsFileBeingReplaced) {
    std::string error;
    ASSERT_TRUE(catalog.Save(file, &error)) << error;
    Catalog loaded;
    ASSERT_TRUE(loaded.Load(file, &error)) << error;
    const auto before = Query(loaded, "");
    Catalog other;
    AddPathList(other, "E:\\other\\thing.txt\n");
    ASSERT_TRUE(other.Save(file, &error)) << error;
    EXPECT_EQ(Query(loaded, ""), before);
    EXPECT_EQ(Query(loaded, ""), Query(catalog, ""));
}

// Entries in any order are built into result order, and the file keeps that order: the load
// checks it rather than sorting again.
TEST_F(IndexFile, BuildsEntriesOutOfResultOrderInResultOrderAndLoadsThemSo) {
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
    std::string error;
    ASSERT_TRUE(
        ReplaceFileAtomically(file, EncodeIndexFile(*BaseIndex::Build(std::move(tree), &error)), nullptr));
    ASSERT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, ""), expected);

    // The order of every pair that folds alike is checked, not only the first.
    tree = RawTree{};
    const std::uint32_t d = tree.AddVolume("D:");
    const std::uint32_t f = tree.Add(d, "f", true);
    tree.Add(f, "x", false);
    tree.Add(d, "x", false);
    ASSERT_TRUE(
        ReplaceFileAtomically(file, EncodeIndexFile(*BaseIndex::Build(std::move(tree), &error)), nullptr));
    ASSERT_TRUE(catalog.Load(file, &error)) << error;
    EXPECT_EQ(Query(catalog, "x"), (std::vector<std::string>{"D:\\x", "D:\\f\\x"}));
}

} // namespace
} // namespace nuv::engine
