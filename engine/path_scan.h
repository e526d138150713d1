#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/base_index.h"
#include "engine/entry_bits.h"

namespace nuv::engine {

// Sets the bit of every base entry whose folded full path ("volume\folder\...\name") contains
// `text`, a folded text holding at least one '\'.
//
// The last '\' of the text must fall on a '\' of the path, so the text names a folder G (its path
// ends with everything before that '\') and a start of one of G's children's names (everything
// after it). Such children match, and so does everything below those that are folders: the text
// lies within their path. Finding the few folders G from their names and walking down from them
// costs about what the answer holds, where testing every entry's path would cost the whole index.
void MarkEntriesWithPathContaining(const BaseIndex& base, std::string_view text, EntryBits& marked);

// The same for paths that start with `text` (a pattern's text before its first wildcard): G's
// path is then exactly everything before the last '\', from the volume down.
void MarkEntriesWithPathStarting(const BaseIndex& base, std::string_view text, EntryBits& marked);

} // namespace nuv::engine
