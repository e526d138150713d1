// client-bench: the time a keystroke costs through NuvSearch.dll and the
// service, side by side with the engine's own time in this process, on the
// same path list and the same queries.
//
//   client-bench --pathlist FILE --queries FILE [--repeat N]
//
// Starts NuvFileSearch.dat from this program's folder with "-pathlist FILE"
// (ending any running service first), loads the same list into an engine
// catalog here, and prints one table row per query: the count, then the
// median time of set-search + query + count and of reading the first 40 rows
// (name, folder and folder flag of each), for the engine and for the client.
// The target for the client is under 2x the engine's time plus 1 ms.
#include "NuvSearch.h"
#include "engine/catalog.h"
#include "engine/search.h"
#include "path_list.h"
#include "search_core.h"
#include "wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kFirstRows = 40;
constexpr DWORD kServiceReadyBoundMs = 300000;

struct Options {
    std::wstring pathList;
    std::wstring queries;
    int repeat = 7;
};

struct QueryLine {
    std::string category;
    std::string text;
};

struct Timing {
    double queryMs = 0;
    double rowsMs = 0;
    std::size_t count = 0;
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring key = argv[i];
        if (key == L"--pathlist")
            options.pathList = argv[i + 1];
        else if (key == L"--queries")
            options.queries = argv[i + 1];
        else if (key == L"--repeat")
            options.repeat = std::max(1, _wtoi(argv[i + 1]));
        else
            return false;
    }
    return !options.pathList.empty() && !options.queries.empty();
}

std::vector<QueryLine> ReadQueries(const std::wstring& file) {
    std::vector<QueryLine> queries;
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
        queries.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return queries;
}

Timing TimeEngine(const nuv::engine::Catalog& catalog, const std::string& query, int repeat) {
    nuv::engine::Search search(catalog);
    std::vector<double> queryMs, rowsMs;
    Timing timing;
    for (int r = 0; r < repeat; ++r) {
        search.Reset(); // a fresh search each time, not a refinement of the last
        const double start = NowMs();
        timing.count = search.Run(query);
        const double queried = NowMs();
        std::string name, folder;
        nuv::engine::Row row;
        for (std::size_t i = 0; i < std::min(kFirstRows, timing.count) && search.GetRow(i, row); ++i) {
            name.assign(row.name);
            folder.assign(row.folder);
        }
        queryMs.push_back(queried - start);
        rowsMs.push_back(NowMs() - queried);
    }
    timing.queryMs = Median(queryMs);
    timing.rowsMs = Median(rowsMs);
    return timing;
}

Timing TimeClient(const std::wstring& query, int repeat) {
    std::vector<double> queryMs, rowsMs;
    Timing timing;
    for (int r = 0; r < repeat; ++r) {
        NuvSearch_Reset();
        const double start = NowMs();
        NuvSearch_SetSearchW(query.c_str());
        NuvSearch_QueryW(TRUE);
        timing.count = NuvSearch_GetNumResults();
        const double queried = NowMs();
        std::wstring name, folder;
        BOOL isFolder = FALSE;
        for (DWORD i = 0; i < std::min<std::size_t>(kFirstRows, timing.count); ++i) {
            name = NuvSearch_GetResultFileNameW(i);
            folder = NuvSearch_GetResultPathW(i);
            isFolder |= NuvSearch_IsFolderResult(i);
        }
        queryMs.push_back(queried - start);
        rowsMs.push_back(NowMs() - queried);
    }
    timing.queryMs = Median(queryMs);
    timing.rowsMs = Median(rowsMs);
    return timing;
}

bool WaitForService(std::size_t expectedEverything) {
    const ULONGLONG deadline = GetTickCount64() + kServiceReadyBoundMs;
    while (GetTickCount64() < deadline) {
        NuvSearch_SetSearchW(L"");
        NuvSearch_QueryW(TRUE);
        if (NuvSearch_GetNumResults() == expectedEverything) return true;
        Sleep(200);
    }
    return false;
}

bool StartService(const std::wstring& pathList) {
    StopSearchCore();
    std::wstring commandLine =
        L"\"" + std::wstring(GetAppFolderFile(L"NuvFileSearch.dat")) + L"\" -pathlist \"" + pathList + L"\"";
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

// A "|" inside a cell would end it in a Markdown table.
std::string TableCell(std::string text) {
    for (std::size_t at = text.find('|'); at != std::string::npos; at = text.find('|', at + 2))
        text.insert(at, "\\");
    return text;
}

void PrintRow(const QueryLine& query, const Timing& engine, const Timing& client) {
    const double engineTotal = engine.queryMs + engine.rowsMs;
    const double clientTotal = client.queryMs + client.rowsMs;
    const double target = 2 * engineTotal + 1.0;
    std::printf("| %-10s | %-16s | %9zu | %8.3f | %8.3f | %8.3f | %8.3f | %8.3f | %8.3f | %8.3f | %-4s |\n",
                query.category.c_str(), TableCell(query.text).c_str(), engine.count, engine.queryMs,
                client.queryMs, engine.rowsMs, client.rowsMs, engineTotal, clientTotal, target,
                engine.count != client.count ? "DIFF" : (clientTotal < target ? "ok" : "SLOW"));
}

int Run(const Options& options) {
    nuv::engine::Catalog catalog;
    if (!nuv::service::LoadPathList(catalog, options.pathList)) {
        std::fprintf(stderr, "cannot read the path list\n");
        return 1;
    }
    const std::vector<QueryLine> queries = ReadQueries(options.queries);
    const std::size_t everything = nuv::engine::Search(catalog).Run("");
    if (!StartService(options.pathList) || !WaitForService(everything)) {
        std::fprintf(stderr, "the service did not come up with %zu entries\n", everything);
        StopSearchCore();
        return 1;
    }
    std::printf(
        "%zu entries, median of %d runs, times in ms; target: client total < 2 x engine total + 1 ms\n\n",
        catalog.Size(), options.repeat);
    std::printf(
        "| category   | query            |     count | eng qry  | cli qry  | eng rows | cli rows | eng tot  "
        "| cli tot  | target   | met  |\n");
    std::printf(
        "|------------|------------------|-----------|----------|----------|----------|----------|----------"
        "|----------|----------|------|\n");
    for (const QueryLine& query : queries) {
        const Timing engine = TimeEngine(catalog, query.text, options.repeat);
        const Timing client = TimeClient(nuv::service::ToWide(query.text), options.repeat);
        PrintRow(query, engine, client);
    }
    StopSearchCore();
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: client-bench --pathlist FILE --queries FILE [--repeat N]\n");
        return 2;
    }
    return Run(options);
}
