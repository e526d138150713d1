#include "engine/scan_builder.h"

namespace nuv::engine {

ScanBuilder::ScanBuilder(std::string_view rootPath) : rootPath_(rootPath), nameEnds_{0} {}

std::size_t ScanBuilder::AddEntry(FolderId parent, std::string_view name, bool isFolder) {
    // An id this builder never gave out would leave the entry without a parent; the root is the
    // one folder certain to exist.
    if (parent > folderEntries_.size()) parent = kRootFolder;
    const std::size_t entry = parents_.size();
    names_.append(name);
    nameEnds_.push_back(static_cast<std::uint32_t>(names_.size()));
    parents_.push_back(parent);
    if (entry % 64 == 0) folderBits_.push_back(0);
    if (isFolder) folderBits_[entry / 64] |= std::uint64_t{1} << (entry % 64);
    return entry;
}

ScanBuilder::FolderId ScanBuilder::AddFolder(FolderId parent, std::string_view name) {
    folderEntries_.push_back(static_cast<std::uint32_t>(AddEntry(parent, name, true)));
    return static_cast<FolderId>(folderEntries_.size());
}

void ScanBuilder::AddFile(FolderId parent, std::string_view name) { AddEntry(parent, name, false); }

std::size_t ScanBuilder::Size() const { return parents_.size(); }

std::string_view ScanBuilder::Name(std::size_t entry) const {
    return std::string_view(names_).substr(nameEnds_[entry], nameEnds_[entry + 1] - nameEnds_[entry]);
}

} // namespace nuv::engine
