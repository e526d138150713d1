#include "result_text.h"

namespace {

constexpr std::size_t kQuotedTextLimit = 17;

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsExeExtension(std::wstring_view extension) {
    constexpr std::wstring_view kExe = L"exe";
    if (extension.size() != kExe.size()) return false;
    for (std::size_t i = 0; i < kExe.size(); ++i)
        if (AsciiLower(extension[i]) != kExe[i]) return false;
    return true;
}

} // namespace

std::wstring QuotedSearchText(std::wstring_view text) {
    if (text.size() <= kQuotedTextLimit) return L"\"" + std::wstring(text) + L"\"";
    std::size_t shown = kQuotedTextLimit;
    if (IsHighSurrogate(text[shown - 1]) && IsLowSurrogate(text[shown])) --shown;
    return L"\"" + std::wstring(text.substr(0, shown)) + L"...\"";
}

std::wstring ResultFullPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, L'\\').append(name);
    return path;
}

bool FindExtension(std::wstring_view fullPath, std::wstring_view& extension) {
    const std::size_t dot = fullPath.rfind(L'.');
    if (dot == std::wstring_view::npos) return false;
    extension = fullPath.substr(dot + 1);
    return true;
}

std::wstring IconCacheKey(std::wstring_view fullPath, std::wstring_view extension) {
    return std::wstring(IsExeExtension(extension) ? fullPath : extension);
}
