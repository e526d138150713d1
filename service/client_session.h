#pragma once
#include "engine/catalog.h"
#include "unique_handle.h"

namespace nuv::service {

// Thread body for one connected client: reads requests and answers them until
// the client goes or sends anything malformed or oversized, which closes this
// connection and touches nothing else.
void ServeClient(const engine::Catalog& catalog, session::UniqueHandle pipe);

} // namespace nuv::service
