#include "engine/base_index.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "engine/case_fold.h"
#include "engine/parallel_sort.h"

namespace nuv::engine {

// Turns a RawTree into a BaseIndex. Folders and volumes are "nodes": entry i is node i, volume v
// is node N + v, which lets one array describe every parent.
class BaseIndexBuilder {
public:
    explicit BaseIndexBuilder(RawTree& raw) : raw_(raw), entryCount_(raw.Size()) {}

    bool Validate(std::string* error);
    std::shared_ptr<const BaseIndex> Run();

private:
    std::size_t ParentNode(std::size_t i) const {
        const std::uint32_t p = raw_.parents[i];
        return IsVolumeRef(p) ? entryCount_ + VolumeIndex(p) : p;
    }
    std::string_view FoldedOf(std::uint32_t i) const {
        return std::string_view(folded_).substr(foldedStarts_[i],
                                                foldedStarts_[i + 1] - foldedStarts_[i] - 1);
    }
    bool CheckParent(std::size_t i, std::string* error) const;
    bool CheckAcyclic(std::string* error) const;
    void FoldNames();
    void SortByFoldedName();
    template <typename Less> void SortEqualFoldedRuns(Less less);
    void RankFolders();
    void Emit(BaseIndex& index) const;
    void EmitInInputOrder(BaseIndex& index);
    void EmitChildren(BaseIndex& index) const;
    static void EmitFolderNames(BaseIndex& index);

    RawTree& raw_;
    std::size_t entryCount_;
    std::string folded_;                      // raw order, each name followed by a zero byte as in the index
    std::vector<std::uint32_t> foldedStarts_; // raw order
    std::vector<std::uint32_t> order_;        // raw indices in result order
    std::vector<std::uint32_t> rank_;         // per node: folder path order
};

bool BaseIndexBuilder::CheckParent(std::size_t i, std::string* error) const {
    const std::uint32_t p = raw_.parents[i];
    const bool valid =
        IsVolumeRef(p) ? VolumeIndex(p) < raw_.volumes.size() : p < entryCount_ && p != i && raw_.IsFolder(p);
    if (!valid && error) *error = "entry " + std::to_string(i) + " has an invalid parent";
    return valid;
}

bool BaseIndexBuilder::CheckAcyclic(std::string* error) const {
    enum : std::uint8_t { kUnseen, kOnPath, kReachesVolume };
    std::vector<std::uint8_t> state(entryCount_, kUnseen);
    std::vector<std::uint32_t> path;
    for (std::size_t start = 0; start < entryCount_; ++start) {
        std::uint32_t node = static_cast<std::uint32_t>(start);
        path.clear();
        while (!IsVolumeRef(node) && state[node] == kUnseen) {
            if (!CheckParent(node, error)) return false;
            state[node] = kOnPath;
            path.push_back(node);
            node = raw_.parents[node];
        }
        if (!IsVolumeRef(node) && state[node] == kOnPath) {
            if (error) *error = "folders form a cycle at entry " + std::to_string(node);
            return false;
        }
        for (std::uint32_t n : path)
            state[n] = kReachesVolume;
    }
    return true;
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
    return CheckAcyclic(error);
}

void BaseIndexBuilder::FoldNames() {
    // Folding keeps most names' sizes, so this is usually exact; the rare growth is trimmed later.
    folded_.reserve(raw_.names.size() + entryCount_);
    foldedStarts_.reserve(entryCount_ + 1);
    foldedStarts_.push_back(0);
    for (std::size_t i = 0; i < entryCount_; ++i) {
        AppendFolded(raw_.Name(i), folded_);
        folded_.push_back('\0');
        foldedStarts_.push_back(static_cast<std::uint32_t>(folded_.size()));
    }
}

// Sorting by an 8-byte prefix held beside each index keeps most comparisons inside one array;
// only names that share their first 8 bytes go to the name buffer.
void BaseIndexBuilder::SortByFoldedName() {
    order_.resize(entryCount_);
    std::iota(order_.begin(), order_.end(), 0u);
    bool sorted = true;
    for (std::uint32_t i = 1; i < entryCount_ && sorted; ++i)
        sorted = FoldedOf(i - 1) <= FoldedOf(i);
    if (sorted) return;
    struct Keyed {
        std::uint64_t prefix; // the first 8 bytes, big-endian, zero-padded: compares like the text
        std::uint32_t entry;
    };
    std::vector<Keyed> keyed(entryCount_);
    for (std::uint32_t i = 0; i < entryCount_; ++i) {
        const std::string_view f = FoldedOf(i);
        std::uint64_t prefix = 0;
        for (std::size_t b = 0; b < 8; ++b)
            prefix = (prefix << 8) | (b < f.size() ? static_cast<unsigned char>(f[b]) : 0u);
        keyed[i] = {prefix, i};
    }
    ParallelSort(keyed, [&](const Keyed& a, const Keyed& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        const std::string_view fa = FoldedOf(a.entry), fb = FoldedOf(b.entry);
        // Equal prefixes: either both names are at least 8 bytes long, or the shorter one (padded
        // with zeros) decides; comparing whole texts settles both cases.
        return fa < fb;
    });
    for (std::uint32_t k = 0; k < entryCount_; ++k)
        order_[k] = keyed[k].entry;
}

// Names that fold alike are few per run, so ordering them further costs little.
template <typename Less> void BaseIndexBuilder::SortEqualFoldedRuns(Less less) {
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= entryCount_; ++i) {
        if (i < entryCount_ && FoldedOf(order_[i]) == FoldedOf(order_[runStart])) continue;
        if (i - runStart > 1) std::sort(order_.begin() + runStart, order_.begin() + i, less);
        runStart = i;
    }
}

