// scan-floor: the physical reference for every query. Packs the names of a
// path list into one buffer, as an index would hold them, and times a single
// thread reading all of it once with memchr for a byte no name contains.
// Nothing that must look at every name can beat this.
//
//   scan-floor --paths FILE [--repeat N]
//
// Prints one tab-separated line: names, name bytes, median ms, GB/s.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The part after the last separator; a trailing separator only marks a folder.
std::string_view NameOf(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/' || path.back() == '\r'))
        path.remove_suffix(1);
    auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool LoadNames(const char* file, std::string& names, std::size_t& count) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        names += NameOf(line);
        names += '\n';
        ++count;
    }
    return true;
}

double MedianPassMs(const std::string& names, int repeat) {
    std::vector<double> times;
    const void* volatile sink = nullptr;
    for (int run = 0; run <= repeat; ++run) {
        auto start = std::chrono::steady_clock::now();
        sink = std::memchr(names.data(), '\x01', names.size());
        auto end = std::chrono::steady_clock::now();
        if (run > 0) times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    (void)sink;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const char* paths = nullptr;
    int repeat = 9;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--paths"))
            paths = argv[i + 1];
        else if (!std::strcmp(argv[i], "--repeat"))
            repeat = std::atoi(argv[i + 1]);
        else
            paths = nullptr, i = argc;
    }
    if (!paths || repeat < 1 || argc % 2 == 0) {
        std::fputs("usage: scan-floor --paths FILE [--repeat N]\n", stderr);
        return 2;
    }
    std::string names;
    std::size_t count = 0;
    if (!LoadNames(paths, names, count)) {
        std::perror(paths);
        return 1;
    }
    if (names.find('\x01') != std::string::npos) {
        std::fputs("scan-floor: a name contains byte 0x01, the scan would stop early\n", stderr);
        return 1;
    }
    double ms = MedianPassMs(names, repeat);
    std::printf("%zu\t%zu\t%.3f\t%.1f\n", count, names.size(), ms, names.size() / (ms * 1e6));
    return 0;
}
