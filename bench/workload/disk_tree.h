#pragma once

#include "tree_generator.h"

#include <array>
#include <string>

namespace workload {

// Writes the generated drive as real, empty files and folders under a root
// folder that stands for C:\, so tools that walk a disk see the same tree as
// the path list.
class DiskTree {
public:
    DiskTree();
    ~DiskTree();
    DiskTree(const DiskTree&) = delete;
    DiskTree& operator=(const DiskTree&) = delete;

    // Creates `root` (its parent must exist); false when it exists already,
    // because a half-written old tree would silently differ from the list.
    bool Open(const std::string& root);
    bool Add(const Entry& entry);
    bool Close();

    std::string error;

private:
    bool Fail(const char* what, std::string_view name);

    // One open handle per depth: creating by handle keeps every call short
    // however long the full path grows.
    std::array<int, kMaxDepth + 1> folders_;
};

} // namespace workload
