#include "run_value.h"

#include <cwchar>
#include <vector>

static_assert(kKeyAllAccess == KEY_ALL_ACCESS && kKeyWow64View64 == KEY_WOW64_64KEY &&
              kKeyWow64View32 == KEY_WOW64_32KEY);

namespace {

// Asked at run time: the call is missing on the oldest systems, which then
// run no 32-bit programs beside 64-bit ones.
bool IsWow64CurrentProcess() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32");
    const auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
                                             ::GetProcAddress(kernel, "IsWow64Process")))
                                       : nullptr;
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

} // namespace

bool OpenRegKey(ScopedRegKey& key, const wchar_t* keyPath) {
    RootKeyValue root = 0;
    const auto subKey = ParseKeyPath(keyPath, root);
    if (!subKey || root == 0) return false;
    ScopedRegKey opened;
    if (::RegOpenKeyExW(reinterpret_cast<HKEY>(root), subKey->data(), 0,
                        RunKeyAccessMask(IsWow64CurrentProcess()), opened.Receive()) != ERROR_SUCCESS)
        return false;
    key.Swap(opened);
    return true;
}

std::wstring ReadRunValue(HKEY key) {
    if (!key) return {};
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, kRunValueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ || bytes == 0)
        return {};
    // Room for an odd byte count and for data stored without its NUL.
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 2, L'\0');
    if (::RegQueryValueExW(key, kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                           &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    const std::wstring_view read(text.data(), bytes / sizeof(wchar_t));
    return std::wstring(read.substr(0, read.find(L'\0')));
}

int WriteRunValue(HKEY key, const wchar_t* text) {
    if (!key) return 0;
    const auto bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

void CloseRegKey(ScopedRegKey& key) {
    key.Reset();
}
