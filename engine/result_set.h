#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/entry_bits.h"

namespace nuv::engine {

// The items a query matched, in result order (items as in Snapshot: base entries, or added entries
// with kAddedItem set).
//
// A short answer is a list of items. A long one, past a list of kept bits' size, is a bit per base
// entry plus the few added items placed among them: a one-letter query matching half of ten million
// names then writes 1.25 MB instead of 20, and on a machine where every fresh page costs a fault,
// the bytes written are most of a dense query's time. Row i of the marks is found through a count
// of the marks before every block of 512 entries.
class ResultSet {
public:
    ResultSet() = default;
    explicit ResultSet(std::vector<std::uint32_t> items);

    // The base entries marked in `marks` (`count` of them), as a list when that is short, else as
    // the marks themselves. `spent` is a result set no longer needed whose memory this one takes
    // over where it can.
    static ResultSet FromMarks(EntryBits marks, std::size_t count, ResultSet spent);

    std::size_t Size() const { return size_; }
    std::uint32_t At(std::size_t row) const; // row < Size()

    // Whether the answer is a list; only a list is worth refining item by item.
    bool IsList() const { return !dense_; }
    const std::vector<std::uint32_t>& List() const { return list_; }

    // Places the added items (in result order) among the base entries: `before(added, entry)` tells
    // whether an added item comes before a base entry.
    void PlaceAdded(const std::vector<std::uint32_t>& added,
                    const std::function<bool(std::uint32_t added, std::uint32_t entry)>& before);

    // The bits buffer this set holds, marks or spare, for the next scan to write into.
    EntryBits TakeMarks() { return std::move(marks_); }

private:
    std::uint32_t MarkedAt(std::size_t rank) const; // the base entry with `rank` marks before it

    bool dense_ = false;
    std::size_t size_ = 0;
    std::vector<std::uint32_t> list_;
    EntryBits marks_;                 // when dense; else a spare buffer, or empty
    std::vector<std::uint32_t> ranks_; // marks before each block of kBlockWords words
    std::vector<std::pair<std::size_t, std::uint32_t>> added_; // (row, item), ascending rows
};

} // namespace nuv::engine
