// The search field's text box against the field's skin, which is drawn in
// pixels whatever the dialog font and the display scaling: the box lies on the
// skin's white entry area, a real click on the close arrow reaches the field,
// and typed text fits the box. These run again in the Wine prefixes with
// Wine's stock fonts and at 144 DPI (tests/win/e2e/CMakeLists.txt).
#include "finder_fixture.h"
#include "tests/win/resources/png_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

constexpr WORD kFieldSkinId = 132;
// The field's client rectangle whose button release closes it.
constexpr RECT kCloseArrow = {167, 5, 178, 30};
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

RECT ClientRectIn(HWND parent, HWND child) {
    RECT rect = WindowRect(child);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ClientAreaOnScreen(HWND hWnd) {
    RECT rect = {};
    GetClientRect(hWnd, &rect);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT ScreenPointOf(HWND hWnd, POINT client) {
    ClientToScreen(hWnd, &client);
    return client;
}

// The text box's caret, in screen coordinates; empty when it shows none.
RECT CaretOnScreen(HWND edit) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &info);
    if (info.hwndCaret != edit) return RECT{};
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&info.rcCaret), 2);
    return info.rcCaret;
}

// The rows, relative to the area, that hold a dark pixel outside the caret's
// columns: the typed glyphs.
struct InkRows {
    int top;
    int bottom; // the last row with ink
};

std::optional<InkRows> InkRowsOf(const ScreenPixels& area, int caretLeft, int caretRight) {
    std::optional<InkRows> ink;
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            if (x >= caretLeft - 1 && x <= caretRight) continue;
            const std::uint32_t rgb = area.At(x, y);
            const int darkest = std::min({int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)});
            if (darkest >= 128) continue;
            if (!ink) ink = InkRows{y, y};
            ink->bottom = y;
        }
    }
    return ink;
}

class FieldSkinTest : public FinderTest {
protected:
    // A screenshot of the bar, the open field and the popup, kept for a look.
    void KeepScreenshot(const wchar_t* name) {
        RECT all = WindowRect(bar);
        for (HWND window : {finder.Field(), finder.Popup()}) {
            const RECT rect = WindowRect(window);
            if (IsWindowVisible(window)) UnionRect(&all, &all, &rect);
        }
        InflateRect(&all, 10, 10);
        EXPECT_TRUE(SaveScreenshot(all, ArtifactFolder() + L"\\" + name));
    }
};

} // namespace

TEST_F(FieldSkinTest, TextBoxLiesOnSkinsWhiteEntryAreaClearOfCloseArrow) {
    const std::optional<DecodedPng> skin = DecodePng(PngResourceOf(folder->FinderPath(), kFieldSkinId));
    ASSERT_TRUE(skin) << "the field's skin did not decode";
    const RECT box = ClientRectIn(finder.Field(), finder.FieldEdit());
    SCOPED_TRACE(testing::Message() << "text box at " << testing::PrintToString(box));

    EXPECT_LE(box.right, kCloseArrow.left);
    ASSERT_GE(box.left, 0);
    ASSERT_GE(box.top, 0);
    ASSERT_LE(box.right, skin->width);
    ASSERT_LE(box.bottom, skin->height);
    int offSkin = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            offSkin += skin->At(x, y) != kOpaqueWhite;
    EXPECT_EQ(offSkin, 0) << "pixels of the box outside the skin's white area";
}

TEST_F(FieldSkinTest, RealClickOnCloseArrowClosesField) {
    // The arrow's top-left corner beside the text box, its middle, and its
    // bottom-right corner at the field's edges. The field's top rows are
    // see-through, so the top corner is taken on the first opaque row.
    const POINT clicks[] = {{167, 6}, {172, 18}, {177, 29}};
    for (const POINT client : clicks) {
        SCOPED_TRACE(testing::Message() << "click at (" << client.x << ", " << client.y << ")");
        if (!IsWindowVisible(finder.Field())) OpenField();
        TypeAndWaitForQuery(L"ab", L"ab");

        const POINT screen = ScreenPointOf(finder.Field(), client);
        MoveCursorTo(screen.x, screen.y);
        LeftButton(true);
        LeftButton(false);
        EXPECT_TRUE(WaitFor([this] { return !IsWindowVisible(finder.Field()); }))
            << (WindowFromPoint(screen) == finder.FieldEdit() ? "the text box took the click"
                                                              : "the field did not close");
        EXPECT_EQ(WindowText(finder.FieldEdit()), L"");
        EXPECT_FALSE(IsWindowVisible(finder.Popup()));
        EXPECT_EQ(FocusOf(bar), bar) << "the bar did not get the focus back";
    }
}

TEST_F(FieldSkinTest, TypedTextFitsTextBoxUnclipped) {
    OpenField();
    // Chinese glyphs fill the em box; J, l and the descenders of p, q and y
    // reach its top and bottom in Latin text.
    const std::wstring text = L"报告 Jpqy.xlsx";
    TypeAndWaitForQuery(text, text);
    KeepScreenshot(L"field-text.png");

    HWND edit = finder.FieldEdit();
    const RECT client = ClientAreaOnScreen(edit);
    const ScreenPixels area = CaptureScreen(client);
    ASSERT_FALSE(area.rgb.empty());
    const RECT caret = CaretOnScreen(edit);
    const std::optional<InkRows> ink = InkRowsOf(area, caret.left - client.left, caret.right - client.left);
    ASSERT_TRUE(ink) << "no text drawn in the box";
    SCOPED_TRACE(testing::Message() << "ink in rows " << ink->top << "-" << ink->bottom << " of "
                                    << area.height);
    // A glyph cut by the box's edge leaves ink on the edge row.
    EXPECT_GT(ink->top, 0);
    EXPECT_LT(ink->bottom, area.height - 1);
    // A single-line box draws its text from its top down; the box's height
    // is what centres it. The Chinese glyphs sit high and the descenders
    // low, so the whole text's ink is what should be centred.
    const int above = ink->top;
    const int below = area.height - 1 - ink->bottom;
    EXPECT_LE(std::abs(below - above), 2);
}
