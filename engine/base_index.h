#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/array_view.h"
#include "engine/bit_count.h"
#include "engine/name_grams.h"
#include "engine/raw_tree.h"

namespace nuv::engine {

// The bulk of a catalogue, immutable once built. Entries sit in result order: by case-folded
// name, then by folder path (compared component by component, each by folded then exact text),
// then by exact name. A scan in index order therefore yields results already sorted.
//
// Folded names are packed into one buffer, each followed by a zero byte, so one substring scan
// covers every name; a query never contains a zero byte's match across two names because every
// hit is checked against its name's end.
// Every array of a BaseIndex, viewed: what the index file holds, so that a loaded index uses the
// file's bytes in place instead of copying or recomputing them.
struct BaseIndexArrays {
    std::string_view names;              // every name, packed without separators
    ArrayView<std::uint32_t> nameStarts; // entry i's name is names[nameStarts[i], nameStarts[i+1])
    std::string_view folded;             // every case-folded name, each followed by a zero byte
    ArrayView<std::uint32_t> foldedStarts;
    ArrayView<std::uint32_t> parents;       // an entry index, or kVolumeRef | volume index
    ArrayView<std::uint64_t> folderBits;    // bit i % 64 of word i / 64 marks a folder
    ArrayView<std::uint32_t> foldersBefore; // per folderBits word, then the total
    std::string_view folderFolded;          // the folded names of folders alone, by folder number
    ArrayView<std::uint32_t> folderFoldedStarts;
    ArrayView<std::uint32_t> folderEntries; // by folder number
    ArrayView<std::uint32_t> children;      // every entry, ordered by (parent, index)
    // Where each parent's run in children starts: by folder number, then volume, then the end.
    ArrayView<std::uint32_t> childrenStarts;
};

class BaseIndex {
public:
    static constexpr std::uint32_t kNotFound = 0xFFFFFFFFu;

    // Builds from entries in any order; already sorted input (a flattened catalogue) skips the sort.
    // Fails, with a reason, on broken structure: parents out of range, a parent that is not a
    // folder, a cycle, offsets that run backwards or past the names.
    static std::shared_ptr<const BaseIndex> Build(RawTree&& raw, std::string* error);
    // Uses arrays that live in `storage` (a loaded file's bytes) in place, after checking that
    // they are exactly what Build would have made of the same entries: offsets in range, names
    // folded, entries in result order, parents acyclic, every derived table agreeing. Fails, with
    // a reason, on the first disagreement.
    static std::shared_ptr<const BaseIndex> Adopt(const BaseIndexArrays& arrays,
                                                  std::vector<std::string> volumes,
                                                  std::shared_ptr<const void> storage, std::string* error);

    std::size_t Size() const { return a_.parents.size(); }
    std::string_view Name(std::uint32_t i) const {
        return a_.names.substr(a_.nameStarts[i], a_.nameStarts[i + 1] - a_.nameStarts[i]);
    }
    std::string_view Folded(std::uint32_t i) const {
        return a_.folded.substr(a_.foldedStarts[i], a_.foldedStarts[i + 1] - a_.foldedStarts[i] - 1);
    }
    std::uint32_t Parent(std::uint32_t i) const { return a_.parents[i]; }
    bool IsFolder(std::uint32_t i) const { return (a_.folderBits[i / 64] >> (i % 64)) & 1; }
    // Folders numbered 0 .. FolderCount() - 1 in index order, for per-folder tables that stay
    // small; only meaningful where IsFolder(i).
    std::uint32_t FolderOrdinal(std::uint32_t i) const {
        return a_.foldersBefore[i / 64] + static_cast<std::uint32_t>(CountBits(
                                              a_.folderBits[i / 64] & ((std::uint64_t{1} << (i % 64)) - 1)));
    }
    std::uint32_t FolderCount() const { return a_.foldersBefore.empty() ? 0 : a_.foldersBefore.back(); }
    std::uint32_t FolderEntry(std::uint32_t ordinal) const { return a_.folderEntries[ordinal]; }

    // The packed folded names and where each starts, for scanning.
    std::string_view FoldedBuffer() const { return a_.folded; }
    ArrayView<std::uint32_t> FoldedStarts() const { return a_.foldedStarts; }
    // The same for folders alone, by folder number. Path queries look for folders by name, and
    // folders are about a tenth of the entries, so a tenth of the bytes to scan.
    std::string_view FolderFoldedBuffer() const { return a_.folderFolded; }
    ArrayView<std::uint32_t> FolderFoldedStarts() const { return a_.folderFoldedStarts; }
    // What byte pairs and triples the folded names hold, so a scan for a needle they cannot hold
    // is skipped.
    const NameGrams& FoldedGrams() const { return grams_; }
    // Everything at once, for the index file.
    const BaseIndexArrays& Arrays() const { return a_; }

    std::size_t VolumeCount() const { return volumes_.size(); }
    const std::string& VolumeName(std::uint32_t v) const { return volumes_[v]; }
    const std::string& VolumeFolded(std::uint32_t v) const { return volumesFolded_[v]; }

    // The entries whose parent is `parent` (an entry or kVolumeRef | volume), in result order;
    // none for a file or for a volume the index does not hold.
    std::pair<const std::uint32_t*, const std::uint32_t*> Children(std::uint32_t parent) const;

private:
    // Path queries walk whole subtrees, so a parent's children are one lookup away (children and
    // childrenStarts); the folder tables spare them scanning files.
    BaseIndexArrays a_;
    std::vector<std::string> volumes_;
    std::vector<std::string> volumesFolded_;
    NameGrams grams_; // derived from a_.folded, not stored in the index file
    // Whatever a_ points into: the vectors of a build, or the bytes of a loaded file.
    std::shared_ptr<const void> storage_;

    friend class BaseIndexBuilder;
};

} // namespace nuv::engine
