#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/raw_tree.h"

namespace nuv::engine {

// Strings are UTF-8; names that came from invalid UTF-16 arrive as WTF-8 and pass through untouched.
// Paths are Windows style: "C:\dir\name"; a root is a folder path such as "C:\" or "C:\Users".
//
// Filled by one walker thread, then handed to Catalog::ReplaceRoot. Entries are kept flat (one
// packed name buffer, 32-bit parents) so that a scan of millions of files costs little beyond
// the names themselves.
class ScanBuilder {
public:
    using FolderId = std::uint32_t;
    static constexpr FolderId kRootFolder = 0;

    explicit ScanBuilder(std::string_view rootPath);
    FolderId AddFolder(FolderId parent, std::string_view name);
    void AddFile(FolderId parent, std::string_view name);
    std::size_t Size() const;

    // Room for this many entries and name bytes, when the walker can tell in advance.
    void Reserve(std::size_t entries, std::size_t nameBytes);

    const std::string& RootPath() const { return rootPath_; }

    // Hands the entries over as the first entries of a tree, with the root's children given
    // `rootParent` as their parent; the builder is left empty.
    RawTree TakeTree(std::uint32_t rootParent);

private:
    void AddEntry(FolderId parent, std::string_view name, bool isFolder);

    std::string rootPath_;
    RawTree tree_; // parents hold folder ids until TakeTree
};

} // namespace nuv::engine
