#pragma once
// The service's end of the session pipe: one thread per connected client,
// each with its own current search over the shared catalog.
#include "engine/catalog.h"
#include "unique_handle.h"

#include <string>

namespace nuv::service {

class PipeServer {
public:
    PipeServer(const engine::Catalog& catalog, std::wstring pipeName);

    // Creates the first instance of the pipe and so takes the name. Fails when
    // any other process holds it already, whoever created it: a second service
    // of this session, or a squatter; either way this service must not run.
    bool ClaimName();
    // Thread body: accepts clients until the process ends.
    [[noreturn]] void ServeForever();

private:
    session::UniqueHandle CreateInstance(bool first);

    const engine::Catalog& catalog_;
    const std::wstring pipeName_;
    session::UniqueHandle listening_;
};

} // namespace nuv::service