// Preorder over folders, siblings in (folded, exact) name order, numbers folder paths in exactly
// the order "component by component" defines.
void BaseIndexBuilder::RankFolders() {
    const std::size_t nodeCount = entryCount_ + raw_.volumes.size();
    std::vector<std::uint32_t> firstChild(nodeCount + 1, 0);
    for (std::size_t i = 0; i < entryCount_; ++i)
        if (raw_.IsFolder(i)) ++firstChild[ParentNode(i) + 1];
    std::partial_sum(firstChild.begin(), firstChild.end(), firstChild.begin());
    std::vector<std::uint32_t> childFolders(firstChild.back());
    std::vector<std::uint32_t> fill(firstChild.begin(), firstChild.end() - 1);
    for (std::uint32_t i : order_)
        if (raw_.IsFolder(i)) childFolders[fill[ParentNode(i)]++] = i;

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
    std::vector<std::size_t> stack;
    for (auto v = volumeOrder.rbegin(); v != volumeOrder.rend(); ++v)
        stack.push_back(entryCount_ + *v);
    while (!stack.empty()) {
        const std::size_t node = stack.back();
        stack.pop_back();
        rank_[node] = nextRank++;
        for (std::uint32_t c = firstChild[node + 1]; c > firstChild[node]; --c)
            stack.push_back(childFolders[c - 1]);
    }
}

void BaseIndexBuilder::Emit(BaseIndex& index) const {
    std::vector<std::uint32_t> position(entryCount_);
    for (std::uint32_t k = 0; k < entryCount_; ++k)
        position[order_[k]] = k;

    index.names_.reserve(raw_.names.size());
    index.nameStarts_.reserve(entryCount_ + 1);
    index.folded_.reserve(folded_.size() + entryCount_);
    index.foldedStarts_.reserve(entryCount_ + 1);
    index.parents_.reserve(entryCount_);
    index.folderBits_.assign((entryCount_ + 63) / 64, 0);
    index.nameStarts_.push_back(0);
    index.foldedStarts_.push_back(0);
    for (std::uint32_t k = 0; k < entryCount_; ++k) {
        const std::uint32_t i = order_[k];
        index.names_.append(raw_.Name(i));
        index.nameStarts_.push_back(static_cast<std::uint32_t>(index.names_.size()));
        index.folded_.append(FoldedOf(i));
        index.folded_.push_back('\0');
        index.foldedStarts_.push_back(static_cast<std::uint32_t>(index.folded_.size()));
        const std::uint32_t p = raw_.parents[i];
        index.parents_.push_back(IsVolumeRef(p) ? p : position[p]);
        if (raw_.IsFolder(i)) index.folderBits_[k / 64] |= std::uint64_t{1} << (k % 64);
    }

    EmitChildren(index);
}

