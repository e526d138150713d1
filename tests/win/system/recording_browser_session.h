// The recording browser (recording_browser.c) set up as the user's default
// browser for one test, and what it recorded. For any test that needs to see
// how the finder starts the browser.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The recording browser in the build's bin folder, beside the test programs.
std::wstring RecordingBrowserPath();

// Sets the default value of a registry key, making the key and any missing
// parent keys, and puts back what was there when it goes away: the keys it
// made are deleted, an earlier default value is restored.
class ScopedDefaultValue {
public:
    // subKeys: each key from the outermost that may be missing down to the
    // one whose default value is set, all relative to root.
    ScopedDefaultValue(HKEY root, const std::vector<std::wstring>& subKeys, const std::wstring& value);
    ScopedDefaultValue(const ScopedDefaultValue&) = delete;
    ScopedDefaultValue& operator=(const ScopedDefaultValue&) = delete;
    ~ScopedDefaultValue();

    bool IsSet() const { return m_set; }

private:
    HKEY m_root;
    std::wstring m_key;
    std::wstring m_createdKey; // the outermost key made here; empty when none
    std::optional<DWORD> m_previousType;
    std::vector<BYTE> m_previousData;
    bool m_set = false;
};

// Registers a command as the "http" protocol's open command for as long as it
// lives. It goes in as the current user's (HKEY_CURRENT_USER\Software\Classes,
// which wins in the HKEY_CLASSES_ROOT view on Windows). Wine 8 does not merge
// the user's classes into that view, so when the view still shows another
// command, the command also goes in through HKEY_CLASSES_ROOT itself, which
// is the test prefix's machine-wide classes there.
class ScopedHttpOpenCommand {
public:
    explicit ScopedHttpOpenCommand(const std::wstring& command);

    // True when HKEY_CLASSES_ROOT shows the command.
    bool Registered() const { return m_registered; }

private:
    ScopedDefaultValue m_userCommand;
    std::optional<ScopedDefaultValue> m_classesRootCommand;
    bool m_registered = false;
};

// One start of the recording browser.
struct BrowserStart {
    std::wstring commandLine;
    std::vector<std::wstring> argv; // argv[0] is the program's own name
};

// A fresh recording file, named to the recording browser through the
// environment that the processes started from here inherit, and deleted at
// the end.
class BrowserRecording {
public:
    BrowserRecording();
    BrowserRecording(const BrowserRecording&) = delete;
    BrowserRecording& operator=(const BrowserRecording&) = delete;
    ~BrowserRecording();

    // The browser starts on its own time after ShellExecuteW returns: waits,
    // up to timeoutMs, for the first complete record.
    std::optional<BrowserStart> WaitForStart(DWORD timeoutMs = 10000) const;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};
