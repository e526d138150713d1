#pragma once
// Text crosses two boundaries here: file names arrive from Windows as UTF-16
// that may hold unpaired surrogates, and the engine keeps UTF-8. WTF-8 carries
// such a lone surrogate as its own three-byte form, so every name the file
// system can hold survives the round trip byte for byte.
#include <string>
#include <string_view>

namespace nuv::protocol {

std::string Utf16ToWtf8(std::u16string_view text);

// Bytes that are not well-formed WTF-8 (they can only come from a damaged or
// hostile peer) become U+FFFD, one per offending byte.
std::u16string Wtf8ToUtf16(std::string_view text);

} // namespace nuv::protocol
