#include "markup_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// Every character is CharWidth wide (BoldCharWidth in bold) and a space is
// SpaceWidth (BoldSpaceWidth), so each x position below can be worked out by hand.
constexpr int CharWidth = 10;
constexpr int BoldCharWidth = 12;
constexpr int SpaceWidth = 4;
constexpr int BoldSpaceWidth = 5;
constexpr int LineHeight = 16;

struct DrawnRun {
    std::wstring text;
    MarkupLineBox box;
    unsigned format;
    unsigned style;
    COLORREF color;
};

class FakeSurface : public MarkupSurface {
public:
    void SelectStyle(unsigned style) override {
        style_ = style;
        selections.push_back(style);
    }
    MarkupExtent MeasureRun(const wchar_t* text, int count) override {
        const bool bold = (style_ & MarkupStyleBold) != 0;
        if (count == 1 && text[0] == L' ') return {bold ? BoldSpaceWidth : SpaceWidth, LineHeight};
        return {count * (bold ? BoldCharWidth : CharWidth), LineHeight};
    }
    void DrawRun(const wchar_t* text, int count, const MarkupLineBox& box, unsigned format) override {
        runs.push_back({std::wstring(text, static_cast<size_t>(count)), box, format, style_, color});
    }
    COLORREF GetTextColor() override { return color; }
    void SetTextColor(COLORREF newColor) override { color = newColor; }

    std::vector<DrawnRun> runs;
    std::vector<unsigned> selections;
    COLORREF color = 0x111111;

private:
    unsigned style_ = 0;
};

constexpr unsigned WordBreak = MarkupFormatWordBreak;
constexpr unsigned NoPrefix = MarkupFormatNoPrefix;

MarkupLayoutResult LayOut(FakeSurface& surface, const std::wstring& text, unsigned format, int width = 1000,
                          int left = 10, int top = 5) {
    return LayOutMarkup(surface, text.data(), static_cast<int>(text.size()), left, top, width, format);
}

std::vector<int> LeftEdges(const FakeSurface& surface) {
    std::vector<int> edges;
    for (const DrawnRun& run : surface.runs)
        edges.push_back(run.box.left);
    return edges;
}

std::vector<int> Tops(const FakeSurface& surface) {
    std::vector<int> tops;
    for (const DrawnRun& run : surface.runs)
        tops.push_back(run.box.top);
    return tops;
}

TEST(MarkupLayout, PlacesRunsOneSpaceApartInTheFontOfTheFollowingRun) {
    FakeSurface surface;
    const MarkupLayoutResult result = LayOut(surface, L"one <b>two</b> three", 0);
    ASSERT_EQ(surface.runs.size(), 3u);
    // "one" 30 wide, a bold space 5, "two" 36 wide, a plain space 4
    EXPECT_EQ(LeftEdges(surface), (std::vector<int>{10, 45, 85}));
    EXPECT_EQ(surface.runs[1].style, MarkupStyleBold);
    EXPECT_EQ(surface.runs[0].style | surface.runs[2].style, 0u);
    EXPECT_EQ(surface.selections, (std::vector<unsigned>{0, MarkupStyleBold, 0}));
    for (const DrawnRun& run : surface.runs) {
        EXPECT_EQ(run.box.top, 5);
        EXPECT_EQ(run.box.bottom, 5 + LineHeight);
        EXPECT_EQ(run.box.right, 1010);
        EXPECT_EQ(run.format, NoPrefix);
    }
    EXPECT_EQ(result.y, 0);
    EXPECT_EQ(result.largestX, 125);
    EXPECT_EQ(result.lineHeight, LineHeight);
}

TEST(MarkupLayout, CollapsesWhitespace) {
    struct Case {
        const wchar_t* text;
        std::vector<int> leftEdges;
        int largestX;
    } cases[] = {
        {L"a \t\r\n  b", {10, 24}, 24},     {L"  \n a", {14}, 14}, {L"a   ", {10}, 10},
        {L"a <i> <u> b", {10, 24, 20}, 24}, // the underlined gap is drawn as a space
        {L"<b>a</b>b", {10, 22}, 22},
    };
    for (const Case& c : cases) {
        FakeSurface surface;
        const MarkupLayoutResult result = LayOut(surface, c.text, 0);
        EXPECT_EQ(LeftEdges(surface), c.leftEdges) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(result.largestX, c.largestX);
    }
}

TEST(MarkupLayout, DrawsTheGapBeforeAnUnderlinedRunAsAnUnderlinedSpace) {
    FakeSurface surface;
    LayOut(surface, L"a <u>b</u>", 0);
    ASSERT_EQ(surface.runs.size(), 3u);
    EXPECT_EQ(surface.runs[2].text, L" ");
    EXPECT_EQ(surface.runs[2].box.left, 20);
    EXPECT_EQ(surface.runs[2].box.right, 24);
    EXPECT_EQ(surface.runs[2].style, MarkupStyleUnderline);
}

