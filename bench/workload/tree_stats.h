#pragma once

#include "tree_generator.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace workload {

// What makes a tree realistic, measured on the entries as they stream by, so
// a change to the name pools that skews the tree shows at once.
class TreeStats {
public:
    void Add(const Entry& entry);
    void Print(std::FILE* out) const;

    std::uint64_t entries = 0;
    std::uint64_t folders = 0;
    std::uint64_t name_bytes = 0;
    std::uint64_t non_ascii_names = 0;
    std::uint64_t names_over_100_chars = 0;
    std::uint64_t paths_over_260_chars = 0;
    std::uint64_t longest_name_bytes = 0;
    std::uint64_t largest_folder = 0; // most direct children of one folder
    std::array<std::uint64_t, kMaxDepth + 1> by_depth{};

private:
    std::vector<std::uint64_t> open_children_; // direct children so far, per open folder depth
};

// Characters as Windows counts them: one per UTF-16 unit, two for a
// character beyond the Basic Multilingual Plane.
std::uint64_t Utf16Length(std::string_view utf8);

} // namespace workload
