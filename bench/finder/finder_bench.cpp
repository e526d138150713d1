// finder-bench: how long a keystroke takes in the real finder, from the key
// press to the list showing the new count and its first page of rows, beside
// the client library's round trip and the engine's own time for the same
// texts.
//
//   finder-bench --pathlist FILE [--words a,b,...] [--repeat N]
//
// Starts orvelSokra.exe from a folder of its own, with the service stand-in
// as its search core, and then the real NuvFileSearch.dat with "-pathlist
// FILE", which the finder's library reaches through the session's pipe. Each
// word is typed one character at a time, N times, into the real text box
// with SendInput. A keystroke is done when the popup's last query is the
// typed text, the list holds that text's count, neither the list nor the
// count line waits to be painted, and the finder's thread is back in its
// message loop. Prints the distribution of each of the three times.
#include "NuvSearch.h"
#include "engine/catalog.h"
#include "engine/search.h"
#include "path_list.h"
#include "tests/win/e2e/finder_session.h"
#include "tests/win/e2e/remote_list_view.h"
#include "wide_text.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kResultsListId = 1002;
constexpr int kCountLineId = 1006;
// A screenful of the popup's list.
constexpr std::size_t kFirstPage = 21;
constexpr DWORD kServiceReadyBoundMs = 300000;
constexpr DWORD kKeystrokeBoundMs = 10000;
const wchar_t* const kDefaultWords = L"report,config,setup,photo,zanzibar,package.json,报告";

struct Options {
    std::wstring pathList;
    std::vector<std::wstring> words;
    int repeat = 5;
};

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return double(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / ticksPerMs;
}

std::vector<std::wstring> SplitWords(const std::wstring& list) {
    std::vector<std::wstring> words;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(L',', start), list.size());
        if (end > start) words.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    options.words = SplitWords(kDefaultWords);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring key = argv[i];
        if (key == L"--pathlist")
            options.pathList = argv[i + 1];
        else if (key == L"--words")
            options.words = SplitWords(argv[i + 1]);
        else if (key == L"--repeat")
            options.repeat = std::max(1, _wtoi(argv[i + 1]));
        else
            return false;
    }
    return !options.pathList.empty() && !options.words.empty();
}

// The count and first page of each prefix of the word, typed in order: the
// search is kept from one prefix to the next, as the service keeps it.
void TimeEngine(const nuv::engine::Catalog& catalog, const std::wstring& word, std::vector<double>& times) {
    nuv::engine::Search search(catalog);
    nuv::engine::Row row;
    std::string name, folder;
    for (std::size_t length = 1; length <= word.size(); ++length) {
        const std::string query = nuv::service::ToEngineText(word.substr(0, length));
        const double start = NowMs();
        const std::size_t count = search.Run(query);
        for (std::size_t i = 0; i < std::min(kFirstPage, count) && search.GetRow(i, row); ++i) {
            name.assign(row.name);
            folder.assign(row.folder);
        }
        times.push_back(NowMs() - start);
    }
}

// The same through NuvSearch.dll and the service's pipe; also gives each
// prefix's count, which the finder's list must come to show.
std::vector<DWORD> TimeClient(const std::wstring& word, std::vector<double>& times) {
    std::vector<DWORD> counts;
    for (std::size_t length = 1; length <= word.size(); ++length) {
        const std::wstring query = word.substr(0, length);
        const double start = NowMs();
        NuvSearch_SetSearchW(query.c_str());
        NuvSearch_QueryW(TRUE);
        const DWORD count = NuvSearch_GetNumResults();
        std::wstring name, folder;
        for (DWORD i = 0; i < std::min<std::size_t>(kFirstPage, count); ++i) {
            name = NuvSearch_GetResultFileNameW(i);
            folder = NuvSearch_GetResultPathW(i);
            NuvSearch_IsFolderResult(i);
        }
        times.push_back(NowMs() - start);
        counts.push_back(count);
    }
    NuvSearch_Reset();
    return counts;
}

std::wstring WindowTextNoMessage(HWND hWnd) {
    wchar_t text[256] = {};
    InternalGetWindowText(hWnd, text, 256);
    return text;
}

bool WaitsForPaint(HWND hWnd) {
    return GetUpdateRect(hWnd, nullptr, FALSE) != FALSE;
}

class FinderKeystrokes {
public:
    explicit FinderKeystrokes(FinderProcess& finder) : m_finder(finder) {}

    bool OpenField() {
        if (!OpenFieldFromOutside(m_finder)) return false;
        // Found once: looking windows up across processes costs more than a
        // keystroke.
        m_edit = m_finder.FieldEdit();
        m_popup = m_finder.Popup();
        m_list = GetDlgItem(m_popup, kResultsListId);
        m_countLine = GetDlgItem(m_popup, kCountLineId);
        return m_list != nullptr && m_countLine != nullptr;
    }

