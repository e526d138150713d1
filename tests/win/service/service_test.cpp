// The real service on a fixture tree, read through the real client library.
#include "NuvSearch.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstdio>
#include <thread>

namespace nuv::test_support {
namespace {

// Bounds for waiting on the service under a loaded machine; a pass takes a
// fraction of them.
constexpr DWORD kStartBoundMs = 20000;
constexpr DWORD kChangeBoundMs = 10000;

TEST(SearchService, AnswersLikeTheEngineForEachQuery) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    struct Case {
        const wchar_t* query;
        std::size_t expectedCount;
    } const cases[] = {
        {L"report", 2},    {L"REPORT", 2},       {L"txt", 4},          {L"报告", 1},      {L"*.h", 2},
        {L"main|util", 2}, {L"report !docx", 1}, {L"deepfile", 1},     {L"\"a;b c\"", 1}, {L"item-", 150},
        {L"vendor", 1},    {L"index.js", 0},     {L"node_modules", 0}, {L"lib.h", 0},     {L"zzz-none", 0},
    };
    for (const Case& c : cases) {
        const std::vector<ResultRow> rows = QueryThroughLibrary(c.query);
        EXPECT_EQ(rows.size(), c.expectedCount) << ::testing::PrintToString(std::wstring(c.query));
        EXPECT_EQ(rows, QueryCatalog(fixture.Reference(), c.query))
            << ::testing::PrintToString(std::wstring(c.query));
    }
    for (const wchar_t* query : {L"", L"src\\", L"d3"})
        EXPECT_EQ(QueryThroughLibrary(query), QueryCatalog(fixture.Reference(), query));
}

TEST(SearchService, RowsJoinToTheFullPathAndOutOfRangeReadsEmpty) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    const std::vector<ResultRow> rows = QueryThroughLibrary(L"deepfile");
    ASSERT_EQ(rows.size(), 1u);
    const std::wstring fullPath = rows[0].folder + L"\\" + rows[0].name;
    EXPECT_GT(fullPath.size(), 260u);
    EXPECT_NE(GetFileAttributesW((L"\\\\?\\" + fullPath).c_str()), INVALID_FILE_ATTRIBUTES);
    for (DWORD index : {DWORD(1), DWORD(64), DWORD(0xFFFFFFFF)}) {
        EXPECT_STREQ(NuvSearch_GetResultFileNameW(index), L"");
        EXPECT_STREQ(NuvSearch_GetResultPathW(index), L"");
        EXPECT_FALSE(NuvSearch_IsFolderResult(index));
    }
    NuvSearch_Reset();
    EXPECT_EQ(NuvSearch_GetNumResults(), 0u);
    EXPECT_STREQ(NuvSearch_GetResultFileNameW(0), L"");
}

// The finder joins a row's folder and name while holding both, and the list
// view reads rows out of order across pages: every string handed out must
// stay put until the next query.
TEST(SearchService, RowStringsStayValidTogetherUntilTheNextQuery) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    const std::vector<ResultRow> expected = QueryCatalog(fixture.Reference(), L"item-");
    ASSERT_GT(expected.size(), 2u * 64u); // rows from three pages of the client

    NuvSearch_SetSearchW(L"item-");
    NuvSearch_QueryW(TRUE);
    ASSERT_EQ(NuvSearch_GetNumResults(), expected.size());
    std::vector<std::pair<LPCWSTR, LPCWSTR>> held(expected.size());
    for (DWORD i = static_cast<DWORD>(expected.size()); i-- > 0;)
        held[i] = {NuvSearch_GetResultPathW(i), NuvSearch_GetResultFileNameW(i)};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::wstring(held[i].first) + L"\\" + held[i].second,
                  expected[i].folder + L"\\" + expected[i].name)
            << i;
    }
}

TEST(SearchService, CreatedRenamedAndDeletedFilesShowInResults) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    const std::wstring created = fixture.Root() + L"\\docs\\fresh-note.txt";
    const std::wstring renamed = fixture.Root() + L"\\src\\moved-note.txt";
    struct Step {
        const char* what;
        std::function<bool()> change;
        std::function<bool()> visible;
    } const steps[] = {
        {"create", [&] { return CreateEntry(created, false); },
         [] { return CountThroughLibrary(L"fresh-note") == 1; }},
        {"rename", [&] { return MoveFileW(created.c_str(), renamed.c_str()) != FALSE; },
         [] { return CountThroughLibrary(L"fresh-note") == 0 && CountThroughLibrary(L"moved-note") == 1; }},
        {"delete", [&] { return DeleteFileW(renamed.c_str()) != FALSE; },
         [] { return CountThroughLibrary(L"moved-note") == 0; }},
        {"folder moved in with content",
         [&] {
             const std::wstring outside = fixture.Scratch() + L"\\outside";
             return CreateEntry(outside, true) && CreateEntry(outside + L"\\carried-inside.txt", false) &&
                    MoveFileW(outside.c_str(), (fixture.Root() + L"\\arrived").c_str());
         },
         [] { return CountThroughLibrary(L"carried-inside") == 1 && CountThroughLibrary(L"arrived") == 1; }},
        {"file inside an excluded folder",
         [&] { return CreateEntry(fixture.Root() + L"\\vendor\\hidden-new.h", false); },
         [] { return CountThroughLibrary(L"hidden-new") == 0 && CountThroughLibrary(L"arrived") == 1; }},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(step.change()) << step.what;
        const ULONGLONG start = GetTickCount64();
        EXPECT_TRUE(WaitUntil(step.visible, kChangeBoundMs)) << step.what;
        std::printf("%s seen after %llu ms\n", step.what, GetTickCount64() - start);
    }
}

