#include "app_folder_path.h"
#include "search_core.h"
#include "test_processes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using nuv::searchcore::AppFolderPath;
using nuv::test_support::FolderOfThisProgram;
using nuv::test_support::ProcessesNamed;
using nuv::test_support::ScratchFolder;
using nuv::test_support::StartedProcess;

TEST(AppFolderFile, JoinsTheProgramFolderAndTheName) {
    struct Case {
        const wchar_t* programPath;
        const wchar_t* name;
        std::wstring expected;
    } const cases[] = {
        {L"C:\\Program Files\\orvel\\orvelSokra.exe", L"ShareHtml\\Sokra.html",
         L"C:\\Program Files\\orvel\\ShareHtml\\Sokra.html"},
        {L"C:\\orvelSokra.exe", L"orvelSokra.exe", L"C:\\orvelSokra.exe"},
        {L"orvelSokra.exe", L"NuvFileSearch.dat", L"NuvFileSearch.dat"}, // no backslash: the bare name
        {L"C:\\a\\b.exe", L"", L"C:\\a\\"},
    };
    for (const Case& c : cases) {
        AppFolderPath path;
        ASSERT_TRUE(path.Fill(c.programPath));
        EXPECT_EQ(path.Compose(c.name), c.expected) << c.programPath;
    }
}

TEST(AppFolderFile, NextCallOverwritesTheSharedText) {
    AppFolderPath path;
    ASSERT_TRUE(path.Fill(L"C:\\app\\orvelSokra.exe"));
    const wchar_t* first = path.Compose(L"ShareHtml\\Sokra.html");
    const wchar_t* second = path.Compose(L"x.dat");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, L"C:\\app\\x.dat");
}

TEST(AppFolderFile, RefusesWhatWouldNotFitAndKeepsThePreviousText) {
    AppFolderPath path;
    const std::wstring folder = L"C:\\" + std::wstring(200, L'f') + L"\\";
    ASSERT_TRUE(path.Fill((folder + L"orvelSokra.exe").c_str()));
    const wchar_t* kept = path.Compose(L"ok.txt");
    const std::wstring fits(AppFolderPath::kCapacity - folder.size() - 1, L'n');
    const std::wstring tooLong = fits + L"n";
    EXPECT_EQ(path.Compose(fits.c_str()), folder + fits);
    EXPECT_STREQ(path.Compose(tooLong.c_str()), L"");
    EXPECT_EQ(std::wstring(kept), folder + fits);
    EXPECT_FALSE(AppFolderPath().Fill((L"C:\\" + std::wstring(AppFolderPath::kCapacity, L'p')).c_str()));
}

TEST(AppFolderFile, UsesTheFolderOfThisProgram) {
    EXPECT_EQ(GetAppFolderFile(L"ShareHtml\\Sokra.html"), FolderOfThisProgram() + L"\\ShareHtml\\Sokra.html");
}

TEST(SearchCoreProcess, StopEndsEveryProcessWhoseNameHoldsTheServiceNameExactly) {
    StopSearchCore();
    ScratchFolder folder;
    const std::wstring idle = FolderOfThisProgram() + L"\\idle_process.exe";
    const wchar_t* const matching[] = {L"NuvFileSearch.dat", L"old-NuvFileSearch.dat.exe"};
    const wchar_t* const otherCase = L"nuvfilesearch.DAT.exe";
    std::vector<StartedProcess> ended;
    for (const wchar_t* name : matching)
        ended.push_back(StartedProcess::CopyAndStart(idle, folder.Path(), name));
    StartedProcess kept = StartedProcess::CopyAndStart(idle, folder.Path(), otherCase);
    for (const StartedProcess& process : ended)
        ASSERT_TRUE(process.Running());
    ASSERT_TRUE(kept.Running());

    EXPECT_EQ(StopSearchCore(), 1);

    for (const StartedProcess& process : ended)
        EXPECT_FALSE(process.Running());
    EXPECT_TRUE(kept.Running());
    EXPECT_TRUE(ProcessesNamed(L"NuvFileSearch.dat").empty());
}

TEST(SearchCoreProcess, StartLeavesExactlyOneFreshServiceRunning) {
    StopSearchCore();
    ScratchFolder folder;
    StartedProcess stale = StartedProcess::CopyAndStart(FolderOfThisProgram() + L"\\idle_process.exe",
                                                        folder.Path(), L"NuvFileSearch.dat");
    ASSERT_TRUE(stale.Running());

    ASSERT_TRUE(StartSearchCore());

    EXPECT_FALSE(stale.Running());
    const std::vector<DWORD> running = ProcessesNamed(L"NuvFileSearch.dat");
    EXPECT_EQ(running.size(), 1u);
    EXPECT_EQ(StopSearchCore(), 1);
    EXPECT_TRUE(ProcessesNamed(L"NuvFileSearch.dat").empty());
}

} // namespace
