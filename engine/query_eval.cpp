#include "engine/query_eval.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>
#include <optional>
#include <string>

#include "engine/case_fold.h"
#include "engine/name_scan.h"
#include "engine/parallel_chunks.h"
#include "engine/path_scan.h"
#include "engine/path_term_matcher.h"
#include "engine/text_match.h"

namespace nuv::engine {
namespace {

constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

// Decides whether single items match. One per thread: the path terms' matchers remember what
// they learnt about each folder.
class ItemMatcher {
public:
    ItemMatcher(const Snapshot& snapshot, const Query& query) : snapshot_(snapshot), query_(query) {}

    // `provenGroup` is a group already known to match (the scan's driver), or kNoGroup.
    bool Matches(std::uint32_t item, std::size_t provenGroup) {
        for (std::size_t g = 0; g < query_.groups.size(); ++g) {
            if (g == provenGroup) continue;
            const auto& group = query_.groups[g];
            if (!std::any_of(group.begin(), group.end(), [&](const Term& t) { return TermMatches(item, t); }))
                return false;
        }
        return true;
    }

private:
    bool TermMatches(std::uint32_t item, const Term& term) {
        return PositiveMatch(item, term) != term.negated;
    }

    bool PositiveMatch(std::uint32_t item, const Term& term) {
        switch (term.kind) {
        case TermKind::kNameContains: return snapshot_.Folded(item).find(term.text) != std::string_view::npos;
        case TermKind::kNameWildcard: return WildcardMatch(snapshot_.Folded(item), term.text);
        case TermKind::kPathContains: return PathMatcherFor(term).Matches(item);
        case TermKind::kPathWildcard: return WildcardMatch(FoldedFullPath(item), term.text);
        }
        return false;
    }

    // Made on first use: its memory grows with the number of folders, and a query whose path
    // terms drive the scan never asks an item about them.
    PathTermMatcher& PathMatcherFor(const Term& term) {
        for (auto& [owner, matcher] : pathMatchers_)
            if (owner == &term) return matcher;
        return pathMatchers_.emplace_back(&term, PathTermMatcher(snapshot_, term.text)).second;
    }

    std::string FoldedFullPath(std::uint32_t item) {
        scratch_.clear();
        snapshot_.AppendFolderPath(item, scratch_);
        scratch_.push_back('\\');
        scratch_.append(snapshot_.Name(item));
        return Fold(scratch_);
    }

