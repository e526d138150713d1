#include "pipe_server.h"

#include "client_session.h"
#include "pipe_security.h"

#include <functional>
#include <thread>

namespace nuv::service {
namespace {

constexpr DWORD kPipeBufferBytes = 64 * 1024;
// After a failure to create an instance (out of resources), try again later
// rather than spin.
constexpr DWORD kRetryMs = 1000;

} // namespace

PipeServer::PipeServer(const engine::Catalog& catalog, std::wstring pipeName)
    : catalog_(catalog), pipeName_(std::move(pipeName)) {}

bool PipeServer::ClaimName() {
    listening_ = CreateInstance(true);
    return listening_.Valid();
}

void PipeServer::ServeForever() {
    for (;;) {
        if (!listening_.Valid()) listening_ = CreateInstance(false);
        if (!listening_.Valid()) {
            Sleep(kRetryMs);
            continue;
        }
        // A client that connected between creation and this call is reported
        // as ERROR_PIPE_CONNECTED, which is a success too.
        const bool connected =
            ConnectNamedPipe(listening_.Get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
        if (!connected) {
            listening_.Close();
            continue;
        }
        // When no thread can be started the handle closes here, and the
        // client sees its connection end.
        try {
            std::thread(ServeClient, std::cref(catalog_), std::move(listening_)).detach();
        } catch (...) {
        }
        listening_.Close();
    }
}

session::UniqueHandle PipeServer::CreateInstance(bool first) {
    OwnerOnlySecurity security;
    if (!security.Valid()) return {};
    const DWORD openMode = PIPE_ACCESS_DUPLEX | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return session::UniqueHandle(CreateNamedPipeW(
        pipeName_.c_str(), openMode,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, kPipeBufferBytes, kPipeBufferBytes, 0, security.Attributes()));
}

} // namespace nuv::service
