// engine-bench: builds (or loads) a catalogue from a path list anyone can produce, then times
// queries against it and prints tab-separated tables. Figures, not pass/fail: the benchmark
// engineer compares them with the targets.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_options.h"
#include "engine/catalog.h"
#include "engine/file_io.h"
#include "engine/path_list.h"
#include "engine/search.h"
#include "memory_meter.h"

namespace {

using nuv::bench::BenchOptions;
using nuv::engine::Catalog;
using nuv::engine::Row;
using nuv::engine::Search;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFirstPage = 40;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Reads the rows the way the finder's list does, so the time covers building folder paths.
std::size_t ReadFirstPage(const Search& search) {
    std::size_t bytes = 0;
    Row row;
    for (std::size_t i = 0; i < kFirstPage && search.GetRow(i, row); ++i)
        bytes += row.name.size() + row.folder.size();
    return bytes;
}

std::vector<std::string> ReadLines(const std::string& file) {
    std::string text, error;
    std::vector<std::string> lines;
    if (!nuv::engine::ReadWholeFile(file, text, &error)) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
        return lines;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void BuildFromPathList(Catalog& catalog, std::string&& text) {
    auto scans = nuv::engine::ScansFromPathList(text);
    std::string().swap(text); // assigning an empty string would keep the buffer
    for (auto& scan : scans)
        catalog.ReplaceRoot(std::move(scan));
}

void TimeQueries(const Catalog& catalog, const std::string& file, int repeat) {
    std::size_t sink = 0;
    for (const std::string& query : ReadLines(file)) {
        std::vector<double> toCount, toPage;
        std::size_t count = 0;
        for (int r = 0; r < repeat; ++r) {
            Search search(catalog);
            const auto start = Clock::now();
            count = search.Run(query);
            toCount.push_back(MillisecondsSince(start));
            sink += ReadFirstPage(search);
            toPage.push_back(MillisecondsSince(start));
        }
        std::printf("%s\t%zu\t%.3f\t%.3f\n", query.c_str(), count, Median(toCount), Median(toPage));
    }
    if (sink == 1) std::puts(""); // keeps the row reads from being optimised away
}

void PrintRows(const Catalog& catalog, const std::string& query, std::size_t rows) {
    Search search(catalog);
    const std::size_t count = search.Run(query);
    std::fprintf(stderr, "%zu results\n", count);
    Row row;
    for (std::size_t i = 0; i < rows && search.GetRow(i, row); ++i)
        std::printf("%.*s\t%.*s\t%d\n", static_cast<int>(row.name.size()), row.name.data(),
                    static_cast<int>(row.folder.size()), row.folder.data(), row.isFolder ? 1 : 0);
}

// One prefix per character (UTF-8 sequence) of the word.
std::vector<std::string> TypedPrefixes(const std::string& word) {
    std::vector<std::string> prefixes;
    for (std::size_t i = 1; i <= word.size(); ++i)
        if (i == word.size() || (static_cast<unsigned char>(word[i]) & 0xC0) != 0x80)
            prefixes.push_back(word.substr(0, i));
    return prefixes;
}

void TimeTyping(const Catalog& catalog, const std::string& word, int repeat) {
    const auto prefixes = TypedPrefixes(word);
    std::vector<std::vector<double>> times(prefixes.size());
    std::vector<std::size_t> counts(prefixes.size());
    std::vector<bool> refined(prefixes.size());
    std::size_t sink = 0;
    for (int r = 0; r < repeat; ++r) {
        Search search(catalog);
        for (std::size_t k = 0; k < prefixes.size(); ++k) {
            const auto start = Clock::now();
            counts[k] = search.Run(prefixes[k]);
            sink += ReadFirstPage(search);
            times[k].push_back(MillisecondsSince(start));
            refined[k] = search.LastRunRefined();
        }
    }
    for (std::size_t k = 0; k < prefixes.size(); ++k)
        std::printf("typing\t%s\t%zu\t%.3f\t%s\n", prefixes[k].c_str(), counts[k], Median(times[k]),
                    refined[k] ? "refined" : "full");
    if (sink == 1) std::puts("");
}

} // namespace

int main(int argc, char** argv) {
    BenchOptions options;
    if (!nuv::bench::ParseBenchOptions(argc, argv, options)) return 2;

    // Reading the list is timed apart: it measures the disk cache, not the engine.
    std::string pathList;
    double readMs = 0;
    if (!options.pathsFile.empty()) {
        std::string error;
        const auto readStart = Clock::now();
        if (!nuv::engine::ReadWholeFile(options.pathsFile, pathList, &error)) {
            std::fprintf(stderr, "%s: %s\n", options.pathsFile.c_str(), error.c_str());
            return 1;
        }
        readMs = MillisecondsSince(readStart);
    }
    const std::size_t bytesBefore = nuv::bench::AllocatedBytes() - pathList.capacity();
    Catalog catalog;
    const auto buildStart = Clock::now();
    if (!options.loadFile.empty()) {
        std::string error;
        if (!catalog.Load(options.loadFile, &error)) {
            std::fprintf(stderr, "%s: %s\n", options.loadFile.c_str(), error.c_str());
            return 1;
        }
    } else {
        BuildFromPathList(catalog, std::move(pathList));
    }
    const double buildMs = MillisecondsSince(buildStart);
    const std::size_t entries = catalog.Size();
    const double bytesPerEntry = entries ? static_cast<double>(nuv::bench::AllocatedBytes() - bytesBefore) /
                                               static_cast<double>(entries)
                                         : 0;

    if (!options.saveFile.empty()) {
        std::string error;
        const auto start = Clock::now();
        if (!catalog.Save(options.saveFile, &error)) {
            std::fprintf(stderr, "%s: %s\n", options.saveFile.c_str(), error.c_str());
            return 1;
        }
        std::printf("save_ms\t%.1f\n", MillisecondsSince(start));
    }
    if (!options.queriesFile.empty()) TimeQueries(catalog, options.queriesFile, options.repeat);
    if (options.rows > 0) PrintRows(catalog, options.query, options.rows);
    if (!options.typingWord.empty()) TimeTyping(catalog, options.typingWord, options.repeat);
    std::printf("summary\tentries\t%zu\t%s\t%.1f\tbytes_per_entry\t%.1f\tread_ms\t%.1f\n", entries,
                options.loadFile.empty() ? "build_ms" : "load_ms", buildMs, bytesPerEntry, readMs);
    return 0;
}