    const Snapshot& snapshot_;
    const Query& query_;
    std::vector<std::pair<const Term*, PathTermMatcher>> pathMatchers_;
    std::string scratch_;
};

// A matcher per worker thread, made when the worker first needs one.
class WorkerMatchers {
public:
    WorkerMatchers(const Snapshot& snapshot, const Query& query) : snapshot_(snapshot), query_(query) {}
    ItemMatcher& For(std::size_t worker) {
        auto& matcher = matchers_[worker];
        return matcher ? *matcher : matcher.emplace(snapshot_, query_);
    }

private:
    const Snapshot& snapshot_;
    const Query& query_;
    std::array<std::optional<ItemMatcher>, kChunkWorkers> matchers_;
};

// What a name-pattern term is scanned for: its longest literal run, pinned to the name's start or
// end when the pattern pins it there. A pattern that is just one run between stars ("*.dll",
// "img*", "*a*") is proven by a hit alone.
NameNeedle PatternNeedle(std::string_view pattern, bool& proven) {
    const std::string_view run = LongestLiteralRun(pattern);
    proven = false;
    if (run.empty()) return NameNeedle{}; // all wildcards: nothing to scan for
    const auto at = static_cast<std::size_t>(run.data() - pattern.data());
    const std::string_view before = pattern.substr(0, at), after = pattern.substr(at + run.size());
    const auto onlyStars = [](std::string_view s) {
        return s.find_first_not_of('*') == std::string_view::npos;
    };
    proven = onlyStars(before) && onlyStars(after);
    return NameNeedle{run, before.empty(), after.empty()};
}

// A path text whose folder part is one short piece of a name ("\a", "x\") starts the walk from
// nearly every folder; a name driver, when there is one, costs less then.
bool IsWeakPathText(std::string_view text) {
    const std::size_t lastSeparator = text.rfind('\\');
    const std::string_view head = text.substr(0, lastSeparator), tail = text.substr(lastSeparator + 1);
    return head.find('\\') == std::string_view::npos && head.size() + tail.size() < 3;
}

// The group whose terms find the candidates, every match holding one of them: by scanning all
// names for texts, or by walking down from the folders that path texts name. A group whose terms
// are exactly what the scan finds is proven by a hit and not checked again.
struct Driver {
    std::vector<NameNeedle> needles;
    std::vector<std::string_view> paths;
    std::size_t provenGroup = kNoGroup;
};

std::optional<Driver> NameDriver(const std::vector<Term>& group, std::size_t g) {
    Driver driver;
    bool proven = true;
    for (const Term& term : group) {
        if (term.negated) return std::nullopt;
        if (term.kind == TermKind::kNameContains) {
            driver.needles.push_back(NameNeedle{term.text});
        } else if (term.kind == TermKind::kNameWildcard) {
            bool patternProven = false;
            driver.needles.push_back(PatternNeedle(term.text, patternProven));
            proven = proven && patternProven;
        } else {
            return std::nullopt;
        }
        if (driver.needles.back().text.empty()) return std::nullopt;
    }
    if (proven) driver.provenGroup = g;
    return driver;
}

std::optional<Driver> PathDriver(const std::vector<Term>& group, std::size_t g, bool& weak) {
    Driver driver;
    weak = false;
    for (const Term& term : group) {
        if (term.negated || term.kind != TermKind::kPathContains) return std::nullopt;
        driver.paths.push_back(term.text);
        weak = weak || IsWeakPathText(term.text);
    }
    driver.provenGroup = g;
    return driver;
}

std::size_t ShortestNeedle(const Driver& driver) {
    std::size_t shortest = static_cast<std::size_t>(-1);
    for (const NameNeedle& needle : driver.needles)
        shortest = std::min(shortest, needle.text.size());
    return shortest;
}

std::optional<Driver> ChooseDriver(const Query& query) {
    std::optional<Driver> names, weakPaths;
    for (std::size_t g = 0; g < query.groups.size(); ++g) {
        bool weak = false;
        if (auto paths = PathDriver(query.groups[g], g, weak)) {
            if (!weak) return paths;
            if (!weakPaths) weakPaths = std::move(paths);
        } else if (auto candidate = NameDriver(query.groups[g], g)) {
            // Longer texts hit fewer names; among equals, fewer texts mean fewer scans.
            const bool better = !names || ShortestNeedle(*candidate) > ShortestNeedle(*names) ||
                                (ShortestNeedle(*candidate) == ShortestNeedle(*names) &&
                                 candidate->needles.size() < names->needles.size());
            if (better) names = std::move(candidate);
        }
    }
    return names ? names : weakPaths;
}

// Walks the removed list alongside ascending base indices.
class RemovedCursor {
public:
    RemovedCursor(const std::vector<std::uint32_t>& removed, std::uint32_t from)
        : at_(std::lower_bound(removed.begin(), removed.end(), from)), end_(removed.end()) {}
    bool IsRemoved(std::uint32_t index) {
        while (at_ != end_ && *at_ < index)
            ++at_;
        return at_ != end_ && *at_ == index;
    }

private:
    std::vector<std::uint32_t>::const_iterator at_, end_;
};

// The base entries in [first, last) that hold one of the driver's needles, ascending.
std::vector<std::uint32_t> NameCandidates(const BaseIndex& base, const Driver& driver, std::uint32_t first,
                                          std::uint32_t last) {
    std::vector<std::uint32_t> candidates, found, merged;
    for (const NameNeedle& needle : driver.needles) {
        found.clear();
        FindEntriesContaining(base, needle, first, last, found);
        if (candidates.empty()) {
            candidates.swap(found);
            continue;
        }
        merged.clear();
        std::set_union(candidates.begin(), candidates.end(), found.begin(), found.end(),
                       std::back_inserter(merged));
        candidates.swap(merged);
    }
    return candidates;
}

// The base entries whose path holds one of the driver's path texts, ascending.
std::vector<std::uint32_t> PathCandidates(const BaseIndex& base, const Driver& driver) {
    EntryBits marked((base.Size() + 63) / 64, 0);
    for (std::string_view text : driver.paths)
        MarkEntriesWithPathContaining(base, text, marked);
    std::vector<std::uint32_t> candidates;
    for (std::size_t w = 0; w < marked.size(); ++w)
        for (std::uint64_t bits = marked[w]; bits != 0; bits &= bits - 1)
            candidates.push_back(static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits)));
    return candidates;
}

