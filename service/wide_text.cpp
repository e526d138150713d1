#include "wide_text.h"

#include "protocol/wtf8.h"

#include <windows.h>

namespace nuv::service {

std::string ToEngineText(std::wstring_view text) {
    return protocol::Utf16ToWtf8(std::u16string(text.begin(), text.end()));
}

std::wstring ToWide(std::string_view wtf8) {
    const std::u16string utf16 = protocol::Wtf8ToUtf16(wtf8);
    return std::wstring(utf16.begin(), utf16.end());
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

} // namespace nuv::service
