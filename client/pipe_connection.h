#pragma once
// One connection to the search service with every wait bounded: a service
// that is gone or stuck costs the caller at most the timeout, never a hang.
#include "protocol/messages.h"
#include "unique_handle.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace nuv::client {

class PipeConnection {
public:
    // Connects to the named pipe and makes sure its server runs as the
    // current user; false (and not connected) otherwise.
    bool Connect(const std::wstring& pipeName, DWORD timeoutMs);
    bool Connected() const { return pipe_.Valid(); }
    // Whether the last exchange failed by running out of time, as opposed to
    // the service going away: a stuck service is not worth a second wait.
    bool TimedOut() const { return timedOut_; }
    void Close() {
        pipe_.Close();
        received_.clear();
    }

    // Sends one request and reads its reply. Any failure, timeout or
    // malformed reply closes the connection, since the stream can no longer
    // be trusted to be in step.
    std::optional<protocol::Reply> Exchange(const protocol::Request& request, DWORD timeoutMs);

private:
    bool WriteAll(const std::string& bytes, ULONGLONG deadline);
    std::optional<std::string> ReadFrame(ULONGLONG deadline);
    bool ReadSome(ULONGLONG deadline);
    bool Finish(OVERLAPPED& overlapped, BOOL started, ULONGLONG deadline, DWORD& transferred);

    session::UniqueHandle pipe_;
    session::UniqueHandle event_;
    bool timedOut_ = false;
    // Bytes read but not yet taken: a reply usually arrives in one read,
    // header and body together, and Wine makes every read a server call.
    std::string received_;
    std::vector<char> chunk_;
};

} // namespace nuv::client
