#include "engine/base_index.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <thread>

#include "engine/case_fold.h"
#include "engine/parallel_sort.h"

namespace nuv::engine {
namespace {

// The arrays of a built index, which its views point into.
struct BuiltArrays {
    std::string names;
    std::vector<std::uint32_t> nameStarts;
    std::string folded;
    std::vector<std::uint32_t> foldedStarts;
    std::vector<std::uint32_t> parents;
    std::vector<std::uint64_t> folderBits;
    std::vector<std::uint32_t> foldersBefore;
    std::string folderFolded;
    std::vector<std::uint32_t> folderFoldedStarts;
    std::vector<std::uint32_t> folderEntries;
    std::vector<std::uint32_t> children;
    std::vector<std::uint32_t> childrenStarts;

    BaseIndexArrays Views() const {
        return {names,      nameStarts,    folded,       foldedStarts,       parents,
                folderBits, foldersBefore, folderFolded, folderFoldedStarts, folderEntries,
                children,   childrenStarts};
    }
};

} // namespace

// Turns a RawTree into a BaseIndex. Folders and volumes are "nodes", numbered so that tables
// over them stay as small as the folders are few: the folder that is the k-th folder entry is
// node k, volume v is node F + v, F being the number of folders.
class BaseIndexBuilder {
public:
    explicit BaseIndexBuilder(RawTree& raw) : raw_(raw), entryCount_(raw.Size()) {}

    bool Validate(std::string* error);
    std::shared_ptr<const BaseIndex> Run();

private:
    std::uint32_t FolderNode(std::size_t folder) const {
        const std::uint64_t below = (std::uint64_t{1} << (folder % 64)) - 1;
        return foldersBefore_[folder / 64] +
               static_cast<std::uint32_t>(CountBits(raw_.folderBits[folder / 64] & below));
    }
    std::uint32_t ParentNode(std::size_t i) const {
        const std::uint32_t p = raw_.parents[i];
        return IsVolumeRef(p) ? folderCount_ + VolumeIndex(p) : FolderNode(p);
    }
    std::size_t NodeCount() const { return folderCount_ + raw_.volumes.size(); }
    template <typename Visit> void ForEachFolder(Visit visit) const;
    std::string_view FoldedOf(std::uint32_t i) const {
        return std::string_view(folded_).substr(foldedStarts_[i],
                                                foldedStarts_[i + 1] - foldedStarts_[i] - 1);
    }
    bool NameOrderHolds(std::uint32_t a, std::uint32_t b) const {
        const auto ra = rank_[ParentNode(a)], rb = rank_[ParentNode(b)];
        return ra != rb ? ra < rb : raw_.Name(a) <= raw_.Name(b);
    }

    void CountFolders();
    bool CheckParent(std::size_t i, std::string* error) const;
    bool CheckAcyclic(std::string* error) const;
    bool FoldNames();
    bool InputInResultOrder();
    void SortByFoldedName();
    void SettleSharedPrefix(std::uint32_t first, std::uint32_t last);
    void SortEqualFoldedRuns();
    void RankFolders();
    void EmitFolded(BuiltArrays& out) const;
    void EmitNames(BuiltArrays& out) const;
    void EmitParents(BuiltArrays& out);
    void EmitInResultOrder(BaseIndex& index, BuiltArrays& out);
    void EmitInInputOrder(BaseIndex& index, BuiltArrays& out, std::vector<std::uint32_t>&& starts,
                          std::vector<std::uint32_t>&& children);
    void EmitChildren(BaseIndex& index, BuiltArrays& out);
    void SortRawByParent(std::vector<std::uint32_t>& starts, std::vector<std::uint32_t>& children) const;
    void EmitVolumes(BaseIndex& index) const;
    static void EmitFolderNames(BaseIndex& index, BuiltArrays& out);

