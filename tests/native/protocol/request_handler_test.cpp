// The service's answers to each request, over a small catalog on a drive root.
#include "request_handler.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nuv::service {
namespace {

using protocol::WireRow;

void FillDrive(engine::Catalog& catalog) {
    engine::ScanBuilder scan("C:\\");
    const auto docs = scan.AddFolder(engine::ScanBuilder::kRootFolder, "docs");
    scan.AddFile(engine::ScanBuilder::kRootFolder, "report-top.txt");
    scan.AddFile(docs, "report-inner.txt");
    for (int i = 0; i < 100; ++i)
        scan.AddFile(docs, "item" + std::to_string(1000 + i));
    catalog.ReplaceRoot(std::move(scan));
}

TEST(RequestHandler, FolderAndNameJoinToTheFullPathAlsoOnADriveRoot) {
    engine::Catalog catalog;
    FillDrive(catalog);
    RequestHandler handler(catalog);
    const auto reply = handler.Handle(protocol::SearchRequest{"report", 10});
    const auto* result = std::get_if<protocol::SearchResultReply>(&reply);
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->count, 2u);
    std::vector<std::string> fullPaths;
    for (const WireRow& row : result->firstRows)
        fullPaths.push_back(row.folder + "\\" + row.name);
    std::sort(fullPaths.begin(), fullPaths.end());
    EXPECT_EQ(fullPaths, (std::vector<std::string>{"C:\\docs\\report-inner.txt", "C:\\report-top.txt"}));
}

TEST(RequestHandler, PagesCoverTheResultsAndStopAtTheEnd) {
    engine::Catalog catalog;
    FillDrive(catalog);
    RequestHandler handler(catalog);
    const auto search = handler.Handle(protocol::SearchRequest{"item", 64});
    const auto& first = std::get<protocol::SearchResultReply>(search);
    ASSERT_EQ(first.count, 100u);
    ASSERT_EQ(first.firstRows.size(), 64u);
    struct Case {
        std::uint32_t first;
        std::uint32_t count;
        std::size_t rows;
    } const cases[] = {{0, 64, 64}, {64, 64, 36}, {99, 64, 1}, {100, 64, 0}, {0xFFFFFFFFu, 128, 0}};
    for (const Case& c : cases) {
        const auto reply = handler.Handle(protocol::RowsRequest{c.first, c.count});
        const auto& page = std::get<protocol::RowPageReply>(reply);
        EXPECT_EQ(page.first, c.first);
        EXPECT_EQ(page.rows.size(), c.rows) << c.first;
    }
    const auto again = handler.Handle(protocol::RowsRequest{0, 64});
    const auto& page = std::get<protocol::RowPageReply>(again);
    EXPECT_EQ(page.rows, first.firstRows);
    EXPECT_EQ(page.rows.front().name, "item1000");
}

TEST(RequestHandler, ResetDropsTheResults) {
    engine::Catalog catalog;
    FillDrive(catalog);
    RequestHandler handler(catalog);
    handler.Handle(protocol::SearchRequest{"item", 0});
    EXPECT_EQ(std::get<protocol::CountReply>(handler.Handle(protocol::ResetRequest{})).count, 0u);
    EXPECT_TRUE(std::get<protocol::RowPageReply>(handler.Handle(protocol::RowsRequest{0, 8})).rows.empty());
}

} // namespace
} // namespace nuv::service
