// The bar's right-click menu and the product About window of the real
// finder, driven by real clicks and keys: the items and their check mark, the
// Run value they switch, the About window's place, cross and drag, the
// product page in a recording browser, and Exit.
#include "finder_fixture.h"
#include "tests/win/resources/png_decoder.h"
#include "recording_browser_session.h"
#include "saved_run_value.h"
#include "screen_menu.h"

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kAboutCloseId = 1138;
constexpr int kLearnMoreId = 1004;
constexpr WORD kAboutPictureId = 141;
constexpr wchar_t kProductPage[] = L"https://www.nuvsoft.cn/ProductIntroduction_orvelSokra.php";

enum BarMenuItem { kProductPageItem = 0, kStartWithWindowsItem = 1, kAboutItem = 2, kExitItem = 3 };

RECT Rect(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND VisibleMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

const std::wstring kItemTexts[] = {L"访问官网", L"开机自启动", L"关于", L"退出"};

// What the open menu shows, read off the screen (see screen_menu.h).
struct ShownItem {
    std::optional<ShownMenuText> text;
    bool checked = false;
};

std::vector<ShownItem> ShownItems(HWND menuWindow) {
    WaitUntilPainted({menuWindow});
    const ScreenPixels pixels = CaptureScreen(WindowRect(menuWindow));
    std::vector<ShownItem> items;
    for (const std::wstring& text : kItemTexts) {
        ShownItem item{FindMenuText(pixels, text)};
        if (item.text)
            item.checked =
                HasInkInGutter(pixels, item.text->top - 2, item.text->bottom + 2, item.text->left - 2);
        items.push_back(item);
    }
    return items;
}

// Every expected text shows, each below the one before.
void ExpectItemsInOrder(const std::vector<ShownItem>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(Utf8(kItemTexts[i]));
        ASSERT_TRUE(items[i].text.has_value()) << "not shown";
        if (i > 0) EXPECT_GE(items[i].text->top, items[i - 1].text->bottom) << "out of order";
    }
}

// Each test starts its finder without a Run value of the finder's and puts
// back what the user had.
// The window shows PNG 141 as it is, wherever the picture is opaque and its
// buttons do not stand.
void ExpectPictureShown(HWND about, const std::wstring& finderPath) {
    const std::optional<DecodedPng> picture = DecodePng(PngResourceOf(finderPath, kAboutPictureId));
    ASSERT_TRUE(picture) << "PNG 141 did not decode";
    const RECT window = WindowRect(about);
    const ScreenPixels shown = CaptureScreen(window);
    ASSERT_EQ(shown.width, picture->width);
    ASSERT_EQ(shown.height, picture->height);
    RECT buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = WindowRect(GetDlgItem(about, i == 0 ? kAboutCloseId : kLearnMoreId));
        OffsetRect(&buttons[i], -window.left, -window.top);
    }
    int differing = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            const POINT at{x, y};
            if (PtInRect(&buttons[0], at) || PtInRect(&buttons[1], at) || picture->Alpha(x, y) != 255)
                continue;
            differing += (shown.At(x, y) & 0xFFFFFF) != (picture->At(x, y) & 0xFFFFFF);
        }
    EXPECT_EQ(differing, 0) << "pixels of the window that are not the picture's";
}

class BarMenuTest : public FinderTest {
protected:
    SavedRunValue savedRunValue;
    bool runValueCleared = (DeleteRawRunValue(), true);

    // A real right click on the bar's body at client (50, 15).
    HWND OpenMenu() {
        const RECT barRect = WindowRect(bar);
        RightClickAt(barRect.left + 50, barRect.top + 15);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (menu = VisibleMenu()) != nullptr; })) << "no menu";
        return menu;
    }

    // Opens the menu and picks an item with the keyboard, as a user can.
    void Choose(BarMenuItem item) {
        ASSERT_NE(OpenMenu(), nullptr);
        for (int i = 0; i <= item; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([] { return VisibleMenu() == nullptr; }));
    }

    HWND ShowAbout() {
        Choose(kAboutItem);
        HWND about = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            const std::vector<HWND> windows = AboutWindowsOf(bar);
            about = windows.size() == 1 ? windows.front() : nullptr;
            return about != nullptr && IsWindowVisible(about);
        })) << "no About window shown";
        return about;
    }
};

