// Shows the finder at work without a person at the screen: starts the real
// orvelSokra.exe (and so its search service) from the build's folder, presses
// the bar's magnifier, types a word, and saves screenshots of the bar and of
// the open field with its popup. Prints what it saw.
//
//   finder-demo.exe [WORD] [SCREENSHOT_FOLDER]
//
// WORD defaults to "readme", the folder to "finder-shots" in the current
// folder (a Unix path is taken as Wine shows it). Exit status 0 when every
// step was seen to happen.
#include "finder_session.h"

#include "NuvSearch.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kResultsListId = 1002;

void Report(const char* what, bool ok) {
    std::printf("%-44s %s\n", what, ok ? "ok" : "FAILED");
    std::fflush(stdout);
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
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

// Asks the finder's search service the same question through NuvSearch.dll,
// once its first walk of the roots has found something, and prints the count
// and the first rows.
void ReportServiceAnswer(const std::wstring& word) {
    DWORD count = 0;
    WaitFor(
        [&] {
            NuvSearch_SetSearchW(word.c_str());
            NuvSearch_QueryW(TRUE);
            count = NuvSearch_GetNumResults();
            return count > 0;
        },
        20000);
    std::printf("search service: %lu results for \"%s\"\n", static_cast<unsigned long>(count),
                Utf8(word).c_str());
    for (DWORD i = 0; i < count && i < 5; ++i)
        std::printf("  %s\\%s\n", Utf8(NuvSearch_GetResultPathW(i)).c_str(),
                    Utf8(NuvSearch_GetResultFileNameW(i)).c_str());
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

    // The button is held on the bare desktop and the bar asked for its hit
    // test at the magnifier, as the end-to-end tests do. A press on the bar
    // itself also starts the system's move loop, and under Wine its end races
    // with the keys typed next. Wine answers the bar's button query from a
    // per-thread copy for 50 ms, hence the pauses.
    MoveCursorTo(0, 0);
    LeftButton(true);
    Sleep(100);
    SendTo(bar, WM_NCHITTEST, 0, MAKELPARAM(barRect.left + 96, barRect.top + 18));
    const bool fieldShown = WaitFor([&] { return IsWindowVisible(finder.Field()) != FALSE; });
    LeftButton(false);
    Sleep(100);
    Report("field opened by the magnifier", fieldShown);
    if (!fieldShown) return 1;
    // Typed keys go to the foreground window, which a press held by this
    // program does not make the finder's field.
    SetForegroundWindow(finder.Field());
    const bool focused = WaitFor([&] { return GetForegroundWindow() == finder.Field(); }) &&
                         WaitFor([&] { return FocusOf(bar) == finder.FieldEdit(); });
    Report("keyboard focus in the text box", focused);

    TypeText(word);
    const bool typed = WaitFor([&] { return WindowText(finder.FieldEdit()) == word; });
    Report("word typed", typed);
    if (!typed) std::printf("the box shows: %s\n", Utf8(WindowText(finder.FieldEdit())).c_str());
    const bool popupShown = WaitFor([&] { return IsWindowVisible(finder.Popup()) != FALSE; });
    Report("results popup shown", popupShown);
    HWND list = GetDlgItem(finder.Popup(), kResultsListId);
    // Give the query a moment to come back before the picture is taken.
    Sleep(1000);
    if (list) std::printf("results listed: %ld\n", static_cast<long>(SendTo(list, LVM_GETITEMCOUNT)));
    std::printf("popup text: %s\n", Utf8(WindowText(finder.Popup())).c_str());
    ReportServiceAnswer(word);

    const RECT everything = Union(Union(barRect, WindowRect(finder.Field())), WindowRect(finder.Popup()));
    Report("screenshot open-field.png",
           SaveScreenshot(OnScreen(Around(everything, 20)), shots + L"\\open-field.png"));
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Report("screenshot screen.png", SaveScreenshot(screen, shots + L"\\screen.png"));
    return typed && popupShown && focused ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring word = argc > 1 ? argv[1] : L"readme";
    const std::wstring shots = WindowsPathOf(argc > 2 ? argv[2] : L"finder-shots");
    return Run(word, shots);
}
