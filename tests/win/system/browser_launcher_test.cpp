// OpenUrlInBrowser against the registry of the test's Wine prefix, with the
// recording browser registered as the user's "http" command. The paths that
// end in a message box are left out: nothing here could close the box.
#include "finder/system/browser_launcher.h"
#include "finder/system/web_search_url.h"
#include "recording_browser_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length,
                        nullptr, nullptr);
    return bytes;
}

// The arguments after the program's own name.
std::vector<std::wstring> ArgumentsOf(const BrowserStart& start) {
    return {start.argv.begin() + (start.argv.empty() ? 0 : 1), start.argv.end()};
}

// A copy of the recording browser in a folder of its own, for commands that
// name it by another path.
class BrowserCopy {
public:
    explicit BrowserCopy(const std::wstring& folderName) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_folder = temp + folderName;
        CreateDirectoryW(m_folder.c_str(), nullptr);
        CopyFileW(RecordingBrowserPath().c_str(), Path().c_str(), FALSE);
    }
    ~BrowserCopy() {
        DeleteFileW(Path().c_str());
        RemoveDirectoryW(m_folder.c_str());
    }
    std::wstring Path() const { return m_folder + L"\\recording_browser.exe"; }

private:
    std::wstring m_folder;
};

TEST(OpenUrlInBrowser, QuotedRegisteredPathGetsOnlyTheGivenTextAsArguments) {
    BrowserRecording recording;
    ScopedHttpOpenCommand command(L"\"" + RecordingBrowserPath() + L"\" -osint -url \"%1\"");
    ASSERT_TRUE(command.Registered());

    OpenUrlInBrowser(L"page");

    const std::optional<BrowserStart> start = recording.WaitForStart();
    ASSERT_TRUE(start) << "the browser did not start";
    EXPECT_EQ(ArgumentsOf(*start), std::vector<std::wstring>{L"page"}) << Utf8(start->commandLine);
}

TEST(OpenUrlInBrowser, RegisteredCommandLongerThan128CharactersStillStartsTheBrowser) {
    const BrowserCopy browser(L"browser-" + std::wstring(100, L'f'));
    BrowserRecording recording;
    const std::wstring registered = L"\"" + browser.Path() + L"\" " + std::wstring(300, L'x') + L" \"%1\"";
    ASSERT_GT(browser.Path().size() + 2, 128u);
    ScopedHttpOpenCommand command(registered);
    ASSERT_TRUE(command.Registered());

    OpenUrlInBrowser(L"page");

    const std::optional<BrowserStart> start = recording.WaitForStart();
    ASSERT_TRUE(start) << "the browser did not start for " << Utf8(registered);
    EXPECT_EQ(ArgumentsOf(*start), std::vector<std::wstring>{L"page"}) << Utf8(start->commandLine);
    EXPECT_NE(start->argv[0].find(std::wstring(100, L'f')), std::wstring::npos) << Utf8(start->argv[0]);
}

TEST(OpenUrlInBrowser, QuotedWebSearchUrlArrivesAsOneArgument) {
    ScopedHttpOpenCommand command(L"\"" + RecordingBrowserPath() + L"\" \"%1\"");
    ASSERT_TRUE(command.Registered());

    for (const std::wstring text : {L"年度 报告 final", L"-new-window x"}) {
        const std::wstring url = WebSearchUrl(text);
        BrowserRecording recording;
        OpenUrlInBrowser(QuotedCommandArgument(url).c_str());

        const std::optional<BrowserStart> start = recording.WaitForStart();
        ASSERT_TRUE(start) << "the browser did not start for " << Utf8(text);
        EXPECT_EQ(ArgumentsOf(*start), std::vector<std::wstring>{url}) << Utf8(start->commandLine);
    }
}

TEST(OpenUrlInBrowser, ParametersLongerThan259UnitsArriveWhole) {
    BrowserRecording recording;
    ScopedHttpOpenCommand command(L"\"" + RecordingBrowserPath() + L"\" \"%1\"");
    ASSERT_TRUE(command.Registered());
    const std::wstring url = WebSearchUrl(std::wstring(100, L'文') + L" end");
    ASSERT_GT(url.size(), 259u);

    OpenUrlInBrowser(QuotedCommandArgument(url).c_str());

    const std::optional<BrowserStart> start = recording.WaitForStart();
    ASSERT_TRUE(start) << "the browser did not start";
    EXPECT_EQ(ArgumentsOf(*start), std::vector<std::wstring>{url});
}

} // namespace
