#include "markup_tokenizer.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Token {
    int value;
    std::wstring text;
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& token) {
    out << "{0x" << std::hex << token.value << std::dec << ", \"";
    for (wchar_t c : token.text)
        out << (c < 128 ? static_cast<char>(c) : '?');
    return out << "\"}";
}

// The token text includes what the tokenizer swallowed after a tag.
std::vector<Token> Tokenize(const std::wstring& text) {
    std::vector<Token> tokens;
    const wchar_t* pos = text.data();
    int remaining = static_cast<int>(text.size());
    int length = 0;
    bool pending = false;
    for (int value; (value = NextMarkupToken(pos, remaining, length, &pending)) != MarkupNoToken;) {
        tokens.push_back({value, std::wstring(pos, static_cast<size_t>(length))});
        if (value == MarkupText) pending = false; // as the layout does after each run
        pos += length;
    }
    return tokens;
}

constexpr int Close = MarkupClosingTag;

struct TokenCase {
    const wchar_t* text;
    std::vector<Token> expected;
};

class TokenizerCases : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerCases, SplitsIntoRunsAndTags) {
    EXPECT_EQ(Tokenize(GetParam().text), GetParam().expected) << "text: " << Token{0, GetParam().text};
}

INSTANTIATE_TEST_SUITE_P(
    Markup, TokenizerCases,
    testing::Values(
        TokenCase{L"a <b>bold</b> c",
                  {{0, L"a"}, {MarkupBold, L"<b>"}, {0, L"bold"}, {MarkupBold + Close, L"</b>"}, {0, L"c"}}},
        // names are matched without regard to case, and only have to begin with a table name
        TokenCase{L"<B>x</STRONG>", {{MarkupBold, L"<B>"}, {0, L"x"}, {MarkupBold + Close, L"</STRONG>"}}},
        TokenCase{L"<pre>x", {{MarkupParagraph, L"<pre>"}, {0, L"x"}}},
        TokenCase{L"<big>x", {{MarkupBold, L"<big>"}, {0, L"x"}}},
        TokenCase{L"<image>x", {{MarkupItalic, L"<image>"}, {0, L"x"}}},
        TokenCase{L"<BR>x", {{MarkupLineBreak, L"<BR>"}, {0, L"x"}}},
        TokenCase{L"<em><sub><sup><u>",
                  {{MarkupItalic, L"<em>"},
                   {MarkupSubscript, L"<sub>"},
                   {MarkupSuperscript, L"<sup>"},
                   {MarkupUnderline, L"<u>"}}},
        // "small" begins with no table name: drawn as text, brackets included
        TokenCase{L"<small>x", {{0, L"<small>"}, {0, L"x"}}},
        // an attribute on a tag that takes none rejects the tag
        TokenCase{L"<b class=x>y", {{0, L"<b"}, {0, L"class=x>y"}}},
        TokenCase{L"</b x>", {{Close, L"</b"}, {0, L"x>"}}},
        TokenCase{L"a</nope>b", {{0, L"a"}, {Close, L"</nope>"}, {0, L"b"}}},
        TokenCase{
            L"<font color=#ff0000>r</font>",
            {{MarkupFontColor, L"<font color=#ff0000>"}, {0, L"r"}, {MarkupFontColor + Close, L"</font>"}}},
        // a tag cut off by the end of the text, and a lone bracket
        TokenCase{L"x<b", {{0, L"x"}, {0, L"<b"}}},
        TokenCase{L"<font color=1", {{MarkupFontColor, L"<font color=1"}}}, TokenCase{L"<", {{0, L"<"}}},
        TokenCase{L"<<b>", {{0, L"<"}, {MarkupBold, L"<b>"}}},
        // whitespace after a block tag belongs to the tag
        TokenCase{L"a <br>  b", {{0, L"a"}, {MarkupLineBreak, L"<br>  "}, {0, L"b"}}},
        TokenCase{L"a\t\n <p> \r\nb", {{0, L"a"}, {MarkupParagraph, L"<p> \r\n"}, {0, L"b"}}},
        // after an inline tag it does only when whitespace came before the tag
        TokenCase{L"a <i> b", {{0, L"a"}, {MarkupItalic, L"<i>"}, {0, L"b"}}},
        TokenCase{L"a <i> <u> b", {{0, L"a"}, {MarkupItalic, L"<i>"}, {MarkupUnderline, L"<u> "}, {0, L"b"}}},
        TokenCase{L"", {}}, TokenCase{L" \t\r\n ", {}},
        TokenCase{L"共查找出<font color=#ff0000>7</font>个文件",
                  {{0, L"共查找出"},
                   {MarkupFontColor, L"<font color=#ff0000>"},
                   {0, L"7"},
                   {MarkupFontColor + Close, L"</font>"},
                   {0, L"个文件"}}}));

