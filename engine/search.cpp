#include "engine/search.h"

#include "engine/query.h"
#include "engine/query_eval.h"
#include "engine/snapshot.h"

namespace nuv::engine {

Search::Search(const Catalog& catalog) : catalog_(catalog) {}

Search::~Search() = default;

std::size_t Search::Run(std::string_view text) {
    auto snapshot = catalog_.CurrentSnapshot();
    auto query = std::make_unique<Query>(ParseQuery(text));
    // Refining re-checks each previous result in full, while a fresh run scans names at memory
    // speed: only a previous answer short enough to be kept as a list is worth refining.
    lastRunRefined_ = query_ && snapshot_ == snapshot && results_.IsList() && IsNarrowing(*query, *query_);
    results_ = lastRunRefined_ ? FilterItems(*snapshot, *query, results_.List())
                               : EvaluateQuery(*snapshot, *query, std::move(results_));
    snapshot_ = std::move(snapshot);
    query_ = std::move(query);
    return results_.Size();
}

std::size_t Search::Count() const {
    return results_.Size();
}

bool Search::GetRow(std::size_t index, Row& row) const {
    if (index >= results_.Size()) return false;
    const std::uint32_t item = results_.At(index);
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
