#include "bench_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace nuv::bench {
namespace {

constexpr const char* kUsage =
    "usage: engine-bench (--paths FILE | --load FILE) [--save FILE] [--repeat N]\n"
    "                    [--queries FILE] [--query TEXT --rows N] [--typing WORD]\n"
    "  --paths FILE    one full path a line (C:\\dir\\name, '/' also separates, trailing separator = "
    "folder)\n"
    "  --load FILE     an index file written by --save, instead of --paths\n"
    "  --save FILE     write the index file (prints save_ms)\n"
    "  --queries FILE  one query a line; prints: query, count, median ms to the count,\n"
    "                  median ms to the count and the first 40 rows (tab-separated)\n"
    "  --query TEXT --rows N   prints the first N rows: name, folder, folder flag\n"
    "  --typing WORD   times each one-character extension of WORD as typed\n"
    "  --repeat N      runs per timing, the median is printed (default 5)\n"
    "Last line: summary with entries, build (or load) milliseconds and bytes per entry.\n";

bool ParseCount(const char* text, std::size_t& value) {
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0') return false;
    value = static_cast<std::size_t>(parsed);
    return true;
}

} // namespace

bool ParseBenchOptions(int argc, char** argv, BenchOptions& options) {
    bool valid = argc % 2 == 1;
    for (int i = 1; valid && i + 1 < argc; i += 2) {
        const char* name = argv[i];
        const char* value = argv[i + 1];
        std::size_t number = 0;
        if (!std::strcmp(name, "--paths"))
            options.pathsFile = value;
        else if (!std::strcmp(name, "--load"))
            options.loadFile = value;
        else if (!std::strcmp(name, "--save"))
            options.saveFile = value;
        else if (!std::strcmp(name, "--queries"))
            options.queriesFile = value;
        else if (!std::strcmp(name, "--query"))
            options.query = value;
        else if (!std::strcmp(name, "--typing"))
            options.typingWord = value;
        else if (!std::strcmp(name, "--rows") && ParseCount(value, number))
            options.rows = number;
        else if (!std::strcmp(name, "--repeat") && ParseCount(value, number) && number > 0)
            options.repeat = static_cast<int>(number);
        else
            valid = false;
    }
    valid = valid && options.pathsFile.empty() != options.loadFile.empty();
    valid = valid && (options.rows == 0) == options.query.empty();
    if (!valid) std::fputs(kUsage, stderr);
    return valid;
}

} // namespace nuv::bench
