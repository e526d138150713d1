// The popup is drawn from a 493 x 440 pixel skin: its size and its controls'
// places must come out the same whatever the dialog font and the display
// scaling make of the template's dialog units. Also run in a prefix with
// Wine's stock fonts and in one at 144 DPI.
#include "results_fixture.h"

namespace {

RECT ClientRectIn(HWND popup, HWND control) {
    RECT rect = WindowRect(control);
    MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Rect(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

bool Inside(const RECT& inner, const RECT& outer) {
    RECT both;
    return IntersectRect(&both, &inner, &outer) && EqualRect(&both, &inner);
}

// True when `lower` comes after `upper` in their parent's z-order.
bool Below(HWND lower, HWND upper) {
    for (HWND sibling = GetWindow(upper, GW_HWNDNEXT); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT))
        if (sibling == lower) return true;
    return false;
}

} // namespace

using PopupSkinTest = ResultsTest;

TEST_F(PopupSkinTest, ControlsSitOnTheSkinInPixels) {
    Search(kTreeWord);
    HWND popup = finder.Popup();
    const RECT outer = WindowRect(popup);
    EXPECT_EQ(outer.right - outer.left, 494);
    EXPECT_EQ(outer.bottom - outer.top, 441);

    struct Placement {
        int id;
        RECT expected;
    } const placements[] = {
        {kPopupCloseId, Rect(465, 3, 22, 19)},    {kResultsListId, Rect(1, 27, 491, 359)},
        {kWebSearchId, Rect(5, 388, 112, 27)},    {kQuotedTextId, Rect(120, 388, 300, 27)},
        {kAboutButtonId, Rect(380, 420, 95, 17)},
    };
    for (const Placement& p : placements)
        EXPECT_EQ(ClientRectIn(popup, PopupItem(p.id)), p.expected) << "control " << p.id;

    // Sized by dialog units, kept inside their bands: the count line beside
    // the title icon and left of the cross, the web pane's place in the
    // footer left of the About button.
    const RECT title = ClientRectIn(popup, PopupItem(kCountLineId));
    EXPECT_EQ(title.left, 30);
    EXPECT_EQ(title.top, 7);
    EXPECT_TRUE(Inside(title, RECT{30, 0, 465, 27})) << testing::PrintToString(title);
    const RECT pane = ClientRectIn(popup, PopupItem(kWebPaneId));
    EXPECT_EQ(pane.left, 3);
    EXPECT_EQ(pane.top, 400);
    EXPECT_TRUE(Inside(pane, RECT{0, 386, 380, 440})) << testing::PrintToString(pane);
    // The pane hosts the browser's window and lies under the web-search
    // label and the searched text, which keep its upper rows.
    EXPECT_TRUE(GetWindowLongW(PopupItem(kWebPaneId), GWL_STYLE) & WS_CLIPSIBLINGS);
    EXPECT_NE(GetWindow(PopupItem(kWebPaneId), GW_CHILD), nullptr);
    EXPECT_TRUE(Below(PopupItem(kWebPaneId), PopupItem(kWebSearchId)));
    EXPECT_TRUE(Below(PopupItem(kWebPaneId), PopupItem(kQuotedTextId)));
    EXPECT_FALSE(IsWindowVisible(PopupItem(kSpareListId)));

    EXPECT_TRUE(SaveScreenshot(outer, ArtifactFolder() + L"\\popup-skin.png"));
}
