#include "finder_session.h"

#include "finder/framework/gdi_guards.h"
#include "service/session/unique_handle.h"

#include <gdiplus.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <type_traits>

namespace {

constexpr wchar_t kSearchCoreFile[] = L"NuvFileSearch.dat";
constexpr int kSearchEditId = 1000;

bool IsOwnedByProcess(HWND hWnd, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    return owner == processId;
}

bool IsDialog(HWND hWnd) {
    wchar_t className[16] = {};
    GetClassNameW(hWnd, className, 16);
    return std::wcscmp(className, L"#32770") == 0;
}

struct WindowSearch {
    DWORD processId;
    std::function<bool(HWND)> accept;
    HWND found = nullptr;
};

BOOL CALLBACK AcceptWindow(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    if (!IsOwnedByProcess(hWnd, search->processId) || !search->accept(hWnd)) return TRUE;
    search->found = hWnd;
    return FALSE;
}

HWND FindTopLevel(DWORD processId, std::function<bool(HWND)> accept) {
    WindowSearch search{processId, std::move(accept)};
    EnumWindows(AcceptWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &input, sizeof(input));
}

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

bool PngEncoder(CLSID& clsid) {
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    if (bytes == 0) return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

} // namespace

std::wstring WindowsPathOf(const std::wstring& path) {
    // The build hands over Unix paths; Wine shows the Unix root as Z:.
    if (path.empty() || path[0] != L'/') return path;
    std::wstring windows = L"Z:" + path;
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    return windows;
}

std::wstring ArtifactFolder() {
    const wchar_t* folder = _wgetenv(L"TEST_ARTIFACTS");
    return folder && *folder ? WindowsPathOf(folder) : std::wstring(L".");
}

std::wstring BuildBinFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

FinderFolder::FinderFolder(bool withSearchCore) {
    CopyFinder();
    if (withSearchCore) {
        CopyFileW((BuildBinFolder() + L"\\search-core-standin.exe").c_str(),
                  (m_path + L"\\" + kSearchCoreFile).c_str(), FALSE);
    }
}

FinderFolder::FinderFolder(const std::string& serviceSettings) {
    CopyFinder();
    CopyFileW((BuildBinFolder() + L"\\" + kSearchCoreFile).c_str(),
              (m_path + L"\\" + kSearchCoreFile).c_str(), FALSE);
    nuv::session::UniqueHandle ini(CreateFileW((m_path + L"\\NuvFileSearch.ini").c_str(), GENERIC_WRITE, 0,
                                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(ini.Get(), serviceSettings.data(), static_cast<DWORD>(serviceSettings.size()), &written,
              nullptr);
}

void FinderFolder::CopyFinder() {
    static int s_counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"finder-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++s_counter);
    CreateDirectoryW(m_path.c_str(), nullptr);
    const std::wstring bin = BuildBinFolder();
    for (const wchar_t* file : {L"orvelSokra.exe", L"NuvSearch.dll"})
        CopyFileW((bin + L"\\" + file).c_str(), (m_path + L"\\" + file).c_str(), FALSE);
    // The web pane's page, which the finder reads from beside itself.
    CreateDirectoryW((m_path + L"\\ShareHtml").c_str(), nullptr);
    CopyFileW((bin + L"\\ShareHtml\\Sokra.html").c_str(), (m_path + L"\\ShareHtml\\Sokra.html").c_str(),
              FALSE);
}

FinderFolder::~FinderFolder() {
    WIN32_FIND_DATAW entry = {};
    HANDLE found = FindFirstFileW((m_path + L"\\*").c_str(), &entry);
    if (found != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((m_path + L"\\" + entry.cFileName).c_str());
        } while (FindNextFileW(found, &entry));
        FindClose(found);
    }
    DeleteFileW((m_path + L"\\ShareHtml\\Sokra.html").c_str());
    RemoveDirectoryW((m_path + L"\\ShareHtml").c_str());
    RemoveDirectoryW(m_path.c_str());
}

FinderProcess::~FinderProcess() {
    End();
}

bool FinderProcess::Start(const FinderFolder& folder) {
    return Start(folder.FinderPath(), folder.Path());
}

bool FinderProcess::Start(const std::wstring& exePath, const std::wstring& workingFolder) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &m_info)) {
        return false;
    }
    WaitForInputIdle(m_info.hProcess, 5000);
    return true;
}

void FinderProcess::End() {
    if (m_info.hProcess) {
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, 5000);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
        m_info = {};
    }
    // The finder was ended from outside, so its service was not.
    EndSearchCoreProcesses();
}

