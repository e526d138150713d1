#include "test_processes.h"

#include <tlhelp32.h>

#include <atomic>
#include <cwchar>
#include <utility>

namespace nuv::test_support {

std::wstring FolderOfThisProgram() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring text(path, length);
    return text.substr(0, text.rfind(L'\\'));
}

namespace {

// std::filesystem gives up on paths past 260 characters here; the tests make such paths.
void RemoveTree(const std::wstring& path) {
    const std::wstring longPath = L"\\\\?\\" + path;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((longPath + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            const bool isLink = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (isFolder && !isLink)
                RemoveTree(child);
            else if (isFolder)
                RemoveDirectoryW((L"\\\\?\\" + child).c_str());
            else
                DeleteFileW((L"\\\\?\\" + child).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(longPath.c_str());
}

} // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(ARRAYSIZE(temp), temp);
    // Process ids repeat from one Wine session to the next; the tick count does not.
    path_ = std::wstring(temp) + L"nuvsvc-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
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

std::vector<DWORD> ThreadsOf(DWORD processId) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == processId) ids.push_back(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

void SuspendThreadById(DWORD threadId) {
    if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId)) {
        SuspendThread(thread);
        CloseHandle(thread);
    }
}

void ResumeThreadById(DWORD threadId) {
    if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId)) {
        ResumeThread(thread);
        CloseHandle(thread);
    }
}

} // namespace nuv::test_support
