// Links in the indexed tree: listed by their own names, never followed. Wine
// cannot make reparse points itself, but shows Unix symbolic links as such;
// the ctest fixture step makes the tree with them (NUV_LINK_TREE):
//
//   target\inner\linked-file.txt
//   target\inner\loop-up      -> ..      (a loop back up the tree)
//   target\loop-to-self       -> .       (a loop onto itself)
//   link-to-target            -> target  (the same folder a second time)
#include "NuvSearch.h"
#include "search_core.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace nuv::test_support {
namespace {

std::wstring LinkTreeAsWindowsPath() {
    const char* unixPath = std::getenv("NUV_LINK_TREE");
    if (unixPath == nullptr) return {};
    // Wine shows the Unix root as drive Z:.
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c != '\0'; ++c)
        path += *c == '/' ? L'\\' : wchar_t(*c);
    return path;
}

void FillExpected(engine::Catalog& catalog, const std::wstring& root) {
    engine::ScanBuilder scan(Utf8(root));
    const auto target = scan.AddFolder(engine::ScanBuilder::kRootFolder, "target");
    const auto inner = scan.AddFolder(target, "inner");
    scan.AddFile(inner, "linked-file.txt");
    scan.AddFolder(inner, "loop-up");
    scan.AddFolder(target, "loop-to-self");
    scan.AddFolder(engine::ScanBuilder::kRootFolder, "link-to-target");
    catalog.ReplaceRoot(std::move(scan));
}

TEST(SearchServiceLinks, AreListedButNeverFollowed) {
    const std::wstring root = LinkTreeAsWindowsPath();
    ASSERT_FALSE(root.empty()) << "NUV_LINK_TREE is set by the ctest fixture step";
    ASSERT_NE(GetFileAttributesW((root + L"\\link-to-target").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    StopSearchCore();
    ScratchFolder scratch;
    WriteServiceSettings(scratch.Path(), "[index]\nroots=" + Utf8(root) + "\nindex=" + Utf8(scratch.Path()) +
                                             "\\index.dat\n");
    StartedProcess service = StartedProcess::CopyAndStart(FolderOfThisProgram() + L"\\NuvFileSearch.dat",
                                                          scratch.Path(), L"NuvFileSearch.dat", L"-startup");
    engine::Catalog expected;
    FillExpected(expected, root);
    const std::vector<ResultRow> everything = QueryCatalog(expected, L"");
    // A walk that followed a link would show more, or never end.
    EXPECT_TRUE(WaitUntil([&] { return QueryThroughLibrary(L"") == everything; }, 20000));
    EXPECT_EQ(QueryThroughLibrary(L"linked-file").size(), 1u);
}

} // namespace
} // namespace nuv::test_support
