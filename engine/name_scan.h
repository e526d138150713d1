#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/base_index.h"

namespace nuv::engine {

// Appends, ascending, the entries in [first, last) whose folded name contains `needle` (not
// empty). Entries already in `entries` stay; the scan only appends.
void FindEntriesContaining(const BaseIndex& base, std::string_view needle, std::uint32_t first,
                           std::uint32_t last, std::vector<std::uint32_t>& entries);

} // namespace nuv::engine
