#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::engine {

// A parent reference with this bit set names a volume (the first component of a path, such as
// "C:"); without it, an entry. Volumes are folders that never appear as results.
constexpr std::uint32_t kVolumeRef = 0x80000000u;
// The largest number of entries or volumes; the top bit is taken by kVolumeRef.
constexpr std::uint32_t kMaxEntries = 0x7FFFFFFFu;

inline bool IsVolumeRef(std::uint32_t ref) {
    return (ref & kVolumeRef) != 0;
}
inline std::uint32_t VolumeIndex(std::uint32_t ref) {
    return ref & ~kVolumeRef;
}

// Every entry of a catalogue as flat arrays, in any order: what an index is built from, what a
// live catalogue is flattened to, and what the index file holds.
struct RawTree {
    std::vector<std::string> volumes;
    std::string names;
    std::vector<std::uint32_t> nameStarts{0}; // entry i's name is names[nameStarts[i], nameStarts[i+1])
    std::vector<std::uint32_t> parents;       // an entry index or kVolumeRef | volume index
    std::vector<std::uint64_t> folderBits;

    std::size_t Size() const { return parents.size(); }
    std::string_view Name(std::size_t i) const {
        return std::string_view(names).substr(nameStarts[i], nameStarts[i + 1] - nameStarts[i]);
    }
    bool IsFolder(std::size_t i) const { return (folderBits[i / 64] >> (i % 64)) & 1; }

    std::uint32_t AddVolume(std::string_view name);
    std::uint32_t Add(std::uint32_t parent, std::string_view name, bool isFolder);
    void SetFolder(std::size_t i) { folderBits[i / 64] |= std::uint64_t{1} << (i % 64); }
};

} // namespace nuv::engine