bool FinderProcess::IsRunning() const {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND FinderProcess::Bar() const {
    return FindTopLevel(Id(), [](HWND hWnd) {
        return IsDialog(hWnd) && IsWindowVisible(hWnd) && !GetWindow(hWnd, GW_OWNER) &&
               (GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    });
}

HWND FinderProcess::Field() const {
    HWND bar = Bar();
    if (!bar) return nullptr;
    return FindTopLevel(Id(), [bar](HWND hWnd) {
        return GetWindow(hWnd, GW_OWNER) == bar && GetDlgItem(hWnd, kSearchEditId) != nullptr;
    });
}

HWND FinderProcess::Popup() const {
    HWND field = Field();
    if (!field) return nullptr;
    return FindTopLevel(Id(), [field](HWND hWnd) { return GetWindow(hWnd, GW_OWNER) == field; });
}

HWND FinderProcess::FieldEdit() const {
    HWND field = Field();
    return field ? GetDlgItem(field, kSearchEditId) : nullptr;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return condition();
        Sleep(20);
    }
    return true;
}

std::vector<DWORD> SearchCoreProcessIds() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (std::wcsstr(entry.szExeFile, kSearchCoreFile)) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

void EndSearchCoreProcesses() {
    for (DWORD id : SearchCoreProcessIds()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process) continue;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

namespace {

constexpr int kAboutCloseId = 1138;

struct WindowsOwnedBy {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectAboutWindow(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowsOwnedBy*>(lParam);
    if (GetWindow(hWnd, GW_OWNER) == search->owner && GetDlgItem(hWnd, kAboutCloseId) != nullptr)
        search->found.push_back(hWnd);
    return TRUE;
}

} // namespace

std::vector<HWND> AboutWindowsOf(HWND owner) {
    WindowsOwnedBy search{owner};
    EnumWindows(CollectAboutWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool OpenFieldFromOutside(const FinderProcess& finder) {
    HWND bar = finder.Bar();
    const RECT barRect = WindowRect(bar);
    // The button is held on the bare desktop and the bar asked for its hit
    // test at the magnifier. A press on the bar itself also starts the
    // system's move loop, and under Wine its end races with the keys typed
    // next. Wine answers the bar's button query from a per-thread copy for
    // 50 ms, hence the pauses.
    MoveCursorTo(0, 0);
    LeftButton(true);
    Sleep(100);
    SendTo(bar, WM_NCHITTEST, 0, MAKELPARAM(barRect.left + 96, barRect.top + 18));
    const bool shown = WaitFor([&] { return IsWindowVisible(finder.Field()) != FALSE; });
    LeftButton(false);
    Sleep(100);
    if (!shown) return false;
    // Typed keys go to the foreground window, which a press held by this
    // program does not make the finder's field.
    SetForegroundWindow(finder.Field());
    return WaitFor([&] { return GetForegroundWindow() == finder.Field(); }) &&
           WaitFor([&] { return FocusOf(bar) == finder.FieldEdit(); });
}

bool WaitUntilPainted(const std::vector<HWND>& windows, DWORD timeoutMs) {
    return !windows.empty() && WaitFor(
                                   [&] {
                                       for (HWND window : windows)
                                           if (GetUpdateRect(window, nullptr, FALSE)) return false;
                                       DWORD_PTR ignored = 0;
                                       return SendMessageTimeoutW(windows.front(), WM_NULL, 0, 0,
                                                                  SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
                                   },
                                   timeoutMs);
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

std::wstring WindowText(HWND hWnd) {
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hWnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return text;
}

RECT WindowRect(HWND hWnd) {
    RECT rect = {};
    GetWindowRect(hWnd, &rect);
    return rect;
}

HWND FocusOf(HWND hWndInThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(hWndInThread, nullptr), &info);
    return info.hwndFocus;
}

void MoveCursorTo(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

void LeftButton(bool down) {
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
}

void RightButton(bool down) {
    SendMouse(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
}

void ClickAt(int x, int y, int clicks) {
    MoveCursorTo(x, y);
    Sleep(50);
    for (int i = 0; i < clicks; ++i) {
        LeftButton(true);
        LeftButton(false);
    }
}

void RightClickAt(int x, int y) {
    MoveCursorTo(x, y);
    Sleep(50);
    RightButton(true);
    RightButton(false);
}

void HoldKey(WORD vk, bool down) {
    INPUT input = KeyInput(vk, 0, down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &input, sizeof(INPUT));
}

void PressKey(WORD vk, bool withAlt) {
    std::vector<INPUT> inputs;
    if (withAlt) inputs.push_back(KeyInput(VK_MENU, 0, 0));
    inputs.push_back(KeyInput(vk, 0, 0));
    inputs.push_back(KeyInput(vk, 0, KEYEVENTF_KEYUP));
    if (withAlt) inputs.push_back(KeyInput(VK_MENU, 0, KEYEVENTF_KEYUP));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : text) {
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

LRESULT SendTo(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

COLORREF ScreenPixel(int x, int y) {
    ScopedWindowDC screen(nullptr);
    return GetPixel(screen, x, y);
}

ScreenPixels CaptureScreen(const RECT& area) {
    ScreenPixels pixels;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return pixels;
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    ScopedBitmap surface(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!surface) return pixels;
    {
        ScopedSelect select(memory, surface);
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    }
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    pixels.rgb.assign(first, first + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : pixels.rgb)
        pixel &= 0x00FFFFFF;
    pixels.width = width;
    pixels.height = height;
    return pixels;
}

bool SavePng(const ScreenPixels& pixels, const std::wstring& path) {
    if (pixels.rgb.empty()) return false;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        // GDI+ only reads the pixels, whatever the pointer's constness.
        auto* bytes = reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels.rgb.data()));
        Gdiplus::Bitmap image(pixels.width, pixels.height, pixels.width * 4, PixelFormat32bppRGB, bytes);
        SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L"\\/")).c_str(), nullptr);
        CLSID png = {};
        saved = PngEncoder(png) && image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

bool SaveScreenshot(const RECT& area, const std::wstring& path) {
    return SavePng(CaptureScreen(area), path);
}

std::vector<std::uint8_t> PngResourceOf(const std::wstring& exePath, WORD id) {
    std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> module(
        LoadLibraryExW(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
        &FreeLibrary);
    if (!module) return {};
    HRSRC info = FindResourceW(module.get(), MAKEINTRESOURCEW(id), L"PNG");
    HGLOBAL loaded = info ? LoadResource(module.get(), info) : nullptr;
    const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) return {};
    return {data, data + SizeofResource(module.get(), info)};
}
