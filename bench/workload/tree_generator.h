#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace workload {

struct Entry {
    std::string_view path; // C:\Users\anna\Documents, never with a trailing backslash
    std::size_t name_offset;
    int depth; // 1 for C:\Users
    bool folder;

    std::string_view Name() const { return path.substr(name_offset); }
};

using EntrySink = std::function<void(const Entry&)>;

// Below this the fixed skeleton of a Windows drive does not fit.
constexpr std::uint64_t kMinimumEntryCount = 20000;
constexpr int kMaxDepth = 10;

// Emits exactly `count` entries of one drive, each folder before anything in
// it. The same count always gives the same tree. False, with nothing
// emitted, when count is below kMinimumEntryCount.
bool GenerateTree(std::uint64_t count, const EntrySink& sink);

} // namespace workload
