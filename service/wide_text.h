#pragma once
// Windows speaks UTF-16 in wchar_t; the engine and the wire speak WTF-8.
#include <string>
#include <string_view>

namespace nuv::service {

std::string ToEngineText(std::wstring_view text);
std::wstring ToWide(std::string_view wtf8);

// Case-insensitive equality as the file system sees it (ordinal, no locale).
bool SameName(std::wstring_view a, std::wstring_view b);

} // namespace nuv::service
