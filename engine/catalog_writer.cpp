#include "engine/catalog_writer.h"

#include <algorithm>
#include <unordered_set>

#include "engine/case_fold.h"
#include "engine/path_split.h"

namespace nuv::engine {
namespace {

// Changes beyond this many tombstones plus added entries are folded into a new base. Each change
// copies the change lists into its snapshot while a rebuild costs the whole catalogue, so the
// bound grows with the base: about the square root of the balance, rounded to simple figures.
std::size_t CompactionThreshold(std::size_t baseSize) {
    return std::max<std::size_t>(16384, baseSize / 256);
}

// Prefers the entry whose name matches exactly; Windows names are case-insensitive, so any
// entry whose name folds alike is the same file when no exact match exists.
template <typename Range, typename NameOf>
auto PickByName(const Range& candidates, std::string_view name, NameOf nameOf) {
    auto chosen = candidates.end();
    for (auto it = candidates.begin(); it != candidates.end(); ++it) {
        if (nameOf(*it) == name) return it;
        if (chosen == candidates.end()) chosen = it;
    }
    return chosen;
}

} // namespace

CatalogWriter::CatalogWriter(std::shared_ptr<const BaseIndex> base) {
    ResetTo(std::move(base));
}

void CatalogWriter::ResetTo(std::shared_ptr<const BaseIndex> base) {
    base_ = std::move(base);
    volumes_.clear();
    volumesFolded_.clear();
    for (std::uint32_t v = 0; v < base_->VolumeCount(); ++v) {
        volumes_.push_back(base_->VolumeName(v));
        volumesFolded_.push_back(base_->VolumeFolded(v));
    }
    removedBits_.assign((base_->Size() + 63) / 64, 0);
    removed_.clear();
    arena_ = std::make_shared<AddedArena>();
    added_.clear();
    pending_.clear();
    addedChildren_.clear();
}

std::shared_ptr<const Snapshot> CatalogWriter::MakeSnapshot() const {
    return std::make_shared<const Snapshot>(base_, volumes_, arena_, added_, removed_);
}

std::uintptr_t CatalogWriter::ChildrenKey(NodeRef parent) {
    // Entries are aligned, so their addresses are even; references take the odd keys.
    if (parent.added) return reinterpret_cast<std::uintptr_t>(parent.added);
    return (static_cast<std::uintptr_t>(parent.ref) << 1) | 1;
}

NodeRef CatalogWriter::FindVolume(std::string_view name) const {
    const std::string folded = Fold(name);
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t v = 0; v < volumes_.size(); ++v)
        if (volumesFolded_[v] == folded) candidates.push_back(v);
    const auto it =
        PickByName(candidates, name, [&](std::uint32_t v) -> std::string_view { return volumes_[v]; });
    return it == candidates.end() ? NodeRef{} : NodeRef{kVolumeRef | *it, nullptr};
}

NodeRef CatalogWriter::FindChild(NodeRef parent, std::string_view name) const {
    const std::string folded = Fold(name);
    std::vector<NodeRef> candidates;
    if (!parent.added) {
        const auto [first, last] = base_->Children(parent.ref);
        const auto* from = std::lower_bound(
            first, last, folded, [&](std::uint32_t c, const std::string& f) { return base_->Folded(c) < f; });
        for (const auto* c = from; c != last && base_->Folded(*c) == folded; ++c)
            if (!IsRemoved(*c)) candidates.push_back(NodeRef{*c, nullptr});
    }
    if (const auto found = addedChildren_.find(ChildrenKey(parent)); found != addedChildren_.end()) {
        const auto [first, last] = found->second.equal_range(folded);
        for (auto it = first; it != last; ++it)
            candidates.push_back(NodeRef::Added(it->second));
    }
    const TreeView view = View();
    const auto it = PickByName(candidates, name, [&](NodeRef n) { return view.NameOf(n); });
    return it == candidates.end() ? NodeRef{} : *it;
}

NodeRef CatalogWriter::Resolve(const std::vector<std::string_view>& components) const {
    if (components.empty()) return NodeRef{};
    NodeRef node = FindVolume(components[0]);
    for (std::size_t i = 1; i < components.size() && !node.IsNone(); ++i)
        node = FindChild(node, components[i]);
    return node;
}

NodeRef CatalogWriter::EnsureVolume(std::string_view name) {
    if (NodeRef found = FindVolume(name); !found.IsNone()) return found;
    volumes_.emplace_back(name);
    volumesFolded_.push_back(Fold(name));
    return NodeRef{kVolumeRef | static_cast<std::uint32_t>(volumes_.size() - 1), nullptr};
}

