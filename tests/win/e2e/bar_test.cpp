// The floating bar of the real finder: one instance, its place and styles,
// opening the field from the magnifier, and where a drag may take it.
#include "finder_fixture.h"

namespace {

constexpr int kFieldWidth = 179;
constexpr int kFieldOverlap = 29;

RECT Rect(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

} // namespace

TEST_F(FinderTest, SecondStartEndsAtOnceAndLeavesTheFirstAlone) {
    const RECT barBefore = WindowRect(bar);
    const std::vector<DWORD> coreBefore = SearchCoreProcessIds();
    ASSERT_EQ(coreBefore.size(), 1u);

    FinderProcess second;
    ASSERT_TRUE(second.Start(*folder));
    ASSERT_EQ(WaitForSingleObject(second.Handle(), 10000), WAIT_OBJECT_0) << "the second finder kept running";
    DWORD exitCode = 1;
    GetExitCodeProcess(second.Handle(), &exitCode);
    EXPECT_EQ(exitCode, 0u);

    EXPECT_TRUE(finder.IsRunning());
    EXPECT_EQ(finder.Bar(), bar);
    EXPECT_EQ(WindowRect(bar), barBefore);
    EXPECT_EQ(SearchCoreProcessIds(), coreBefore) << "the running finder's search service was touched";
}

TEST_F(FinderTest, BarStandsNearLowerRightCornerOnTopWithoutTaskbarButton) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    EXPECT_EQ(WindowRect(bar), Rect(1430, 980, 112, 31));
    const LONG exStyle = GetWindowLongW(bar, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_EQ(SearchCoreProcessIds().size(), 1u) << "the bar did not start its search service";
    EXPECT_TRUE(SaveScreenshot(Rect(1400, 950, 400, 100), ArtifactFolder() + L"\\bar.png"));
}

struct HitCase {
    POINT client;
    bool leftButtonDown;
    LRESULT expectedHit;
    bool opensField;
};

TEST_F(FinderTest, LeftPressOpensFieldOnlyOnMagnifierAndDragsElsewhere) {
    const HitCase cases[] = {
        {{82, 6}, true, HTCAPTION, true},    // the magnifier's top-left corner
        {{109, 29}, true, HTCAPTION, true},  // its last pixel inside
        {{81, 6}, true, HTCAPTION, false},   // just left of it: a drag
        {{110, 30}, true, HTCAPTION, false}, // right and bottom edges lie outside
        {{20, 15}, true, HTCAPTION, false},  // the logo
        {{82, 6}, false, HTCLIENT, false},   // no button: plain client input
        {{81, 6}, false, HTCLIENT, false},   {{110, 30}, false, HTCLIENT, false},
    };
    for (const HitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.client.x << ", " << c.client.y << ") button "
                                        << (c.leftButtonDown ? "down" : "up"));
        EXPECT_EQ(HitTestBar(c.client, c.leftButtonDown), c.expectedHit);
        const bool opened = WaitFor([this] { return IsWindowVisible(finder.Field()) != FALSE; }, 300);
        EXPECT_EQ(opened, c.opensField);
        if (opened) {
            const RECT barRect = WindowRect(bar);
            EXPECT_EQ(WindowRect(finder.Field()),
                      Rect(barRect.right - kFieldOverlap, barRect.top, kFieldWidth, 31));
            ShowWindow(finder.Field(), SW_HIDE);
            ASSERT_TRUE(WaitFor([this] { return !IsWindowVisible(finder.Field()); }));
        }
    }
}

