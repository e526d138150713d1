#include "protocol/wtf8.h"

#include <gtest/gtest.h>

namespace nuv::protocol {
namespace {

struct Case {
    std::u16string utf16;
    std::string wtf8;
};

TEST(Wtf8, ConvertsBothWays) {
    const Case cases[] = {
        {u"", ""},
        {u"readme.txt", "readme.txt"},
        {u"\u00e9t\u00e9", "\xC3\xA9t\xC3\xA9"},
        {u"\u62a5\u544a.docx", "\xE6\x8A\xA5\xE5\x91\x8A.docx"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},                           // a surrogate pair is one code point
        {std::u16string(1, char16_t(0xD800)) + u"x", "\xED\xA0\x80x"}, // lone high surrogate
        {u"x" + std::u16string(1, char16_t(0xDFFF)), "x\xED\xBF\xBF"}, // lone low surrogate
        {std::u16string(1, char16_t(0xDC00)) + std::u16string(1, char16_t(0xD800)),
         "\xED\xB0\x80\xED\xA0\x80"}, // reversed pair stays two units
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16ToWtf8(c.utf16), c.wtf8);
        EXPECT_EQ(Wtf8ToUtf16(c.wtf8), c.utf16);
    }
}

TEST(Wtf8, MalformedBytesBecomeReplacementCharacters) {
    const Case cases[] = {
        {u"a\uFFFDb", "a\x80"
                      "b"},                                // stray continuation byte
        {u"\uFFFD\uFFFD", "\xC0\xAF"},                     // overlong slash
        {u"\uFFFD", "\xE4"},                               // truncated sequence at the end
        {u"\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80"}, // past U+10FFFF
        {u"\uFFFDz", "\xFFz"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wtf8ToUtf16(c.wtf8), c.utf16) << c.wtf8;
}

} // namespace
} // namespace nuv::protocol
