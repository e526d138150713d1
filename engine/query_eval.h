#pragma once

#include <cstdint>
#include <vector>

#include "engine/query.h"
#include "engine/result_set.h"
#include "engine/snapshot.h"

namespace nuv::engine {

// Every item of the snapshot that the query matches, in result order. `spent` is a result set no
// longer needed whose memory the answer may take over: a large answer then writes into pages
// already touched instead of fresh ones.
ResultSet EvaluateQuery(const Snapshot& snapshot, const Query& query, ResultSet spent = {});

// The items of `items` (in result order) that the query matches, order kept: the refinement of a
// previous result list.
ResultSet FilterItems(const Snapshot& snapshot, const Query& query, const std::vector<std::uint32_t>& items);

} // namespace nuv::engine
