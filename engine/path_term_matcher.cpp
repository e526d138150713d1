#include "engine/path_term_matcher.h"

namespace nuv::engine {
namespace {

constexpr std::uint32_t kFoundBit = 0x80000000u;
constexpr std::uint32_t kHeadEndsBit = 0x40000000u;

} // namespace

PathTermMatcher::PathTermMatcher(const Snapshot& snapshot, std::string_view text)
    : snapshot_(snapshot), text_(text), fallback_(text.size() + 1, 0),
      memo_(snapshot.Base().FolderCount() + snapshot.Volumes().size(), 0),
      verdicts_((memo_.size() + 31) / 32, 0) {
    const std::size_t lastSeparator = text_.rfind('\\');
    headLength_ = lastSeparator == std::string::npos ? 0 : static_cast<std::uint32_t>(lastSeparator + 1);
    for (std::uint32_t i = 1, k = 0; i < text_.size(); ++i) {
        while (k > 0 && text_[i] != text_[k])
            k = fallback_[k];
        if (text_[i] == text_[k]) ++k;
        fallback_[i + 1] = k;
    }
}

PathTermMatcher::State PathTermMatcher::Advance(State state, std::string_view text) const {
    if (text_.empty()) return {0, true};
    for (const char c : text) {
        if (state.found) return state;
        while (state.matched > 0 && text_[state.matched] != c)
            state.matched = fallback_[state.matched];
        if (text_[state.matched] == c) ++state.matched;
        if (state.matched == text_.size()) {
            state.found = true;
            state.matched = fallback_[state.matched];
        }
    }
    return state;
}

// Whether the head is a suffix of what was read: it is the longest such prefix or one reached by
// falling back from it.
bool PathTermMatcher::EndsWithHead(std::uint32_t matched) const {
    if (headLength_ == 0) return false;
    while (matched > headLength_)
        matched = fallback_[matched];
    return matched == headLength_;
}

std::uint32_t* PathTermMatcher::MemoSlot(NodeRef folder) {
    // A base file that gained children since the build has no folder number; like added folders,
    // such folders are few and walked each time.
    if (folder.IsBaseEntry())
        return snapshot_.Base().IsFolder(folder.ref) ? &memo_[snapshot_.Base().FolderOrdinal(folder.ref)]
                                                     : nullptr;
    if (folder.IsVolume()) return &memo_[snapshot_.Base().FolderCount() + VolumeIndex(folder.ref)];
    return nullptr; // added folders are few; they are walked each time
}

PathTermMatcher::State PathTermMatcher::AfterFolder(NodeRef folder) {
    // Climb to the nearest folder already known, then come back down.
    std::vector<NodeRef>& chain = chainScratch_;
    chain.clear();
    State state;
    for (NodeRef n = folder; !n.IsNone(); n = snapshot_.View().ParentOf(n)) {
        const std::uint32_t* slot = MemoSlot(n);
        if (slot && *slot != 0) {
            state = {(*slot & ~(kFoundBit | kHeadEndsBit)) - 1, (*slot & kFoundBit) != 0,
                     (*slot & kHeadEndsBit) != 0};
            break;
        }
        chain.push_back(n);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        state = Advance(Advance(state, snapshot_.View().FoldedOf(*it)), "\\");
        state.headEnds = EndsWithHead(state.matched);
        if (std::uint32_t* slot = MemoSlot(*it))
            *slot = (state.found ? kFoundBit : 0) | (state.headEnds ? kHeadEndsBit : 0) | (state.matched + 1);
    }
    return state;
}

bool PathTermMatcher::BaseParentVerdict(std::uint32_t parentRef, std::uint32_t item) {
    const std::size_t slot = VerdictSlot(parentRef);
    Verdict verdict = StoredVerdict(slot);
    if (verdict == kUnknown) {
        const State folder = AfterFolder(NodeRef{parentRef, nullptr});
        verdict = folder.found ? kAllMatch : (folder.headEnds ? kTailDecides : kNoMatch);
        verdicts_[slot / 32] |= std::uint64_t{verdict} << (slot % 32 * 2);
    }
    return verdict == kAllMatch ||
           (verdict == kTailDecides &&
            snapshot_.Base().Folded(item).starts_with(std::string_view(text_).substr(headLength_)));
}

bool PathTermMatcher::MatchesSettling(std::uint32_t item) {
    if (!(item & kAddedItem)) return BaseParentVerdict(snapshot_.Base().Parent(item), item);
    const State folder = AfterFolder(snapshot_.View().ParentOf(snapshot_.NodeOfItem(item)));
    return folder.found || (folder.headEnds &&
                            snapshot_.Folded(item).starts_with(std::string_view(text_).substr(headLength_)));
}

} // namespace nuv::engine
