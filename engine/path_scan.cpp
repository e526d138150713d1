#include "engine/path_scan.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "engine/name_scan.h"
#include "engine/parallel_chunks.h"

namespace nuv::engine {
namespace {

// Walks are shared between the threads by their start entries; a start is guessed to lead to this
// many entries, so that a few large folders are already worth sharing.
constexpr std::size_t kEntriesPerStart = 4096;

// Counts what the threads of one walk have marked, so that a walk that turns out larger than the
// caller's budget stops early.
class WalkBudget {
public:
    explicit WalkBudget(std::size_t entries)
        : left_(static_cast<std::ptrdiff_t>(
              std::min<std::size_t>(entries, std::numeric_limits<std::ptrdiff_t>::max()))) {}
    // False once the walk has marked more than the budget; spends `entries` first.
    bool Spend(std::size_t entries) {
        return left_.fetch_sub(static_cast<std::ptrdiff_t>(entries), std::memory_order_relaxed) >
               static_cast<std::ptrdiff_t>(entries);
    }
    bool Exhausted() const { return left_.load(std::memory_order_relaxed) <= 0; }

private:
    std::atomic<std::ptrdiff_t> left_;
};

class PathMarker {
public:
    PathMarker(const BaseIndex& base, EntryBits& marked, WalkBudget& budget)
        : base_(base), marked_(marked), budget_(budget) {}

    // Marks an entry and, when it is a folder, everything below it; false when the budget ran out
    // on the way, the subtree then marked only in part.
    bool MarkWithSubtree(std::uint32_t entry) {
        if (IsMarked(entry)) return true; // its subtree was marked with it
        Mark(entry);
        if (!base_.IsFolder(entry)) return true;
        stack_.push_back(entry);
        std::size_t unspent = 0;
        while (!stack_.empty()) {
            const std::uint32_t folder = stack_.back();
            stack_.pop_back();
            const auto [first, last] = base_.Children(folder);
            for (const std::uint32_t* child = first; child != last; ++child) {
                if (IsMarked(*child)) continue;
                Mark(*child);
                if (base_.IsFolder(*child)) stack_.push_back(*child);
            }
            unspent += static_cast<std::size_t>(last - first);
            if (unspent >= kSpendEvery) {
                if (!budget_.Spend(unspent)) {
                    stack_.clear();
                    return false;
                }
                unspent = 0;
            }
        }
        return budget_.Spend(unspent);
    }

private:
    static constexpr std::size_t kSpendEvery = 4096;

    bool IsMarked(std::uint32_t entry) const { return engine::IsMarked(marked_, entry); }
    void Mark(std::uint32_t entry) { MarkEntry(marked_, entry); }

