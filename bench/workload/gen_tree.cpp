// gen-tree: writes a realistic Windows drive of a given size, as a path list
// (one full path a line, folders with a trailing backslash) or as real empty
// files under a folder that stands for C:\. Statistics go to stderr.
#include "disk_tree.h"
#include "tree_generator.h"
#include "tree_stats.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage = "usage: gen-tree --count N[k|M] (--list FILE | --tree FOLDER)\n";

struct Options {
    std::uint64_t count = 0;
    std::string list;
    std::string tree;
};

bool ParseCount(const char* text, std::uint64_t& count) {
    char* end = nullptr;
    errno = 0;
    count = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text) return false;
    if (*end == 'k')
        count *= 1000, ++end;
    else if (*end == 'M')
        count *= 1000000, ++end;
    return *end == '\0';
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--count")) {
            if (!ParseCount(argv[i + 1], options.count)) return false;
        } else if (!std::strcmp(argv[i], "--list")) {
            options.list = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--tree")) {
            options.tree = argv[i + 1];
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && options.count > 0 && options.list.empty() != options.tree.empty();
}

int WriteList(const Options& options, workload::TreeStats& stats) {
    std::FILE* out = std::fopen(options.list.c_str(), "wb");
    if (!out) {
        std::perror(options.list.c_str());
        return 1;
    }
    static char buffer[1 << 20];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
    bool generated = workload::GenerateTree(options.count, [&](const workload::Entry& entry) {
        stats.Add(entry);
        std::fwrite(entry.path.data(), 1, entry.path.size(), out);
        std::fputs(entry.folder ? "\\\n" : "\n", out);
    });
    bool written = std::ferror(out) == 0;
    written = std::fclose(out) == 0 && written;
    if (!written) std::perror(options.list.c_str());
    return generated && written ? 0 : 1;
}

int WriteTree(const Options& options, workload::TreeStats& stats) {
    workload::DiskTree disk;
    if (!disk.Open(options.tree)) {
        std::fprintf(stderr, "%s\n", disk.error.c_str());
        return 1;
    }
    bool ok = true;
    bool generated = workload::GenerateTree(options.count, [&](const workload::Entry& entry) {
        stats.Add(entry);
        ok = ok && disk.Add(entry);
    });
    ok = disk.Close() && ok;
    if (!ok) std::fprintf(stderr, "%s\n", disk.error.c_str());
    return generated && ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.count < workload::kMinimumEntryCount) {
        std::fprintf(stderr, "gen-tree: --count must be at least %llu\n",
                     static_cast<unsigned long long>(workload::kMinimumEntryCount));
        return 2;
    }
    workload::TreeStats stats;
    int status = options.list.empty() ? WriteTree(options, stats) : WriteList(options, stats);
    stats.Print(stderr);
    return status;
}