TEST_F(BarMenuTest, RightClickShowsTheFourItemsAtThePointerLessTen) {
    MoveBarTo(600, 400);
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    const std::vector<ShownItem> items = ShownItems(menu);
    const RECT shown = WindowRect(menu);
    ExpectItemsInOrder(items);
    EXPECT_FALSE(items[kStartWithWindowsItem].checked) << "checked with no Run value";
    // The screen reading tells texts apart: neither another menu's items nor
    // a near miss of one of these is found.
    for (const wchar_t* absent : {L"打开", L"打开所在目录", L"开机启动", L"关闭"})
        EXPECT_FALSE(FindMenuText(CaptureScreen(shown), absent).has_value()) << Utf8(absent);
    EXPECT_EQ(shown.left, 640);
    EXPECT_EQ(shown.top, 405);
    EXPECT_TRUE(SaveScreenshot(Rect(560, 380, 260, 160), ArtifactFolder() + L"\\bar-menu.png"));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return VisibleMenu() == nullptr; }));
    EXPECT_TRUE(finder.IsRunning());
}

// The Run value is set before the finder starts: the check mark is read once,
// at the bar's start.
class StartWithWindowsTest : public BarMenuTest {
protected:
    bool preset = WriteRunText(L"D:\\Elsewhere\\orvelSokra.exe");
};

TEST_F(StartWithWindowsTest, CheckMarkFollowsTheValueAndEachChoiceFlipsBoth) {
    ASSERT_TRUE(preset);
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    const std::vector<ShownItem> before = ShownItems(menu);
    ExpectItemsInOrder(before);
    EXPECT_TRUE(before[kStartWithWindowsItem].checked) << "an entry naming another folder counts as on";
    EXPECT_TRUE(SaveScreenshot(WindowRect(menu), ArtifactFolder() + L"\\bar-menu-checked.png"));
    EXPECT_FALSE(before[kProductPageItem].checked || before[kAboutItem].checked || before[kExitItem].checked);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return VisibleMenu() == nullptr; }));

    Choose(kStartWithWindowsItem);
    EXPECT_TRUE(WaitFor([] { return !ReadRawRunValue().has_value(); })) << "the value was not deleted";
    menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(ShownItems(menu)[kStartWithWindowsItem].checked);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return VisibleMenu() == nullptr; }));

    Choose(kStartWithWindowsItem);
    const std::wstring expected = L"\"" + folder->Path() + L"\\orvelSokra.exe\"";
    EXPECT_TRUE(WaitFor([&] { return RunValueText() == expected; }))
        << "Run value: " << Utf8(RunValueText().value_or(L"(none)"));
    EXPECT_EQ(ReadRawRunValue()->type, static_cast<DWORD>(REG_SZ));
    menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(ShownItems(menu)[kStartWithWindowsItem].checked);
    PressKey(VK_ESCAPE);
}

// A copy of the finder that runs under another file name: the Run value still
// names the product's file in the finder's folder.
class RenamedFinderTest : public BarMenuTest {
protected:
    void SetUp() override {
        renamed = folder->Path() + L"\\nuv-finder-copy.exe";
        ASSERT_TRUE(CopyFileW(folder->FinderPath().c_str(), renamed.c_str(), FALSE));
        EndSearchCoreProcesses();
        ASSERT_TRUE(finder.Start(renamed, folder->Path()));
        ASSERT_TRUE(WaitFor([this] { return finder.Bar() != nullptr; }, 20000)) << "the bar did not appear";
        bar = finder.Bar();
    }

    std::wstring renamed;
};

TEST_F(RenamedFinderTest, SwitchingOnWritesTheProductFileOfTheFinderFolder) {
    Choose(kStartWithWindowsItem);
    const std::wstring expected = L"\"" + folder->Path() + L"\\orvelSokra.exe\"";
    EXPECT_TRUE(WaitFor([&] { return RunValueText() == expected; }))
        << "Run value: " << Utf8(RunValueText().value_or(L"(none)"));
}

