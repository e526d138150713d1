#include "engine/scan_builder.h"

namespace nuv::engine {

ScanBuilder::ScanBuilder(std::string_view rootPath) : rootPath_(rootPath) {}

void ScanBuilder::AddEntry(FolderId parent, std::string_view name, bool isFolder) {
    // An id this builder never gave out would leave the entry without a parent; the root is the
    // one folder certain to exist.
    if (parent != kRootFolder && (parent > tree_.Size() || !tree_.IsFolder(parent - 1))) parent = kRootFolder;
    tree_.Add(parent, name, isFolder);
}

ScanBuilder::FolderId ScanBuilder::AddFolder(FolderId parent, std::string_view name) {
    AddEntry(parent, name, true);
    return static_cast<FolderId>(tree_.Size());
}

void ScanBuilder::AddFile(FolderId parent, std::string_view name) {
    AddEntry(parent, name, false);
}

std::size_t ScanBuilder::Size() const {
    return tree_.Size();
}

void ScanBuilder::Reserve(std::size_t entries, std::size_t nameBytes) {
    tree_.names.reserve(nameBytes);
    tree_.nameStarts.reserve(entries + 1);
    tree_.parents.reserve(entries);
    tree_.folderBits.reserve(entries / 64 + 1);
}

RawTree ScanBuilder::TakeTree(std::uint32_t rootParent) {
    for (std::uint32_t& parent : tree_.parents)
        parent = parent == kRootFolder ? rootParent : parent - 1;
    RawTree taken = std::move(tree_);
    tree_ = RawTree{};
    return taken;
}

} // namespace nuv::engine
