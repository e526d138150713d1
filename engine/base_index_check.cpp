// BaseIndex::Adopt: arrays that come from outside (an index file) are used in place only once
// they are known to be exactly what a build would have made. Every check reads within the bounds
// the checks before it established, so any bytes at all are refused with a reason, never read
// out of range.
#include "engine/base_index.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <thread>
#include <tuple>

#include "engine/case_fold.h"

namespace nuv::engine {
namespace {

class ArrayCheck {
public:
    ArrayCheck(const BaseIndexArrays& a, const std::vector<std::string>& volumes)
        : a_(a), volumes_(volumes), entries_(a.parents.size()) {}

    // The reason the arrays cannot be used, or null when they can.
    const char* Run() {
        const char* why = nullptr;
        for (auto step : {&ArrayCheck::CheckSizes, &ArrayCheck::CheckNameOffsets})
            if ((why = (this->*step)()) != nullptr) return why;
        // With the offsets known good, folding every name again is independent of the tables,
        // and about as slow as all of them together: on a large index it gets a thread of its own.
        constexpr std::size_t kWorthASecondThread = 1 << 16;
        const char* foldingWhy = nullptr;
        std::thread folding;
        if (entries_ >= kWorthASecondThread)
            folding = std::thread([&] { foldingWhy = CheckFolding(); });
        else
            foldingWhy = CheckFolding();
        for (auto step : {&ArrayCheck::CheckFolders, &ArrayCheck::CheckParents, &ArrayCheck::CheckFolderNames,
                          &ArrayCheck::CheckChildren, &ArrayCheck::CheckTreeAndOrder})
            if ((why = (this->*step)()) != nullptr) break;
        if (folding.joinable()) folding.join();
        return why ? why : foldingWhy;
    }

private:
    std::string_view Name(std::size_t i) const {
        return a_.names.substr(a_.nameStarts[i], a_.nameStarts[i + 1] - a_.nameStarts[i]);
    }
    std::string_view Folded(std::size_t i) const {
        return a_.folded.substr(a_.foldedStarts[i], a_.foldedStarts[i + 1] - a_.foldedStarts[i] - 1);
    }
    bool IsFolder(std::size_t i) const { return (a_.folderBits[i / 64] >> (i % 64)) & 1; }
    std::uint32_t FolderOrdinal(std::size_t i) const {
        return a_.foldersBefore[i / 64] + static_cast<std::uint32_t>(CountBits(
                                              a_.folderBits[i / 64] & ((std::uint64_t{1} << (i % 64)) - 1)));
    }
    // Folders are nodes 0 .. F - 1 by folder number, volumes F .. F + V - 1.
    std::size_t ParentNode(std::size_t i) const {
        const std::uint32_t p = a_.parents[i];
        return IsVolumeRef(p) ? folders_ + VolumeIndex(p) : FolderOrdinal(p);
    }

    const char* CheckSizes() {
        if (entries_ > kMaxEntries || volumes_.size() > kMaxEntries) return "too many entries";
        const std::size_t words = (entries_ + 63) / 64;
        if (a_.nameStarts.size() != entries_ + 1 || a_.foldedStarts.size() != entries_ + 1 ||
            a_.folderBits.size() != words || a_.foldersBefore.size() != words + 1 ||
            a_.children.size() != entries_)
            return "index tables do not match the number of entries";
        return nullptr;
    }

    // Offsets start at zero, never run backwards and end at their buffer's end; a folded name
    // also ends in the zero byte that keeps a scan's hit from running into the next name.
    const char* CheckNameOffsets() {
        if (!Ascending(a_.nameStarts, a_.names.size())) return "name table does not cover the names";
        if (!Ascending(a_.foldedStarts, a_.folded.size()))
            return "folded name table does not cover the names";
        for (std::size_t i = 0; i < entries_; ++i)
            if (a_.foldedStarts[i] == a_.foldedStarts[i + 1] || a_.folded[a_.foldedStarts[i + 1] - 1] != '\0')
                return "folded name not ended";
        return nullptr;
    }

    const char* CheckFolders() {
        if (entries_ % 64 != 0 && (a_.folderBits.back() >> (entries_ % 64)) != 0)
            return "folder flags past the last entry";
        std::uint64_t total = 0;
        for (std::size_t w = 0; w < a_.folderBits.size(); ++w) {
            if (a_.foldersBefore[w] != total) return "folder counts disagree with the folder flags";
            total += static_cast<std::uint64_t>(CountBits(a_.folderBits[w]));
        }
        if (a_.foldersBefore.back() != total) return "folder counts disagree with the folder flags";
        folders_ = static_cast<std::size_t>(total);
        if (a_.folderEntries.size() != folders_ || a_.folderFoldedStarts.size() != folders_ + 1 ||
            a_.childrenStarts.size() != folders_ + volumes_.size() + 1)
            return "folder tables do not match the number of folders";
        return nullptr;
    }

    const char* CheckParents() {
        for (std::size_t i = 0; i < entries_; ++i) {
            const std::uint32_t p = a_.parents[i];
            if (IsVolumeRef(p) ? VolumeIndex(p) >= volumes_.size() : p >= entries_ || p == i || !IsFolder(p))
                return "an entry has an invalid parent";
        }
        return nullptr;
    }

