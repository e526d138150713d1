#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base_index.h"
#include "engine/raw_tree.h"
#include "engine/tree_view.h"

namespace nuv::engine {

// Result items name a base entry by index, or an added entry by its position in Added() with
// this bit set.
constexpr std::uint32_t kAddedItem = 0x80000000u;

// One immutable state of the catalogue: the base index, minus the base entries removed since
// (tombstones), plus the entries added since, each list kept in result order.
class Snapshot {
public:
    Snapshot(std::shared_ptr<const BaseIndex> base, std::vector<std::string> volumes,
             std::shared_ptr<const AddedArena> arena, std::vector<const AddedEntry*> added,
             std::vector<std::uint32_t> removed);
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    static std::shared_ptr<const Snapshot> FromBase(std::shared_ptr<const BaseIndex> base);

    const BaseIndex& Base() const { return *base_; }
    const TreeView& View() const { return view_; }
    const std::vector<std::string>& Volumes() const { return volumes_; }
    const std::vector<const AddedEntry*>& Added() const { return added_; }
    const std::vector<std::uint32_t>& Removed() const { return removed_; } // ascending base indices
    std::uint64_t Generation() const { return generation_; }
    std::size_t Size() const { return base_->Size() - removed_.size() + added_.size(); }

    NodeRef NodeOfItem(std::uint32_t item) const {
        return item & kAddedItem ? NodeRef::Added(added_[item & ~kAddedItem]) : NodeRef{item, nullptr};
    }
    std::string_view Name(std::uint32_t item) const {
        return item & kAddedItem ? std::string_view(added_[item & ~kAddedItem]->name) : base_->Name(item);
    }
    std::string_view Folded(std::uint32_t item) const {
        return item & kAddedItem ? std::string_view(added_[item & ~kAddedItem]->folded) : base_->Folded(item);
    }
    bool IsFolder(std::uint32_t item) const {
        return item & kAddedItem ? added_[item & ~kAddedItem]->isFolder : base_->IsFolder(item);
    }
    // The folder that holds the item: its full path is this, "\", its name.
    void AppendFolderPath(std::uint32_t item, std::string& out) const {
        view_.AppendPath(view_.ParentOf(NodeOfItem(item)), out);
    }
    bool Less(std::uint32_t a, std::uint32_t b) const { return view_.Less(NodeOfItem(a), NodeOfItem(b)); }

    // Every live entry in result order. Entries strictly below `leaveOutBelow` are left out when
    // it is given; that is how a root is cleared before its new scan goes in. That node's own
    // place in the result goes to *leftOutBelowRaw.
    RawTree Flatten(NodeRef leaveOutBelow = {}, std::uint32_t* leftOutBelowRaw = nullptr) const;

private:
    std::shared_ptr<const BaseIndex> base_;
    std::vector<std::string> volumes_; // the base's volumes first, then any added since
    std::vector<std::string> volumesFolded_;
    std::shared_ptr<const AddedArena> arena_; // keeps added_ alive
    std::vector<const AddedEntry*> added_;
    std::vector<std::uint32_t> removed_;
    std::uint64_t generation_;
    TreeView view_;
};

} // namespace nuv::engine
