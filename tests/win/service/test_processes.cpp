#include "test_processes.h"

#include <tlhelp32.h>

#include <atomic>
#include <cwchar>
#include <filesystem>
#include <utility>

namespace nuv::testing {

std::wstring FolderOfThisProgram() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring text(path, length);
    return text.substr(0, text.rfind(L'\\'));
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(ARRAYSIZE(temp), temp);
    path_ = std::wstring(temp) + L"nuvsvc-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(L"\\\\?\\" + path_, ignored);
}

StartedProcess StartedProcess::CopyAndStart(const std::wstring& program, const std::wstring& folder,
                                            const std::wstring& name, const std::wstring& arguments) {
    const std::wstring copy = folder + L"\\" + name;
    CopyFileW(program.c_str(), copy.c_str(), FALSE);
    std::wstring commandLine = L"\"" + copy + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info))
        return StartedProcess(nullptr, 0);
    CloseHandle(info.hThread);
    return StartedProcess(info.hProcess, info.dwProcessId);
}

StartedProcess::StartedProcess(StartedProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(other.id_) {}

StartedProcess::~StartedProcess() {
    Kill();
    if (process_ != nullptr) CloseHandle(process_);
}

bool StartedProcess::Running() const {
    return WaitForExit(0) == STILL_ACTIVE;
}

void StartedProcess::Kill() {
    if (process_ != nullptr && Running()) {
        TerminateProcess(process_, 9);
        WaitForSingleObject(process_, INFINITE);
    }
}

DWORD StartedProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD code = STILL_ACTIVE;
    if (process_ == nullptr) return 0;
    WaitForSingleObject(process_, timeoutMs);
    GetExitCodeProcess(process_, &code);
    return code;
}

std::vector<DWORD> ProcessesNamed(const wchar_t* fragment) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (std::wcsstr(entry.szExeFile, fragment) != nullptr) ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

} // namespace nuv::testing
