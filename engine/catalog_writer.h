#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/scan_builder.h"
#include "engine/snapshot.h"

namespace nuv::engine {

// The changing side of a catalogue, used under the catalogue's write lock: finds entries by path,
// applies changes as tombstones over the base plus added entries, and hands out snapshots. When
// the changes grow large it folds them into a new base so that queries stay at full speed.
class CatalogWriter {
public:
    explicit CatalogWriter(std::shared_ptr<const BaseIndex> base);

    std::shared_ptr<const Snapshot> MakeSnapshot() const;

    // Each returns false when nothing changed (so nothing needs publishing).
    bool ReplaceRoot(ScanBuilder&& scan);
    bool RemovePath(std::string_view path);
    bool AddPath(std::string_view path, bool isFolder);
    bool RenamePath(std::string_view from, std::string_view to);

    // Takes `base` from now on. It must hold exactly what the latest snapshot holds (a fold of it
    // made elsewhere), so that nothing changes but where the entries live.
    void AdoptBase(std::shared_ptr<const BaseIndex> base) { ResetTo(std::move(base)); }

private:
    using Children = std::multimap<std::string, const AddedEntry*, std::less<>>;

    TreeView View() const { return TreeView(*base_, volumes_, volumesFolded_); }
    bool IsRemoved(std::uint32_t baseIndex) const {
        return (removedBits_[baseIndex / 64] >> (baseIndex % 64)) & 1;
    }
    static std::uintptr_t ChildrenKey(NodeRef parent);

    NodeRef FindVolume(std::string_view name) const;
    NodeRef FindChild(NodeRef parent, std::string_view name) const;
    NodeRef Resolve(const std::vector<std::string_view>& components) const;
    NodeRef EnsureVolume(std::string_view name);
    NodeRef EnsureFolders(const std::vector<std::string_view>& components, std::size_t count);
    std::vector<NodeRef> LiveChildren(NodeRef node) const;

    NodeRef AddEntry(NodeRef parent, std::string_view name, bool isFolder);
    void RemoveSubtree(NodeRef node);
    void ForgetChild(NodeRef parent, const AddedEntry* child);
    void CopySubtree(NodeRef source, NodeRef newParent, std::string_view newName, bool isFolder);
    void FinishChange();
    void ResetTo(std::shared_ptr<const BaseIndex> base);

    std::shared_ptr<const BaseIndex> base_;
    std::vector<std::string> volumes_; // the base's volumes, then volumes added since
    std::vector<std::string> volumesFolded_;
    std::vector<std::uint64_t> removedBits_; // tombstones by base index, for lookups
    std::vector<std::uint32_t> removed_;     // the same, ascending, for snapshots
    std::shared_ptr<AddedArena> arena_;      // every entry added since the base was built, live or not
    std::vector<const AddedEntry*> added_;   // the live ones, in result order
    std::vector<const AddedEntry*> pending_; // added by the current change, merged into added_ at its end
    std::unordered_map<std::uintptr_t, Children> addedChildren_; // by parent, keyed by folded name
};

} // namespace nuv::engine
