// The text of the latest query, shared by the search field that writes it and
// the results popup that searches for it.
#pragma once

#include <windows.h>

#include <string_view>

// 127 UTF-16 units and the terminating zero. Emptying the field leaves the
// last non-empty text here, for the web search.
constexpr int kSearchTextCapacity = 128;
extern wchar_t g_szSearchText[kSearchTextCapacity];

// Posted by the search field to the results popup, wParam 0 and lParam 0:
// search for g_szSearchText. Requests are never merged.
constexpr UINT WM_SEARCH_QUERY = 3001;

// The longest start of text that g_szSearchText holds. A cut never splits a
// surrogate pair, so what is stored stays valid UTF-16.
std::wstring_view FitSearchText(std::wstring_view text);

// Copies FitSearchText(text) and its terminating zero into g_szSearchText.
void StoreSearchText(std::wstring_view text);
