#include "browser_launcher.h"

#include "browser_command.h"
#include "scoped_reg_key.h"

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// Another writer may grow the value between the size query and the read.
constexpr int kReadAttempts = 4;

// The data of the key's first value in enumeration order (normally its
// default value) as text, up to its first NUL. The buffers are sized from the
// key itself, since a registered command may be of any length.
std::optional<std::wstring> FirstValueText(HKEY key) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD longestName = 0;
        DWORD largestData = 0;
        if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &longestName, &largestData, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<wchar_t> name(longestName + 1);
        std::vector<wchar_t> data(largestData / sizeof(wchar_t) + 1);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        const LSTATUS status = ::RegEnumValueW(key, 0, name.data(), &nameLength, nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        if (status == ERROR_SUCCESS) {
            const std::wstring_view text(data.data(), dataBytes / sizeof(wchar_t));
            return std::wstring(text.substr(0, text.find(L'\0')));
        }
        if (status != ERROR_MORE_DATA) return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

void OpenUrlInBrowser(const wchar_t* pszParameters) {
    ScopedRegKey classesRoot;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, nullptr, 0, KEY_READ, classesRoot.Receive()) != ERROR_SUCCESS) {
        ::MessageBoxW(nullptr, L"WEB浏览器打开错误！", L"错误", MB_OK);
        return;
    }
    // Read access only: the machine-wide registration is not the user's to
    // change, and asking for more would refuse it to most users.
    ScopedRegKey commandKey;
    if (::RegOpenKeyExW(classesRoot.Get(), L"http\\shell\\open\\command", 0, KEY_QUERY_VALUE,
                        commandKey.Receive()) != ERROR_SUCCESS) {
        ::MessageBoxW(nullptr, L"浏览器打开错误！", L"错误", MB_OK);
        return;
    }
    const std::optional<std::wstring> command = FirstValueText(commandKey.Get());
    if (!command) return;
    const std::wstring browser = BrowserPathFromCommand(*command);
    if (browser.empty()) return;
    ::ShellExecuteW(nullptr, L"open", browser.c_str(), pszParameters, nullptr, SW_SHOWNORMAL);
}
