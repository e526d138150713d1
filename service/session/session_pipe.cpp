#include "session_pipe.h"

#include "unique_handle.h"

#include <sddl.h>

#include <memory>
#include <vector>

namespace nuv::session {
namespace {

// The TOKEN_USER of a process, in a buffer that keeps its SID alive.
std::vector<BYTE> ProcessUser(HANDLE process) {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &rawToken)) return {};
    UniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    return buffer;
}

PSID SidOf(std::vector<BYTE>& tokenUser) {
    return reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

} // namespace

std::wstring CurrentUserSidText() {
    std::vector<BYTE> user = ProcessUser(GetCurrentProcess());
    if (user.empty()) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(SidOf(user), &text)) return {};
    std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
    return text;
}

std::wstring ServicePipeName() {
    const std::wstring sid = CurrentUserSidText();
    DWORD sessionId = 0;
    if (sid.empty() || !ProcessIdToSessionId(GetCurrentProcessId(), &sessionId)) return {};
    return L"\\\\.\\pipe\\NuvFileSearch-" + std::to_wstring(sessionId) + L"-" + sid;
}

std::wstring ServiceMutexName() {
    const std::wstring sid = CurrentUserSidText();
    return sid.empty() ? std::wstring() : L"Local\\NuvFileSearch-" + sid;
}

bool PipeServerIsCurrentUser(HANDLE pipe) {
    ULONG serverId = 0;
    if (!GetNamedPipeServerProcessId(pipe, &serverId)) return false;
    UniqueHandle server(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverId));
    if (!server.Valid()) return false;
    std::vector<BYTE> serverUser = ProcessUser(server.Get());
    std::vector<BYTE> ownUser = ProcessUser(GetCurrentProcess());
    return !serverUser.empty() && !ownUser.empty() && EqualSid(SidOf(serverUser), SidOf(ownUser));
}

} // namespace nuv::session