TEST(MarkupLayout, BreaksLinesOnlyAtWhitespace) {
    struct Case {
        const wchar_t* text;
        unsigned format;
        int width;
        std::vector<int> leftEdges;
        std::vector<int> tops;
        std::vector<int> rightEdges;
        int y;
    } cases[] = {
        // the second word does not fit: it moves down, without its space
        {L"aa bbb", WordBreak, 50, {10, 10}, {5, 21}, {60, 60}, LineHeight},
        // without word breaking the box widens instead
        {L"aa bbb", 0, 50, {10, 34}, {5, 5}, {60, 64}, 0},
        // a word wider than the box widens it to the word, then the next one wraps
        {L"aaaaaa b", WordBreak, 50, {10, 10}, {5, 21}, {70, 70}, LineHeight},
        // runs joined without whitespace stay on their line and are clipped by the box
        {L"\u5171\u67E5\u627E\u51FA<font color=#ff0000>7</font>\u4E2A",
         WordBreak,
         20,
         {10, 50, 60},
         {5, 5, 5},
         {50, 50, 50},
         0},
        // a line break and paragraph tags, ignored on a single line
        {L"<br>a", 0, 100, {10}, {21}, {110}, LineHeight},
        {L"<p>a", 0, 100, {10}, {5}, {110}, 0},
        {L"a<p>b", 0, 100, {10, 10}, {5, 29}, {110, 110}, LineHeight * 3 / 2},
        {L"a<br>b<br>c", MarkupFormatSingleLine, 100, {10, 20, 30}, {5, 5, 5}, {110, 110, 110}, 0},
        {L"a<p>b", MarkupFormatSingleLine, 100, {10, 20}, {5, 5}, {110, 110}, 0},
        // word breaking still works on a single line
        {L"aa bbb", WordBreak | MarkupFormatSingleLine, 50, {10, 10}, {5, 21}, {60, 60}, LineHeight},
    };
    for (const Case& c : cases) {
        FakeSurface surface;
        const MarkupLayoutResult result = LayOut(surface, c.text, c.format, c.width);
        std::vector<int> rightEdges;
        for (const DrawnRun& run : surface.runs)
            rightEdges.push_back(run.box.right);
        const std::string name = testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(LeftEdges(surface), c.leftEdges) << name;
        EXPECT_EQ(Tops(surface), c.tops) << name;
        EXPECT_EQ(rightEdges, c.rightEdges) << name;
        EXPECT_EQ(result.y, c.y) << name;
    }
}

TEST(MarkupLayout, SubscriptRunsSitOnTheBottomOfTheirLineBox) {
    FakeSurface surface;
    LayOut(surface, L"a<sub>2</sub><sup>3</sup>", WordBreak);
    ASSERT_EQ(surface.runs.size(), 3u);
    EXPECT_EQ(surface.runs[0].format, WordBreak | NoPrefix);
    EXPECT_EQ(surface.runs[1].format, WordBreak | NoPrefix | MarkupFormatSingleLine | MarkupFormatBottom);
    EXPECT_EQ(surface.runs[2].format, WordBreak | NoPrefix);
    EXPECT_EQ(surface.runs[2].style, MarkupStyleSuperscript);
}

TEST(MarkupLayout, DropsAlignmentAndTabsAndNeverUsesPrefixes) {
    EXPECT_EQ(AdjustMarkupFormat(0x83 | WordBreak), WordBreak | NoPrefix);
    EXPECT_EQ(AdjustMarkupFormat(0), NoPrefix);
    EXPECT_EQ(AdjustMarkupFormat(0x4 | 0x100), 0x4u | 0x100u | NoPrefix);
}

TEST(MarkupLayout, MeasuresWithoutDrawing) {
    struct Case {
        const wchar_t* text;
        int y;
        int largestX;
    } cases[] = {
        {L"", 0, 0},
        {L" \t ", 0, 0},
        {L" ab cd", 0, 48},
        {L"ab<br>abcd<br>a", 2 * LineHeight, 40},
    };
    for (const Case& c : cases) {
        FakeSurface surface;
        const MarkupLayoutResult result = LayOut(surface, c.text, MarkupFormatCalcRect | WordBreak);
        EXPECT_TRUE(surface.runs.empty());
        EXPECT_EQ(result.y, c.y);
        EXPECT_EQ(result.largestX, c.largestX);
        EXPECT_EQ(result.lineHeight, LineHeight);
    }
}

TEST(MarkupLayout, StacksLinesDownwardWhenTheYAxisPointsUp) {
    FakeSurface surface;
    LayOut(surface, L"a<br>b", 0, 100, 0, -100);
    ASSERT_EQ(surface.runs.size(), 2u);
    EXPECT_EQ(surface.runs[0].box.top, -100);
    EXPECT_EQ(surface.runs[0].box.bottom, -116);
    EXPECT_EQ(surface.runs[1].box.top, -116);
    EXPECT_EQ(surface.runs[1].box.bottom, -132);
}

std::vector<COLORREF> RunColors(const FakeSurface& surface) {
    std::vector<COLORREF> colors;
    for (const DrawnRun& run : surface.runs)
        colors.push_back(run.color);
    return colors;
}