    // Queries match folded names, so a folded name that is not its name's folding would hide it.
    const char* CheckFolding() const {
        std::string folded;
        for (std::size_t i = 0; i < entries_; ++i) {
            folded.clear();
            AppendFolded(Name(i), folded);
            if (folded != Folded(i)) return "folded names disagree with the names";
        }
        return nullptr;
    }

    const char* CheckFolderNames() {
        if (!Ascending(a_.folderFoldedStarts, a_.folderFolded.size())) return "folder name table damaged";
        std::size_t k = 0;
        for (std::size_t w = 0; w < a_.folderBits.size(); ++w)
            for (std::uint64_t bits = a_.folderBits[w]; bits != 0; bits &= bits - 1, ++k) {
                const std::size_t entry = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                const std::string_view name = a_.folderFolded.substr(
                    a_.folderFoldedStarts[k], a_.folderFoldedStarts[k + 1] - a_.folderFoldedStarts[k]);
                if (a_.folderEntries[k] != entry || name.empty() || name.back() != '\0' ||
                    name.substr(0, name.size() - 1) != Folded(entry))
                    return "folder tables disagree with the entries";
            }
        return nullptr;
    }

    // Each parent's run holds entries of that parent alone, ascending; as every entry has one
    // parent and the runs hold as many as there are entries, each entry is in exactly one run.
    const char* CheckChildren() {
        if (!Ascending(a_.childrenStarts, entries_)) return "child table does not cover the entries";
        for (std::size_t node = 0; node + 1 < a_.childrenStarts.size(); ++node)
            for (std::uint32_t k = a_.childrenStarts[node]; k < a_.childrenStarts[node + 1]; ++k) {
                const std::uint32_t child = a_.children[k];
                if (child >= entries_ || ParentNode(child) != node ||
                    (k > a_.childrenStarts[node] && a_.children[k - 1] >= child))
                    return "child table disagrees with the parents";
            }
        return nullptr;
    }

    // Numbers folder paths in result order by a preorder walk from the volumes over each folder's
    // children, which in index order come by (folded, exact) name when the index is in order.
    // The walk reaches every folder exactly when no folders form a cycle. Then neighbours must
    // follow by folded name, then folder path, then exact name; that also proves the sibling
    // order the walk relied on, since siblings that fold alike meet as neighbours.
    const char* CheckTreeAndOrder() {
        std::vector<std::uint32_t> volumeOrder(volumes_.size());
        std::iota(volumeOrder.begin(), volumeOrder.end(), 0u);
        std::vector<std::string> volumeFolded;
        for (const auto& v : volumes_)
            volumeFolded.push_back(Fold(v));
        std::sort(volumeOrder.begin(), volumeOrder.end(), [&](std::uint32_t x, std::uint32_t y) {
            return std::tie(volumeFolded[x], volumes_[x]) < std::tie(volumeFolded[y], volumes_[y]);
        });
        constexpr std::uint32_t kUnranked = 0xFFFFFFFFu;
        std::vector<std::uint32_t> rank(folders_ + volumes_.size(), kUnranked);
        std::vector<std::size_t> stack;
        for (auto v = volumeOrder.rbegin(); v != volumeOrder.rend(); ++v)
            stack.push_back(folders_ + *v);
        std::uint32_t nextRank = 0;
        while (!stack.empty()) {
            const std::size_t node = stack.back();
            stack.pop_back();
            rank[node] = nextRank++;
            for (std::uint32_t k = a_.childrenStarts[node + 1]; k > a_.childrenStarts[node]; --k)
                if (IsFolder(a_.children[k - 1])) stack.push_back(FolderOrdinal(a_.children[k - 1]));
        }
        if (nextRank != rank.size()) return "folders form a cycle";

        for (std::size_t i = 1; i < entries_; ++i) {
            const int byFolded = Folded(i - 1).compare(Folded(i));
            if (byFolded < 0) continue;
            if (byFolded > 0) return "entries out of order";
            const std::uint32_t before = rank[ParentNode(i - 1)], after = rank[ParentNode(i)];
            if (before > after || (before == after && Name(i - 1) > Name(i))) return "entries out of order";
        }
        return nullptr;
    }

    static bool Ascending(ArrayView<std::uint32_t> starts, std::size_t end) {
        if (starts.empty() || starts.front() != 0 || starts.back() != end) return false;
        for (std::size_t i = 1; i < starts.size(); ++i)
            if (starts[i - 1] > starts[i]) return false;
        return true;
    }

    const BaseIndexArrays& a_;
    const std::vector<std::string>& volumes_;
    std::size_t entries_;
    std::size_t folders_ = 0;
};

} // namespace

std::shared_ptr<const BaseIndex> BaseIndex::Adopt(const BaseIndexArrays& arrays,
                                                  std::vector<std::string> volumes,
                                                  std::shared_ptr<const void> storage, std::string* error) {
    if (const char* why = ArrayCheck(arrays, volumes).Run()) {
        if (error) *error = why;
        return nullptr;
    }
    auto index = std::make_shared<BaseIndex>();
    index->a_ = arrays;
    index->volumes_ = std::move(volumes);
    for (const auto& v : index->volumes_)
        index->volumesFolded_.push_back(Fold(v));
    index->storage_ = std::move(storage);
    index->grams_ = NameGrams::Of(index->a_.folded, index->a_.foldedStarts);
    return index;
}

} // namespace nuv::engine
