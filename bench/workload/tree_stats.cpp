#include "tree_stats.h"

#include <algorithm>

namespace workload {

std::uint64_t Utf16Length(std::string_view utf8) {
    std::uint64_t units = 0;
    for (unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) ++units;
        if (byte >= 0xF0) ++units;
    }
    return units;
}

void TreeStats::Add(const Entry& entry) {
    auto name = entry.Name();
    ++entries;
    folders += entry.folder;
    name_bytes += name.size();
    non_ascii_names += std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; });
    names_over_100_chars += Utf16Length(name) > 100;
    paths_over_260_chars += Utf16Length(entry.path) > 260;
    longest_name_bytes = std::max<std::uint64_t>(longest_name_bytes, name.size());
    ++by_depth[static_cast<std::size_t>(entry.depth)];

    // Folders arrive before their contents, so the open folders form a stack.
    open_children_.resize(static_cast<std::size_t>(entry.depth));
    ++open_children_.back();
    largest_folder = std::max(largest_folder, open_children_.back());
    if (entry.folder) open_children_.push_back(0);
}

void TreeStats::Print(std::FILE* out) const {
    auto percent = [&](std::uint64_t part) {
        return entries ? 100.0 * static_cast<double>(part) / entries : 0.0;
    };
    std::fprintf(out, "entries %llu, folders %.1f%%, average name %.1f bytes, longest name %llu bytes\n",
                 static_cast<unsigned long long>(entries), percent(folders),
                 entries ? static_cast<double>(name_bytes) / entries : 0.0,
                 static_cast<unsigned long long>(longest_name_bytes));
    std::fprintf(
        out,
        "non-ASCII names %.2f%%, names over 100 chars %llu, paths over 260 chars %llu, largest folder %llu\n",
        percent(non_ascii_names), static_cast<unsigned long long>(names_over_100_chars),
        static_cast<unsigned long long>(paths_over_260_chars),
        static_cast<unsigned long long>(largest_folder));
    std::fprintf(out, "depth:");
    for (std::size_t depth = 1; depth < by_depth.size(); ++depth)
        std::fprintf(out, " %zu=%.1f%%", depth, percent(by_depth[depth]));
    std::fprintf(out, "\n");
}

} // namespace workload