TEST_F(FinderTest, OpeningNearRightEdgeShiftsBarSoFieldEndsAtScreenEdge) {
    struct ShiftCase {
        int barLeft;
        int expectedBarLeft;
    };
    const ShiftCase cases[] = {
        {1430, 1430},                                 // room enough: the bar stays
        {1920 - 112 - 150 - 1, 1920 - 112 - 150 - 1}, // the field ends 1 pixel short of the edge
        {1920 - 112 - 150, 1920 - 112 - 150},         // exactly at the edge: nothing to shift
        {1920 - 112 - 100, 1920 - kFieldWidth + kFieldOverlap - 112},
        {1920 - 112, 1920 - kFieldWidth + kFieldOverlap - 112},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "bar at x = " << c.barLeft);
        MoveBarTo(c.barLeft, 600);
        ASSERT_EQ(HitTestBar(POINT{90, 15}, true), HTCAPTION);
        ASSERT_TRUE(WaitFor([this] { return IsWindowVisible(finder.Field()) != FALSE; }));
        EXPECT_EQ(WindowRect(bar), Rect(c.expectedBarLeft, 600, 112, 31));
        const RECT field = WindowRect(finder.Field());
        EXPECT_EQ(field, Rect(c.expectedBarLeft + 112 - kFieldOverlap, 600, kFieldWidth, 31));
        EXPECT_LE(field.right, 1920);
        ShowWindow(finder.Field(), SW_HIDE);
        ASSERT_TRUE(WaitFor([this] { return !IsWindowVisible(finder.Field()); }));
    }
}

struct MovingCase {
    const char* what;
    RECT proposed;
    RECT expected;
};

