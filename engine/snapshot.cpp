#include "engine/snapshot.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>

#include "engine/case_fold.h"

namespace nuv::engine {
namespace {

std::uint64_t NextGeneration() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

std::vector<std::string> FoldAll(const std::vector<std::string>& texts) {
    std::vector<std::string> folded;
    folded.reserve(texts.size());
    for (const auto& t : texts)
        folded.push_back(Fold(t));
    return folded;
}

} // namespace

Snapshot::Snapshot(std::shared_ptr<const BaseIndex> base, std::vector<std::string> volumes,
                   std::shared_ptr<const AddedArena> arena, std::vector<const AddedEntry*> added,
                   std::vector<std::uint32_t> removed)
    : base_(std::move(base)), volumes_(std::move(volumes)), volumesFolded_(FoldAll(volumes_)),
      arena_(std::move(arena)), added_(std::move(added)), removed_(std::move(removed)),
      generation_(NextGeneration()), view_(*base_, volumes_, volumesFolded_) {}

std::shared_ptr<const Snapshot> Snapshot::FromBase(std::shared_ptr<const BaseIndex> base) {
    std::vector<std::string> volumes;
    for (std::uint32_t v = 0; v < base->VolumeCount(); ++v)
        volumes.push_back(base->VolumeName(v));
    return std::make_shared<const Snapshot>(std::move(base), std::move(volumes), nullptr,
                                            std::vector<const AddedEntry*>{}, std::vector<std::uint32_t>{});
}

RawTree Snapshot::Flatten(NodeRef leaveOutBelow, std::uint32_t* leftOutBelowRaw) const {
    const auto baseCount = static_cast<std::uint32_t>(base_->Size());
    std::vector<std::uint32_t> kept; // items in result order
    kept.reserve(Size());
    auto nextRemoved = removed_.begin();
    std::uint32_t nextAdded = 0;
    const auto addedCount = static_cast<std::uint32_t>(added_.size());
    for (std::uint32_t i = 0; i < baseCount; ++i) {
        if (nextRemoved != removed_.end() && *nextRemoved == i) {
            ++nextRemoved;
            continue;
        }
        while (nextAdded < addedCount && Less(kAddedItem | nextAdded, i))
            kept.push_back(kAddedItem | nextAdded++);
        kept.push_back(i);
    }
    while (nextAdded < addedCount)
        kept.push_back(kAddedItem | nextAdded++);
    if (!leaveOutBelow.IsNone())
        std::erase_if(kept,
                      [&](std::uint32_t item) { return view_.IsBelow(NodeOfItem(item), leaveOutBelow); });

    constexpr std::uint32_t kLeftOut = 0xFFFFFFFFu;
    std::vector<std::uint32_t> baseToRaw(baseCount, kLeftOut);
    std::unordered_map<const AddedEntry*, std::uint32_t> addedToRaw;
    for (std::uint32_t k = 0; k < kept.size(); ++k) {
        if (kept[k] & kAddedItem)
            addedToRaw[added_[kept[k] & ~kAddedItem]] = k;
        else
            baseToRaw[kept[k]] = k;
    }
    const auto rawOf = [&](NodeRef node) {
        return node.added ? addedToRaw[node.added] : (node.IsVolume() ? node.ref : baseToRaw[node.ref]);
    };
    if (leftOutBelowRaw && !leaveOutBelow.IsNone()) *leftOutBelowRaw = rawOf(leaveOutBelow);
    // A kept entry's parent is kept too: only whole subtrees are ever removed or left out.
    RawTree raw;
    raw.volumes = volumes_;
    for (std::uint32_t item : kept) {
        raw.Add(rawOf(view_.ParentOf(NodeOfItem(item))), Name(item), IsFolder(item));
    }
    return raw;
}

} // namespace nuv::engine