// The default roots are whole drives, which hold the index file itself: each
// save then shows up as a change under a root. Such a change must not ask for
// another save, or the service rewrites its index every few seconds forever.
TEST(SearchService, SavingAnIndexFileInsideARootDoesNotScheduleTheNextSave) {
    ServiceFixture fixture;
    const std::wstring indexInside = fixture.Root() + L"\\index.dat";
    WriteServiceSettings(fixture.ServiceFolder(), "[index]\r\nroots=" + Utf8(fixture.Root()) +
                                                      "\r\nindex=" + Utf8(indexInside) + "\r\n");
    StartedProcess service = fixture.StartService();
    const auto lastWrite = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(indexInside.c_str(), GetFileExInfoStandard, &data)) return ULONGLONG{0};
        return ULARGE_INTEGER{{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}}
            .QuadPart;
    };
    ASSERT_TRUE(WaitUntil([&] { return lastWrite() != 0; }, kStartBoundMs));
    // A real change is saved a few seconds later...
    ASSERT_TRUE(CreateEntry(fixture.Root() + L"\\docs\\after-scan.txt", false));
    ASSERT_TRUE(WaitUntil([] { return CountThroughLibrary(L"after-scan") == 1; }, kChangeBoundMs));
    Sleep(4000);
    // ...and then the file stays as it is for more than two save periods.
    const ULONGLONG settled = lastWrite();
    Sleep(7000);
    EXPECT_EQ(lastWrite(), settled);
}

TEST(SearchService, ClientAnswersZeroWhileTheServiceIsGoneAndReconnectsByItself) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    const std::vector<ResultRow> expected = QueryCatalog(fixture.Reference(), L"txt");

    std::atomic<bool> stop{false};
    std::atomic<int> queriesAfterKill{0};
    std::atomic<bool> killed{false};
    std::thread querying([&] {
        while (!stop) {
            QueryThroughLibrary(L"txt");
            if (killed) ++queriesAfterKill;
        }
    });
    Sleep(100);
    service.Kill();
    killed = true;
    EXPECT_TRUE(WaitUntil([&] { return queriesAfterKill > 3; }, kChangeBoundMs));
    stop = true;
    querying.join();
    EXPECT_EQ(CountThroughLibrary(L"txt"), 0u);
    EXPECT_STREQ(NuvSearch_GetResultFileNameW(0), L"");

    StartedProcess restarted = fixture.StartService();
    EXPECT_TRUE(WaitUntil([&] { return QueryThroughLibrary(L"txt") == expected; }, kStartBoundMs));
}

TEST(SearchService, StuckServiceCostsABoundedWaitAndIsUsedAgainOnceItMoves) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    const std::vector<DWORD> threads = ThreadsOf(service.Id());
    ASSERT_FALSE(threads.empty());
    for (DWORD thread : threads)
        SuspendThreadById(thread);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(CountThroughLibrary(L"txt"), 0u);
    std::printf("query against a stuck service returned after %llu ms\n", GetTickCount64() - start);
    for (DWORD thread : threads)
        ResumeThreadById(thread);
    EXPECT_TRUE(WaitUntil([] { return CountThroughLibrary(L"txt") == 4; }, kStartBoundMs));
}

TEST(SearchService, ClientsKeepTheirOwnSearches) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    SecondClient other;
    ASSERT_EQ(other.Query(L"item-"), 150u);
    EXPECT_EQ(CountThroughLibrary(L"report"), 2u);
    EXPECT_EQ(other.NameAt(149), L"item-1149.dat");
    EXPECT_EQ(std::wstring(NuvSearch_GetResultFileNameW(0)),
              QueryCatalog(fixture.Reference(), L"report")[0].name);
}

TEST(SearchService, SecondServiceOfTheSessionLeavesAtOnce) {
    ServiceFixture fixture;
    StartedProcess first = fixture.StartReadyService();
    ScratchFolder elsewhere;
    StartedProcess second = StartedProcess::CopyAndStart(FolderOfThisProgram() + L"\\NuvFileSearch.dat",
                                                         elsewhere.Path(), L"NuvFileSearch.dat", L"-startup");
    EXPECT_EQ(second.WaitForExit(kStartBoundMs), 1u);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(CountThroughLibrary(L"report"), 2u);
}

} // namespace
} // namespace nuv::test_support
