#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::engine {

// The parsed form of the query language described in engine/QUERY.md.
enum class TermKind : std::uint8_t {
    kNameContains, // the folded name contains text
    kPathContains, // the folded full path contains text (the term had a '\')
    kNameWildcard, // the folded name, whole, matches the pattern ('*', '?')
    kPathWildcard, // the folded full path, whole, matches the pattern
};

struct Term {
    TermKind kind = TermKind::kNameContains;
    bool negated = false;
    std::string text; // folded; '/' already turned into '\'

    bool operator==(const Term&) const = default;
};

// An entry matches when every group matches; a group matches when any of its terms does. A query
// without groups matches every entry.
struct Query {
    std::vector<std::vector<Term>> groups;
};

// Total: every input, however malformed, has a meaning (see QUERY.md); nothing is rejected.
Query ParseQuery(std::string_view text);

// True when every entry `narrower` matches is also matched by `wider`, judged from the terms alone
// (false when unsure). This is what lets a search refine its previous results as the user types.
bool IsNarrowing(const Query& narrower, const Query& wider);

// The longest run of pattern text between wildcards; a name matching the pattern contains it.
std::string_view LongestLiteralRun(std::string_view pattern);

} // namespace nuv::engine