// The folder named by the first `count` components, made (with its parents) when missing; an
// existing file in the way becomes a folder, as the file system must have replaced it.
NodeRef CatalogWriter::EnsureFolders(const std::vector<std::string_view>& components, std::size_t count) {
    NodeRef node = EnsureVolume(components[0]);
    for (std::size_t i = 1; i < count; ++i) {
        NodeRef child = FindChild(node, components[i]);
        if (child.IsNone()) {
            child = AddEntry(node, components[i], true);
        } else if (!View().IsFolder(child)) {
            const std::string name(View().NameOf(child));
            RemoveSubtree(child);
            child = AddEntry(node, name, true);
        }
        node = child;
    }
    return node;
}

std::vector<NodeRef> CatalogWriter::LiveChildren(NodeRef node) const {
    std::vector<NodeRef> children;
    if (!node.added) {
        const auto [first, last] = base_->Children(node.ref);
        for (const auto* c = first; c != last; ++c)
            if (!IsRemoved(*c)) children.push_back(NodeRef{*c, nullptr});
    }
    if (const auto found = addedChildren_.find(ChildrenKey(node)); found != addedChildren_.end())
        for (const auto& [folded, entry] : found->second)
            children.push_back(NodeRef::Added(entry));
    return children;
}

NodeRef CatalogWriter::AddEntry(NodeRef parent, std::string_view name, bool isFolder) {
    AddedEntry& entry = arena_->emplace_back();
    entry.name = std::string(name);
    entry.folded = Fold(name);
    entry.isFolder = isFolder;
    if (parent.added)
        entry.addedParent = parent.added;
    else
        entry.parentRef = parent.ref;
    addedChildren_[ChildrenKey(parent)].emplace(entry.folded, &entry);
    pending_.push_back(&entry);
    return NodeRef::Added(&entry);
}

void CatalogWriter::ForgetChild(NodeRef parent, const AddedEntry* child) {
    const auto found = addedChildren_.find(ChildrenKey(parent));
    if (found == addedChildren_.end()) return;
    auto& siblings = found->second;
    const auto [first, last] = siblings.equal_range(child->folded);
    for (auto it = first; it != last; ++it) {
        if (it->second == child) {
            siblings.erase(it);
            break;
        }
    }
    if (siblings.empty()) addedChildren_.erase(found);
}

// Removed added entries stay in the arena (older snapshots may show them) until the next rebuild.
void CatalogWriter::RemoveSubtree(NodeRef root) {
    std::vector<NodeRef> order{root};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto children = LiveChildren(order[i]);
        order.insert(order.end(), children.begin(), children.end());
    }
    const TreeView view = View();
    std::vector<std::uint32_t> newlyRemoved;
    std::unordered_set<const AddedEntry*> droppedAdded;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (it->IsBaseEntry()) {
            removedBits_[it->ref / 64] |= std::uint64_t{1} << (it->ref % 64);
            newlyRemoved.push_back(it->ref);
        } else if (it->added) {
            droppedAdded.insert(it->added);
            ForgetChild(view.ParentOf(*it), it->added);
        }
    }
    if (!droppedAdded.empty()) {
        const auto dropped = [&](const AddedEntry* e) { return droppedAdded.count(e) != 0; };
        std::erase_if(added_, dropped);
        std::erase_if(pending_, dropped);
    }
    std::sort(newlyRemoved.begin(), newlyRemoved.end());
    std::vector<std::uint32_t> merged;
    merged.reserve(removed_.size() + newlyRemoved.size());
    std::merge(removed_.begin(), removed_.end(), newlyRemoved.begin(), newlyRemoved.end(),
               std::back_inserter(merged));
    removed_ = std::move(merged);
}

void CatalogWriter::CopySubtree(NodeRef source, NodeRef newParent, std::string_view newName, bool isFolder) {
    const NodeRef copy = AddEntry(newParent, newName, isFolder);
    std::vector<std::pair<NodeRef, NodeRef>> pending{{source, copy}}; // (original folder, its copy)
    while (!pending.empty()) {
        const auto [original, target] = pending.back();
        pending.pop_back();
        for (NodeRef child : LiveChildren(original)) {
            const TreeView view = View();
            const bool childIsFolder = view.IsFolder(child);
            const NodeRef childCopy = AddEntry(target, std::string(view.NameOf(child)), childIsFolder);
            if (childIsFolder) pending.emplace_back(child, childCopy);
        }
    }
}

