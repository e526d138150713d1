#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/catalog.h"
#include "engine/result_set.h"

namespace nuv::engine {

struct Query;

struct Row {
    std::string_view name;
    std::string_view folder;
    bool isFolder = false;
};

// One client's current search; one thread at a time. The query language is described in
// engine/QUERY.md.
class Search {
public:
    explicit Search(const Catalog& catalog);
    ~Search();
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    std::size_t Run(std::string_view query); // the count; refines the previous results when the query extends
                                             // the previous one and the catalog has not changed since
    std::size_t Count() const;
    bool
    GetRow(std::size_t index,
           Row& row) const; // false when out of range; views stay valid until the next call on this Search
    void Reset();           // drops the results

    // True when the last Run searched only the previous results (for tests and benchmarks).
    bool LastRunRefined() const { return lastRunRefined_; }

private:
    const Catalog& catalog_;
    std::shared_ptr<const Snapshot> snapshot_; // what results_ refers to
    std::unique_ptr<Query> query_;             // the query results_ answer
    ResultSet results_;                        // snapshot items in result order
    mutable std::string folderText_;           // backs Row::folder of the last GetRow
    bool lastRunRefined_ = false;
};

} // namespace nuv::engine