TEST_F(FinderTest, DragStaysOnScreenWithFieldHiddenAndShown) {
    const MovingCase hidden[] = {
        {"inside", Rect(500, 500, 112, 31), Rect(500, 500, 112, 31)},
        {"past the left edge", Rect(-40, 500, 112, 31), Rect(0, 500, 112, 31)},
        {"on the left edge", Rect(0, 500, 112, 31), Rect(0, 500, 112, 31)},
        {"past the top edge", Rect(500, -7, 112, 31), Rect(500, 0, 112, 31)},
        {"past the right edge", Rect(1850, 500, 112, 31), Rect(1808, 500, 112, 31)},
        {"one pixel inside the right edge", Rect(1807, 500, 112, 31), Rect(1807, 500, 112, 31)},
        {"past the bottom edge", Rect(500, 1070, 112, 31), Rect(500, 1049, 112, 31)},
        {"past the lower left corner", Rect(-5, 1079, 112, 31), Rect(0, 1049, 112, 31)},
    };
    // With the field out, the field's right edge stops at the screen's.
    const int rightmostBarLeft = 1920 - kFieldWidth + kFieldOverlap - 112;
    const MovingCase shown[] = {
        {"inside", Rect(500, 500, 112, 31), Rect(500, 500, 112, 31)},
        {"past the left edge", Rect(-40, 500, 112, 31), Rect(0, 500, 112, 31)},
        {"past the top edge", Rect(500, -7, 112, 31), Rect(500, 0, 112, 31)},
        {"field past the right edge", Rect(1700, 500, 112, 31), Rect(rightmostBarLeft, 500, 112, 31)},
        {"field one pixel short of the right edge", Rect(rightmostBarLeft - 1, 500, 112, 31),
         Rect(rightmostBarLeft - 1, 500, 112, 31)},
        {"past the bottom edge", Rect(500, 1070, 112, 31), Rect(500, 1049, 112, 31)},
    };
    auto check = [this](const MovingCase& c) {
        SCOPED_TRACE(c.what);
        RECT proposed = c.proposed;
        SendTo(bar, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
        EXPECT_EQ(proposed, c.expected);
    };
    {
        SCOPED_TRACE("field hidden");
        for (const MovingCase& c : hidden)
            check(c);
    }
    OpenField();
    {
        SCOPED_TRACE("field shown");
        for (const MovingCase& c : shown)
            check(c);
    }
}

TEST_F(FinderTest, RealDragMovesBarAndStopsAtScreenCorner) {
    OpenField();
    const RECT start = WindowRect(bar);
    MoveCursorTo(start.left + 40, start.top + 15);
    LeftButton(true);
    // Past the upper left corner, in steps as a hand moves.
    for (int step = 1; step <= 4; ++step) {
        MoveCursorTo(start.left + 40 - step * 400, start.top + 15 - step * 300);
        Sleep(50);
    }
    LeftButton(false);
    const DWORD thread = GetWindowThreadProcessId(bar, nullptr);
    EXPECT_TRUE(WaitFor([thread] {
        GUITHREADINFO info = {sizeof(info)};
        return GetGUIThreadInfo(thread, &info) && !(info.flags & GUI_INMOVESIZE);
    }));
    EXPECT_TRUE(WaitFor([this] { return WindowRect(bar) == Rect(0, 0, 112, 31); }))
        << "bar ended at " << testing::PrintToString(WindowRect(bar));
    EXPECT_EQ(WindowRect(finder.Field()), Rect(112 - kFieldOverlap, 0, kFieldWidth, 31));
}

TEST_F(FinderTest, FieldAndPopupFollowMovedBar) {
    OpenField();
    MoveBarTo(400, 300);
    EXPECT_EQ(WindowRect(finder.Field()), Rect(400 + 112 - kFieldOverlap, 300, kFieldWidth, 31));
    EXPECT_FALSE(IsWindowVisible(finder.Popup())) << "moving with an empty field showed the popup";

    TypeAndWaitForQuery(L"a", L"a");
    ASSERT_TRUE(IsWindowVisible(finder.Popup()));
    MoveBarTo(450, 320);
    EXPECT_EQ(WindowRect(finder.Field()), Rect(450 + 112 - kFieldOverlap, 320, kFieldWidth, 31));
    EXPECT_EQ(WindowRect(finder.Popup()).top, 320 + 31 + 5) << "the popup did not follow the field";
    EXPECT_EQ(WindowRect(finder.Popup()).left, 450);
}

TEST_F(FinderTest, EnterEscapeAndAltF4LeaveBarRunning) {
    SetForegroundWindow(bar);
    ASSERT_TRUE(WaitFor([this] { return GetForegroundWindow() == bar; }));
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    PressKey(VK_F4, true);
    // Input is handled in order: once this press has opened the field, the
    // keys before it have been handled too. The button stays down until then,
    // as a hand's would: the bar asks for its state when the press arrives.
    const RECT rect = WindowRect(bar);
    MoveCursorTo(rect.left + 90, rect.top + 15);
    LeftButton(true);
    const bool opened = WaitFor([this] { return IsWindowVisible(finder.Field()) != FALSE; });
    LeftButton(false);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(finder.IsRunning());
    EXPECT_EQ(finder.Bar(), bar);
    EXPECT_TRUE(IsWindowVisible(bar));
}

TEST_F(FinderTest, SystemMenuAboutItemShowsAboutBoxOverTheBar) {
    PostMessageW(bar, WM_SYSCOMMAND, 16, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        about = FindWindowW(L"#32770", L"关于 nuvSokra");
        return about != nullptr && IsWindowVisible(about);
    })) << "no About box";
    EXPECT_EQ(GetWindow(about, GW_OWNER), bar);
    EXPECT_FALSE(IsWindowEnabled(bar)) << "the About box does not run modally";
    HWND ok = GetDlgItem(about, IDOK);
    EXPECT_TRUE(IsWindowVisible(ok));
    EXPECT_EQ(WindowText(ok), L"确定");
    WaitUntilPainted({about, ok});
    EXPECT_TRUE(SaveScreenshot(WindowRect(about), ArtifactFolder() + L"\\about-box.png"));
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(bar) != FALSE; }));
    EXPECT_TRUE(finder.IsRunning());
}

TEST(FinderWithoutSearchCore, ReportsTheMissingServiceAndKeepsTheBar) {
    FinderFolder folder(false);
    FinderProcess finder;
    ASSERT_TRUE(finder.Start(folder));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            box = FindWindowW(L"#32770", L"加载组件");
            return box != nullptr;
        },
        10000))
        << "no message box";
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"加载搜索核心部件失败");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    ASSERT_TRUE(WaitFor([&] { return finder.Bar() != nullptr; }, 10000)) << "the bar did not stay";
    EXPECT_TRUE(finder.IsRunning());
    EXPECT_EQ(WindowRect(finder.Bar()), Rect(1430, 980, 112, 31));
}
