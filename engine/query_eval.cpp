#include "engine/query_eval.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "engine/case_fold.h"
#include "engine/name_scan.h"
#include "engine/parallel_chunks.h"
#include "engine/path_scan.h"
#include "engine/path_term_matcher.h"
#include "engine/query_drivers.h"
#include "engine/text_match.h"

namespace nuv::engine {
namespace {

// Decides whether single items match. One per thread: the path terms' matchers remember what
// they learnt about each folder.
class ItemMatcher {
public:
    ItemMatcher(const Snapshot& snapshot, const Query& query) : snapshot_(snapshot), query_(query) {}

    // `proven` are the groups the scan's drivers already showed to match.
    bool Matches(std::uint32_t item, GroupSet proven) {
        for (std::size_t g = 0; g < query_.groups.size(); ++g) {
            if (proven & OnlyGroup(g)) continue;
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

bool ProvesAll(const Query& query, GroupSet proven) {
    for (std::size_t g = 0; g < query.groups.size(); ++g)
        if (!(proven & OnlyGroup(g))) return false;
    return true;
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

// The base entries whose path holds one of the driver's path texts; none when a walk would pass
// `budget` entries.
std::optional<EntryBits> MarkPathMatches(const BaseIndex& base, const Driver& driver, std::size_t budget) {
    EntryBits marked(EntryBitsWords(base.Size()), 0);
    for (const PathText& path : driver.paths) {
        const bool complete = path.fromVolume
                                  ? MarkEntriesWithPathStarting(base, path.text, marked, budget)
                                  : MarkEntriesWithPathContaining(base, path.text, marked, budget);
        if (!complete) return std::nullopt;
    }
    return marked;
}

// Looking up a candidate's name costs a cache miss; scanning every name costs a byte read each.
// Past about one candidate in this many entries, the scan of a name group wins. The same share
// bounds a path walk beside a name group: past it, the walk costs more than climbing up from
// each of the name scan's candidates, unless those are as many.
constexpr std::size_t kEntriesPerLookupWorthAScan = 32;

// What a scan over every base entry needs: the name driver (or none: every entry is a
// candidate), how the path driver's texts are checked (the entries they allow, or a climb up from
// each candidate, or neither when there is no path driver), and the groups the drivers prove.
struct ScanPlan {
    const Driver* names = nullptr;
    const EntryBits* allowed = nullptr;
    const Driver* climb = nullptr;
    GroupSet proven = kNoGroups;
    bool provesAll = false; // every candidate the drivers leave matches
};

// A worker's state for a scan: its item matcher, and the path checks of a climb.
class ScanWorker {
public:
    ScanWorker(const Snapshot& snapshot, const Query& query, const ScanPlan& plan)
        : matcher(snapshot, query) {
        if (plan.climb)
            for (const PathText& path : plan.climb->paths)
                climbs_.emplace_back(snapshot.Base(), path.text, path.fromVolume);
    }
    bool ClimbAllows(std::uint32_t entry) {
        return std::any_of(climbs_.begin(), climbs_.end(),
                           [&](PathAllowance& path) { return path.Allows(entry); });
    }

    ItemMatcher matcher;

private:
    std::vector<PathAllowance> climbs_;
};

// One per worker thread, made when the worker first needs it.
class ScanWorkers {
public:
    ScanWorkers(const Snapshot& snapshot, const Query& query, const ScanPlan& plan)
        : snapshot_(snapshot), query_(query), plan_(plan) {}
    ScanWorker& For(std::size_t worker) {
        auto& state = workers_[worker];
        return state ? *state : state.emplace(snapshot_, query_, plan_);
    }

private:
    const Snapshot& snapshot_;
    const Query& query_;
    const ScanPlan& plan_;
    std::array<std::optional<ScanWorker>, kChunkWorkers> workers_;
};

// Chunk c of a scan over `count` entries, cut on word bounds so that no two chunks write the
// same word of the marks.
std::pair<std::uint32_t, std::uint32_t> WordAlignedChunk(std::size_t count, std::size_t chunks,
                                                         std::size_t c) {
    const auto cut = [&](std::size_t k) {
        return k == chunks ? count : ChunkBounds(count, chunks, k).first / 64 * 64;
    };
    return {static_cast<std::uint32_t>(cut(c)), static_cast<std::uint32_t>(cut(c + 1))};
}

// Marks the candidates among the base entries in [first, last), `first` on a word bound: those
// the name driver finds, less those removed since. The chunk's words are cleared first: the marks
// may be a spent answer's memory.
void MarkCandidates(const Snapshot& snapshot, const ScanPlan& plan, std::uint32_t first, std::uint32_t last,
                    EntryBits& marks) {
    if (plan.names) {
        std::fill(marks.begin() + static_cast<std::ptrdiff_t>(first / 64),
                  marks.begin() + static_cast<std::ptrdiff_t>(EntryBitsWords(last)), 0);
        for (const NameNeedle& needle : plan.names->needles)
            MarkEntriesContaining(snapshot.Base(), needle, first, last, marks);
    } else {
        MarkRange(marks, first, last);
    }
    const auto& removed = snapshot.Removed();
    for (auto it = std::lower_bound(removed.begin(), removed.end(), first); it != removed.end() && *it < last;
         ++it)
        UnmarkEntry(marks, *it);
}

// Unmarks the candidates in [first, last) that do not match and returns how many are left.
std::size_t KeepMatchingCandidates(const ScanPlan& plan, ScanWorker& worker, std::uint32_t first,
                                   std::uint32_t last, EntryBits& marks) {
    const std::size_t firstWord = first / 64, endWord = EntryBitsWords(last);
    if (plan.allowed)
        for (std::size_t w = firstWord; w < endWord; ++w)
            marks[w] &= (*plan.allowed)[w];
    if (plan.climb || !plan.provesAll)
        ForEachMarked(marks, firstWord, endWord, [&](std::uint32_t entry) {
            if ((plan.climb && !worker.ClimbAllows(entry)) ||
                (!plan.provesAll && !worker.matcher.Matches(entry, plan.proven)))
                UnmarkEntry(marks, entry);
        });
    return CountMarked(marks.data() + firstWord, endWord - firstWord);
}

// The items of `items` (ascending) that match, order kept; base entries removed since are dropped
// when `dropRemoved` is set.
std::vector<std::uint32_t> KeepMatching(const Snapshot& snapshot, const Query& query,
                                        const std::vector<std::uint32_t>& items, GroupSet proven,
                                        bool dropRemoved) {
    const std::size_t chunks = ChunkCountFor(items.size());
    std::vector<std::vector<std::uint32_t>> kept(chunks);
    const ScanPlan matchOnly;
    ScanWorkers workers(snapshot, query, matchOnly);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        const auto [first, last] = ChunkBounds(items.size(), chunks, c);
        if (first == last) return;
        ItemMatcher& matcher = workers.For(worker).matcher;
        RemovedCursor removed(snapshot.Removed(), items[first]);
        kept[c].reserve(last - first);
        for (std::size_t k = first; k < last; ++k)
            if (!(dropRemoved && removed.IsRemoved(items[k])) && matcher.Matches(items[k], proven))
                kept[c].push_back(items[k]);
    });
    return JoinChunkParts(kept);
}

// The base entries a path driver allows, when they are few: the name driver's needles are one
// lookup each for them, not a scan of every name.
ResultSet CheckAllowedEntries(const Snapshot& snapshot, const Query& query, const Driver& names,
                              const EntryBits& allowed, std::size_t allowedCount, GroupSet proven) {
    std::vector<std::uint32_t> candidates;
    candidates.reserve(allowedCount);
    ForEachMarked(allowed, 0, allowed.size(), [&](std::uint32_t entry) {
        if (std::any_of(names.needles.begin(), names.needles.end(), [&](const NameNeedle& needle) {
                return NameHolds(snapshot.Base().Folded(entry), needle);
            }))
            candidates.push_back(entry);
    });
    if (ProvesAll(query, proven) && snapshot.Removed().empty()) return ResultSet(std::move(candidates));
    return ResultSet(KeepMatching(snapshot, query, candidates, proven, true));
}

ResultSet ScanBase(const Snapshot& snapshot, const Query& query, ResultSet spent) {
    const BaseIndex& base = snapshot.Base();
    Drivers drivers = ChooseDrivers(query);
    if (drivers.names) {
        // A needle holding a byte pair or triple that no name has is in no name: the group is met
        // only through its other needles, and by no base entry when none is left.
        auto& needles = drivers.names->needles;
        std::erase_if(needles,
                      [&](const NameNeedle& needle) { return !base.FoldedGrams().MayOccur(needle.text); });
        if (needles.empty()) return {};
    }
    if (drivers.matchesNothing) return {};
    ScanPlan plan;
    plan.proven = drivers.alwaysMatched;
    if (drivers.names) {
        plan.names = &*drivers.names;
        plan.proven |= drivers.names->proven;
    }
    const std::size_t lookupsWorthAScan = base.Size() / kEntriesPerLookupWorthAScan;
    std::optional<EntryBits> allowed;
    if (drivers.paths) {
        plan.proven |= drivers.paths->proven | drivers.provenByBoth;
        allowed = MarkPathMatches(base, *drivers.paths, drivers.names ? lookupsWorthAScan : kNoWalkBudget);
        if (allowed) {
            plan.allowed = &*allowed;
            const std::size_t allowedCount = CountMarked(allowed->data(), allowed->size());
            if (drivers.names && allowedCount < lookupsWorthAScan)
                return CheckAllowedEntries(snapshot, query, *drivers.names, *allowed, allowedCount,
                                           plan.proven);
        } else {
            plan.climb = &*drivers.paths;
        }
    }
    plan.provesAll = ProvesAll(query, plan.proven);
    EntryBits marks = spent.TakeMarks();
    // Every word is written by its chunk, so a spent buffer of the right size needs no clearing.
    if (marks.size() != EntryBitsWords(base.Size())) marks = EntryBits(EntryBitsWords(base.Size()));
    const std::size_t chunks = ChunkCountFor(base.Size());
    std::vector<std::size_t> counts(chunks);
    bool candidatesMarked = false;
    if (plan.climb) {
        // The path walk was abandoned as too large: the name scan's candidates first, then either a
        // climb from each of them or, when they are as many, the whole walk after all.
        RunChunksInParallel(chunks, [&](std::size_t c, std::size_t) {
            const auto [first, last] = WordAlignedChunk(base.Size(), chunks, c);
            MarkCandidates(snapshot, plan, first, last, marks);
        });
        candidatesMarked = true;
        if (CountMarked(marks.data(), marks.size()) >= lookupsWorthAScan) {
            allowed = MarkPathMatches(base, *drivers.paths, kNoWalkBudget);
            plan.allowed = &*allowed;
            plan.climb = nullptr;
        }
    }
    ScanWorkers workers(snapshot, query, plan);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        const auto [first, last] = WordAlignedChunk(base.Size(), chunks, c);
        if (!candidatesMarked) MarkCandidates(snapshot, plan, first, last, marks);
        counts[c] = KeepMatchingCandidates(plan, workers.For(worker), first, last, marks);
    });
    std::size_t count = 0;
    for (std::size_t n : counts)
        count += n;
    return ResultSet::FromMarks(std::move(marks), count, std::move(spent));
}

} // namespace

ResultSet EvaluateQuery(const Snapshot& snapshot, const Query& query, ResultSet spent) {
    ResultSet results = ScanBase(snapshot, query, std::move(spent));
    if (snapshot.Added().empty()) return results;
    std::vector<std::uint32_t> addedHits;
    ItemMatcher matcher(snapshot, query);
    for (std::uint32_t k = 0; k < snapshot.Added().size(); ++k)
        if (matcher.Matches(kAddedItem | k, kNoGroups)) addedHits.push_back(kAddedItem | k);
    results.PlaceAdded(addedHits,
                       [&](std::uint32_t added, std::uint32_t entry) { return snapshot.Less(added, entry); });
    return results;
}

ResultSet FilterItems(const Snapshot& snapshot, const Query& query, const std::vector<std::uint32_t>& items) {
    return ResultSet(KeepMatching(snapshot, query, items, kNoGroups, false));
}

} // namespace nuv::engine
