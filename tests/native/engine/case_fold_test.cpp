#include <gtest/gtest.h>

#include "engine/case_fold.h"

namespace nuv::engine {
namespace {

struct FoldCase {
    const char* text;
    const char* folded;
};

TEST(CaseFold, FoldsEveryScriptTheFinderPromises) {
    const FoldCase cases[] = {
        {"README.TXT", "readme.txt"},
        {"Straße", "strasse"}, // full folding: one letter becomes two
        {"STRASSE", "strasse"},
        {"ΣΑΣ", "σασ"},               // capital sigma
        {"σας", "σασ"},               // final sigma folds like the others
        {"ПРИВЕТ Мир", "привет мир"}, // Cyrillic
        {"ＡＢＣ１", "ａｂｃ１"},     // full-width Latin folds to full-width lower case
        {"ÀÉÎÕÜ", "àéîõü"},
        {"İ", "i\xCC\x87"},               // dotted capital I: i plus combining dot
        {"中文文件.txt", "中文文件.txt"}, // CJK has no case
        {"日本語ＡＢ", "日本語ａｂ"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fold(c.text), c.folded) << c.text;
}

TEST(CaseFold, PassesBytesThatAreNotUtf8Through) {
    const FoldCase cases[] = {
        {"\xED\xA0\x80"
         "A",
         "\xED\xA0\x80"
         "a"}, // WTF-8 lone surrogate from invalid UTF-16
        {"\xFF\xFE"
         "B",
         "\xFF\xFE"
         "b"},            // bytes no UTF-8 has
        {"\xC3", "\xC3"}, // a sequence cut short at the end
        {"\xC3"
         "A",
         "\xC3"
         "a"},                                    // cut short in the middle
        {"\xC0\x80", "\xC0\x80"},                 // overlong zero
        {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80"}, // past U+10FFFF
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fold(c.text), c.folded);
}

// ASCII is folded eight bytes at a time; every byte value, at every offset within a word and
// next to non-ASCII text, must fold as the one-byte rule says.
TEST(CaseFold, FoldsAsciiAlikeAtEveryOffset) {
    std::string ascii;
    for (int c = 1; c < 0x80; ++c)
        ascii.push_back(static_cast<char>(c));
    for (std::size_t offset = 0; offset < 9; ++offset) {
        const std::string text = std::string(offset, 'Q') + ascii + "É" + ascii;
        std::string expected;
        for (char c : text)
            expected.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
        expected.replace(offset + ascii.size(), 2, "é");
        EXPECT_EQ(Fold(text), expected) << offset;
    }
}

} // namespace
} // namespace nuv::engine
