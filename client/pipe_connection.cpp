#include "pipe_connection.h"

#include "session_pipe.h"

namespace nuv::client {
namespace {

DWORD Remaining(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

} // namespace

bool PipeConnection::Connect(const std::wstring& pipeName, DWORD timeoutMs) {
    Close();
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // Identification level only: the service has no business acting as us.
        session::UniqueHandle pipe(
            CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe.Valid()) {
            if (!session::PipeServerIsCurrentUser(pipe.Get())) return false;
            pipe_ = std::move(pipe);
            break;
        }
        // Busy means every instance is taken for the moment; anything else
        // (most often: no such pipe) means no service to wait for.
        if (GetLastError() != ERROR_PIPE_BUSY || Remaining(deadline) == 0) return false;
        WaitNamedPipeW(pipeName.c_str(), Remaining(deadline));
    }
    if (!event_.Valid()) event_ = session::UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event_.Valid()) Close();
    return Connected();
}

std::optional<protocol::Reply> PipeConnection::Exchange(const protocol::Request& request, DWORD timeoutMs) {
    timedOut_ = false;
    if (!Connected()) return std::nullopt;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::optional<protocol::Reply> reply;
    if (WriteAll(protocol::EncodeRequest(request), deadline)) {
        if (const auto body = ReadFrame(deadline)) reply = protocol::DecodeReply(*body);
    }
    if (!reply) Close();
    return reply;
}

bool PipeConnection::WriteAll(const std::string& bytes, ULONGLONG deadline) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event_.Get();
    DWORD written = 0;
    const BOOL started =
        WriteFile(pipe_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlapped);
    return Finish(overlapped, started, deadline, written) && written == bytes.size();
}

std::optional<std::string> PipeConnection::ReadFrame(ULONGLONG deadline) {
    for (;;) {
        if (received_.size() >= protocol::kFrameHeaderBytes) {
            const auto length = protocol::DecodeFrameLength(
                std::string_view(received_).substr(0, protocol::kFrameHeaderBytes), protocol::kMaxReplyBytes);
            if (!length) return std::nullopt;
            const std::size_t frameBytes = protocol::kFrameHeaderBytes + *length;
            if (received_.size() >= frameBytes) {
                std::string body = received_.substr(protocol::kFrameHeaderBytes, *length);
                received_.erase(0, frameBytes);
                return body;
            }
        }
        if (!ReadSome(deadline)) return std::nullopt;
    }
}

bool PipeConnection::ReadSome(ULONGLONG deadline) {
    constexpr DWORD kChunkBytes = 64 * 1024;
    chunk_.resize(kChunkBytes);
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event_.Get();
    DWORD read = 0;
    const BOOL started = ReadFile(pipe_.Get(), chunk_.data(), kChunkBytes, nullptr, &overlapped);
    if (!Finish(overlapped, started, deadline, read) || read == 0) return false;
    received_.append(chunk_.data(), read);
    return true;
}

// Waits for an overlapped operation until the deadline. On timeout the
// operation is cancelled and waited for, because it writes into buffers and
// an OVERLAPPED that live on the caller's stack.
bool PipeConnection::Finish(OVERLAPPED& overlapped, BOOL started, ULONGLONG deadline, DWORD& transferred) {
    if (!started && GetLastError() != ERROR_IO_PENDING) return false;
    if (WaitForSingleObject(event_.Get(), Remaining(deadline)) != WAIT_OBJECT_0) {
        timedOut_ = true;
        CancelIoEx(pipe_.Get(), &overlapped);
        GetOverlappedResult(pipe_.Get(), &overlapped, &transferred, TRUE);
        return false;
    }
    return GetOverlappedResult(pipe_.Get(), &overlapped, &transferred, FALSE) != FALSE;
}

} // namespace nuv::client
