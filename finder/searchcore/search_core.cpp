#include "search_core.h"

#include "app_folder_path.h"

#include <tlhelp32.h>

#include <cwchar>

namespace {

constexpr wchar_t kSearchCoreFile[] = L"NuvFileSearch.dat";
constexpr wchar_t kSearchCoreCommand[] = L"NuvFileSearch.dat -startup";

nuv::searchcore::AppFolderPath g_appFolderPath;

class HandleGuard {
public:
    explicit HandleGuard(HANDLE handle) : m_hHandle(handle) {}
    ~HandleGuard() {
        if (m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE) CloseHandle(m_hHandle);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    HANDLE Get() const { return m_hHandle; }

private:
    HANDLE m_hHandle;
};

bool EndProcess(DWORD processId) {
    HandleGuard process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    // A process that ended between the snapshot and this call has no id to
    // open any more; it is gone, which is what was asked for.
    if (process.Get() == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    if (!TerminateProcess(process.Get(), 0)) return false;
    WaitForSingleObject(process.Get(), INFINITE);
    return true;
}

} // namespace

const wchar_t* GetAppFolderFile(const wchar_t* name) {
    if (!g_appFolderPath.IsFilled()) {
        wchar_t programPath[nuv::searchcore::AppFolderPath::kCapacity];
        const DWORD length = GetModuleFileNameW(nullptr, programPath, ARRAYSIZE(programPath));
        // A full buffer means the path was cut; a cut folder would be wrong.
        if (length == 0 || length >= ARRAYSIZE(programPath)) return L"";
        g_appFolderPath.Fill(programPath);
    }
    return g_appFolderPath.Compose(name);
}

int StopSearchCore() {
    HandleGuard snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE) return 1;
    DWORD ownSession = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &ownSession)) return 1;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (std::wcsstr(entry.szExeFile, kSearchCoreFile) == nullptr) continue;
        // Every signed-in user runs a service of their own: only the copies in
        // this session are ours to end, whatever rights would allow.
        DWORD session = 0;
        if (!ProcessIdToSessionId(entry.th32ProcessID, &session) || session != ownSession) continue;
        if (!EndProcess(entry.th32ProcessID)) MessageBoxW(nullptr, L"进程关闭失败", L"", MB_OK);
    }
    return 1;
}

BOOL StartSearchCore() {
    StopSearchCore();
    wchar_t szCommandLine[MAX_PATH];
    wcscpy_s(szCommandLine, ARRAYSIZE(szCommandLine), kSearchCoreCommand);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    const BOOL created = CreateProcessW(nullptr, szCommandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    if (created) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return created;
}
