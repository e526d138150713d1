#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/base_index.h"
#include "engine/entry_bits.h"

namespace nuv::engine {

// A text to find in folded names, optionally pinned to the name's start or end (a pattern such
// as "*.dll" is a text pinned to the end).
struct NameNeedle {
    std::string_view text; // not empty
    bool atStart = false;
    bool atEnd = false;
};

// Whether one folded name holds the needle where it is pinned.
inline bool NameHolds(std::string_view folded, const NameNeedle& needle) {
    if (needle.atStart && needle.atEnd) return folded == needle.text;
    if (needle.atStart) return folded.starts_with(needle.text);
    if (needle.atEnd) return folded.ends_with(needle.text);
    return folded.find(needle.text) != std::string_view::npos;
}

// Appends, ascending, the entries in [first, last) whose folded name holds the needle where it
// is pinned. Entries already in `entries` stay; the scan only appends.
void FindEntriesContaining(const BaseIndex& base, const NameNeedle& needle, std::uint32_t first,
                           std::uint32_t last, std::vector<std::uint32_t>& entries);

// The same over every entry, both cores sharing the scan.
std::vector<std::uint32_t> FindAllEntriesContaining(const BaseIndex& base, const NameNeedle& needle);

// Sets the bit of every entry in [first, last) whose folded name holds the needle where it is
// pinned; other bits stay as they are.
void MarkEntriesContaining(const BaseIndex& base, const NameNeedle& needle, std::uint32_t first,
                           std::uint32_t last, EntryBits& marks);

// The folders (entry indices, ascending) whose folded name holds the needle where it is pinned,
// both cores sharing the scan.
std::vector<std::uint32_t> FindFoldersContaining(const BaseIndex& base, const NameNeedle& needle);

} // namespace nuv::engine
