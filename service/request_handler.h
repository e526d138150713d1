#pragma once
// Answers one client's requests from the catalog. Portable, so that it can be
// fuzzed natively together with the decoder in front of it.
#include "engine/catalog.h"
#include "engine/search.h"
#include "protocol/messages.h"

namespace nuv::service {

class RequestHandler {
public:
    explicit RequestHandler(const engine::Catalog& catalog) : search_(catalog) {}
    protocol::Reply Handle(const protocol::Request& request);

private:
    std::vector<protocol::WireRow> RowsFrom(std::uint32_t first, std::uint32_t count) const;

    engine::Search search_;
};

} // namespace nuv::service
