#include "search_text.h"

#include <cwchar>

wchar_t g_szSearchText[kSearchTextCapacity] = {};

std::wstring_view FitSearchText(std::wstring_view text) {
    if (text.size() < kSearchTextCapacity) return text;
    std::size_t length = kSearchTextCapacity - 1;
    if (IS_HIGH_SURROGATE(text[length - 1])) --length;
    return text.substr(0, length);
}

void StoreSearchText(std::wstring_view text) {
    const std::wstring_view fitting = FitSearchText(text);
    std::wmemcpy(g_szSearchText, fitting.data(), fitting.size());
    g_szSearchText[fitting.size()] = L'\0';
}