// Input already in result order (a loaded file, a compaction) keeps its arrays as they are.
void BaseIndexBuilder::EmitInInputOrder(BaseIndex& index) {
    index.names_ = std::move(raw_.names);
    index.nameStarts_ = std::move(raw_.nameStarts);
    index.parents_ = std::move(raw_.parents);
    index.folderBits_ = std::move(raw_.folderBits);
    // A scan may have reserved generously; the index keeps only what it holds.
    index.names_.shrink_to_fit();
    index.nameStarts_.shrink_to_fit();
    index.parents_.shrink_to_fit();
    index.folderBits_.shrink_to_fit();
    index.folded_ = std::move(folded_);
    if (index.folded_.capacity() > index.folded_.size() + index.folded_.size() / 64)
        index.folded_.shrink_to_fit();
    index.foldedStarts_ = std::move(foldedStarts_);
    EmitChildren(index);
}

void BaseIndexBuilder::EmitChildren(BaseIndex& index) const {
    // Counting sort by parent keeps each parent's children in index order, which is result order.
    const std::size_t nodeCount = entryCount_ + raw_.volumes.size();
    std::vector<std::uint32_t> slot(nodeCount + 1, 0);
    const auto node = [&](std::uint32_t p) { return IsVolumeRef(p) ? entryCount_ + VolumeIndex(p) : p; };
    for (std::uint32_t p : index.parents_)
        ++slot[node(p) + 1];
    std::partial_sum(slot.begin(), slot.end(), slot.begin());
    index.foldersBefore_.reserve(index.folderBits_.size() + 1);
    std::uint32_t folders = 0;
    for (std::uint64_t word : index.folderBits_) {
        index.foldersBefore_.push_back(folders);
        folders += static_cast<std::uint32_t>(CountBits(word));
    }
    index.foldersBefore_.push_back(folders);

    // Files have no children in a built index, so only folders and volumes need a start.
    index.childrenStarts_.reserve(folders + raw_.volumes.size() + 1);
    for (std::uint32_t k = 0; k < entryCount_; ++k)
        if (index.IsFolder(k)) index.childrenStarts_.push_back(slot[k]);
    for (std::size_t v = 0; v < raw_.volumes.size(); ++v)
        index.childrenStarts_.push_back(slot[entryCount_ + v]);
    index.childrenStarts_.push_back(static_cast<std::uint32_t>(entryCount_));
    index.children_.resize(entryCount_);
    for (std::uint32_t k = 0; k < entryCount_; ++k)
        index.children_[slot[node(index.parents_[k])]++] = k;

    index.volumes_ = raw_.volumes;
    for (const auto& v : index.volumes_)
        index.volumesFolded_.push_back(Fold(v));
    EmitFolderNames(index);
}

void BaseIndexBuilder::EmitFolderNames(BaseIndex& index) {
    const std::uint32_t folders = index.FolderCount();
    index.folderEntries_.reserve(folders);
    index.folderFoldedStarts_.reserve(folders + 1);
    index.folderFoldedStarts_.push_back(0);
    for (std::uint32_t k = 0; k < index.Size(); ++k) {
        if (!index.IsFolder(k)) continue;
        index.folderEntries_.push_back(k);
        index.folderFolded_.append(index.Folded(k));
        index.folderFolded_.push_back('\0');
        index.folderFoldedStarts_.push_back(static_cast<std::uint32_t>(index.folderFolded_.size()));
    }
    index.folderFolded_.shrink_to_fit();
}

std::shared_ptr<const BaseIndex> BaseIndexBuilder::Run() {
    FoldNames();
    if (folded_.size() > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    SortByFoldedName();
    SortEqualFoldedRuns([&](std::uint32_t a, std::uint32_t b) { return raw_.Name(a) < raw_.Name(b); });
    RankFolders();
    SortEqualFoldedRuns([&](std::uint32_t a, std::uint32_t b) {
        const auto ra = rank_[ParentNode(a)], rb = rank_[ParentNode(b)];
        return ra != rb ? ra < rb : raw_.Name(a) < raw_.Name(b);
    });
    auto index = std::make_shared<BaseIndex>();
    bool inInputOrder = true;
    for (std::uint32_t k = 0; k < entryCount_ && inInputOrder; ++k)
        inInputOrder = order_[k] == k;
    if (inInputOrder)
        EmitInInputOrder(*index);
    else
        Emit(*index);
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
    const std::uint32_t* all = children_.data();
    return {all + childrenStarts_[run], all + childrenStarts_[run + 1]};
}

} // namespace nuv::engine
