#include "engine/result_set.h"

#include <algorithm>
#include <bit>

namespace nuv::engine {
namespace {

// Up to this many items a list is kept whatever the catalogue's size: small answers are where
// refining while typing pays, and they cost little memory.
constexpr std::size_t kListAlwaysUpTo = 65536;

constexpr std::size_t kBlockWords = 8;

// The position of the set bit with `rank` set bits before it; the word has more than `rank`.
unsigned BitWithRank(std::uint64_t word, std::size_t rank) {
    for (; rank > 0; --rank)
        word &= word - 1;
    return static_cast<unsigned>(std::countr_zero(word));
}

} // namespace

ResultSet::ResultSet(std::vector<std::uint32_t> items) : size_(items.size()), list_(std::move(items)) {}

ResultSet ResultSet::FromMarks(EntryBits marks, std::size_t count, ResultSet spent) {
    ResultSet set;
    set.size_ = count;
    // A list of `count` items takes 4 bytes each, the marks a bit per entry: whichever is smaller,
    // and a list while it is short. Past that size a fresh scan also beats re-checking each item.
    if (count <= std::max(kListAlwaysUpTo, marks.size() * 2)) {
        std::vector<std::uint32_t>& list = spent.list_;
        // Reused only when it is not far larger than needed: memory kept past the answer's size
        // is memory held for nothing.
        if (list.capacity() < count || list.capacity() > 2 * count + kListAlwaysUpTo)
            list = std::vector<std::uint32_t>();
        list.clear();
        list.reserve(count);
        ForEachMarked(marks, 0, marks.size(), [&](std::uint32_t entry) { list.push_back(entry); });
        set.list_ = std::move(list);
        set.marks_ = std::move(marks); // spare, for the next scan
        return set;
    }
    set.dense_ = true;
    set.ranks_ = std::move(spent.ranks_);
    set.ranks_.clear();
    std::size_t before = 0;
    for (std::size_t w = 0; w < marks.size(); ++w) {
        if (w % kBlockWords == 0) set.ranks_.push_back(static_cast<std::uint32_t>(before));
        before += static_cast<std::size_t>(CountBits(marks[w]));
    }
    set.marks_ = std::move(marks);
    return set;
}

std::uint32_t ResultSet::MarkedAt(std::size_t rank) const {
    const auto block = static_cast<std::size_t>(
        std::upper_bound(ranks_.begin(), ranks_.end(), static_cast<std::uint32_t>(rank)) - ranks_.begin() - 1);
    rank -= ranks_[block];
    for (std::size_t w = block * kBlockWords;; ++w) {
        const auto inWord = static_cast<std::size_t>(CountBits(marks_[w]));
        if (rank < inWord) return static_cast<std::uint32_t>(w * 64 + BitWithRank(marks_[w], rank));
        rank -= inWord;
    }
}

std::uint32_t ResultSet::At(std::size_t row) const {
    if (!dense_) return list_[row];
    if (added_.empty()) return MarkedAt(row);
    const auto next = std::lower_bound(added_.begin(), added_.end(), row,
                                       [](const auto& added, std::size_t r) { return added.first < r; });
    if (next != added_.end() && next->first == row) return next->second;
    return MarkedAt(row - static_cast<std::size_t>(next - added_.begin()));
}

void ResultSet::PlaceAdded(const std::vector<std::uint32_t>& added,
                           const std::function<bool(std::uint32_t, std::uint32_t)>& before) {
    if (added.empty()) return;
    if (!dense_) {
        // The few added items go among the many entries by binary search, so the entries cost
        // no comparisons.
        std::vector<std::uint32_t> merged;
        merged.reserve(list_.size() + added.size());
        auto from = list_.begin();
        for (std::uint32_t item : added) {
            const auto to = std::upper_bound(from, list_.end(), item, before);
            merged.insert(merged.end(), from, to);
            merged.push_back(item);
            from = to;
        }
        merged.insert(merged.end(), from, list_.end());
        list_ = std::move(merged);
        size_ = list_.size();
        return;
    }
    // Rows of the marks alone are still rows of the entries while placing.
    std::size_t from = 0;
    const std::size_t entries = size_;
    for (std::size_t k = 0; k < added.size(); ++k) {
        std::size_t low = from, high = entries;
        while (low < high) {
            const std::size_t mid = low + (high - low) / 2;
            if (before(added[k], MarkedAt(mid)))
                high = mid;
            else
                low = mid + 1;
        }
        added_.emplace_back(low + k, added[k]);
        from = low;
    }
    size_ += added.size();
}

} // namespace nuv::engine