    const BaseIndex& base_;
    EntryBits& marked_;
    WalkBudget& budget_;
    std::vector<std::uint32_t> stack_;
};

std::string_view FoldedNodeName(const BaseIndex& base, std::uint32_t node) {
    return IsVolumeRef(node) ? std::string_view(base.VolumeFolded(VolumeIndex(node))) : base.Folded(node);
}

// Whether the path of `node` (an entry or a volume) ends with head[0]\head[1]\...\head[k]:
// head[k] is the whole name of the node, and so on up, except that head[0] only has to end the
// name it falls on, unless the path must be the head exactly (`whole`).
bool PathEndsWith(const BaseIndex& base, std::uint32_t node, const std::vector<std::string_view>& head,
                  std::size_t k, bool whole) {
    for (; k > 0; --k) {
        if (IsVolumeRef(node) || base.Folded(node) != head[k]) return false;
        node = base.Parent(node);
    }
    if (whole) return IsVolumeRef(node) && FoldedNodeName(base, node) == head[0];
    return FoldedNodeName(base, node).ends_with(head[0]);
}

// The first entry whose folded name is not below `name`: entries are sorted by folded name.
std::uint32_t FirstEntryNamedAtLeast(const BaseIndex& base, std::string_view name) {
    std::uint32_t low = 0, high = static_cast<std::uint32_t>(base.Size());
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (base.Folded(middle) < name)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The folders and volumes whose path ends with the head, or is the head when `whole`, as parent
// references.
std::vector<std::uint32_t> FoldersEndingWith(const BaseIndex& base, const std::vector<std::string_view>& head,
                                             bool whole) {
    std::vector<std::uint32_t> folders;
    const auto count = static_cast<std::uint32_t>(base.Size());
    const std::size_t k = head.size() - 1;
    if (k > 0) {
        // The folder's whole name is known: one run of the sorted names. A volume is never one,
        // as it has nothing above it for head[0] to fall on.
        for (std::uint32_t i = FirstEntryNamedAtLeast(base, head[k]); i < count && base.Folded(i) == head[k];
             ++i)
            if (base.IsFolder(i) && PathEndsWith(base, i, head, k, whole)) folders.push_back(i);
        return folders;
    }
    for (std::uint32_t v = 0; v < base.VolumeCount(); ++v) {
        const std::string_view volume = base.VolumeFolded(v);
        if (whole ? volume == head[0] : volume.ends_with(head[0])) folders.push_back(kVolumeRef | v);
    }
    if (whole) return folders; // a path that is one name is a volume's
    const std::vector<std::uint32_t> named = FindFoldersContaining(base, NameNeedle{head[0], false, true});
    folders.insert(folders.end(), named.begin(), named.end());
    return folders;
}

// Splits "a\b\c" into {"a", "b", "c"}, keeping empty pieces.
std::vector<std::string_view> SplitAtBackslashes(std::string_view text) {
    std::vector<std::string_view> pieces;
    for (std::size_t from = 0;;) {
        const std::size_t to = text.find('\\', from);
        pieces.push_back(
            text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
        if (to == std::string_view::npos) return pieces;
        from = to + 1;
    }
}

} // namespace

namespace {

// The entries the walk starts from: children of the folders G whose name starts with the tail.
std::vector<std::uint32_t> WalkStarts(const BaseIndex& base, const std::vector<std::string_view>& head,
                                      std::string_view tail, bool fromVolume) {
    // Every folder and volume is a G ("\temp"): the starts are simply the entries whose name starts
    // with the tail, found by one scan of the names instead of a search in every folder.
    if (!fromVolume && head.size() == 1 && head[0].empty())
        return FindAllEntriesContaining(base, NameNeedle{tail, true, false});
    std::vector<std::uint32_t> starts;
    for (const std::uint32_t folder : FoldersEndingWith(base, head, fromVolume)) {
        auto [first, last] = base.Children(folder);
        // Children come in folded-name order, so those starting with the tail are one run.
        first = std::lower_bound(first, last, tail, [&](std::uint32_t child, std::string_view t) {
            return base.Folded(child) < t;
        });
        for (; first != last && base.Folded(*first).starts_with(tail); ++first)
            starts.push_back(*first);
    }
    return starts;
}

// Walks are shared between the threads by their starts, and a few starts may hold most of the
// index ("c:\users\" has a handful of children). Folders among them give way to their children,
// the folders themselves marked here, until there are enough starts to share or a few levels
// have been opened.
void SpreadStarts(const BaseIndex& base, std::vector<std::uint32_t>& starts, EntryBits& marked) {
    constexpr std::size_t kStartsWorthSharing = 64;
    constexpr int kLevelsToOpen = 4;
    std::vector<std::uint32_t> next;
    for (int level = 0; level < kLevelsToOpen && starts.size() < kStartsWorthSharing; ++level) {
        next.clear();
        for (const std::uint32_t start : starts) {
            if (!base.IsFolder(start)) {
                next.push_back(start);
                continue;
            }
            MarkEntry(marked, start);
            const auto [first, last] = base.Children(start);
            next.insert(next.end(), first, last);
        }
        starts.swap(next);
    }
}

bool IsEverywhere(const BaseIndex& base, const std::vector<std::string_view>& head, std::string_view tail,
                  bool fromVolume) {
    if (!tail.empty() || head.size() != 1) return false;
    // "\" lies in every path, "c:\" in every path of a lone volume.
    return fromVolume ? base.VolumeCount() == 1 && base.VolumeFolded(0) == head[0] : head[0].empty();
}

bool MarkEntriesUnder(const BaseIndex& base, std::string_view text, bool fromVolume, EntryBits& marked,
                      std::size_t budget) {
    const std::size_t lastSeparator = text.rfind('\\');
    if (lastSeparator == std::string_view::npos) return true;
    const std::vector<std::string_view> head = SplitAtBackslashes(text.substr(0, lastSeparator));
    const std::string_view tail = text.substr(lastSeparator + 1);
    if (IsEverywhere(base, head, tail, fromVolume)) {
        MarkEvery(marked, base.Size());
        return true;
    }
    std::vector<std::uint32_t> starts = WalkStarts(base, head, tail, fromVolume);
    SpreadStarts(base, starts, marked);
    // A folder such as "c:\users\" may hold most of the index: both cores walk the subtrees, each
    // into bits of its own (neighbours share a word), joined at the end.
    const std::size_t chunks = ChunkCountFor(starts.size() * kEntriesPerStart);
    EntryBits helperMarked;
    WalkBudget left(budget);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        EntryBits& bits = worker == 0 ? marked : helperMarked;
        if (bits.empty()) bits.assign(marked.size(), 0);
        PathMarker marker(base, bits, left);
        const auto [first, last] = ChunkBounds(starts.size(), chunks, c);
        for (std::size_t k = first; k < last && !left.Exhausted(); ++k)
            if (!marker.MarkWithSubtree(starts[k])) return;
    });
    if (left.Exhausted()) return false;
    for (std::size_t w = 0; w < helperMarked.size(); ++w)
        marked[w] |= helperMarked[w];
    return true;
}

} // namespace

bool MarkEntriesWithPathContaining(const BaseIndex& base, std::string_view text, EntryBits& marked,
                                   std::size_t budget) {
    return MarkEntriesUnder(base, text, false, marked, budget);
}

bool MarkEntriesWithPathStarting(const BaseIndex& base, std::string_view text, EntryBits& marked,
                                 std::size_t budget) {
    return MarkEntriesUnder(base, text, true, marked, budget);
}

PathAllowance::PathAllowance(const BaseIndex& base, std::string_view text, bool fromVolume)
    : base_(base), fromVolume_(fromVolume) {
    const std::size_t lastSeparator = text.rfind('\\');
    if (lastSeparator == std::string_view::npos) {
        nothing_ = true;
        return;
    }
    head_ = SplitAtBackslashes(text.substr(0, lastSeparator));
    tail_ = text.substr(lastSeparator + 1);
    anyParent_ = !fromVolume && head_.size() == 1 && head_[0].empty();
    for (EntryBits* bits : {&settled_, &allowed_, &gSettled_, &isG_})
        bits->assign(EntryBitsWords(base.FolderCount()), 0);
}

bool PathAllowance::Allows(std::uint32_t entry) {
    if (nothing_) return false;
    const std::uint32_t parent = base_.Parent(entry);
    if (!IsVolumeRef(parent) && FolderAllows(parent)) return true;
    return StartsWithTail(entry) && IsG(parent);
}

bool PathAllowance::StartsWithTail(std::uint32_t entry) const {
    return tail_.empty() || base_.Folded(entry).starts_with(tail_);
}

bool PathAllowance::IsG(std::uint32_t node) {
    if (anyParent_) return true;
    if (IsVolumeRef(node)) return PathEndsWith(base_, node, head_, head_.size() - 1, fromVolume_);
    const std::uint32_t ordinal = base_.FolderOrdinal(node);
    if (!engine::IsMarked(gSettled_, ordinal)) {
        MarkEntry(gSettled_, ordinal);
        if (PathEndsWith(base_, node, head_, head_.size() - 1, fromVolume_)) MarkEntry(isG_, ordinal);
    }
    return engine::IsMarked(isG_, ordinal);
}

bool PathAllowance::FolderAllows(std::uint32_t folder) {
    // Up to the first folder already settled, or a start, or the volume; every folder passed on
    // the way was no start, so it is settled as the one above it.
    chain_.clear();
    bool allowed = false;
    for (std::uint32_t f = folder;;) {
        const std::uint32_t ordinal = base_.FolderOrdinal(f);
        if (engine::IsMarked(settled_, ordinal)) {
            allowed = engine::IsMarked(allowed_, ordinal);
            break;
        }
        chain_.push_back(ordinal);
        const std::uint32_t up = base_.Parent(f);
        if (StartsWithTail(f) && IsG(up)) {
            allowed = true;
            break;
        }
        if (IsVolumeRef(up)) break;
        f = up;
    }
    for (const std::uint32_t ordinal : chain_) {
        MarkEntry(settled_, ordinal);
        if (allowed) MarkEntry(allowed_, ordinal);
    }
    return allowed;
}

} // namespace nuv::engine
