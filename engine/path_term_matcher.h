#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/snapshot.h"

namespace nuv::engine {

// Whether an item's folded full path contains one term's text. Runs a string-matching automaton
// (Knuth-Morris-Pratt) down the path and remembers its state after each folder, so each folder's
// path is read once per query however many entries it holds, and no path is ever built.
//
// A full path is "folder\name" and a name holds no '\', so a match either lies within
// "folder\" or ends in the name: then the text up to its last '\' ends "folder\" and the rest
// starts the name. Both facts belong to the folder, which leaves one prefix test per entry.
class PathTermMatcher {
public:
    PathTermMatcher(const Snapshot& snapshot, std::string_view text);

    // Inline for the common case, a base entry whose folder is settled: a scan asks once per entry.
    bool Matches(std::uint32_t item) {
        if (!(item & kAddedItem)) {
            const Verdict verdict = StoredVerdict(VerdictSlot(snapshot_.Base().Parent(item)));
            if (verdict == kNoMatch) return false;
            if (verdict == kAllMatch) return true;
        }
        return MatchesSettling(item);
    }

private:
    // A folder's verdict for its children: not known yet, no child matches through the folder,
    // every child matches, or a child matches when its name starts with the text's tail.
    enum Verdict : std::uint64_t { kUnknown = 0, kNoMatch = 1, kAllMatch = 2, kTailDecides = 3 };

    struct State {
        std::uint32_t matched = 0; // length of the longest prefix of the text just read
        bool found = false;        // the whole text has been read somewhere
        bool headEnds = false;     // the text up to its last '\' is a suffix of what was read
    };

    State Advance(State state, std::string_view text) const;
    bool EndsWithHead(std::uint32_t matched) const;
    State AfterFolder(NodeRef folder); // the state after reading "folder path\"
    std::uint32_t* MemoSlot(NodeRef folder);
    bool MatchesSettling(std::uint32_t item);
    bool BaseParentVerdict(std::uint32_t parentRef, std::uint32_t item);
    std::size_t VerdictSlot(std::uint32_t parentRef) const {
        // The parent of a base entry is always a base folder or a volume.
        return IsVolumeRef(parentRef) ? snapshot_.Base().FolderCount() + VolumeIndex(parentRef)
                                      : snapshot_.Base().FolderOrdinal(parentRef);
    }
    Verdict StoredVerdict(std::size_t slot) const {
        return static_cast<Verdict>((verdicts_[slot / 32] >> (slot % 32 * 2)) & 3);
    }

    const Snapshot& snapshot_;
    std::string text_;
    std::uint32_t headLength_ = 0; // the text up to and with its last '\'; the rest is the tail
    std::vector<std::uint32_t>
        fallback_; // for each matched length, the next shorter prefix that is also a suffix
    std::vector<std::uint32_t> memo_; // by base folder number, then volume: 0 unknown, else the state packed
    // What each folder means for its children, two bits per base folder then volume. Read once
    // per entry in a random order: numbering folders only, and a quarter of a byte per slot, keeps
    // the verdicts of a million entries' folders inside one core's cache.
    std::vector<std::uint64_t> verdicts_;
    std::vector<NodeRef> chainScratch_; // kept between folders so a climb allocates nothing
};

} // namespace nuv::engine
