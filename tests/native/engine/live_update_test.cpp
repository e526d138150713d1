#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine_test_support.h"

namespace nuv::engine {
namespace {

using testing::AddPathList;
using testing::Query;
using Rows = std::vector<std::string>;

constexpr const char* kTree = R"(C:\work\src\main.cpp
C:\work\src\util.cpp
C:\work\notes.txt
C:\music\song.mp3
D:\data\
)";

class LiveUpdate : public ::testing::Test {
protected:
    void SetUp() override { AddPathList(catalog, kTree); }
    Catalog catalog;
};

TEST_F(LiveUpdate, AddMakesMissingParentsAndUpdatesTheFolderFlag) {
    catalog.AddPath("C:\\work\\new\\deep\\file.cpp", false);
    EXPECT_EQ(Query(catalog, "new|deep|file"),
              (Rows{"C:\\work\\new\\deep\\", "C:\\work\\new\\deep\\file.cpp", "C:\\work\\new\\"}));
    catalog.AddPath("C:\\work\\new\\deep\\file.cpp", true);
    EXPECT_EQ(Query(catalog, "file"), (Rows{"C:\\work\\new\\deep\\file.cpp\\"}));
    catalog.AddPath("E:\\x.cpp", false); // a volume not seen before
    EXPECT_EQ(Query(catalog, "x.cpp"), (Rows{"E:\\x.cpp"}));
}

TEST_F(LiveUpdate, PathsMatchWithoutRegardToCase) {
    const std::size_t before = catalog.Size();
    catalog.AddPath("c:\\WORK\\SRC\\MAIN.CPP", false);
    EXPECT_EQ(catalog.Size(), before);
    catalog.RemovePath("C:\\Work\\Src\\Main.cpp");
    EXPECT_EQ(Query(catalog, "main"), Rows{});
}

TEST_F(LiveUpdate, RemoveTakesTheWholeSubtreeAndIgnoresUnknownPaths) {
    catalog.RemovePath("C:\\work\\src");
    EXPECT_EQ(Query(catalog, "cpp|src"), Rows{});
    EXPECT_EQ(Query(catalog, "notes"), (Rows{"C:\\work\\notes.txt"}));
    const std::size_t before = catalog.Size();
    catalog.RemovePath("C:\\work\\nothing\\here");
    catalog.RemovePath("Q:\\");
    catalog.RemovePath("");
    EXPECT_EQ(catalog.Size(), before);
    catalog.RemoveRoot("C:\\");
    EXPECT_EQ(Query(catalog, ""), (Rows{"D:\\data\\"}));
}

TEST_F(LiveUpdate, RenameMovesTheSubtree) {
    catalog.RenamePath("C:\\work\\src", "D:\\data\\code");
    EXPECT_EQ(Query(catalog, "cpp|code"),
              (Rows{"D:\\data\\code\\", "D:\\data\\code\\main.cpp", "D:\\data\\code\\util.cpp"}));
    EXPECT_EQ(Query(catalog, "src"), Rows{});
    // Moved entries keep moving with their new parent.
    catalog.AddPath("D:\\data\\code\\extra.cpp", false);
    catalog.RenamePath("D:\\data\\code", "C:\\back");
    EXPECT_EQ(Query(catalog, "cpp"),
              (Rows{"C:\\back\\extra.cpp", "C:\\back\\main.cpp", "C:\\back\\util.cpp"}));
}

TEST_F(LiveUpdate, RenameHandlesCaseChangesReplacementAndRefusals) {
    catalog.RenamePath("C:\\work\\notes.txt", "C:\\work\\NOTES.txt");
    EXPECT_EQ(Query(catalog, "notes"), (Rows{"C:\\work\\NOTES.txt"}));
    catalog.RenamePath("C:\\work\\NOTES.txt", "C:\\music\\song.mp3"); // replaces the target
    EXPECT_EQ(Query(catalog, "song|notes"), (Rows{"C:\\music\\song.mp3"}));
    const Rows before = Query(catalog, "");
    catalog.RenamePath("C:\\work", "C:\\work\\src\\inside"); // into itself: refused
    catalog.RenamePath("C:\\work\\src", "C:\\work");         // over its own parent: refused
    catalog.RenamePath("C:\\missing", "C:\\other");
    catalog.RenamePath("C:\\work", "C:\\");
    catalog.RenamePath("C:\\", "D:\\");
    EXPECT_EQ(Query(catalog, ""), before);
}

TEST_F(LiveUpdate, ReplaceRootReplacesOnlyWhatLiesBelowIt) {
    ScanBuilder scan("C:\\work");
    const auto src = scan.AddFolder(ScanBuilder::kRootFolder, "src2");
    scan.AddFile(src, "fresh.cpp");
    scan.AddFile(ScanBuilder::kRootFolder, "todo.md");
    scan.AddFile(12345, "orphan.txt"); // an id never handed out lands at the root
    catalog.ReplaceRoot(std::move(scan));
    EXPECT_EQ(Query(catalog, "c:\\work\\"), (Rows{"C:\\work\\src2\\fresh.cpp", "C:\\work\\orphan.txt",
                                                  "C:\\work\\src2\\", "C:\\work\\todo.md"}));
    EXPECT_EQ(Query(catalog, "song|data"), (Rows{"D:\\data\\", "C:\\music\\song.mp3"}));
    EXPECT_EQ(Query(catalog, "work"), (Rows{"C:\\work\\"}));
}

TEST_F(LiveUpdate, RowsStayReadableAfterTheCatalogChanges) {
    Search search(catalog);
    ASSERT_EQ(search.Run("cpp"), 2u);
    catalog.RemoveRoot("C:\\");
    catalog.AddPath("C:\\other.cpp", false);
    Row row;
    ASSERT_TRUE(search.GetRow(1, row));
    EXPECT_EQ(testing::RowText(row), "C:\\work\\src\\util.cpp");
    // The next query sees the change and does not refine results from the old state.
    EXPECT_EQ(search.Run("cpp"), 1u);
    EXPECT_FALSE(search.LastRunRefined());
    EXPECT_EQ(testing::AllRows(search), (Rows{"C:\\other.cpp"}));
}

// Readers and a writer at once; run under the sanitizers this is where races and freed
// memory would show.
TEST_F(LiveUpdate, QueriesKeepWorkingWhileTheWatcherChangesTheCatalog) {
    std::atomic<bool> done{false};
    std::atomic<int> readerFailures{0};
    const auto reader = [&](const char* query) {
        Search search(catalog);
        while (!done) {
            const std::size_t count = search.Run(query);
            Row row;
            for (std::size_t i = 0; i < count; ++i)
                if (!search.GetRow(i, row) || row.name.empty() || row.folder.empty()) ++readerFailures;
        }
    };
    std::thread first(reader, "cpp");
    std::thread second(reader, "c:\\work\\ !zzz");
    for (int i = 0; i < 400; ++i) {
        const std::string folder = "C:\\work\\batch" + std::to_string(i % 10);
        catalog.AddPath(folder + "\\file" + std::to_string(i) + ".cpp", false);
        if (i % 5 == 0) catalog.RenamePath(folder, folder + "r");
        if (i % 7 == 0) catalog.RemovePath(folder + "r");
    }
    done = true;
    first.join();
    second.join();
    EXPECT_EQ(readerFailures, 0);
    EXPECT_EQ(Query(catalog, "main"), (Rows{"C:\\work\\src\\main.cpp"}));
}

} // namespace
} // namespace nuv::engine
