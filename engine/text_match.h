#pragma once

#include <string_view>

namespace nuv::engine {

// The first place `needle` occurs in [begin, end), or end. Compares the needle's first and last
// bytes sixteen positions at a time and checks the middle only where both agree, which keeps a
// scan over every name near memory speed.
const char* FindNeedle(const char* begin, const char* end, std::string_view needle);

// Whether a byte scan's hit of `literal` always starts a character, so a '*' before it may stop
// there. It does unless the literal opens with a UTF-8 continuation byte, which only a query
// that is not valid UTF-8 can hold.
bool StartsAtCharacter(std::string_view literal);

// Whether all of `text` matches `pattern`: '*' any run of characters, '?' exactly one character
// (one UTF-8 sequence, so one Chinese character is one '?').
bool WildcardMatch(std::string_view text, std::string_view pattern);

} // namespace nuv::engine
