#include "engine/query_drivers.h"

#include <algorithm>

#include "engine/text_match.h"

namespace nuv::engine {
namespace {

constexpr std::string_view kWildcards = "*?";

bool OnlyStars(std::string_view text) {
    return text.find_first_not_of('*') == std::string_view::npos;
}

// What a name pattern is scanned for: its longest literal run, pinned to the name's start or end
// when the pattern pins it there. A pattern that is one run between stars ("*.dll", "img*",
// "*a*") is proven by a hit alone.
NameNeedle NamePatternNeedle(std::string_view pattern, bool& proven) {
    const std::string_view run = LongestLiteralRun(pattern);
    proven = false;
    if (run.empty()) return NameNeedle{}; // all wildcards: nothing to scan for
    const auto at = static_cast<std::size_t>(run.data() - pattern.data());
    const std::string_view before = pattern.substr(0, at), after = pattern.substr(at + run.size());
    proven = OnlyStars(before) && OnlyStars(after) && (before.empty() || StartsAtCharacter(run));
    return NameNeedle{run, before.empty(), after.empty()};
}

// A path pattern's text after its last wildcard ends the path; the part of it after its last '\'
// (all of it, without one) ends the name, and is the whole name when a '\' comes before it.
NameNeedle PathPatternNeedle(std::string_view pattern) {
    const std::string_view trailing = pattern.substr(pattern.find_last_of(kWildcards) + 1);
    const std::size_t separator = trailing.rfind('\\');
    if (separator == std::string_view::npos) return NameNeedle{trailing, false, true};
    return NameNeedle{trailing.substr(separator + 1), true, true};
}

// A path pattern's text before its first wildcard starts the path; when that holds no '\', the
// longest run holding one must still lie somewhere in it. Either is the whole pattern when only
// stars surround it.
std::optional<PathText> PathPatternText(std::string_view pattern, bool& proven) {
    const std::size_t firstWildcard = pattern.find_first_of(kWildcards);
    const std::string_view leading = pattern.substr(0, firstWildcard);
    proven = false;
    if (leading.find('\\') != std::string_view::npos) {
        proven = OnlyStars(pattern.substr(firstWildcard));
        return PathText{leading, true};
    }
    std::string_view best;
    for (std::size_t start = 0; start < pattern.size();) {
        const std::size_t end = std::min(pattern.find_first_of(kWildcards, start), pattern.size());
        const std::string_view run = pattern.substr(start, end - start);
        if (run.find('\\') != std::string_view::npos && run.size() > best.size()) best = run;
        start = end + 1;
    }
    if (best.empty()) return std::nullopt;
    const auto at = static_cast<std::size_t>(best.data() - pattern.data());
    // "*\a\b*" is the run anywhere; with nothing on one side ("*\a") the run is pinned there.
    const std::string_view before = pattern.substr(0, at), after = pattern.substr(at + best.size());
    proven = !before.empty() && !after.empty() && OnlyStars(before) && OnlyStars(after) &&
             StartsAtCharacter(best);
    return PathText{best, false};
}

// A path text whose folder part is one short piece of a name ("\a", "x\") starts the walk from
// nearly every folder.
bool IsWeak(const PathText& path) {
    if (path.fromVolume) return false;
    const std::size_t lastSeparator = path.text.rfind('\\');
    const std::string_view head = path.text.substr(0, lastSeparator),
                           tail = path.text.substr(lastSeparator + 1);
    return head.find('\\') == std::string_view::npos && head.size() + tail.size() < 3;
}

std::optional<Driver> NameDriver(const std::vector<Term>& group, std::size_t g) {
    Driver driver;
    driver.group = g;
    bool proven = true;
    for (const Term& term : group) {
        if (term.negated) return std::nullopt;
        bool termProven = false;
        switch (term.kind) {
        case TermKind::kNameContains:
            driver.needles.push_back(NameNeedle{term.text});
            termProven = true;
            break;
        case TermKind::kNameWildcard:
            driver.needles.push_back(NamePatternNeedle(term.text, termProven));
            break;
        case TermKind::kPathWildcard: driver.needles.push_back(PathPatternNeedle(term.text)); break;
        case TermKind::kPathContains: return std::nullopt;
        }
        if (driver.needles.back().text.empty()) return std::nullopt;
        proven = proven && termProven;
    }
    if (proven) driver.proven = OnlyGroup(g);
    return driver;
}

std::optional<Driver> PathDriver(const std::vector<Term>& group, std::size_t g, bool& weak) {
    Driver driver;
    driver.group = g;
    bool proven = true;
    weak = false;
    for (const Term& term : group) {
        if (term.negated) return std::nullopt;
        bool termProven = false;
        if (term.kind == TermKind::kPathContains) {
            driver.paths.push_back(PathText{term.text, false});
            termProven = true;
        } else if (term.kind != TermKind::kPathWildcard) {
            return std::nullopt;
        } else if (const auto text = PathPatternText(term.text, termProven)) {
            driver.paths.push_back(*text);
        } else {
            return std::nullopt;
        }
        weak = weak || IsWeak(driver.paths.back());
        proven = proven && termProven;
    }
    if (proven) driver.proven = OnlyGroup(g);
    return driver;
}

std::size_t ShortestNeedle(const Driver& driver) {
    std::size_t shortest = static_cast<std::size_t>(-1);
    for (const NameNeedle& needle : driver.needles)
        shortest = std::min(shortest, needle.text.size());
    return shortest;
}

bool BetterNameDriver(const Driver& candidate, const Driver& best) {
    const std::size_t c = ShortestNeedle(candidate), b = ShortestNeedle(best);
    return c > b || (c == b && candidate.needles.size() < best.needles.size());
}

// A group of one path pattern "start*...*end" whose start ends at a '\' and whose end holds no
// '\': a path from the start with a name ending in the end matches it, whatever the stars take.
bool StartAndEndProve(const std::vector<Term>& group) {
    if (group.size() != 1 || group[0].kind != TermKind::kPathWildcard) return false;
    const std::string_view pattern = group[0].text;
    const std::size_t first = pattern.find_first_of(kWildcards), last = pattern.find_last_of(kWildcards);
    const std::string_view leading = pattern.substr(0, first), trailing = pattern.substr(last + 1);
    if (trailing.find('\\') != std::string_view::npos || !StartsAtCharacter(trailing)) return false;
    if (!leading.empty())
        return leading.ends_with('\\') && OnlyStars(pattern.substr(first, last + 1 - first));
    // "*\system32\*.dll": a middle run that ends at a '\' lies wholly in the folders, before the
    // name, so holding it and ending the name with the tail is the pattern.
    const std::size_t middleEnd = pattern.find_last_not_of('*', last);
    if (middleEnd == std::string_view::npos) return false;
    const std::size_t middleStart = pattern.find_last_of(kWildcards, middleEnd) + 1;
    const std::string_view middle = pattern.substr(middleStart, middleEnd + 1 - middleStart);
    return middle.ends_with('\\') && StartsAtCharacter(middle) && OnlyStars(pattern.substr(0, middleStart)) &&
           OnlyStars(pattern.substr(middleEnd + 1, last + 1 - (middleEnd + 1)));
}

// A pattern of stars alone matches every name and every path.
bool MatchesEverything(const Term& term) {
    return (term.kind == TermKind::kNameWildcard || term.kind == TermKind::kPathWildcard) &&
           OnlyStars(term.text);
}

} // namespace

Drivers ChooseDrivers(const Query& query) {
    Drivers drivers;
    bool pathsWeak = false;
    for (std::size_t g = 0; g < query.groups.size(); ++g) {
        bool weak = false;
        if (auto paths = PathDriver(query.groups[g], g, weak);
            paths && (!drivers.paths || (pathsWeak && !weak))) {
            drivers.paths = std::move(paths);
            pathsWeak = weak;
        }
        if (auto names = NameDriver(query.groups[g], g);
            names && (!drivers.names || BetterNameDriver(*names, *drivers.names)))
            drivers.names = std::move(names);
    }
    for (std::size_t g = 0; g < query.groups.size(); ++g) {
        const auto& group = query.groups[g];
        if (std::any_of(group.begin(), group.end(),
                        [](const Term& t) { return !t.negated && MatchesEverything(t); }))
            drivers.alwaysMatched |= OnlyGroup(g);
        if (std::all_of(group.begin(), group.end(),
                        [](const Term& t) { return t.negated && MatchesEverything(t); }))
            drivers.matchesNothing = true;
    }
    if (drivers.paths && pathsWeak && drivers.names) drivers.paths.reset();
    if (drivers.paths && drivers.names && drivers.paths->group == drivers.names->group &&
        StartAndEndProve(query.groups[drivers.paths->group]))
        drivers.provenByBoth = OnlyGroup(drivers.paths->group);
    return drivers;
}

} // namespace nuv::engine
