// DrawMarkupText with real fonts: every case is compared pixel for pixel with
// the same runs drawn one by one with DrawTextW at the positions the layout
// rules give, measured independently here.
#include "canvas.h"
#include "finder/controls/markup_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int CanvasWidth = 420;
constexpr int CanvasHeight = 120;

HFONT MakeFont(int height, int weight = FW_NORMAL, const wchar_t* face = L"Tahoma") {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face);
}

class MarkupTextTest : public testing::Test {
protected:
    void SetUp() override {
        base_ = MakeFont(20);
        bold_ = CreateStyledFont(0x01, actual_.dc(), base_);
        ASSERT_NE(bold_, nullptr);
        Prepare(actual_);
        Prepare(expected_);
    }
    void TearDown() override {
        SelectObject(actual_.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(expected_.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(bold_);
        DeleteObject(base_);
    }

    void Prepare(Canvas& canvas) {
        SelectObject(canvas.dc(), base_);
        SetTextColor(canvas.dc(), RGB(0, 0, 0));
        SetBkMode(canvas.dc(), TRANSPARENT);
    }

    int Width(HFONT font, const std::wstring& text) {
        SelectObject(expected_.dc(), font);
        SIZE size = {};
        GetTextExtentPoint32W(expected_.dc(), text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(expected_.dc(), base_);
        return size.cx;
    }

    int LineHeight() {
        const wchar_t sample[2] = {L'\x822E', L'\0'};
        SIZE size = {};
        GetTextExtentPoint32W(expected_.dc(), sample, 2, &size);
        return size.cy;
    }

    // One run of the reference picture.
    void Expect(HFONT font, COLORREF color, const std::wstring& text, RECT box, UINT format = DT_NOPREFIX) {
        SelectObject(expected_.dc(), font);
        SetTextColor(expected_.dc(), color);
        DrawTextW(expected_.dc(), text.c_str(), static_cast<int>(text.size()), &box, format);
        SelectObject(expected_.dc(), base_);
        SetTextColor(expected_.dc(), RGB(0, 0, 0));
    }

    int Draw(const std::wstring& text, RECT box, UINT format = 0) {
        return DrawMarkupText(actual_.dc(), text.c_str(), -1, &box, format);
    }

    void ExpectSamePicture(const wchar_t* artifact) {
        EXPECT_NE(actual_.FirstInkColumn(RGB(255, 255, 255)), -1) << "nothing was drawn";
        EXPECT_TRUE(actual_.SameAs(expected_));
        if (HasFailure()) {
            actual_.SaveArtifact(std::wstring(artifact) + L"-actual");
            expected_.SaveArtifact(std::wstring(artifact) + L"-expected");
        }
    }

    Canvas actual_{CanvasWidth, CanvasHeight};
    Canvas expected_{CanvasWidth, CanvasHeight};
    HFONT base_ = nullptr;
    HFONT bold_ = nullptr;
};

TEST_F(MarkupTextTest, DrawsRunsInTheirFontsOneSpaceApart) {
    const RECT box = {4, 6, 400, 100};
    EXPECT_EQ(Draw(L"one <b>two</b> three", box), 0);
    const int lineHeight = LineHeight();
    int x = 4;
    Expect(base_, 0, L"one", {x, 6, 400, 6 + lineHeight});
    x += Width(base_, L"one") + Width(bold_, L" "); // the space takes the font of the run after it
    Expect(bold_, 0, L"two", {x, 6, 400, 6 + lineHeight});
    x += Width(bold_, L"two") + Width(base_, L" ");
    Expect(base_, 0, L"three", {x, 6, 400, 6 + lineHeight});
    ExpectSamePicture(L"markup-bold-run");
    actual_.SaveArtifact(L"markup-bold-run");

    // The comparison only proves the bold run if bold looks different.
    Canvas plain(CanvasWidth, CanvasHeight);
    Canvas bold(CanvasWidth, CanvasHeight);
    for (auto [canvas, font] : {std::pair{&plain, base_}, std::pair{&bold, bold_}}) {
        SelectObject(canvas->dc(), font);
        TextOutW(canvas->dc(), 0, 0, L"two", 3);
        SelectObject(canvas->dc(), GetStockObject(SYSTEM_FONT));
    }
    EXPECT_FALSE(plain.SameAs(bold));
}

TEST_F(MarkupTextTest, DrawsFontColorsAndRestoresTheEntryColor) {
    const RECT box = {0, 0, 400, 100};
    SetTextColor(actual_.dc(), RGB(0, 0, 0));
    Draw(L"<font color='#FF0000'>red</font> <FONT COLOR=0000ff>blue</FONT> plain", box);
    const int lineHeight = LineHeight();
    int x = 0;
    Expect(base_, RGB(255, 0, 0), L"red", {x, 0, 400, lineHeight});
    x += Width(base_, L"red") + Width(base_, L" ");
    Expect(base_, RGB(0, 0, 255), L"blue", {x, 0, 400, lineHeight});
    x += Width(base_, L"blue") + Width(base_, L" ");
    Expect(base_, RGB(0, 0, 0), L"plain", {x, 0, 400, lineHeight});
    ExpectSamePicture(L"markup-colors");
    EXPECT_EQ(GetTextColor(actual_.dc()), RGB(0, 0, 0));
}

TEST_F(MarkupTextTest, WrapsAtWhitespaceWithWordBreak) {
    const int left = 10;
    const RECT box = {left, 5, left + Width(base_, L"alpha beta") - 2, 100};
    const int lineHeight = LineHeight();
    EXPECT_EQ(Draw(L"alpha beta  gamma", box, DT_WORDBREAK), 2 * lineHeight);
    Expect(base_, 0, L"alpha", {left, 5, box.right, 5 + lineHeight});
    Expect(base_, 0, L"beta", {left, 5 + lineHeight, box.right, 5 + 2 * lineHeight});
    Expect(base_, 0, L"gamma", {left, 5 + 2 * lineHeight, box.right, 5 + 3 * lineHeight});
    ExpectSamePicture(L"markup-wrap");
}

TEST_F(MarkupTextTest, NeverWrapsRunsJoinedWithoutWhitespace) {
    // The count line of the results popup, in a box far too narrow for it.
    HFONT chinese = MakeFont(13, FW_NORMAL, L"\u65B0\u5B8B\u4F53");
    SelectObject(actual_.dc(), chinese);
    const std::wstring text = L"\u5171\u67E5\u627E\u51FA<font color=#ff0000>7</font>\u4E2A\u6587\u4EF6";
    RECT box = {0, 0, 30, 100};
    EXPECT_EQ(DrawMarkupText(actual_.dc(), text.c_str(), -1, &box, DT_WORDBREAK), 0);
    SelectObject(actual_.dc(), base_);
    const int lineHeight = [&] {
        SelectObject(expected_.dc(), chinese);
        const int height = LineHeight();
        SelectObject(expected_.dc(), base_);
        return height;
    }();
    const int first = Width(chinese, L"\u5171\u67E5\u627E\u51FA");
    Expect(chinese, 0, L"\u5171\u67E5\u627E\u51FA", {0, 0, first, lineHeight});
    // later runs start past the widened box's edge, so their boxes are empty
    Expect(chinese, RGB(255, 0, 0), L"7", {first, 0, first, lineHeight});
    ExpectSamePicture(L"markup-count-line");
    DeleteObject(chinese);
}

TEST_F(MarkupTextTest, SpacesLinesForBreaksAndParagraphs) {
    const int lineHeight = LineHeight();
    struct Case {
        const wchar_t* text;
        UINT format;
        int y;
    } cases[] = {
        {L"a<br>b", 0, lineHeight},
        {L"<br>a", 0, lineHeight},
        {L"<p>a", 0, 0},
        {L"a<p>b", 0, lineHeight * 3 / 2},
        {L"a<p>b<br>c", 0, lineHeight * 3 / 2 + lineHeight},
        {L"a<br>b<p>c", DT_SINGLELINE, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Draw(c.text, {0, 0, 400, 100}, c.format), c.y)
            << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(MarkupTextTest, MeasuresWithCalcRectWithoutDrawingOrChangingTheContext) {
    const int lineHeight = LineHeight();
    SetTextColor(actual_.dc(), RGB(1, 2, 3));
    struct Case {
        const wchar_t* text;
        int width;
        int height;
    } cases[] = {
        {L"one <b>two</b>", Width(base_, L"one") + Width(bold_, L" ") + Width(bold_, L"two"), lineHeight},
        {L" a<br>bb", std::max(Width(base_, L" ") + Width(base_, L"a"), Width(base_, L"bb")), 2 * lineHeight},
        {L"", 0, lineHeight},
        {L" \t ", 0, lineHeight},
    };
    for (const Case& c : cases) {
        RECT box = {5, 7, 300, 300};
        DrawMarkupText(actual_.dc(), c.text, -1, &box, DT_CALCRECT);
        EXPECT_EQ(box.right, 5 + c.width) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(box.bottom, 7 + c.height) << testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_EQ(actual_.FirstInkColumn(RGB(255, 255, 255)), -1);
    EXPECT_EQ(GetCurrentObject(actual_.dc(), OBJ_FONT), base_);
    EXPECT_EQ(GetTextColor(actual_.dc()), RGB(1, 2, 3));
}

TEST_F(MarkupTextTest, DrawsFromTheCurrentPositionWithoutABox) {
    MoveToEx(actual_.dc(), 30, 12, nullptr);
    EXPECT_EQ(DrawMarkupText(actual_.dc(), L"here", 4, nullptr, 0), 0);
    Expect(base_, 0, L"here", {30, 12, GetDeviceCaps(expected_.dc(), HORZRES), 12 + LineHeight()});
    ExpectSamePicture(L"markup-no-box");
}

TEST_F(MarkupTextTest, DrawsNothingWithoutContextOrText) {
    RECT box = {0, 0, 10, 10};
    EXPECT_EQ(DrawMarkupText(nullptr, L"a<br>b", -1, &box, 0), 0);
    EXPECT_EQ(DrawMarkupText(actual_.dc(), nullptr, 5, &box, 0), 0);
    EXPECT_EQ(DrawMarkupText(actual_.dc(), L"a<br>b", 0, &box, 0), 0);
    EXPECT_EQ(actual_.FirstInkColumn(RGB(255, 255, 255)), -1);
}

TEST(CreateStyledFont, DerivesWeightSlantUnderlineAndSmallerHeights) {
    Canvas canvas(4, 4);
    HFONT base =
        CreateFontW(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    struct Case {
        unsigned style;
        LONG weight;
        BYTE italic;
        BYTE underline;
        LONG height;
    } cases[] = {
        {0x00, FW_NORMAL, FALSE, FALSE, -20}, // a bold base loses its weight too
        {0x01, FW_BOLD, FALSE, FALSE, -20},        {0x02, FW_NORMAL, TRUE, FALSE, -20},
        {0x04, FW_NORMAL, FALSE, TRUE, -20},       {0x08, FW_NORMAL, FALSE, FALSE, -14},
        {0x10 | 0x01, FW_BOLD, FALSE, FALSE, -14},
    };
    for (const Case& c : cases) {
        SelectObject(canvas.dc(), base);
        HFONT styled = CreateStyledFont(c.style, canvas.dc(), base);
        ASSERT_NE(styled, nullptr);
        EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
        LOGFONTW font = {};
        GetObjectW(styled, sizeof font, &font);
        EXPECT_EQ(font.lfWeight, c.weight) << "style " << c.style;
        EXPECT_EQ(font.lfItalic, c.italic) << "style " << c.style;
        EXPECT_EQ(font.lfUnderline, c.underline) << "style " << c.style;
        EXPECT_EQ(font.lfHeight, c.height) << "style " << c.style;
        EXPECT_STREQ(font.lfFaceName, L"Tahoma");
        DeleteObject(styled);
    }
    EXPECT_EQ(CreateStyledFont(0x01, canvas.dc(), nullptr), nullptr);
    DeleteObject(base);
}

} // namespace
