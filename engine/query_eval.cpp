#include "engine/query_eval.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>
#include <optional>
#include <string>

#include "engine/bit_count.h"
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
    // Room for every entry of the chunk costs address space only: pages are touched as hits are
    // written, and the array never moves while a short needle fills most of it.
    found.reserve(last - first);
    for (const NameNeedle& needle : driver.needles) {
        found.clear();
        FindEntriesContaining(base, needle, first, last, found);
        if (candidates.empty()) {
            candidates.swap(found);
            continue;
        }
        merged.clear();
        merged.reserve(candidates.size() + found.size());
        std::set_union(candidates.begin(), candidates.end(), found.begin(), found.end(),
                       std::back_inserter(merged));
        candidates.swap(merged);
    }
    return candidates;
}

// The base entries whose path holds one of the driver's path texts.
EntryBits MarkPathMatches(const BaseIndex& base, const Driver& driver) {
    EntryBits marked((base.Size() + 63) / 64, 0);
    for (const PathText& path : driver.paths) {
        if (path.fromVolume)
            MarkEntriesWithPathStarting(base, path.text, marked);
        else
            MarkEntriesWithPathContaining(base, path.text, marked);
    }
    return marked;
}

std::size_t CountMarked(const EntryBits& marked) {
    std::size_t count = 0;
    for (std::uint64_t word : marked)
        count += static_cast<std::size_t>(CountBits(word));
    return count;
}

std::vector<std::uint32_t> MarkedEntries(const EntryBits& marked, std::size_t count) {
    std::vector<std::uint32_t> entries;
    entries.reserve(count);
    for (std::size_t w = 0; w < marked.size(); ++w)
        for (std::uint64_t bits = marked[w]; bits != 0; bits &= bits - 1)
            entries.push_back(static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits)));
    return entries;
}

// Looking up a candidate's name costs a cache miss; scanning every name costs a byte read each.
// Past about one candidate in this many entries, the scan of a name group wins.
constexpr std::size_t kEntriesPerLookupWorthAScan = 32;

// What one chunk of a scan over every base entry needs: the name driver (or none: every entry is
// a candidate), the entries a path driver allows (or none: all are), and the groups both prove.
struct ScanPlan {
    const Driver* names = nullptr;
    const EntryBits* allowed = nullptr;
    GroupSet proven = kNoGroups;
};

// The base entries in [first, last) that match, ascending.
void ScanBaseRange(const Snapshot& snapshot, const ScanPlan& plan, ItemMatcher& matcher, std::uint32_t first,
                   std::uint32_t last, std::vector<std::uint32_t>& hits) {
    RemovedCursor removed(snapshot.Removed(), first);
    const auto keep = [&](std::uint32_t entry) {
        return (!plan.allowed || (((*plan.allowed)[entry / 64] >> (entry % 64)) & 1)) &&
               !removed.IsRemoved(entry) && matcher.Matches(entry, plan.proven);
    };
    if (!plan.names) {
        hits.reserve(last - first);
        for (std::uint32_t i = first; i < last; ++i)
            if (keep(i)) hits.push_back(i);
        return;
    }
    // The candidates are filtered where they lie: a short needle can hit most of the chunk, and a
    // second array as large would cost its page faults and a copy.
    hits = NameCandidates(snapshot.Base(), *plan.names, first, last);
    hits.erase(std::remove_if(hits.begin(), hits.end(), [&](std::uint32_t entry) { return !keep(entry); }),
               hits.end());
}

// The items of `items` (ascending) that match, order kept; base entries removed since are dropped
// when `dropRemoved` is set.
std::vector<std::uint32_t> KeepMatching(const Snapshot& snapshot, const Query& query,
                                        const std::vector<std::uint32_t>& items, GroupSet proven,
                                        bool dropRemoved) {
    const std::size_t chunks = ChunkCountFor(items.size());
    std::vector<std::vector<std::uint32_t>> kept(chunks);
    WorkerMatchers matchers(snapshot, query);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        const auto [first, last] = ChunkBounds(items.size(), chunks, c);
        if (first == last) return;
        ItemMatcher& matcher = matchers.For(worker);
        RemovedCursor removed(snapshot.Removed(), items[first]);
        kept[c].reserve(last - first);
        for (std::size_t k = first; k < last; ++k)
            if (!(dropRemoved && removed.IsRemoved(items[k])) && matcher.Matches(items[k], proven))
                kept[c].push_back(items[k]);
    });
    return JoinChunkParts(kept);
}

std::vector<std::uint32_t> ScanBase(const Snapshot& snapshot, const Query& query,
                                    std::vector<std::uint32_t>&& spent) {
    const BaseIndex& base = snapshot.Base();
    const Drivers drivers = ChooseDrivers(query);
    if (drivers.matchesNothing) return {};
    ScanPlan plan;
    plan.proven = drivers.alwaysMatched;
    if (drivers.names) {
        plan.names = &*drivers.names;
        plan.proven |= drivers.names->proven;
    }
    EntryBits allowed;
    if (drivers.paths) {
        allowed = MarkPathMatches(base, *drivers.paths);
        plan.allowed = &allowed;
        plan.proven |= drivers.paths->proven | drivers.provenByBoth;
        const std::size_t allowedCount = CountMarked(allowed);
        if (!drivers.names || allowedCount * kEntriesPerLookupWorthAScan < base.Size()) {
            std::vector<std::uint32_t> candidates = MarkedEntries(allowed, allowedCount);
            if (drivers.names) {
                // The name driver's needles are one lookup each here, not a scan of every name.
                std::erase_if(candidates, [&](std::uint32_t entry) {
                    return std::none_of(
                        drivers.names->needles.begin(), drivers.names->needles.end(),
                        [&](const NameNeedle& needle) { return NameHolds(base.Folded(entry), needle); });
                });
            }
            if (ProvesAll(query, plan.proven) && snapshot.Removed().empty()) return candidates;
            return KeepMatching(snapshot, query, candidates, plan.proven, true);
        }
    }
    const std::size_t chunks = ChunkCountFor(base.Size());
    std::vector<std::vector<std::uint32_t>> hits(chunks);
    WorkerMatchers matchers(snapshot, query);
    RunChunksInParallel(chunks, [&](std::size_t c, std::size_t worker) {
        const auto [first, last] = ChunkBounds(base.Size(), chunks, c);
        ScanBaseRange(snapshot, plan, matchers.For(worker), static_cast<std::uint32_t>(first),
                      static_cast<std::uint32_t>(last), hits[c]);
    });
    return JoinChunkParts(hits, std::move(spent));
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

std::vector<std::uint32_t> EvaluateQuery(const Snapshot& snapshot, const Query& query,
                                         std::vector<std::uint32_t> spent) {
    std::vector<std::uint32_t> baseHits = ScanBase(snapshot, query, std::move(spent));
    if (snapshot.Added().empty()) return baseHits;
    std::vector<std::uint32_t> addedHits;
    ItemMatcher matcher(snapshot, query);
    for (std::uint32_t k = 0; k < snapshot.Added().size(); ++k)
        if (matcher.Matches(kAddedItem | k, kNoGroups)) addedHits.push_back(kAddedItem | k);
    return MergeAddedHits(snapshot, std::move(baseHits), addedHits);
}

std::vector<std::uint32_t> FilterItems(const Snapshot& snapshot, const Query& query,
                                       const std::vector<std::uint32_t>& items) {
    return KeepMatching(snapshot, query, items, kNoGroups, false);
}

} // namespace nuv::engine
