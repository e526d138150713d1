#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/base_index.h"
#include "engine/entry_bits.h"

namespace nuv::engine {

constexpr std::size_t kNoWalkBudget = static_cast<std::size_t>(-1);

// Sets the bit of every base entry whose folded full path ("volume\folder\...\name") contains
// `text`, a folded text holding at least one '\'.
//
// The last '\' of the text must fall on a '\' of the path, so the text names a folder G (its path
// ends with everything before that '\') and a start of one of G's children's names (everything
// after it). Such children match, and so does everything below those that are folders: the text
// lies within their path. Finding the few folders G from their names and walking down from them
// costs about what the answer holds, where testing every entry's path would cost the whole index.
//
// A walk that would visit more than `budget` entries stops early and returns false, the marks
// then incomplete: past some size, checking a few candidates with PathAllowance costs less.
bool MarkEntriesWithPathContaining(const BaseIndex& base, std::string_view text, EntryBits& marked,
                                   std::size_t budget = kNoWalkBudget);

// The same for paths that start with `text` (a pattern's text before its first wildcard): G's
// path is then exactly everything before the last '\', from the volume down.
bool MarkEntriesWithPathStarting(const BaseIndex& base, std::string_view text, EntryBits& marked,
                                 std::size_t budget = kNoWalkBudget);

// Answers entry by entry what the marking above would mark, by looking up from the entry rather
// than down from G, and remembering each folder's answer: a few candidates under a huge folder
// then cost a short climb each instead of a walk over the folder. One thread at a time.
class PathAllowance {
public:
    PathAllowance(const BaseIndex& base, std::string_view text, bool fromVolume);
    bool Allows(std::uint32_t entry);

private:
    bool StartsWithTail(std::uint32_t entry) const;
    bool IsG(std::uint32_t node);              // a folder or volume whose path ends with the head
    bool FolderAllows(std::uint32_t folder);   // the folder is a start or lies below one

    const BaseIndex& base_;
    bool fromVolume_;
    bool nothing_ = false;   // a text without '\' allows nothing
    bool anyParent_ = false; // nothing before the '\': every folder and volume is a G
    std::vector<std::string_view> head_;
    std::string_view tail_;
    // By folder number: whether each answer is known yet, and the answer.
    EntryBits settled_, allowed_, gSettled_, isG_;
    std::vector<std::uint32_t> chain_;
};

} // namespace nuv::engine
