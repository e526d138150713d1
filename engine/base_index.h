#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bit_count.h"
#include "engine/raw_tree.h"

namespace nuv::engine {

// The bulk of a catalogue, immutable once built. Entries sit in result order: by case-folded
// name, then by folder path (compared component by component, each by folded then exact text),
// then by exact name. A scan in index order therefore yields results already sorted.
//
// Folded names are packed into one buffer, each followed by a zero byte, so one substring scan
// covers every name; a query never contains a zero byte's match across two names because every
// hit is checked against its name's end.
class BaseIndex {
public:
    static constexpr std::uint32_t kNotFound = 0xFFFFFFFFu;

    // Builds from entries in any order; already sorted input (a loaded file) skips the sort.
    // Fails, with a reason, on broken structure: parents out of range, a parent that is not a
    // folder, a cycle, offsets that run backwards or past the names.
    static std::shared_ptr<const BaseIndex> Build(RawTree&& raw, std::string* error);

    std::size_t Size() const { return parents_.size(); }
    std::string_view Name(std::uint32_t i) const {
        return std::string_view(names_).substr(nameStarts_[i], nameStarts_[i + 1] - nameStarts_[i]);
    }
    std::string_view Folded(std::uint32_t i) const {
        return std::string_view(folded_).substr(foldedStarts_[i],
                                                foldedStarts_[i + 1] - foldedStarts_[i] - 1);
    }
    std::uint32_t Parent(std::uint32_t i) const { return parents_[i]; }
    bool IsFolder(std::uint32_t i) const { return (folderBits_[i / 64] >> (i % 64)) & 1; }
    // Folders numbered 0 .. FolderCount() - 1 in index order, for per-folder tables that stay
    // small; only meaningful where IsFolder(i).
    std::uint32_t FolderOrdinal(std::uint32_t i) const {
        return foldersBefore_[i / 64] + static_cast<std::uint32_t>(CountBits(
                                            folderBits_[i / 64] & ((std::uint64_t{1} << (i % 64)) - 1)));
    }
    std::uint32_t FolderCount() const { return foldersBefore_.empty() ? 0 : foldersBefore_.back(); }
    std::uint32_t FolderEntry(std::uint32_t ordinal) const { return folderEntries_[ordinal]; }

    // The packed folded names and where each starts, for scanning.
    const std::string& FoldedBuffer() const { return folded_; }
    const std::vector<std::uint32_t>& FoldedStarts() const { return foldedStarts_; }
    // The same for folders alone, by folder number. Path queries look for folders by name, and
    // folders are about a tenth of the entries, so a tenth of the bytes to scan.
    const std::string& FolderFoldedBuffer() const { return folderFolded_; }
    const std::vector<std::uint32_t>& FolderFoldedStarts() const { return folderFoldedStarts_; }

    std::size_t VolumeCount() const { return volumes_.size(); }
    const std::string& VolumeName(std::uint32_t v) const { return volumes_[v]; }
    const std::string& VolumeFolded(std::uint32_t v) const { return volumesFolded_[v]; }

    // The entries whose parent is `parent` (an entry or kVolumeRef | volume), in result order;
    // none for a file or for a volume the index does not hold.
    std::pair<const std::uint32_t*, const std::uint32_t*> Children(std::uint32_t parent) const;

private:
    std::string names_;
    std::vector<std::uint32_t> nameStarts_;
    std::string folded_;
    std::vector<std::uint32_t> foldedStarts_;
    std::vector<std::uint32_t> parents_;
    std::vector<std::uint64_t> folderBits_;
    std::vector<std::uint32_t> foldersBefore_; // per folderBits_ word, then the total
    std::string folderFolded_;
    std::vector<std::uint32_t> folderFoldedStarts_;
    std::vector<std::uint32_t> folderEntries_; // by folder number
    std::vector<std::uint32_t> children_;      // every entry, ordered by (parent, index)
    // Where each parent's run in children_ starts: by folder number, then volume, then the end.
    // Path queries walk whole subtrees, so a parent's children must be one lookup away.
    std::vector<std::uint32_t> childrenStarts_;
    std::vector<std::string> volumes_;
    std::vector<std::string> volumesFolded_;

    friend class BaseIndexBuilder;
};

} // namespace nuv::engine
