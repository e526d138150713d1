#include "client_session.h"

#include "protocol/messages.h"
#include "repeat_forever.h"
#include "request_handler.h"

#include <string>

namespace nuv::service {
namespace {

bool ReadExactly(HANDLE pipe, char* buffer, DWORD size) {
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, size, &read, nullptr) || read == 0) return false;
        buffer += read;
        size -= read;
    }
    return true;
}

bool WriteAll(HANDLE pipe, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::optional<protocol::Request> ReadRequest(HANDLE pipe) {
    char header[protocol::kFrameHeaderBytes];
    if (!ReadExactly(pipe, header, sizeof(header))) return std::nullopt;
    const auto length = protocol::DecodeFrameLength({header, sizeof(header)}, protocol::kMaxRequestBytes);
    if (!length) return std::nullopt;
    std::string body(*length, '\0');
    if (!ReadExactly(pipe, body.data(), *length)) return std::nullopt;
    return protocol::DecodeRequest(body);
}

} // namespace

void ServeClient(const engine::Catalog& catalog, session::UniqueHandle pipe) {
    // Out of memory while answering one client ends that client's connection,
    // not the thread's process.
    try {
        RequestHandler handler(catalog);
        while (const auto request = ReadRequest(pipe.Get())) {
            if (!WriteAll(pipe.Get(), protocol::EncodeReply(handler.Handle(*request)))) break;
        }
    } catch (...) {
        ReportCurrentException("answering a client");
    }
    DisconnectNamedPipe(pipe.Get());
}

} // namespace nuv::service
