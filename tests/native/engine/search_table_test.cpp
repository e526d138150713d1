#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace nuv::engine {
namespace {

using testing::AddPathList;
using testing::Query;
using Rows = std::vector<std::string>;

constexpr const char* kFixture = R"(C:\Users\Anna\Documents\Report.docx
C:\Users\Anna\Documents\report-old.docx
C:\Users\Anna\Music\Straße.mp3
C:\Users\Anna\Music\ΣΑΣ.flac
C:\Users\Anna\Desktop\ＡＢＣ.txt
C:\Users\Anna\Desktop\привет.txt
C:\Users\Anna\Desktop\中文文件.txt
C:\Program Files\App\readme.txt
C:\Program Files\App\bin\
D:\Backup\report.docx
D:\Backup\Users\
)";

class SearchTable : public ::testing::Test {
protected:
    void SetUp() override { AddPathList(catalog, kFixture); }
    Catalog catalog;
};

struct QueryCase {
    const char* query;
    Rows rows;
};

TEST_F(SearchTable, AnswersEachQueryWithExactRowsInOrder) {
    const QueryCase cases[] = {
        // Equal folded names order by folder path, C: before D:; '-' sorts before '.'.
        {"report",
         {"C:\\Users\\Anna\\Documents\\report-old.docx", "C:\\Users\\Anna\\Documents\\Report.docx",
          "D:\\Backup\\report.docx"}},
        {"REPORT docx !old", {"C:\\Users\\Anna\\Documents\\Report.docx", "D:\\Backup\\report.docx"}},
        {"strasse", {"C:\\Users\\Anna\\Music\\Straße.mp3"}},
        {"STRAßE", {"C:\\Users\\Anna\\Music\\Straße.mp3"}},
        {"σας", {"C:\\Users\\Anna\\Music\\ΣΑΣ.flac"}},
        {"ΣΑΣ.FLAC", {"C:\\Users\\Anna\\Music\\ΣΑΣ.flac"}},
        {"ａｂｃ", {"C:\\Users\\Anna\\Desktop\\ＡＢＣ.txt"}},
        {"ПРИВЕТ", {"C:\\Users\\Anna\\Desktop\\привет.txt"}},
        {"文件", {"C:\\Users\\Anna\\Desktop\\中文文件.txt"}},
        {"中?文件.txt", {"C:\\Users\\Anna\\Desktop\\中文文件.txt"}}, // '?' is one character, not one byte
        // Folded bytes order the names: ASCII, Cyrillic, CJK, full-width.
        {"*.txt",
         {"C:\\Program Files\\App\\readme.txt", "C:\\Users\\Anna\\Desktop\\привет.txt",
          "C:\\Users\\Anna\\Desktop\\中文文件.txt", "C:\\Users\\Anna\\Desktop\\ＡＢＣ.txt"}},
        {"re*me.TXT", {"C:\\Program Files\\App\\readme.txt"}},
        {"r?adme.txt", {"C:\\Program Files\\App\\readme.txt"}},
        {"readme", {"C:\\Program Files\\App\\readme.txt"}},
        {"readme.tx", {"C:\\Program Files\\App\\readme.txt"}},
        {"*.tx", {}}, // a wildcard covers the whole name
        {"mp3|flac", {"C:\\Users\\Anna\\Music\\Straße.mp3", "C:\\Users\\Anna\\Music\\ΣΑΣ.flac"}},
        {"anna\\doc",
         {"C:\\Users\\Anna\\Documents\\", "C:\\Users\\Anna\\Documents\\report-old.docx",
          "C:\\Users\\Anna\\Documents\\Report.docx"}},
        {"backup\\", {"D:\\Backup\\report.docx", "D:\\Backup\\Users\\"}},
        {"d:\\*", {"D:\\Backup\\", "D:\\Backup\\report.docx", "D:\\Backup\\Users\\"}},
        {"d:/backup/u", {"D:\\Backup\\Users\\"}},
        {"\"program files\"", {"C:\\Program Files\\"}},
        {"program files", {"C:\\Program Files\\"}},
        {"\"files program\"", {}},
        {"bin", {"C:\\Program Files\\App\\bin\\"}},
        {"users !anna !backup", {"C:\\Users\\", "D:\\Backup\\Users\\"}},
        {"\"unclosed", {}},
        {"qqq", {}},
        {"c:", {}}, // volumes are not results
    };
    for (const auto& c : cases)
        EXPECT_EQ(Query(catalog, c.query), c.rows) << c.query;
}

TEST_F(SearchTable, EmptyAndLoneOperatorQueriesMatchEverything) {
    const std::size_t everything = catalog.Size();
    EXPECT_EQ(everything, 19u); // 11 lines and the 8 folders they imply
    for (const char* query : {"", "   ", "!", "|", "\"\"", "*"})
        EXPECT_EQ(Query(catalog, query).size(), everything) << query;
}

TEST_F(SearchTable, RowGivesNameFolderAndFlagSeparately) {
    Search search(catalog);
    ASSERT_EQ(search.Run("straße"), 1u);
    Row row;
    ASSERT_TRUE(search.GetRow(0, row));
    EXPECT_EQ(row.name, "Straße.mp3");
    EXPECT_EQ(row.folder, "C:\\Users\\Anna\\Music");
    EXPECT_FALSE(row.isFolder);
    EXPECT_FALSE(search.GetRow(1, row));

    ASSERT_EQ(search.Run("backup"), 1u);
    ASSERT_TRUE(search.GetRow(0, row));
    EXPECT_EQ(row.name, "Backup");
    EXPECT_EQ(row.folder, "D:"); // the full path is folder, "\", name
    EXPECT_TRUE(row.isFolder);
}

TEST_F(SearchTable, TypingRefinesThePreviousResults) {
    Search search(catalog);
    EXPECT_EQ(search.Run("r"), 8u);
    EXPECT_FALSE(search.LastRunRefined());
    EXPECT_EQ(search.Run("re"), 4u);
    EXPECT_TRUE(search.LastRunRefined());
    EXPECT_EQ(search.Run("rep"), 3u);
    EXPECT_TRUE(search.LastRunRefined());
    EXPECT_EQ(search.Run("re"), 4u); // backspace widens: a full run
    EXPECT_FALSE(search.LastRunRefined());
    EXPECT_EQ(search.Run("re|mp3"), 5u);
    EXPECT_FALSE(search.LastRunRefined());
    EXPECT_EQ(testing::AllRows(search), Query(catalog, "re|mp3"));
}

TEST_F(SearchTable, ResetDropsTheResults) {
    Search search(catalog);
    search.Run("report");
    search.Reset();
    Row row;
    EXPECT_EQ(search.Count(), 0u);
    EXPECT_FALSE(search.GetRow(0, row));
    EXPECT_EQ(search.Run("report"), 3u);
    EXPECT_FALSE(search.LastRunRefined());
}

} // namespace
} // namespace nuv::engine
