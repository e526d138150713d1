#include "engine/search.h"

#include <algorithm>

#include "engine/query.h"
#include "engine/query_eval.h"
#include "engine/snapshot.h"

namespace nuv::engine {
namespace {

// Refining re-checks each previous result in full, while a fresh run scans names at memory speed;
// past this share of the catalogue the fresh run wins. Up to the floor, refining costs little
// whatever the catalogue's size.
constexpr std::size_t kRefineShareDivisor = 16;
constexpr std::size_t kRefineAlwaysUpTo = 65536;

} // namespace

Search::Search(const Catalog& catalog) : catalog_(catalog) {}

Search::~Search() = default;

std::size_t Search::Run(std::string_view text) {
    auto snapshot = catalog_.CurrentSnapshot();
    auto query = std::make_unique<Query>(ParseQuery(text));
    const std::size_t refineLimit = std::max(kRefineAlwaysUpTo, snapshot->Size() / kRefineShareDivisor);
    lastRunRefined_ =
        query_ && snapshot_ == snapshot && results_.size() <= refineLimit && IsNarrowing(*query, *query_);
    results_ = lastRunRefined_ ? FilterItems(*snapshot, *query, results_)
                               : EvaluateQuery(*snapshot, *query, std::move(results_));
    snapshot_ = std::move(snapshot);
    query_ = std::move(query);
    return results_.size();
}

std::size_t Search::Count() const {
    return results_.size();
}

bool Search::GetRow(std::size_t index, Row& row) const {
    if (index >= results_.size()) return false;
    const std::uint32_t item = results_[index];
    folderText_.clear();
    snapshot_->AppendFolderPath(item, folderText_);
    row.name = snapshot_->Name(item);
    row.folder = folderText_;
    row.isFolder = snapshot_->IsFolder(item);
    return true;
}

void Search::Reset() {
    snapshot_.reset();
    query_.reset();
    results_ = {};
    lastRunRefined_ = false;
}

} // namespace nuv::engine
