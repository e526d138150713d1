#include "engine/query_eval.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <thread>

#include "engine/case_fold.h"
#include "engine/name_scan.h"
#include "engine/path_term_matcher.h"
#include "engine/text_match.h"

namespace nuv::engine {
namespace {

// Below this many entries a second thread costs more to start than it saves.
constexpr std::size_t kSplitAbove = 1 << 16;

constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

// Decides whether single items match. One per thread: the path terms' matchers remember what
// they learnt about each folder.
class ItemMatcher {
public:
    ItemMatcher(const Snapshot& snapshot, const Query& query) : snapshot_(snapshot), query_(query) {
        for (const auto& group : query.groups)
            for (const auto& term : group)
                if (term.kind == TermKind::kPathContains)
                    pathMatchers_.emplace_back(&term, PathTermMatcher(snapshot, term.text));
    }

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

    PathTermMatcher& PathMatcherFor(const Term& term) {
        for (auto& [owner, matcher] : pathMatchers_)
            if (owner == &term) return matcher;
        return pathMatchers_.front().second; // unreachable: every path term has a matcher
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

// The group whose texts are scanned for across all names: every match contains one of them. A
// group of plain words is proven by a hit; a pattern's hit still needs checking.
struct Driver {
    std::vector<std::string_view> needles;
    std::size_t provenGroup = kNoGroup;
};

Driver ChooseDriver(const Query& query) {
    Driver best;
    std::size_t bestShortest = 0;
    for (std::size_t g = 0; g < query.groups.size(); ++g) {
        Driver candidate;
        bool usable = true, allWords = true;
        std::size_t shortest = static_cast<std::size_t>(-1);
        for (const Term& term : query.groups[g]) {
            std::string_view needle;
            if (!term.negated && term.kind == TermKind::kNameContains)
                needle = term.text;
            else if (!term.negated && term.kind == TermKind::kNameWildcard)
                needle = LongestLiteralRun(term.text);
            allWords = allWords && term.kind == TermKind::kNameContains;
            usable = usable && !needle.empty();
            candidate.needles.push_back(needle);
            shortest = std::min(shortest, needle.size());
        }
        // Longer texts hit fewer names; among equals, fewer texts mean fewer scans.
        const bool better = shortest > bestShortest ||
                            (shortest == bestShortest && candidate.needles.size() < best.needles.size());
        if (usable && better) {
            candidate.provenGroup = allWords ? g : kNoGroup;
            best = std::move(candidate);
            bestShortest = shortest;
        }
    }
    return best;
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

void ScanBaseRange(const Snapshot& snapshot, const Query& query, std::uint32_t first, std::uint32_t last,
                   std::vector<std::uint32_t>& hits) {
    ItemMatcher matcher(snapshot, query);
    RemovedCursor removed(snapshot.Removed(), first);
    const Driver driver = ChooseDriver(query);
    if (driver.needles.empty()) {
        for (std::uint32_t i = first; i < last; ++i)
            if (!removed.IsRemoved(i) && matcher.Matches(i, kNoGroup)) hits.push_back(i);
        return;
    }
    std::vector<std::uint32_t> candidates, found, merged;
    for (std::string_view needle : driver.needles) {
        found.clear();
        FindEntriesContaining(snapshot.Base(), needle, first, last, found);
        if (candidates.empty()) {
            candidates.swap(found);
            continue;
        }
        merged.clear();
        std::set_union(candidates.begin(), candidates.end(), found.begin(), found.end(),
                       std::back_inserter(merged));
        candidates.swap(merged);
    }
    hits.reserve(candidates.size());
    for (std::uint32_t entry : candidates)
        if (!removed.IsRemoved(entry) && matcher.Matches(entry, driver.provenGroup)) hits.push_back(entry);
}

std::vector<std::uint32_t> ScanBase(const Snapshot& snapshot, const Query& query) {
    const auto count = static_cast<std::uint32_t>(snapshot.Base().Size());
    std::vector<std::uint32_t> hits;
    if (count < kSplitAbove) {
        ScanBaseRange(snapshot, query, 0, count, hits);
        return hits;
    }
    const std::uint32_t middle = count / 2;
    std::vector<std::uint32_t> upperHits;
    std::thread upper([&] { ScanBaseRange(snapshot, query, middle, count, upperHits); });
    ScanBaseRange(snapshot, query, 0, middle, hits);
    upper.join();
    hits.insert(hits.end(), upperHits.begin(), upperHits.end());
    return hits;
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

void FilterRange(const Snapshot& snapshot, const Query& query, const std::uint32_t* first,
                 const std::uint32_t* last, std::vector<std::uint32_t>& kept) {
    ItemMatcher matcher(snapshot, query);
    for (const std::uint32_t* item = first; item != last; ++item)
        if (matcher.Matches(*item, kNoGroup)) kept.push_back(*item);
}

} // namespace

std::vector<std::uint32_t> EvaluateQuery(const Snapshot& snapshot, const Query& query) {
    std::vector<std::uint32_t> baseHits = ScanBase(snapshot, query);
    if (snapshot.Added().empty()) return baseHits; // a matcher's path memo costs a pass over the base
    std::vector<std::uint32_t> addedHits;
    ItemMatcher matcher(snapshot, query);
    for (std::uint32_t k = 0; k < snapshot.Added().size(); ++k)
        if (matcher.Matches(kAddedItem | k, kNoGroup)) addedHits.push_back(kAddedItem | k);
    return MergeAddedHits(snapshot, std::move(baseHits), addedHits);
}

std::vector<std::uint32_t> FilterItems(const Snapshot& snapshot, const Query& query,
                                       const std::vector<std::uint32_t>& items) {
    std::vector<std::uint32_t> kept;
    const std::uint32_t* begin = items.data();
    const std::uint32_t* end = begin + items.size();
    if (items.size() < kSplitAbove) {
        FilterRange(snapshot, query, begin, end, kept);
        return kept;
    }
    const std::uint32_t* middle = begin + items.size() / 2;
    std::vector<std::uint32_t> upperKept;
    std::thread upper([&] { FilterRange(snapshot, query, middle, end, upperKept); });
    FilterRange(snapshot, query, begin, middle, kept);
    upper.join();
    kept.insert(kept.end(), upperKept.begin(), upperKept.end());
    return kept;
}

} // namespace nuv::engine