// Whether a space separates each run from the one before, as the layout sees it.
std::vector<bool> PendingBeforeRuns(const std::wstring& text) {
    std::vector<bool> pendingBefore;
    const wchar_t* pos = text.data();
    int remaining = static_cast<int>(text.size());
    int length = 0;
    bool pending = false;
    for (int value; (value = NextMarkupToken(pos, remaining, length, &pending)) != MarkupNoToken;) {
        if (value == MarkupText) {
            pendingBefore.push_back(pending);
            pending = false;
        }
        pos += length;
    }
    return pendingBefore;
}

TEST(MarkupTokenizer, CollapsesWhitespaceAroundInlineTagsAndDropsItAroundBlockTags) {
    struct Case {
        const wchar_t* text;
        std::vector<bool> pendingBefore;
    } cases[] = {
        {L"one  \t\n two", {false, true}},
        {L"  lead", {true}},
        {L"trail   ", {false}},
        {L"a <b>b</b> c", {false, true, true}},
        {L"a<b>b</b>c", {false, false, false}},
        {L"a <b> b", {false, true}},
        {L"a <br> b", {false, false}},
        {L"a <p> b", {false, false}},
        {L"a <x> b", {false, true, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PendingBeforeRuns(c.text), c.pendingBefore) << Token{0, c.text};
}

TEST(MarkupTokenizer, ReportsTheEndAndLeavesTheFlagAloneWithoutOne) {
    const std::wstring text = L"  word";
    const wchar_t* pos = text.data();
    int remaining = static_cast<int>(text.size());
    int length = -7;
    EXPECT_EQ(NextMarkupToken(pos, remaining, length, nullptr), MarkupText);
    EXPECT_EQ(pos, text.data() + 2);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(remaining, 0);
    pos += length;
    EXPECT_EQ(NextMarkupToken(pos, remaining, length, nullptr), MarkupNoToken);
}

TEST(MarkupTokenizer, NeverReadsPastTheCount) {
    // Characters past the count must not change the outcome.
    const std::wstring text = L"<b>br>x";
    const wchar_t* pos = text.data();
    int remaining = 2; // "<b"
    int length = 0;
    EXPECT_EQ(NextMarkupToken(pos, remaining, length, nullptr), MarkupText);
    EXPECT_EQ(length, 2);
}

TEST(MarkupColor, ReadsSixHexDigitsInAnyQuoting) {
    struct Case {
        const wchar_t* value;
        COLORREF expected;
    } cases[] = {
        {L"#6f6f6f>", 0x6F6F6F},
        {L"#ff0000", 0x0000FF},
        {L"'#FF0000'>", 0x0000FF},
        {L"\"#ff0000\">", 0x0000FF},
        {L"ff0000>", 0x0000FF},
        {L"'ff0000'", 0x0000FF},
        {L"#123456", 0x563412},
        {L"#aBcDeF", 0xEFCDAB},
        // non-digits count as 0 and reading does not stop at the value's end
        {L"#fg0z00", 0x0000F0},
        {L"#fff>ab", 0xABF0FF},
        {L"red>", 0x00D00E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseMarkupColor(c.value, std::wcslen(c.value)), c.expected) << Token{0, c.value};
    }
}

TEST(MarkupColor, TreatsCharactersPastTheEndAsZero) {
    const wchar_t text[] = L"#ffffff";
    EXPECT_EQ(ParseMarkupColor(text, 4), 0x0000F0FFu);
    EXPECT_EQ(ParseMarkupColor(text, 0), 0u);
    EXPECT_EQ(ParseMarkupColor(L"'", 1), 0u);
}

} // namespace