TEST(MarkupLayout, AppliesFontColorsInAnyQuotingAndCase) {
    const wchar_t* texts[] = {L"<font color=#FF0000>r</font>x", L"<font color='ff0000'>r</font>x",
                              L"<FONT COLOR=\"#ff0000\">r</FONT>x", L"<font Color=ff0000>r</font>x"};
    for (const wchar_t* text : texts) {
        FakeSurface surface;
        LayOut(surface, text, 0);
        EXPECT_EQ(RunColors(surface), (std::vector<COLORREF>{0x0000FF, 0x111111}))
            << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(surface.color, 0x111111u);
    }
}

TEST(MarkupLayout, IgnoresAColorNotDirectlyAfterTheTagNameButStillPopsOnClose) {
    FakeSurface surface;
    LayOut(surface, L"<font color=#00ff00>g<font  color=#ff0000>still green</font>x</font>y", 0);
    EXPECT_EQ(RunColors(surface), (std::vector<COLORREF>{0x00FF00, 0x00FF00, 0x00FF00, 0x111111, 0x111111}));
}

std::wstring NestedColors(int levels) {
    std::wstring text;
    for (int level = 1; level <= levels; ++level) {
        wchar_t tag[32];
        std::swprintf(tag, 32, L"<font color=#0000%02x>%c", level, L'a' + level - 1);
        text += tag;
    }
    for (int level = levels; level >= 1; --level)
        text += L"</font>z";
    return text;
}

TEST(MarkupLayout, RestoresEightNestedColorsAndLosesTheNinth) {
    auto blueLevel = [](int level) { return static_cast<COLORREF>(level) << 16; };
    FakeSurface eight;
    LayOut(eight, NestedColors(8), 0);
    std::vector<COLORREF> expected;
    for (int level = 1; level <= 8; ++level)
        expected.push_back(blueLevel(level));
    for (int level = 7; level >= 1; --level)
        expected.push_back(blueLevel(level));
    expected.push_back(0x111111);
    EXPECT_EQ(RunColors(eight), expected);

    // The ninth colour is applied but not saved: from the ninth closing tag on
    // each restores one level further out, and the outermost still restores
    // the entry colour from the bottom of the stack.
    FakeSurface nine;
    LayOut(nine, NestedColors(9), 0);
    expected.clear();
    for (int level = 1; level <= 9; ++level)
        expected.push_back(blueLevel(level));
    for (int level = 7; level >= 1; --level)
        expected.push_back(blueLevel(level));
    expected.push_back(0x111111);
    expected.push_back(0x111111);
    EXPECT_EQ(RunColors(nine), expected);
}

TEST(MarkupLayout, AClosingColorOnAnEmptyStackRestoresTheBottomEntryOfAnEarlierCall) {
    FakeSurface first;
    first.color = 0x222222;
    LayOut(first, L"<font color=#ff0000>r</font>", 0);

    FakeSurface second;
    LayOut(second, L"a</font>b", 0);
    EXPECT_EQ(RunColors(second), (std::vector<COLORREF>{0x111111, 0x222222}));
}

TEST(MarkupLayout, NeverReadsTheColorPastTheEndOfTheText) {
    // The count ends the text inside the value; the digits after it are
    // beyond the text and must count as 0.
    const std::wstring text = L"<font color=#ff7f7fx";
    FakeSurface surface;
    LayOutMarkup(surface, text.data(), 15, 0, 0, 100, 0);
    surface.DrawRun(L"probe", 5, {}, 0);
    EXPECT_EQ(surface.runs.back().color, 0x0000FFu);

    FakeSurface cut;
    LayOutMarkup(cut, text.data(), 9, 0, 0, 100, 0); // "<font col": no attribute
    cut.DrawRun(L"probe", 5, {}, 0);
    EXPECT_EQ(cut.runs.back().color, 0x111111u);
}

} // namespace

namespace {

// Cuts of markup-like text, each in a heap block of exactly its length, so a
// read past the end is caught by the address sanitizer of the test build.
TEST(MarkupLayout, StaysWithinTheTextForArbitraryInput) {
    const std::wstring alphabet = L"<>/ \t#'\"=bBrRpPiIuUsStTfFoOnNcClL0f9";
    std::uint32_t state = 12345; // fixed, so every run sees the same texts
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    for (int round = 0; round < 3000; ++round) {
        const size_t length = next() % 40;
        std::unique_ptr<wchar_t[]> text(new wchar_t[length ? length : 1]);
        for (size_t i = 0; i < length; ++i)
            text[i] = alphabet[next() % alphabet.size()];
        FakeSurface surface;
        LayOutMarkup(surface, text.get(), static_cast<int>(length), 0, 0, 60, MarkupFormatWordBreak);
        for (const DrawnRun& run : surface.runs) {
            ASSERT_FALSE(run.text.empty());
            ASSERT_LE(run.text.size(), length);
        }
    }
}

} // namespace
