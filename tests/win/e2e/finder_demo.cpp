// Shows the finder at work without a person at the screen: starts the real
// orvelSokra.exe (and so its search service) from the build's folder, presses
// the bar's magnifier, types a word, and saves screenshots of the bar, of the
// open field with its popup, and of the popup alone. Prints what it saw: the
// count line and the first rows exactly as the finder's own list shows them.
//
//   finder-demo.exe [WORD] [SCREENSHOT_FOLDER]
//
// WORD defaults to "readme", the folder to "finder-shots" in the current
// folder (a Unix path is taken as Wine shows it). Exit status 0 when every
// step was seen to happen.
#include "finder_session.h"
#include "remote_list_view.h"

#include "NuvSearch.h"
#include "finder/search/core/result_text.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kResultsListId = 1002;
constexpr int kCountLineId = 1006;
constexpr int kQuotedTextId = 1009;
constexpr int kRowsShown = 5;

void Report(const char* what, bool ok) {
    std::printf("%-44s %s\n", what, ok ? "ok" : "FAILED");
    std::fflush(stdout);
}

RECT Around(const RECT& rect, int margin) {
    return RECT{rect.left - margin, rect.top - margin, rect.right + margin, rect.bottom + margin};
}

RECT Union(const RECT& a, const RECT& b) {
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

RECT OnScreen(const RECT& rect) {
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT clipped;
    IntersectRect(&clipped, &rect, &screen);
    return clipped;
}

// A missing search service is reported in a message box before the bar
// shows; it is answered so that the bar can come up all the same.
void AnswerServiceFailure(const FinderProcess& finder) {
    HWND box = FindWindowW(L"#32770", L"加载组件");
    if (!box) return;
    Report("search service started", false);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// The service walks its roots when it starts; the word is typed once it can
// be found, so that the finder's one query per keystroke finds it too.
void WaitUntilServiceFinds(const std::wstring& word) {
    const bool found = WaitFor(
        [&] {
            NuvSearch_SetSearchW(word.c_str());
            NuvSearch_QueryW(TRUE);
            return NuvSearch_GetNumResults() > 0;
        },
        20000);
    NuvSearch_Reset();
    Report("search service indexed the word", found);
}

// What the popup shows, read back from its own windows.
void ReportPopup(HWND popup) {
    std::printf("count line: %s\n", Utf8(WindowText(GetDlgItem(popup, kCountLineId))).c_str());
    std::printf("quoted text: %s\n", Utf8(WindowText(GetDlgItem(popup, kQuotedTextId))).c_str());
    const RemoteListView list(GetDlgItem(popup, kResultsListId));
    const int count = list.Count();
    std::printf("rows in the list: %d\n", count);
    for (int i = 0; i < count && i < kRowsShown; ++i)
        std::printf("  %-32s %s\n", Utf8(list.Text(i, 0)).c_str(), Utf8(list.Text(i, 1)).c_str());
}

int Run(const std::wstring& word, const std::wstring& shots) {
    const std::wstring bin = BuildBinFolder();
    FinderProcess finder;
    const bool started = finder.Start(bin + L"\\orvelSokra.exe", bin);
    Report("finder started", started);
    if (!started) return 1;

    const bool barShown = WaitFor(
        [&] {
            AnswerServiceFailure(finder);
            return finder.Bar() != nullptr;
        },
        20000);
    Report("bar shown", barShown);
    if (!barShown) return 1;
    HWND bar = finder.Bar();
    const RECT barRect = WindowRect(bar);
    std::printf("bar at (%ld, %ld), %ld x %ld\n", barRect.left, barRect.top, barRect.right - barRect.left,
                barRect.bottom - barRect.top);
    Report("screenshot bar.png", SaveScreenshot(OnScreen(Around(barRect, 40)), shots + L"\\bar.png"));

    const bool focused = OpenFieldFromOutside(finder);
    Report("field opened by the magnifier", IsWindowVisible(finder.Field()) != FALSE);
    if (!IsWindowVisible(finder.Field())) return 1;
    Report("keyboard focus in the text box", focused);

    WaitUntilServiceFinds(word);
    TypeText(word);
    const bool typed = WaitFor([&] { return WindowText(finder.FieldEdit()) == word; });
    Report("word typed", typed);
    if (!typed) std::printf("the box shows: %s\n", Utf8(WindowText(finder.FieldEdit())).c_str());
    const bool popupShown = WaitFor([&] { return IsWindowVisible(finder.Popup()) != FALSE; });
    Report("results popup shown", popupShown);
    // The popup answers each key with a query; the last one is in once the
    // quoted text shows the whole word.
    HWND quoted = GetDlgItem(finder.Popup(), kQuotedTextId);
    const bool answered = WaitFor([&] { return WindowText(quoted) == QuotedSearchText(word); });
    Report("query answered", answered);
    HWND popup = finder.Popup();
    Report("popup painted", WaitUntilPainted({popup, GetDlgItem(popup, kResultsListId),
                                              GetDlgItem(popup, kCountLineId), quoted}));
    ReportPopup(finder.Popup());
    Report("screenshot popup.png", SaveScreenshot(WindowRect(finder.Popup()), shots + L"\\popup.png"));

    const RECT everything = Union(Union(barRect, WindowRect(finder.Field())), WindowRect(finder.Popup()));
    Report("screenshot open-field.png",
           SaveScreenshot(OnScreen(Around(everything, 20)), shots + L"\\open-field.png"));
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Report("screenshot screen.png", SaveScreenshot(screen, shots + L"\\screen.png"));
    return typed && popupShown && focused && answered ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring word = argc > 1 ? argv[1] : L"readme";
    const std::wstring shots = WindowsPathOf(argc > 2 ? argv[2] : L"finder-shots");
    return Run(word, shots);
}
