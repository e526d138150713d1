#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base_index.h"
#include "engine/raw_tree.h"

namespace nuv::engine {

// An entry added or changed since the base index was built. Immutable once published; a rename
// makes new entries rather than editing old ones, because older snapshots still show the old.
// Entries live in an AddedArena until the next rebuild of the base.
struct AddedEntry {
    std::string name;
    std::string folded;
    bool isFolder = false;
    std::uint32_t parentRef = 0; // a base entry or kVolumeRef | volume; unused when addedParent is set
    const AddedEntry* addedParent = nullptr; // set when the parent is itself an added entry
};

// Append-only: entries never move or die while any snapshot holds the arena, so snapshots can
// list them by plain pointer. Only the writer appends; readers never touch the container.
using AddedArena = std::deque<AddedEntry>;

// A folder or entry: an added entry, or a base entry or volume by reference.
struct NodeRef {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t ref = kNone;
    const AddedEntry* added = nullptr;

    static NodeRef Added(const AddedEntry* entry) { return NodeRef{kNone, entry}; }
    bool IsNone() const { return ref == kNone && !added; }
    bool IsVolume() const { return !added && ref != kNone && IsVolumeRef(ref); }
    bool IsBaseEntry() const { return !added && ref != kNone && !IsVolumeRef(ref); }
    bool operator==(const NodeRef& other) const { return ref == other.ref && added == other.added; }
};

// Walks and orders the tree formed by a base index, the volumes and added entries. Shared by
// snapshots (reading) and the writer (placing new entries in result order).
class TreeView {
public:
    TreeView(const BaseIndex& base, const std::vector<std::string>& volumes,
             const std::vector<std::string>& volumesFolded)
        : base_(&base), volumes_(&volumes), volumesFolded_(&volumesFolded) {}

    NodeRef ParentOf(NodeRef node) const;
    std::string_view NameOf(NodeRef node) const;
    std::string_view FoldedOf(NodeRef node) const;
    bool IsFolder(NodeRef node) const;
    bool IsBelow(NodeRef node, NodeRef ancestor) const;
    // The node's full path, components joined by "\".
    void AppendPath(NodeRef node, std::string& out) const;
    // Result order: folded name, then folder path component by component, then exact name.
    bool Less(NodeRef a, NodeRef b) const;

private:
    int CompareFolders(NodeRef a, NodeRef b) const;

    const BaseIndex* base_;
    const std::vector<std::string>* volumes_;
    const std::vector<std::string>* volumesFolded_;
};

} // namespace nuv::engine
