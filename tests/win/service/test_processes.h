#pragma once
// Scratch folders and child processes for the tests of the service and of
// starting and ending it. Everything is cleaned up by its destructor.
#include <windows.h>

#include <string>
#include <vector>

namespace nuv::test_support {

std::wstring FolderOfThisProgram();

// A fresh folder under the temporary folder, removed with its content.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

class StartedProcess {
public:
    // Copies program into folder as name and starts the copy with arguments.
    static StartedProcess CopyAndStart(const std::wstring& program, const std::wstring& folder,
                                       const std::wstring& name, const std::wstring& arguments = L"");
    StartedProcess(StartedProcess&& other) noexcept;
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    bool Running() const;
    void Kill();
    // The exit code once it ended within timeoutMs; STILL_ACTIVE otherwise.
    DWORD WaitForExit(DWORD timeoutMs) const;
    DWORD Id() const { return id_; }

private:
    StartedProcess(HANDLE process, DWORD id) : process_(process), id_(id) {}
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Ids of the running processes whose executable name contains fragment,
// compared case-sensitively as the finder does.
std::vector<DWORD> ProcessesNamed(const wchar_t* fragment);

// Ids of the threads of a process, and suspending and resuming them, to make
// a process that is alive but answers nothing.
std::vector<DWORD> ThreadsOf(DWORD processId);
void SuspendThreadById(DWORD threadId);
void ResumeThreadById(DWORD threadId);

// Polls condition every few milliseconds until it holds or timeoutMs passed.
template <class Condition> bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

} // namespace nuv::test_support
