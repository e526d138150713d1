#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/name_scan.h"
#include "engine/query.h"

namespace nuv::engine {

// Groups already known to match an item, one bit each (groups past 64 are always checked).
using GroupSet = std::uint64_t;
inline constexpr GroupSet kNoGroups = 0;
inline GroupSet OnlyGroup(std::size_t g) {
    return g < 64 ? GroupSet{1} << g : kNoGroups;
}

// A text an item's folded full path must hold: anywhere, or from its volume on.
struct PathText {
    std::string_view text;
    bool fromVolume = false;
};

// A group whose terms find the candidates, every match of the group meeting one of its texts: by
// scanning all names for needles, or by walking down from the folders that path texts name.
struct Driver {
    std::size_t group = 0;
    std::vector<NameNeedle> needles;
    std::vector<PathText> paths;
    GroupSet proven = kNoGroups; // the group, when meeting a text is matching it
};

struct Drivers {
    std::optional<Driver> paths;
    std::optional<Driver> names;
    // Groups matched by whatever meets both drivers: "c:\users\*.txt" is exactly a path from
    // "c:\users\" and a name ending ".txt".
    GroupSet provenByBoth = kNoGroups;
    // Groups every item matches ("*"), and whether some group matches none ("!*"), so that the
    // query matches nothing.
    GroupSet alwaysMatched = kNoGroups;
    bool matchesNothing = false;
};

// The best group of each kind. A path group wins unless its texts would start the walk from
// nearly every folder and a name group exists; of name groups, the one whose shortest needle is
// longest (longer texts hit fewer names), then the one with fewer needles.
Drivers ChooseDrivers(const Query& query);

} // namespace nuv::engine