TEST_F(BarMenuTest, AboutShownTwiceIsOneCentredWindowThatItsCrossHidesAndItsPictureDrags) {
    ASSERT_EQ(AboutWindowsOf(bar).size(), 1u) << "the About window is made hidden at start";
    EXPECT_FALSE(IsWindowVisible(AboutWindowsOf(bar).front()));
    HWND about = ShowAbout();
    ASSERT_NE(about, nullptr);
    ASSERT_EQ(ShowAbout(), about);
    EXPECT_EQ(WindowRect(about), Rect(657, 370, 605, 340));
    RECT cross = WindowRect(GetDlgItem(about, kAboutCloseId));
    OffsetRect(&cross, -657, -370);
    EXPECT_EQ(cross, Rect(556, 2, 47, 25));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(about, kLearnMoreId)));
    // On the picture's plain white area, clear of the slogans above, the
    // version line below and the row of tools, whatever dialog units come to.
    RECT learnMore = WindowRect(GetDlgItem(about, kLearnMoreId));
    OffsetRect(&learnMore, -657, -370);
    const RECT whiteArea{262, 168, 605, 238};
    RECT inside;
    IntersectRect(&inside, &learnMore, &whiteArea);
    EXPECT_EQ(inside, learnMore) << "learn-more button at " << testing::PrintToString(learnMore);
    EXPECT_EQ(learnMore.right - learnMore.left, 118);
    EXPECT_EQ(learnMore.bottom - learnMore.top, 37);
    WaitUntilPainted({about, GetDlgItem(about, kAboutCloseId), GetDlgItem(about, kLearnMoreId)});
    EXPECT_TRUE(SaveScreenshot(Rect(637, 350, 645, 380), ArtifactFolder() + L"\\about-window.png"));
    ExpectPictureShown(about, folder->FinderPath());

    const POINT crossCentre = CentreOf(WindowRect(GetDlgItem(about, kAboutCloseId)));
    ClickAt(crossCentre.x, crossCentre.y);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); })) << "the cross did not hide it";
    EXPECT_TRUE(IsWindow(about));
    EXPECT_TRUE(finder.IsRunning());

    ASSERT_EQ(ShowAbout(), about);
    // Pressed on the picture, away from the buttons, and moved as a hand does.
    MoveCursorTo(657 + 100, 370 + 250);
    Sleep(50);
    LeftButton(true);
    // The press turns into a caption drag only once the finder has seen it.
    const DWORD thread = GetWindowThreadProcessId(about, nullptr);
    EXPECT_TRUE(WaitFor([thread] {
        GUITHREADINFO info = {sizeof(info)};
        return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
    })) << "no drag began";
    for (int step = 1; step <= 4; ++step) {
        MoveCursorTo(657 + 100 - step * 50, 370 + 250 - step * 40);
        Sleep(50);
    }
    LeftButton(false);
    const RECT dragged = Rect(657 - 200, 370 - 160, 605, 340);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(about) == dragged; }))
        << "About window at " << testing::PrintToString(WindowRect(about));

    PostMessageW(about, WM_COMMAND, MAKEWPARAM(kAboutCloseId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about, kAboutCloseId)));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }));
    ASSERT_EQ(ShowAbout(), about);
    EXPECT_EQ(WindowRect(about), dragged) << "shown again elsewhere than it was left";
    WaitUntilPainted({about, GetDlgItem(about, kAboutCloseId), GetDlgItem(about, kLearnMoreId)});
    ExpectPictureShown(about, folder->FinderPath());
}

TEST_F(BarMenuTest, ExitEndsTheFinderAndItsService) {
    ASSERT_EQ(SearchCoreProcessIds().size(), 1u);
    Choose(kExitItem);
    ASSERT_EQ(WaitForSingleObject(finder.Handle(), 10000), WAIT_OBJECT_0) << "the finder kept running";
    DWORD exitCode = 1;
    GetExitCodeProcess(finder.Handle(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(WaitFor([] { return SearchCoreProcessIds().empty(); }))
        << "the search service was left running";
}

// The recording browser is registered and named before the finder starts,
// so that the finder inherits where it records.
class ProductPageTest : public BarMenuTest {
protected:
    ScopedHttpOpenCommand browser{L"\"" + RecordingBrowserPath() + L"\" \"%1\""};
    BrowserRecording recording;

    void ExpectProductPageOpened() {
        const auto start = recording.WaitForStart();
        ASSERT_TRUE(start.has_value()) << "no browser started";
        ASSERT_EQ(start->argv.size(), 2u) << Utf8(start->commandLine);
        EXPECT_EQ(start->argv[1], kProductPage);
    }
};

TEST_F(ProductPageTest, MenuItemOpensTheProductPage) {
    ASSERT_TRUE(browser.Registered());
    Choose(kProductPageItem);
    ExpectProductPageOpened();
    EXPECT_TRUE(finder.IsRunning());
}

TEST_F(ProductPageTest, LearnMoreOpensTheProductPageAndLeavesTheAboutWindowOpen) {
    ASSERT_TRUE(browser.Registered());
    HWND about = ShowAbout();
    ASSERT_NE(about, nullptr);
    const POINT button = CentreOf(WindowRect(GetDlgItem(about, kLearnMoreId)));
    ClickAt(button.x, button.y);
    ExpectProductPageOpened();
    EXPECT_TRUE(IsWindowVisible(about));
}

} // namespace
