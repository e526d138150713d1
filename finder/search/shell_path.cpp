#include "shell_path.h"

#include <windows.h>

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

std::wstring LongForm(const std::wstring& path) {
    if (path.starts_with(L"\\\\")) return kLongUncPrefix + path.substr(2);
    return kLongPrefix + path;
}

std::wstring WithoutLongPrefix(const std::wstring& path) {
    if (path.starts_with(kLongUncPrefix)) return L"\\\\" + path.substr(std::size(kLongUncPrefix) - 1);
    if (path.starts_with(kLongPrefix)) return path.substr(std::size(kLongPrefix) - 1);
    return path;
}

} // namespace

std::wstring ShellPath(const std::wstring& fullPath) {
    if (fullPath.size() < MAX_PATH) return fullPath;
    const std::size_t nameStart = fullPath.rfind(L'\\');
    if (nameStart == std::wstring::npos) return fullPath;
    const std::wstring folder = LongForm(fullPath.substr(0, nameStart));
    std::wstring shortFolder(GetShortPathNameW(folder.c_str(), nullptr, 0), L'\0');
    if (shortFolder.empty()) return LongForm(fullPath);
    const DWORD length =
        GetShortPathNameW(folder.c_str(), shortFolder.data(), static_cast<DWORD>(shortFolder.size()));
    if (length == 0 || length >= shortFolder.size()) return LongForm(fullPath);
    shortFolder.resize(length);
    const std::wstring shortened = WithoutLongPrefix(shortFolder) + fullPath.substr(nameStart);
    return shortened.size() < MAX_PATH ? shortened : LongForm(fullPath);
}