    RawTree& raw_;
    std::size_t entryCount_;
    std::vector<std::uint32_t> foldersBefore_; // per folderBits word, then the total
    std::uint32_t folderCount_ = 0;
    std::string folded_;                      // raw order, each name followed by a zero byte as in the index
    std::vector<std::uint32_t> foldedStarts_; // raw order
    bool foldedAscending_ = true;             // raw order already sorts by folded name
    bool foldedRepeats_ = false;              // some neighbours in raw order fold alike
    std::vector<std::uint32_t> order_;        // raw indices in result order; empty while the input is
                                              // taken to be in result order already
    std::vector<std::pair<std::uint32_t, std::uint32_t>> equalRuns_; // [first, last) in order_
    std::vector<std::uint32_t> rank_;                                // per node: folder path order
};

template <typename Visit> void BaseIndexBuilder::ForEachFolder(Visit visit) const {
    for (std::size_t w = 0; w < raw_.folderBits.size(); ++w)
        for (std::uint64_t bits = raw_.folderBits[w]; bits != 0; bits &= bits - 1)
            visit(static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
}

// Bits past the last entry (a damaged file may set them) would count as folders that are not
// there; they are cleared first.
void BaseIndexBuilder::CountFolders() {
    raw_.folderBits.resize((entryCount_ + 63) / 64);
    if (entryCount_ % 64 != 0) raw_.folderBits.back() &= (std::uint64_t{1} << (entryCount_ % 64)) - 1;
    foldersBefore_.reserve(raw_.folderBits.size() + 1);
    for (std::uint64_t word : raw_.folderBits) {
        foldersBefore_.push_back(folderCount_);
        folderCount_ += static_cast<std::uint32_t>(CountBits(word));
    }
    foldersBefore_.push_back(folderCount_);
}

bool BaseIndexBuilder::CheckParent(std::size_t i, std::string* error) const {
    const std::uint32_t p = raw_.parents[i];
    const bool valid =
        IsVolumeRef(p) ? VolumeIndex(p) < raw_.volumes.size() : p < entryCount_ && p != i && raw_.IsFolder(p);
    if (!valid && error) *error = "entry " + std::to_string(i) + " has an invalid parent";
    return valid;
}

// Every parent is a folder (checked first), so a cycle can only run through folders.
bool BaseIndexBuilder::CheckAcyclic(std::string* error) const {
    enum : std::uint8_t { kUnseen, kOnPath, kReachesVolume };
    std::vector<std::uint8_t> state(folderCount_, kUnseen);
    std::vector<std::uint32_t> path;
    bool acyclic = true;
    ForEachFolder([&](std::uint32_t start) {
        std::uint32_t node = start;
        path.clear();
        while (acyclic && !IsVolumeRef(node) && state[FolderNode(node)] == kUnseen) {
            state[FolderNode(node)] = kOnPath;
            path.push_back(node);
            node = raw_.parents[node];
        }
        if (acyclic && !IsVolumeRef(node) && state[FolderNode(node)] == kOnPath) {
            if (error) *error = "folders form a cycle at entry " + std::to_string(node);
            acyclic = false;
        }
        for (std::uint32_t n : path)
            state[FolderNode(n)] = kReachesVolume;
    });
    return acyclic;
}

bool BaseIndexBuilder::Validate(std::string* error) {
    const auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (entryCount_ > kMaxEntries || raw_.volumes.size() > kMaxEntries) return fail("too many entries");
    if (raw_.nameStarts.size() != entryCount_ + 1) return fail("name table size does not match entries");
    if (raw_.folderBits.size() < (entryCount_ + 63) / 64) return fail("folder flags missing");
    if (raw_.nameStarts.front() != 0 || raw_.nameStarts.back() != raw_.names.size())
        return fail("name table does not cover the names");
    for (std::size_t i = 0; i < entryCount_; ++i)
        if (raw_.nameStarts[i] > raw_.nameStarts[i + 1]) return fail("name table runs backwards");
    CountFolders();
    for (std::size_t i = 0; i < entryCount_; ++i)
        if (!CheckParent(i, error)) return false;
    return CheckAcyclic(error);
}

// Notes on the way whether the input already sorts by folded name, so a flattened catalogue,
// which does, needs no sort. Fails when the folded names outgrow the 32-bit offsets that hold them.
bool BaseIndexBuilder::FoldNames() {
    // Folding keeps most names' sizes, so this is usually exact; the rare growth is trimmed later.
    folded_.reserve(raw_.names.size() + entryCount_);
    foldedStarts_.reserve(entryCount_ + 1);
    foldedStarts_.push_back(0);
    for (std::size_t i = 0; i < entryCount_; ++i) {
        AppendFolded(raw_.Name(i), folded_);
        folded_.push_back('\0');
        if (folded_.size() > std::numeric_limits<std::uint32_t>::max()) return false;
        foldedStarts_.push_back(static_cast<std::uint32_t>(folded_.size()));
        if (i > 0 && foldedAscending_) {
            const auto previous = FoldedOf(static_cast<std::uint32_t>(i - 1));
            const auto current = FoldedOf(static_cast<std::uint32_t>(i));
            foldedAscending_ = previous <= current;
            foldedRepeats_ = foldedRepeats_ || previous == current;
        }
    }
    return true;
}

// Input sorted by folded name is in result order when, wherever neighbours fold alike, they
// also follow by folder path, then by exact name. A flattened catalogue always is; anything else
// goes through the full sort, so a damaged order can never reach the index.
bool BaseIndexBuilder::InputInResultOrder() {
    if (!foldedAscending_) return false;
    if (!foldedRepeats_) return true;
    RankFolders();
    for (std::uint32_t i = 1; i < entryCount_; ++i)
        if (FoldedOf(i - 1) == FoldedOf(i) && !NameOrderHolds(i - 1, i)) return false;
    return true;
}

// Sorts by a 12-byte prefix held beside each index, so the sort compares integers in one array.
// Names that share the prefix, a good part of any real tree (copies of "index.js", "readme.txt"
// in every package), are settled afterwards, group by group, where the scattered texts are read
// once per group instead of at every comparison.
void BaseIndexBuilder::SortByFoldedName() {
    struct Keyed {
        std::uint64_t prefix; // bytes 0-7, big-endian, zero-padded: compares like the text
        std::uint32_t more;   // bytes 8-11 alike, in what would otherwise be padding
        std::uint32_t entry;
        bool SameKey(const Keyed& other) const { return prefix == other.prefix && more == other.more; }
    };
    const auto bigEndian = [](std::string_view f, std::size_t from, std::size_t count) {
        std::uint64_t value = 0;
        for (std::size_t b = from; b < from + count; ++b)
            value = (value << 8) | (b < f.size() ? static_cast<unsigned char>(f[b]) : 0u);
        return value;
    };
    std::vector<Keyed> keyed(entryCount_);
    for (std::uint32_t i = 0; i < entryCount_; ++i) {
        const std::string_view f = FoldedOf(i);
        keyed[i] = {bigEndian(f, 0, 8), static_cast<std::uint32_t>(bigEndian(f, 8, 4)), i};
    }
    const auto less = [](const Keyed& a, const Keyed& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return a.more != b.more ? a.more < b.more : a.entry < b.entry;
    };
    order_.reserve(entryCount_);
    const Keyed* groupKey = nullptr;
    std::uint32_t groupStart = 0;
    ParallelSortEach(keyed, less, [&](const Keyed& item) {
        if (groupKey && !groupKey->SameKey(item)) {
            SettleSharedPrefix(groupStart, static_cast<std::uint32_t>(order_.size()));
            groupStart = static_cast<std::uint32_t>(order_.size());
        }
        groupKey = &item;
        order_.push_back(item.entry);
    });
    SettleSharedPrefix(groupStart, static_cast<std::uint32_t>(order_.size()));
}

// order_[first, last) share their 12-byte prefix. Names shorter than that are equal when their
// lengths are, since the prefix then holds every byte; otherwise the texts decide.
void BaseIndexBuilder::SettleSharedPrefix(std::uint32_t first, std::uint32_t last) {
    if (last - first < 2) return;
    const auto begin = order_.begin() + first, end = order_.begin() + last;
    const std::size_t length = FoldedOf(*begin).size();
    const bool allEqual = length < 12 && std::all_of(begin + 1, end, [&](std::uint32_t i) {
                              return FoldedOf(i).size() == length;
                          });
    if (allEqual) {
        equalRuns_.emplace_back(first, last);
        return;
    }
    std::sort(begin, end, [&](std::uint32_t a, std::uint32_t b) { return FoldedOf(a) < FoldedOf(b); });
    std::uint32_t runStart = first;
    for (std::uint32_t k = first + 1; k <= last; ++k) {
        if (k < last && FoldedOf(order_[k - 1]) == FoldedOf(order_[k])) continue;
        if (k - runStart > 1) equalRuns_.emplace_back(runStart, k);
        runStart = k;
    }
}

void BaseIndexBuilder::EmitFolded(BuiltArrays& out) const {
    out.folded.reserve(folded_.size());
    out.foldedStarts.reserve(entryCount_ + 1);
    out.foldedStarts.push_back(0);
    for (std::uint32_t i : order_) {
        out.folded.append(FoldedOf(i));
        out.folded.push_back('\0');
        out.foldedStarts.push_back(static_cast<std::uint32_t>(out.folded.size()));
    }
}

// Sorts each stretch of [first, last) whose neighbours are `alike`, by `less`.
template <typename It, typename Alike, typename Less>
void SortStretches(It first, It last, Alike alike, Less less) {
    while (first != last) {
        It end = first + 1;
        while (end != last && alike(*(end - 1), *end))
            ++end;
        if (end - first > 1) std::sort(first, end, less);
        first = end;
    }
}

// Names that fold alike go by folder path, then by exact name. Runs are short, and sorting
// (rank, entry) numbers keeps the comparisons off the scattered parent and name arrays; only
// alike names in one folder, which differ in case alone, are then compared as text.
void BaseIndexBuilder::SortEqualFoldedRuns() {
    std::vector<std::uint64_t> keys;
    for (const auto& [first, last] : equalRuns_) {
        keys.clear();
        for (std::uint32_t k = first; k < last; ++k)
            keys.push_back(std::uint64_t{rank_[ParentNode(order_[k])]} << 32 | order_[k]);
        std::sort(keys.begin(), keys.end());
        for (std::uint32_t k = first; k < last; ++k)
            order_[k] = static_cast<std::uint32_t>(keys[k - first]);
        SortStretches(
            order_.begin() + first, order_.begin() + last,
            [&](std::uint32_t a, std::uint32_t b) { return raw_.parents[a] == raw_.parents[b]; },
            [&](std::uint32_t a, std::uint32_t b) { return raw_.Name(a) < raw_.Name(b); });
    }
}

// Preorder over folders, siblings in (folded, exact) name order, numbers folder paths in exactly
// the order "component by component" defines.
void BaseIndexBuilder::RankFolders() {
    const std::size_t nodeCount = NodeCount();
    std::vector<std::uint32_t> firstChild(nodeCount + 1, 0);
    ForEachFolder([&](std::uint32_t i) { ++firstChild[ParentNode(i) + 1]; });
    std::partial_sum(firstChild.begin(), firstChild.end(), firstChild.begin());
    std::vector<std::uint32_t> childFolders(folderCount_); // entries, each parent's in sibling order
    std::vector<std::uint32_t> fill(firstChild.begin(), firstChild.end() - 1);
    if (order_.empty()) {
        // Input in result order: a sibling order out of place shows in InputInResultOrder.
        ForEachFolder([&](std::uint32_t i) { childFolders[fill[ParentNode(i)]++] = i; });
    } else {
        for (std::uint32_t i : order_)
            if (raw_.IsFolder(i)) childFolders[fill[ParentNode(i)]++] = i;
        // order_ sorts by folded name only so far; siblings that fold alike go by exact name.
        for (std::size_t n = 0; n < nodeCount; ++n)
            SortStretches(
                childFolders.begin() + firstChild[n], childFolders.begin() + firstChild[n + 1],
                [&](std::uint32_t a, std::uint32_t b) { return FoldedOf(a) == FoldedOf(b); },
                [&](std::uint32_t a, std::uint32_t b) { return raw_.Name(a) < raw_.Name(b); });
    }

    std::vector<std::uint32_t> volumeOrder(raw_.volumes.size());
    std::iota(volumeOrder.begin(), volumeOrder.end(), 0u);
    std::vector<std::string> volumeFolded;
    for (const auto& v : raw_.volumes)
        volumeFolded.push_back(Fold(v));
    std::sort(volumeOrder.begin(), volumeOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::tie(volumeFolded[a], raw_.volumes[a]) < std::tie(volumeFolded[b], raw_.volumes[b]);
    });

    rank_.assign(nodeCount, 0);
    std::uint32_t nextRank = 0;
    std::vector<std::uint32_t> stack;
    for (auto v = volumeOrder.rbegin(); v != volumeOrder.rend(); ++v)
        stack.push_back(folderCount_ + *v);
    while (!stack.empty()) {
        const std::uint32_t node = stack.back();
        stack.pop_back();
        rank_[node] = nextRank++;
        for (std::uint32_t c = firstChild[node + 1]; c > firstChild[node]; --c)
            stack.push_back(FolderNode(childFolders[c - 1]));
    }
}

void BaseIndexBuilder::EmitNames(BuiltArrays& out) const {
    out.names.reserve(raw_.names.size());
    out.nameStarts.reserve(entryCount_ + 1);
    out.nameStarts.push_back(0);
    for (std::uint32_t i : order_) {
        out.names.append(raw_.Name(i));
        out.nameStarts.push_back(static_cast<std::uint32_t>(out.names.size()));
    }
}

void BaseIndexBuilder::EmitParents(BuiltArrays& out) {
    // The raw folded starts are spent by now; taking over their pages spares the system handing
    // out (and zeroing) fresh ones, which on some machines costs more than the work itself.
    std::vector<std::uint32_t> position = std::move(foldedStarts_);
    position.resize(entryCount_);
    for (std::uint32_t k = 0; k < entryCount_; ++k)
        position[order_[k]] = k;
    out.parents.reserve(entryCount_);
    out.folderBits.assign((entryCount_ + 63) / 64, 0);
    for (std::uint32_t k = 0; k < entryCount_; ++k) {
        const std::uint32_t i = order_[k];
        const std::uint32_t p = raw_.parents[i];
        out.parents.push_back(IsVolumeRef(p) ? p : position[p]);
        if (raw_.IsFolder(i)) out.folderBits[k / 64] |= std::uint64_t{1} << (k % 64);
    }
    out.foldersBefore.reserve(out.folderBits.size() + 1);
    std::uint32_t folders = 0;
    for (std::uint64_t word : out.folderBits) {
        out.foldersBefore.push_back(folders);
        folders += static_cast<std::uint32_t>(CountBits(word));
    }
    out.foldersBefore.push_back(folders);
}

// Every part gathers entries scattered over the raw arrays, so each waits on memory far more
// than it computes; on two threads the waits overlap. The names go alone: they are as much
// work as the folded names and the parents together.
void BaseIndexBuilder::EmitInResultOrder(BaseIndex& index, BuiltArrays& out) {
    std::thread names([&] { EmitNames(out); });
    EmitFolded(out);
    EmitParents(out);
    names.join();
    index.a_ = out.Views(); // the folder numbering below reads the arrays through the index
    EmitChildren(index, out);
    EmitVolumes(index);
    EmitFolderNames(index, out);
}

// Input already in result order (a scan, a compaction) keeps its arrays as they are.
void BaseIndexBuilder::EmitInInputOrder(BaseIndex& index, BuiltArrays& out,
                                        std::vector<std::uint32_t>&& starts,
                                        std::vector<std::uint32_t>&& children) {
    out.names = std::move(raw_.names);
    out.nameStarts = std::move(raw_.nameStarts);
    out.parents = std::move(raw_.parents);
    out.folderBits = std::move(raw_.folderBits);
    out.foldersBefore = foldersBefore_;
    // A scan may have reserved generously; the index keeps only what it holds.
    out.names.shrink_to_fit();
    out.nameStarts.shrink_to_fit();
    out.parents.shrink_to_fit();
    out.folderBits.shrink_to_fit();
    out.folded = std::move(folded_);
    if (out.folded.capacity() > out.folded.size() + out.folded.size() / 64) out.folded.shrink_to_fit();
    out.foldedStarts = std::move(foldedStarts_);
    out.childrenStarts = std::move(starts);
    out.children = std::move(children);
    index.a_ = out.Views();
    EmitVolumes(index);
    EmitFolderNames(index, out);
}

// Counting sort by parent keeps each parent's children in index order, which is result order.
// Files have no children in a built index, so parents are counted per folder and volume (`node`
// numbers them), and the counts become where each one's children start. `children` brings
// storage of the right size to reuse, if any.
template <typename Node>
void SortByParent(const std::vector<std::uint32_t>& parents, std::size_t nodeCount, Node node,
                  std::vector<std::uint32_t>& starts, std::vector<std::uint32_t>& children) {
    starts.assign(nodeCount + 1, 0);
    for (std::uint32_t p : parents)
        ++starts[node(p) + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<std::uint32_t> fill(starts.begin(), starts.end() - 1);
    children.resize(parents.size());
    for (std::uint32_t k = 0; k < parents.size(); ++k)
        children[fill[node(parents[k])]++] = k;
}

void BaseIndexBuilder::EmitChildren(BaseIndex& index, BuiltArrays& out) {
    const std::uint32_t folders = index.FolderCount();
    out.children = std::move(order_); // spent by now, and exactly as large: its pages are reused
    SortByParent(
        out.parents, folders + raw_.volumes.size(),
        [&](std::uint32_t p) { return IsVolumeRef(p) ? folders + VolumeIndex(p) : index.FolderOrdinal(p); },
        out.childrenStarts, out.children);
}

// In input order the raw folder numbering is the index's own, so the children can be sorted out
// before the order is known to hold.
void BaseIndexBuilder::SortRawByParent(std::vector<std::uint32_t>& starts,
                                       std::vector<std::uint32_t>& children) const {
    SortByParent(
        raw_.parents, NodeCount(),
        [&](std::uint32_t p) { return IsVolumeRef(p) ? folderCount_ + VolumeIndex(p) : FolderNode(p); },
        starts, children);
}

void BaseIndexBuilder::EmitVolumes(BaseIndex& index) const {
    index.volumes_ = raw_.volumes;
    for (const auto& v : index.volumes_)
        index.volumesFolded_.push_back(Fold(v));
}

void BaseIndexBuilder::EmitFolderNames(BaseIndex& index, BuiltArrays& out) {
    const std::uint32_t folders = index.FolderCount();
    out.folderEntries.reserve(folders);
    out.folderFoldedStarts.reserve(folders + 1);
    out.folderFoldedStarts.push_back(0);
    for (std::uint32_t k = 0; k < index.Size(); ++k) {
        if (!index.IsFolder(k)) continue;
        out.folderEntries.push_back(k);
        out.folderFolded.append(index.Folded(k));
        out.folderFolded.push_back('\0');
        out.folderFoldedStarts.push_back(static_cast<std::uint32_t>(out.folderFolded.size()));
    }
    out.folderFolded.shrink_to_fit();
    index.a_ = out.Views();
}

std::shared_ptr<const BaseIndex> BaseIndexBuilder::Run() {
    if (!FoldNames()) return nullptr;
    auto index = std::make_shared<BaseIndex>();
    // Held by the index from the start: the views taken on the way stay valid as it fills.
    auto built = std::make_shared<BuiltArrays>();
    index->storage_ = built;
    if (foldedAscending_) {
        // Most likely a flattened catalogue (a save, a compaction). Checking its order and sorting its
        // children by parent are independent, and each is as slow as the other on a large index.
        constexpr std::size_t kWorthASecondThread = 1 << 16;
        std::vector<std::uint32_t> starts, children;
        const auto byParent = [&] { SortRawByParent(starts, children); };
        bool inOrder = false;
        if (entryCount_ >= kWorthASecondThread) {
            std::thread second(byParent);
            inOrder = InputInResultOrder();
            second.join();
        } else {
            byParent();
            inOrder = InputInResultOrder();
        }
        if (inOrder) {
            EmitInInputOrder(*index, *built, std::move(starts), std::move(children));
            index->grams_ = NameGrams::Of(index->a_.folded, index->a_.foldedStarts);
            return index;
        }
    }
    SortByFoldedName();
    RankFolders();
    SortEqualFoldedRuns();
    EmitInResultOrder(*index, *built);
    index->grams_ = NameGrams::Of(index->a_.folded, index->a_.foldedStarts);
    return index;
}

std::shared_ptr<const BaseIndex> BaseIndex::Build(RawTree&& raw, std::string* error) {
    BaseIndexBuilder builder(raw);
    if (!builder.Validate(error)) return nullptr;
    auto index = builder.Run();
    if (!index && error) *error = "names too large for one index";
    { RawTree released = std::move(raw); } // frees the input now, not when the caller's copy dies
    return index;
}

std::pair<const std::uint32_t*, const std::uint32_t*> BaseIndex::Children(std::uint32_t parent) const {
    // A volume added since the build, like a file, has no children here.
    std::size_t run;
    if (IsVolumeRef(parent) && VolumeIndex(parent) < volumes_.size())
        run = FolderCount() + VolumeIndex(parent);
    else if (!IsVolumeRef(parent) && parent < Size() && IsFolder(parent))
        run = FolderOrdinal(parent);
    else
        return {nullptr, nullptr};
    const std::uint32_t* all = a_.children.data();
    return {all + a_.childrenStarts[run], all + a_.childrenStarts[run + 1]};
}

} // namespace nuv::engine