// Merges this change's new entries into the ordered list in one pass, then folds everything into
// a new base when the changes have grown large.
void CatalogWriter::FinishChange() {
    const TreeView view = View();
    const auto less = [&](const AddedEntry* a, const AddedEntry* b) {
        return view.Less(NodeRef::Added(a), NodeRef::Added(b));
    };
    if (pending_.size() == 1) {
        added_.insert(std::upper_bound(added_.begin(), added_.end(), pending_[0], less), pending_[0]);
    } else if (!pending_.empty()) {
        std::sort(pending_.begin(), pending_.end(), less);
        std::vector<const AddedEntry*> merged;
        merged.reserve(added_.size() + pending_.size());
        std::merge(added_.begin(), added_.end(), pending_.begin(), pending_.end(), std::back_inserter(merged),
                   less);
        added_ = std::move(merged);
    }
    pending_.clear();

    // The arena counts, not just the live added entries: churn (files made and deleted) grows it.
    if (removed_.size() + arena_->size() <= CompactionThreshold(base_->Size())) return;
    std::string error;
    if (auto rebuilt = BaseIndex::Build(MakeSnapshot()->Flatten(), &error)) ResetTo(std::move(rebuilt));
}

bool CatalogWriter::RemovePath(std::string_view path) {
    const NodeRef node = Resolve(SplitPath(path));
    if (node.IsNone()) return false;
    if (node.IsVolume()) {
        for (NodeRef child : LiveChildren(node))
            RemoveSubtree(child);
    } else {
        RemoveSubtree(node);
    }
    FinishChange();
    return true;
}

bool CatalogWriter::AddPath(std::string_view path, bool isFolder) {
    const auto components = SplitPath(path);
    if (components.empty()) return false;
    const std::size_t volumesBefore = volumes_.size();
    const NodeRef parent = EnsureFolders(components, components.size() - 1);
    bool changed = volumes_.size() != volumesBefore || !pending_.empty();
    if (components.size() > 1) {
        const NodeRef existing = FindChild(parent, components.back());
        if (existing.IsNone()) {
            AddEntry(parent, components.back(), isFolder);
            changed = true;
        } else if (View().IsFolder(existing) != isFolder) {
            // Published entries never change, so the entry is replaced; a folder that became a
            // file has lost its contents.
            const std::string name(View().NameOf(existing));
            RemoveSubtree(existing);
            AddEntry(parent, name, isFolder);
            changed = true;
        }
    }
    FinishChange();
    return changed;
}

bool CatalogWriter::RenamePath(std::string_view from, std::string_view to) {
    const auto source = SplitPath(from);
    const auto target = SplitPath(to);
    const NodeRef node = Resolve(source);
    if (node.IsNone() || node.IsVolume() || target.size() < 2) return false;
    // A folder cannot move into itself, nor over a folder that holds it; the file system refuses
    // both, and so do we.
    for (std::size_t depth = 1; depth < target.size(); ++depth) {
        const NodeRef ancestor =
            Resolve(std::vector<std::string_view>(target.begin(), target.begin() + depth));
        if (ancestor == node) return false;
    }
    const NodeRef existingTarget = Resolve(target);
    if (!existingTarget.IsNone() && View().IsBelow(node, existingTarget)) return false;
    const bool isFolder = View().IsFolder(node);
    const NodeRef newParent = EnsureFolders(target, target.size() - 1);
    const NodeRef replaced = FindChild(newParent, target.back());
    if (!replaced.IsNone() && !(replaced == node)) RemoveSubtree(replaced);
    CopySubtree(node, newParent, target.back(), isFolder);
    RemoveSubtree(node);
    FinishChange();
    return true;
}

// The scan's entries go first so that its arrays become the new tree's without a copy; the
// rest of the catalogue, usually the smaller part, is appended after them.
bool CatalogWriter::ReplaceRoot(ScanBuilder&& scan) {
    const auto rootComponents = SplitPath(scan.RootPath());
    if (rootComponents.empty()) return false;
    const NodeRef root = EnsureFolders(rootComponents, rootComponents.size());
    FinishChange();
    std::uint32_t rootInRest = 0;
    const RawTree rest = MakeSnapshot()->Flatten(root, &rootInRest);
    const auto scanned = static_cast<std::uint32_t>(scan.Size());
    const auto shifted = [&](std::uint32_t parent) {
        return IsVolumeRef(parent) ? parent : parent + scanned;
    };
    RawTree tree = scan.TakeTree(shifted(rootInRest));
    tree.volumes = rest.volumes;
    for (std::size_t i = 0; i < rest.Size(); ++i)
        tree.Add(shifted(rest.parents[i]), rest.Name(i), rest.IsFolder(i));
    std::string error;
    auto rebuilt = BaseIndex::Build(std::move(tree), &error);
    if (!rebuilt) return false;
    ResetTo(std::move(rebuilt));
    return true;
}

} // namespace nuv::engine
