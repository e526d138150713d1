#include "engine/raw_tree.h"

namespace nuv::engine {

std::uint32_t RawTree::AddVolume(std::string_view name) {
    volumes.emplace_back(name);
    return kVolumeRef | static_cast<std::uint32_t>(volumes.size() - 1);
}

std::uint32_t RawTree::Add(std::uint32_t parent, std::string_view name, bool isFolder) {
    const auto index = static_cast<std::uint32_t>(parents.size());
    names.append(name);
    nameStarts.push_back(static_cast<std::uint32_t>(names.size()));
    parents.push_back(parent);
    if (index % 64 == 0) folderBits.push_back(0);
    if (isFolder) SetFolder(index);
    return index;
}

} // namespace nuv::engine
