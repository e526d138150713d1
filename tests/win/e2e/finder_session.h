// Drives a real orvelSokra.exe from outside, as a user would: starts it from
// a folder of its own, finds its windows, sends it input and reads its state.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A fresh temporary folder holding a copy of the finder and its search
// library and, when asked, the search service stand-in under the service's
// file name, or the real service with the NuvFileSearch.ini given. Removed
// afterwards with everything in it.
class FinderFolder {
public:
    explicit FinderFolder(bool withSearchCore);
    // The real service beside the finder, reading `serviceSettings` as its ini.
    explicit FinderFolder(const std::string& serviceSettings);
    FinderFolder(const FinderFolder&) = delete;
    FinderFolder& operator=(const FinderFolder&) = delete;
    ~FinderFolder();

    const std::wstring& Path() const { return m_path; }
    std::wstring FinderPath() const { return m_path + L"\\orvelSokra.exe"; }

private:
    void CopyFinder();

    std::wstring m_path;
};

// The folder of the running test executable, where the build puts every
// program.
std::wstring BuildBinFolder();

// A started finder process; ended (with any search service) when destroyed.
class FinderProcess {
public:
    FinderProcess() = default;
    FinderProcess(const FinderProcess&) = delete;
    FinderProcess& operator=(const FinderProcess&) = delete;
    ~FinderProcess();

    bool Start(const FinderFolder& folder);
    // Starts the finder at exePath with workingFolder as its current folder.
    bool Start(const std::wstring& exePath, const std::wstring& workingFolder);
    void End();
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool IsRunning() const;

    // The bar: the visible, ownerless dialog window of the process.
    HWND Bar() const;
    // The search field: the window the bar owns.
    HWND Field() const;
    // The results popup: the window the field owns.
    HWND Popup() const;
    HWND FieldEdit() const;

private:
    HWND FindOwnedBy(HWND owner, bool visibleOnly) const;
    PROCESS_INFORMATION m_info = {};
};

// Polls until condition holds, for at most timeoutMs; its last answer.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Ids of every process whose executable name contains the service's name.
std::vector<DWORD> SearchCoreProcessIds();
void EndSearchCoreProcesses();

// Presses the bar's magnifier as the end-to-end tests do and makes the field
// the foreground window, so that typed keys reach its text box; false when
// the field did not open or the box never got the focus.
bool OpenFieldFromOutside(const FinderProcess& finder);

std::string Utf8(const std::wstring& text);

// Waits until none of the windows waits to be painted and the thread of the
// first is back in its message loop, so that a paint under way has ended.
bool WaitUntilPainted(const std::vector<HWND>& windows, DWORD timeoutMs = 5000);

// Every product About window (template 317, with its cross 1138) that
// `owner` owns, shown or hidden: the bar and the results popup have one each.
std::vector<HWND> AboutWindowsOf(HWND owner);

// Window state read across processes.
std::wstring WindowText(HWND hWnd);
RECT WindowRect(HWND hWnd);
HWND FocusOf(HWND hWndInThread);

// Real input, as from the keyboard and mouse.
void MoveCursorTo(int x, int y);
void LeftButton(bool down);
void RightButton(bool down);
// Moves there, then presses and releases the left button `clicks` times.
void ClickAt(int x, int y, int clicks = 1);
void RightClickAt(int x, int y);
// Holds a key down, or lets it go, as a modifier for the mouse.
void HoldKey(WORD vk, bool down);
void PressKey(WORD vk, bool withAlt = false);
void TypeText(const std::wstring& text);

// The colour of a pixel of the screen.
COLORREF ScreenPixel(int x, int y);

// Sends a message with a bound on how long the finder may take to answer.
LRESULT SendTo(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// TEST_ARTIFACTS as a Windows path, or the current folder.
std::wstring ArtifactFolder();
// A Unix path as Wine shows it (the Unix root is drive Z:, with backslashes);
// others unchanged.
std::wstring WindowsPathOf(const std::wstring& path);

// Pixels read off the screen, top-down rows of 0x00RRGGBB.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;

    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// The screen's pixels in `area`; empty when they could not be read.
ScreenPixels CaptureScreen(const RECT& area);
// Saves the pixels as the PNG file `path`, creating its folders; false when
// it could not be saved.
bool SavePng(const ScreenPixels& pixels, const std::wstring& path);
bool SaveScreenshot(const RECT& area, const std::wstring& path);

// The encoded bytes of PNG resource `id` of the program at exePath, as the
// program itself loads them; empty when the program or the image is missing.
std::vector<std::uint8_t> PngResourceOf(const std::wstring& exePath, WORD id);
