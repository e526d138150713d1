// The search field of the real finder: the prompt text box, the text handed
// to the results popup, the close arrow and where the popup opens.
#include "finder_fixture.h"

namespace {

RECT Rect(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

std::wstring Letters(std::size_t count) {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    return text;
}

} // namespace

TEST_F(FinderTest, FirstKeyPressEndsPromptEmptiesBoxAndTypes) {
    OpenField();
    HWND edit = finder.FieldEdit();
    // Text pasted in without a key press leaves the prompt on: the box reads
    // as empty and nothing is searched.
    SendTo(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"xyz"));
    EXPECT_EQ(SendTo(edit, WM_GETTEXTLENGTH), 3);
    EXPECT_EQ(WindowText(edit), L"");
    EXPECT_FALSE(IsWindowVisible(finder.Popup()));

    TypeAndWaitForQuery(L"q", L"q");
    EXPECT_TRUE(IsWindowVisible(finder.Popup()));
    EXPECT_NE(GetForegroundWindow(), finder.Popup()) << "the popup took the activation";
}

TEST_F(FinderTest, TypedTextReachesPopupWhole) {
    OpenField();
    struct TextCase {
        std::wstring typed;
        std::wstring searched;
    };
    const TextCase cases[] = {
        {Letters(17), Letters(17)},   {Letters(18), Letters(18)},   {L"报告 2024.xlsx", L"报告 2024.xlsx"},
        {Letters(127), Letters(127)}, {Letters(130), Letters(127)}, // the box takes no more than the search
                                                                    // text holds
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed.size() << " characters typed");
        TypeAndWaitForQuery(c.typed, c.searched);
        // Keys are handled in order: once this one has, no typed key that the
        // full box refused is still on its way.
        PressKey(VK_BACK);
        const std::wstring shortened = c.searched.substr(0, c.searched.size() - 1);
        EXPECT_TRUE(WaitFor([&] { return WindowText(finder.Popup()) == shortened; }));
        ClearField();
    }
    const RECT field = WindowRect(finder.Field());
    TypeAndWaitForQuery(L"readme", L"readme");
    EXPECT_TRUE(SaveScreenshot(Rect(field.left - 600, field.top - 500, 800, 560),
                               ArtifactFolder() + L"\\open-field.png"));
}

TEST_F(FinderTest, TextSetFromOutsideIsCutToWhatIsSearched) {
    OpenField();
    const std::wstring smiley = L"\U0001F600"; // two UTF-16 units
    struct SetCase {
        std::wstring set;
        std::wstring searched;
    };
    const SetCase cases[] = {
        {Letters(130), Letters(127)},
        {Letters(125) + smiley, Letters(125) + smiley}, // 127 units: fits
        {Letters(126) + smiley, Letters(126)},          // the pair is not split
    };
    for (const SetCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.set.size() << " units set");
        SendTo(finder.FieldEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.set.c_str()));
        EXPECT_TRUE(WaitFor([&] { return WindowText(finder.Popup()) == c.searched; }));
        EXPECT_EQ(WindowText(finder.FieldEdit()), c.searched);
        ClearField();
    }
}

TEST_F(FinderTest, EmptyingTextHidesPopupAndKeepsLastSearchText) {
    OpenField();
    TypeAndWaitForQuery(L"abc", L"abc");
    ASSERT_TRUE(IsWindowVisible(finder.Popup()));
    ClearField();
    EXPECT_EQ(WindowText(finder.Popup()), L"abc");
    EXPECT_TRUE(IsWindowVisible(finder.Field()));

    TypeAndWaitForQuery(L"d", L"d");
    EXPECT_TRUE(IsWindowVisible(finder.Popup()));
}

TEST_F(FinderTest, EnterEscapeAndF1InFieldDoNothing) {
    OpenField();
    TypeAndWaitForQuery(L"ab", L"ab");
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    PressKey(VK_F1);
    // Keys are handled in order: this one arriving proves the others were.
    TypeAndWaitForQuery(L"c", L"abc");
    EXPECT_TRUE(IsWindowVisible(finder.Field()));
    EXPECT_TRUE(IsWindowVisible(finder.Popup()));
    EXPECT_EQ(FocusOf(bar), finder.FieldEdit());
}

TEST_F(FinderTest, CloseArrowClosesOnlyInsideItsRectangle) {
    struct ArrowCase {
        POINT client;
        bool closes;
    };
    const ArrowCase cases[] = {
        {{167, 5}, true},   {{167, 29}, true},  {{177, 15}, true}, {{178, 15}, false},
        {{167, 30}, false}, {{166, 15}, false}, {{167, 4}, false},
    };
    for (const ArrowCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "release at (" << c.client.x << ", " << c.client.y << ")");
        if (!IsWindowVisible(finder.Field())) OpenField();
        if (WindowText(finder.FieldEdit()).empty()) TypeAndWaitForQuery(L"ab", L"ab");

        SendTo(finder.Field(), WM_LBUTTONUP, 0, MAKELPARAM(c.client.x, c.client.y));
        EXPECT_EQ(IsWindowVisible(finder.Field()) == FALSE, c.closes);
        if (c.closes) {
            EXPECT_EQ(WindowText(finder.FieldEdit()), L"");
            EXPECT_FALSE(IsWindowVisible(finder.Popup()));
            EXPECT_EQ(FocusOf(bar), bar) << "the bar did not get the focus back";
        } else {
            EXPECT_EQ(WindowText(finder.FieldEdit()), L"ab");
        }
    }
}

TEST_F(FinderTest, PopupOpensAboveOrBelowAndLeftOrRightOfField) {
    // The field is 31 pixels high, so its centre never lies exactly on the
    // screen's middle (540): top 525 is the first place at or below it.
    struct PlacementCase {
        POINT bar;
        bool above;
        bool rightAligned;
    };
    const PlacementCase cases[] = {
        {{829, 525}, true, true},   // field right + bar left = 1920: right-aligned
        {{828, 524}, false, false}, // one pixel higher and further left
        {{100, 1000}, true, false},
        {{1500, 20}, false, true},
    };
    OpenField();
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "bar at (" << c.bar.x << ", " << c.bar.y << ")");
        MoveBarTo(c.bar.x, c.bar.y);
        TypeAndWaitForQuery(L"x", L"x");
        const RECT field = WindowRect(finder.Field());
        const RECT popup = WindowRect(finder.Popup());
        if (c.above) {
            EXPECT_EQ(popup.bottom, field.top);
        } else {
            EXPECT_EQ(popup.top, field.bottom + 5);
        }
        if (c.rightAligned) {
            EXPECT_EQ(popup.right, field.right);
        } else {
            EXPECT_EQ(popup.left, c.bar.x);
        }
        ClearField();
    }
}

TEST_F(FinderTest, TypingWhilePopupIsShownLeavesItWhereItIs) {
    OpenField();
    TypeAndWaitForQuery(L"a", L"a");
    // Wherever the popup stands (later: dragged by its title), more typing
    // does not place it again; only showing it or moving the field does.
    SetWindowPos(finder.Popup(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([this] { return WindowRect(finder.Popup()).left == 10; }));
    TypeAndWaitForQuery(L"b", L"ab");
    EXPECT_EQ(WindowRect(finder.Popup()).left, 10);
    EXPECT_EQ(WindowRect(finder.Popup()).top, 10);
}
