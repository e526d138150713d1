#include "finder/system/web_search_url.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kSearchPrefix = L"https://www.baidu.com/s?wd=";

struct UrlCase {
    std::wstring text;
    std::wstring encoded; // what follows "wd="
};

class WebSearchUrlCases : public testing::TestWithParam<UrlCase> {};

TEST_P(WebSearchUrlCases, TextIsPercentEncodedAsUtf8) {
    EXPECT_EQ(WebSearchUrl(GetParam().text), kSearchPrefix + GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WebSearchUrlCases,
    testing::Values(UrlCase{L"", L""}, UrlCase{L"AZaz09-._~", L"AZaz09-._~"},
                    // every character that could end the value, start another, or be read as an escape
                    UrlCase{L"report 2024.pdf", L"report%202024.pdf"}, UrlCase{L"a&b=c", L"a%26b%3Dc"},
                    UrlCase{L"#top", L"%23top"}, UrlCase{L"100%", L"100%25"}, UrlCase{L"\"q\"", L"%22q%22"},
                    UrlCase{L"c++", L"c%2B%2B"}, UrlCase{L"a/b?c\\d", L"a%2Fb%3Fc%5Cd"},
                    UrlCase{L"-private", L"-private"}, UrlCase{L"tab\there", L"tab%09here"},
                    // two- and three-byte UTF-8, upper-case hex
                    UrlCase{L"é", L"%C3%A9"}, UrlCase{L"文件", L"%E6%96%87%E4%BB%B6"},
                    // a surrogate pair is one four-byte character
                    UrlCase{L"\xD83D\xDE00", L"%F0%9F%98%80"},
                    // unpaired halves become U+FFFD, and what follows them is kept
                    UrlCase{L"a\xD83D", L"a%EF%BF%BD"}, UrlCase{L"\xDE00z", L"%EF%BF%BDz"},
                    UrlCase{L"\xD83D\xD83D\xDE00", L"%EF%BF%BD%F0%9F%98%80"}));

// Where wchar_t holds a whole code point, the text may carry it unsplit.
TEST(WebSearchUrl, WideCodePointsAreEncodedDirectlyWhereWcharIs32Bits) {
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(WebSearchUrl(std::wstring(1, static_cast<wchar_t>(0x1F600))),
                  kSearchPrefix + L"%F0%9F%98%80");
        EXPECT_EQ(WebSearchUrl(std::wstring(1, static_cast<wchar_t>(0x110000))),
                  kSearchPrefix + L"%EF%BF%BD");
    } else {
        GTEST_SKIP() << "wchar_t holds UTF-16 units here";
    }
}

struct QuotingCase {
    std::wstring text;
    std::wstring quoted;
};

class QuotedCommandArgumentCases : public testing::TestWithParam<QuotingCase> {};

// The command-line parser reads 2n+1 backslashes before a quote as n and a
// literal quote, 2n before the closing quote as n, and others as they are.
TEST_P(QuotedCommandArgumentCases, EscapesQuotesAndTheBackslashesBeforeThem) {
    EXPECT_EQ(QuotedCommandArgument(GetParam().text), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, QuotedCommandArgumentCases,
    testing::Values(QuotingCase{L"", L"\"\""}, QuotingCase{L"a b", L"\"a b\""},
                    QuotingCase{L"-flag", L"\"-flag\""}, QuotingCase{L"say \"hi\"", L"\"say \\\"hi\\\"\""},
                    QuotingCase{L"C:\\dir\\", L"\"C:\\dir\\\\\""}, // a trailing backslash is doubled
                    QuotingCase{L"C:\\a\\\\b", L"\"C:\\a\\\\b\""}, // inner ones are left alone
                    QuotingCase{L"x\\\"y", L"\"x\\\\\\\"y\""},     // one before a quote: 3 and the quote
                    QuotingCase{L"\\\\\"", L"\"\\\\\\\\\\\"\""})); // two before a quote: 5

} // namespace