// The base entries in [first, last) that match, ascending.
void ScanBaseRange(const Snapshot& snapshot, const std::optional<Driver>& driver, ItemMatcher& matcher,
                   std::uint32_t first, std::uint32_t last, std::vector<std::uint32_t>& hits) {
    RemovedCursor removed(snapshot.Removed(), first);
    if (!driver) {
        for (std::uint32_t i = first; i < last; ++i)
            if (!removed.IsRemoved(i) && matcher.Matches(i, kNoGroup)) hits.push_back(i);
        return;
    }
    const std::vector<std::uint32_t> candidates = NameCandidates(snapshot.Base(), *driver, first, last);
    hits.reserve(candidates.size());
    for (std::uint32_t entry : candidates)
        if (!removed.IsRemoved(entry) && matcher.Matches(entry, driver->provenGroup)) hits.push_back(entry);
}

std::vector<std::uint32_t> Concatenate(std::vector<std::vector<std::uint32_t>>& parts) {
    std::size_t total = 0;
    for (const auto& part : parts)
        total += part.size();
    std::vector<std::uint32_t> all = std::move(parts.front());
    all.reserve(total);
    for (std::size_t p = 1; p < parts.size(); ++p)
        all.insert(all.end(), parts[p].begin(), parts[p].end());
    return all;
}

// The items of `items` (ascending) that match, order kept; base entries removed since are dropped
// when `dropRemoved` is set.
std::vector<std::uint32_t> KeepMatching(const Snapshot& snapshot, const Query& query,
                                        const std::vector<std::uint32_t>& items, std::size_t provenGroup,
                                        bool dropRemoved) {
    const std::size_t chunks = ChunkCountFor(items.size());
    std::vector<std::vector<std::uint32_t>> kept(chunks);
    WorkerMatchers matchers(snapshot, query);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        const auto [first, last] = ChunkBounds(items.size(), chunks, c);
        if (first == last) return;
        ItemMatcher& matcher = matchers.For(worker);
        RemovedCursor removed(snapshot.Removed(), items[first]);
        for (std::size_t k = first; k < last; ++k)
            if (!(dropRemoved && removed.IsRemoved(items[k])) && matcher.Matches(items[k], provenGroup))
                kept[c].push_back(items[k]);
    });
    return Concatenate(kept);
}

std::vector<std::uint32_t> ScanBase(const Snapshot& snapshot, const Query& query) {
    const BaseIndex& base = snapshot.Base();
    const std::optional<Driver> driver = ChooseDriver(query);
    if (driver && !driver->paths.empty())
        return KeepMatching(snapshot, query, PathCandidates(base, *driver), driver->provenGroup, true);
    const std::size_t chunks = ChunkCountFor(base.Size());
    std::vector<std::vector<std::uint32_t>> hits(chunks);
    WorkerMatchers matchers(snapshot, query);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        const auto [first, last] = ChunkBounds(base.Size(), chunks, c);
        ScanBaseRange(snapshot, driver, matchers.For(worker), static_cast<std::uint32_t>(first),
                      static_cast<std::uint32_t>(last), hits[c]);
    });
    return Concatenate(hits);
}

// Places the (few) added hits among the base hits by binary search, so the many base hits cost
// no string comparisons.
std::vector<std::uint32_t> MergeAddedHits(const Snapshot& snapshot, std::vector<std::uint32_t> baseHits,
                                          const std::vector<std::uint32_t>& addedHits) {
    if (addedHits.empty()) return baseHits;
    std::vector<std::uint32_t> merged;
    merged.reserve(baseHits.size() + addedHits.size());
    auto from = baseHits.begin();
    for (std::uint32_t added : addedHits) {
        const auto to = std::upper_bound(from, baseHits.end(), added, [&](std::uint32_t a, std::uint32_t b) {
            return snapshot.Less(a, b);
        });
        merged.insert(merged.end(), from, to);
        merged.push_back(added);
        from = to;
    }
    merged.insert(merged.end(), from, baseHits.end());
    return merged;
}

} // namespace

std::vector<std::uint32_t> EvaluateQuery(const Snapshot& snapshot, const Query& query) {
    std::vector<std::uint32_t> baseHits = ScanBase(snapshot, query);
    if (snapshot.Added().empty()) return baseHits;
    std::vector<std::uint32_t> addedHits;
    ItemMatcher matcher(snapshot, query);
    for (std::uint32_t k = 0; k < snapshot.Added().size(); ++k)
        if (matcher.Matches(kAddedItem | k, kNoGroup)) addedHits.push_back(kAddedItem | k);
    return MergeAddedHits(snapshot, std::move(baseHits), addedHits);
}

std::vector<std::uint32_t> FilterItems(const Snapshot& snapshot, const Query& query,
                                       const std::vector<std::uint32_t>& items) {
    return KeepMatching(snapshot, query, items, kNoGroup, false);
}

} // namespace nuv::engine
