#include "finder/search/core/result_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

namespace {

// Shows UTF-16 units beyond ASCII by value, so a failed case names the unit.
std::string Printable(std::wstring_view text) {
    std::string out;
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char unit[16];
            std::snprintf(unit, sizeof unit, "\\u%04X", static_cast<unsigned>(c));
            out += unit;
        }
    }
    return out;
}

struct QuotedCase {
    std::wstring text;
    std::wstring quoted;
};

class QuotedSearchTextCases : public testing::TestWithParam<QuotedCase> {};

TEST_P(QuotedSearchTextCases, QuotesWholeOrFirst17UnitsWithoutSplittingAPair) {
    EXPECT_EQ(QuotedSearchText(GetParam().text), GetParam().quoted) << Printable(GetParam().text);
}

const std::wstring k16 = L"abcdefghijklmnop";
const std::wstring kPair = L"\xD83D\xDE00"; // U+1F600 as UTF-16

INSTANTIATE_TEST_SUITE_P(
    Limit, QuotedSearchTextCases,
    testing::Values(QuotedCase{L"", L"\"\""},                         //
                    QuotedCase{k16 + L"q", L"\"" + k16 + L"q\""},     // 17 units: whole
                    QuotedCase{k16 + L"qr", L"\"" + k16 + L"q...\""}, // 18 units: 17 and "..."
                    // the limit counts units, not bytes
                    QuotedCase{L"文件" + k16, L"\"文件abcdefghijklmno...\""},
                    // the 17th unit would be the high half of a pair: the pair goes
                    QuotedCase{k16 + kPair, L"\"" + k16 + L"...\""},
                    QuotedCase{k16 + kPair + L"z", L"\"" + k16 + L"...\""},
                    // a pair that ends at unit 17 is shown whole
                    QuotedCase{L"abcdefghijklmno" + kPair + L"z", L"\"abcdefghijklmno" + kPair + L"...\""},
                    // a lone high surrogate at 17 with no low half after it is not a pair
                    QuotedCase{k16 + L"\xD83D" + L"z", L"\"" + k16 + L"\xD83D...\""}));

TEST(ResultFullPath, JoinsFolderAndNameWithABackslashAtAnyLength) {
    EXPECT_EQ(ResultFullPath(L"C:\\dir", L"a.txt"), L"C:\\dir\\a.txt");
    const std::wstring deep = L"\\\\?\\C:\\" + std::wstring(300, L'd');
    EXPECT_EQ(ResultFullPath(deep, L"n"), deep + L"\\n");
}

struct IconKeyCase {
    std::wstring folder;
    std::wstring name;
    std::optional<std::wstring> extension; // none: the path has no '.'
    std::wstring key;                      // for paths with an extension
};

class IconKeyCases : public testing::TestWithParam<IconKeyCase> {};

TEST_P(IconKeyCases, ExtensionAndCacheKey) {
    const IconKeyCase& c = GetParam();
    const std::wstring path = ResultFullPath(c.folder, c.name);
    std::wstring_view extension = L"untouched";
    const bool found = FindExtension(path, extension);
    ASSERT_EQ(found, c.extension.has_value()) << Printable(path);
    if (!found) {
        EXPECT_EQ(extension, L"untouched");
        return;
    }
    EXPECT_EQ(extension, *c.extension) << Printable(path);
    EXPECT_EQ(IconCacheKey(path, extension), c.key) << Printable(path);
}

INSTANTIATE_TEST_SUITE_P(Rows, IconKeyCases,
                         testing::Values(
                             // letter case is kept: two cache entries
                             IconKeyCase{L"C:\\docs", L"A.TXT", L"TXT", L"TXT"},
                             IconKeyCase{L"C:\\docs", L"b.txt", L"txt", L"txt"},
                             // programs are keyed by their full path, in any letter case
                             IconKeyCase{L"C:\\one", L"setup.exe", L"exe", L"C:\\one\\setup.exe"},
                             IconKeyCase{L"C:\\two", L"setup.exe", L"exe", L"C:\\two\\setup.exe"},
                             IconKeyCase{L"C:\\one", L"SETUP.Exe", L"Exe", L"C:\\one\\SETUP.Exe"},
                             // only "exe" itself: longer or shorter extensions are shared
                             IconKeyCase{L"C:\\one", L"a.exe1", L"exe1", L"exe1"},
                             IconKeyCase{L"C:\\one", L"a.ex", L"ex", L"ex"},
                             // the last dot anywhere in the joined path
                             IconKeyCase{L"C:\\x.y", L"README", L"y\\README", L"y\\README"},
                             IconKeyCase{L"C:\\archive.tar", L"data.gz", L"gz", L"gz"},
                             IconKeyCase{L"C:\\dir", L"trailing.", L"", L""}, //
                             IconKeyCase{L"C:\\dir", L"noext", std::nullopt, L""}));

} // namespace
