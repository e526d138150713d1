#include "engine/tree_view.h"

namespace nuv::engine {
namespace {

int CompareText(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

NodeRef TreeView::ParentOf(NodeRef node) const {
    if (node.added) {
        if (node.added->addedParent) return NodeRef::Added(node.added->addedParent);
        return NodeRef{node.added->parentRef, nullptr};
    }
    if (node.IsBaseEntry()) return NodeRef{base_->Parent(node.ref), nullptr};
    return NodeRef{};
}

std::string_view TreeView::NameOf(NodeRef node) const {
    if (node.added) return node.added->name;
    if (node.IsVolume()) return (*volumes_)[VolumeIndex(node.ref)];
    return node.IsBaseEntry() ? base_->Name(node.ref) : std::string_view();
}

std::string_view TreeView::FoldedOf(NodeRef node) const {
    if (node.added) return node.added->folded;
    if (node.IsVolume()) return (*volumesFolded_)[VolumeIndex(node.ref)];
    return node.IsBaseEntry() ? base_->Folded(node.ref) : std::string_view();
}

bool TreeView::IsFolder(NodeRef node) const {
    if (node.added) return node.added->isFolder;
    return node.IsVolume() || (node.IsBaseEntry() && base_->IsFolder(node.ref));
}

bool TreeView::IsBelow(NodeRef node, NodeRef ancestor) const {
    for (NodeRef n = ParentOf(node); !n.IsNone(); n = ParentOf(n))
        if (n == ancestor) return true;
    return false;
}

void TreeView::AppendPath(NodeRef node, std::string& out) const {
    std::vector<NodeRef> chain;
    for (NodeRef n = node; !n.IsNone(); n = ParentOf(n))
        chain.push_back(n);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) out.push_back('\\');
        out.append(NameOf(*it));
    }
}

// A path sorts before every path it is a prefix of; components compare by folded, then exact text.
int TreeView::CompareFolders(NodeRef a, NodeRef b) const {
    if (a == b) return 0;
    std::vector<NodeRef> chainA, chainB;
    for (NodeRef n = a; !n.IsNone(); n = ParentOf(n))
        chainA.push_back(n);
    for (NodeRef n = b; !n.IsNone(); n = ParentOf(n))
        chainB.push_back(n);
    auto ia = chainA.rbegin(), ib = chainB.rbegin();
    for (; ia != chainA.rend() && ib != chainB.rend(); ++ia, ++ib) {
        if (*ia == *ib) continue;
        if (int c = CompareText(FoldedOf(*ia), FoldedOf(*ib))) return c;
        if (int c = CompareText(NameOf(*ia), NameOf(*ib))) return c;
    }
    if (ia == chainA.rend() && ib == chainB.rend()) return 0;
    return ia == chainA.rend() ? -1 : 1;
}

bool TreeView::Less(NodeRef a, NodeRef b) const {
    if (a.IsBaseEntry() && b.IsBaseEntry()) return a.ref < b.ref;
    if (int c = CompareText(FoldedOf(a), FoldedOf(b))) return c < 0;
    if (int c = CompareFolders(ParentOf(a), ParentOf(b))) return c < 0;
    return NameOf(a) < NameOf(b);
}

} // namespace nuv::engine
