#include "search_text.h"

#include <cwchar>

wchar_t g_szSearchText[kSearchTextCapacity] = {};

void StoreSearchText(std::wstring_view text) {
    std::size_t length = text.size();
    if (length > kSearchTextCapacity - 1) {
        length = kSearchTextCapacity - 1;
        if (IS_HIGH_SURROGATE(text[length - 1])) --length;
    }
    std::wmemcpy(g_szSearchText, text.data(), length);
    g_szSearchText[length] = L'\0';
}
