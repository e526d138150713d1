#include "web_search_url.h"

#include <type_traits>

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// wchar_t is signed on some targets; a negative unit must not look small.
char32_t UnitAt(std::wstring_view text, std::size_t index) {
    return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[index]));
}

// The code point that starts at index, and how many units it takes.
char32_t CodePointAt(std::wstring_view text, std::size_t index, std::size_t& units) {
    const char32_t unit = UnitAt(text, index);
    units = 1;
    if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(UnitAt(text, index + 1))) {
        units = 2;
        return 0x10000 + ((unit - 0xD800) << 10) + (UnitAt(text, index + 1) - 0xDC00);
    }
    if (IsSurrogate(unit) || unit > kLastCodePoint) return kReplacementCharacter;
    return unit;
}

void AppendUtf8(char32_t codePoint, std::string& bytes) {
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | (codePoint >> 6));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | (codePoint >> 12));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (codePoint >> 18));
        bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Utf8Of(std::wstring_view text) {
    std::string bytes;
    for (std::size_t index = 0, units = 0; index < text.size(); index += units)
        AppendUtf8(CodePointAt(text, index, units), bytes);
    return bytes;
}

// RFC 3986's unreserved characters: the only ones that mean the same to every
// server when they stand in a query value as they are.
bool IsUnreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

std::wstring PercentEncoded(std::string_view bytes) {
    constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
    std::wstring encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            encoded += static_cast<wchar_t>(byte);
        } else {
            encoded += L'%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0xF];
        }
    }
    return encoded;
}

} // namespace

std::wstring WebSearchUrl(std::wstring_view searchText) {
    return L"https://www.baidu.com/s?wd=" + PercentEncoded(Utf8Of(searchText));
}

std::wstring QuotedCommandArgument(std::wstring_view text) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only when a quote follows them.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}
