#pragma once

#include <string>
#include <string_view>

namespace nuv::engine {

// Full Unicode case folding, so that "Straße" and "STRASSE", "ΣΑΣ" and "σας", "Ａ" and "ａ" compare
// equal. Bytes that are not valid UTF-8 (WTF-8 lone surrogates included) are copied unchanged, so
// names that came from invalid UTF-16 still fold to something stable and searchable.
void AppendFolded(std::string_view text, std::string& out);
std::string Fold(std::string_view text);

} // namespace nuv::engine
