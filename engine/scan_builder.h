#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

    // Read side, for the catalog. Entry i has name Name(i), lies in folder ParentOf(i) and is a
    // folder when IsFolder(i); folder ids index FolderEntry(), where kRootFolder is the root.
    const std::string& RootPath() const { return rootPath_; }
    std::string_view Name(std::size_t entry) const;
    FolderId ParentOf(std::size_t entry) const { return parents_[entry]; }
    bool IsFolder(std::size_t entry) const { return (folderBits_[entry / 64] >> (entry % 64)) & 1; }
    std::size_t FolderCount() const { return folderEntries_.size() + 1; }
    // The entry of a folder id other than kRootFolder.
    std::size_t FolderEntry(FolderId folder) const { return folderEntries_[folder - 1]; }

private:
    std::size_t AddEntry(FolderId parent, std::string_view name, bool isFolder);

    std::string rootPath_;
    std::string names_;
    std::vector<std::uint32_t> nameEnds_; // entry i's name is names_[nameEnds_[i], nameEnds_[i+1])
    std::vector<FolderId> parents_;
    std::vector<std::uint64_t> folderBits_;
    std::vector<std::uint32_t> folderEntries_; // folder id - 1 -> entry
};

} // namespace nuv::engine