    // Types the word one character at a time; the time of each keystroke, or
    // false when one never showed its rows.
    bool Type(const std::wstring& word, const std::vector<DWORD>& counts, std::vector<double>& times) {
        SendTo(m_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        if (!WaitFor([&] { return !IsWindowVisible(m_popup); })) return false;
        for (std::size_t length = 1; length <= word.size(); ++length) {
            const std::wstring typed = word.substr(0, length);
            const double start = NowMs();
            TypeText(word.substr(length - 1, 1));
            if (!WaitUntilShown(typed, counts[length - 1])) {
                std::fprintf(stderr, "the finder never showed \"%s\"\n",
                             nuv::service::ToEngineText(typed).c_str());
                return false;
            }
            times.push_back(NowMs() - start);
        }
        return true;
    }

private:
    bool WaitUntilShown(const std::wstring& typed, DWORD count) {
        const double deadline = NowMs() + kKeystrokeBoundMs;
        // Each look is a request to the wineserver, which the finder needs for
        // its own work: give up the processor between looks.
        for (; NowMs() < deadline; Sleep(0)) {
            if (WindowTextNoMessage(m_popup) != typed || WaitsForPaint(m_list) || WaitsForPaint(m_countLine))
                continue;
            // Answered only once the finder's thread is back in its loop, so a
            // paint under way has ended.
            if (static_cast<DWORD>(SendTo(m_list, LVM_GETITEMCOUNT)) == count && !WaitsForPaint(m_list))
                return true;
        }
        return false;
    }

    FinderProcess& m_finder;
    HWND m_edit = nullptr;
    HWND m_popup = nullptr;
    HWND m_list = nullptr;
    HWND m_countLine = nullptr;
};

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const std::size_t at = std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
    return values[at];
}

void PrintRow(const char* what, const std::vector<double>& times) {
    std::printf("| %-34s | %6zu | %8.3f | %8.3f | %8.3f | %8.3f | %8.3f | %8.3f |\n", what, times.size(),
                Percentile(times, 0), Percentile(times, 0.5), Percentile(times, 0.9), Percentile(times, 0.95),
                Percentile(times, 0.99), Percentile(times, 1));
}

bool StartService(const std::wstring& pathList) {
    std::wstring commandLine =
        L"\"" + BuildBinFolder() + L"\\NuvFileSearch.dat\" -pathlist \"" + pathList + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool WaitForService(std::size_t everything) {
    return WaitFor(
        [&] {
            NuvSearch_SetSearchW(L"");
            NuvSearch_QueryW(TRUE);
            return NuvSearch_GetNumResults() == everything;
        },
        kServiceReadyBoundMs);
}

int Run(const Options& options) {
    nuv::engine::Catalog catalog;
    if (!nuv::service::LoadPathList(catalog, options.pathList)) {
        std::fprintf(stderr, "cannot read the path list\n");
        return 1;
    }
    const std::size_t everything = nuv::engine::Search(catalog).Run("");

    // The finder first, so that the search core it starts and ends is the
    // stand-in; then the real service on the list.
    EndSearchCoreProcesses();
    FinderFolder folder(true);
    FinderProcess finder;
    if (!finder.Start(folder) || !WaitFor([&] { return finder.Bar() != nullptr; }, 20000)) {
        std::fprintf(stderr, "the finder did not start\n");
        return 1;
    }
    if (!StartService(options.pathList) || !WaitForService(everything)) {
        std::fprintf(stderr, "the service did not come up with %zu entries\n", everything);
        return 1;
    }
    FinderKeystrokes keystrokes(finder);
    if (!keystrokes.OpenField()) {
        std::fprintf(stderr, "the field did not open\n");
        return 1;
    }

    std::vector<double> engineTimes, clientTimes, finderTimes;
    for (const std::wstring& word : options.words) {
        for (int r = 0; r < options.repeat; ++r) {
            TimeEngine(catalog, word, engineTimes);
            const std::vector<DWORD> counts = TimeClient(word, clientTimes);
            if (!keystrokes.Type(word, counts, finderTimes)) return 1;
        }
    }
    std::printf("%zu entries; %zu words typed %d times, one character at a time; times in ms\n\n",
                catalog.Size(), options.words.size(), options.repeat);
    std::printf("| %-34s | %6s | %8s | %8s | %8s | %8s | %8s | %8s |\n", "keystroke", "n", "min", "median",
                "p90", "p95", "p99", "max");
    std::printf("|%s|--------|----------|----------|----------|----------|----------|----------|\n",
                std::string(36, '-').c_str());
    PrintRow("engine: count and first page", engineTimes);
    PrintRow("client: round trip and first page", clientTimes);
    PrintRow("finder: key press to painted rows", finderTimes);
    std::printf("\ntarget for the finder: median under 16 ms, p95 under 50 ms\n");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: finder-bench --pathlist FILE [--words a,b,...] [--repeat N]\n");
        return 2;
    }
    const int result = Run(options);
    EndSearchCoreProcesses();
    return result;
}
