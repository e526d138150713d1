// The web search address for a searched text, and how it travels to the
// browser on its command line.
#pragma once

#include <string>
#include <string_view>

// "https://www.baidu.com/s?wd=" and the text percent-encoded as UTF-8: ASCII
// letters, digits and "-._~" stay, every other byte becomes %XX (upper-case
// hex), so no character of the text can end the query value or the address.
// The text is read as UTF-16 code units; an unpaired surrogate is encoded as
// U+FFFD. Where wchar_t is 32 bits wide, a unit above 0xFFFF is taken as the
// code point itself.
std::wstring WebSearchUrl(std::wstring_view searchText);

// The text as one command-line argument in double quotes, written so that
// CommandLineToArgvW (and the C runtime's parser) gives back exactly the text:
// an embedded quote is escaped, and backslashes are doubled where they stand
// before a quote or before the closing quote.
std::wstring QuotedCommandArgument(std::wstring_view text);
