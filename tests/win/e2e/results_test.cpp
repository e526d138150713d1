// The results popup of the real finder with its real search service on a
// small tree, driven by real input: what it shows, how it is drawn, what its
// rows open and how it closes and moves.
#include "results_fixture.h"

#include "finder/system/web_search_url.h"
#include "recording_browser_session.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kTitleBandHeight = 27;
constexpr BYTE kPopupAlpha = 230;

bool IsRed(COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 100 && GetBValue(c) < 100;
}

// The count line's grey, #6f6f6f, and its anti-aliased edges.
bool IsGreyInk(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::max({r, g, b}) - std::min({r, g, b}) < 24 && r < 0x90;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 2) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

COLORREF Blend(COLORREF over, COLORREF under, BYTE alpha) {
    const auto mix = [alpha](int o, int u) { return (o * alpha + u * (255 - alpha) + 127) / 255; };
    return RGB(mix(GetRValue(over), GetRValue(under)), mix(GetGValue(over), GetGValue(under)),
               mix(GetBValue(over), GetBValue(under)));
}

// A colour the popup drew, seen on the screen, and what lies beneath it once
// the popup is gone. The popup is blended with the screen at its constant
// alpha; an X server without a compositing manager, like the test's, shows
// layered windows unblended instead, so either is right.
struct ScreenSample {
    POINT at;
    COLORREF drawn;
    COLORREF seen;
};

void ExpectDrawnColours(const std::vector<ScreenSample>& samples) {
    for (const ScreenSample& s : samples) {
        const COLORREF beneath = ScreenPixel(s.at.x, s.at.y);
        EXPECT_TRUE(Near(s.seen, s.drawn) || Near(s.seen, Blend(s.drawn, beneath, kPopupAlpha)))
            << "at (" << s.at.x << ", " << s.at.y << ") seen " << std::hex << s.seen << ", drawn " << s.drawn
            << ", beneath " << beneath;
    }
}

// The darkest pixel of a screen rectangle.
COLORREF DarkestIn(const RECT& rect) {
    COLORREF darkest = RGB(255, 255, 255);
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF c = ScreenPixel(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) <
                GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest))
                darkest = c;
        }
    return darkest;
}

struct ChildSearch {
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK AcceptChild(HWND hWnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    wchar_t className[64] = {};
    GetClassNameW(hWnd, className, 64);
    if (std::wstring(className) != search->className) return TRUE;
    search->found = hWnd;
    return FALSE;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
    ChildSearch search{className};
    EnumChildWindows(parent, AcceptChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Volume and file number: the same file whatever form its path takes.
std::pair<DWORD, ULONGLONG> FileIdentity(const std::wstring& path) {
    const std::wstring prefixed = path.starts_with(L"\\\\?\\") ? path : L"\\\\?\\" + path;
    HANDLE file = CreateFileW(prefixed.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!known) return {0, 0};
    return {info.dwVolumeSerialNumber, (ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

HWND VisibleMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// Picks the context menu's item at `index` with the keyboard, as a user can.
void ChooseMenuItem(int index) {
    ASSERT_TRUE(WaitFor([] { return VisibleMenu() != nullptr; })) << "no context menu";
    for (int i = 0; i <= index; ++i)
        PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([] { return VisibleMenu() == nullptr; }));
}

// A file type whose open command is the recording browser, for as long as it
// lives: the finder's "open" then reaches a program that records its
// arguments. Wine 8 reads file types from HKEY_CLASSES_ROOT only.
class RecordingFileType {
public:
    RecordingFileType()
        : m_extension(HKEY_CLASSES_ROOT, {L".nuvrec"}, L"nuvrec.test"),
          m_command(HKEY_CLASSES_ROOT,
                    {L"nuvrec.test", L"nuvrec.test\\shell", L"nuvrec.test\\shell\\open",
                     L"nuvrec.test\\shell\\open\\command"},
                    L"\"" + RecordingBrowserPath() + L"\" \"%1\"") {}
    bool IsSet() const { return m_extension.IsSet() && m_command.IsSet(); }

private:
    ScopedDefaultValue m_extension;
    ScopedDefaultValue m_command;
};

} // namespace

TEST_F(ResultsTest, TypingShowsCountQuotedTextAndRowsInServiceOrder) {
    Search(kTreeWord);
    const RECT field = WindowRect(finder.Field());
    const RECT popup = WindowRect(finder.Popup());
    EXPECT_EQ(popup.bottom, field.top) << "the popup is not above the field";
    EXPECT_NE(GetForegroundWindow(), finder.Popup()) << "the popup took the activation";

    const std::vector<ServiceRow> expected = ServiceRows(kTreeWord);
    const RemoteListView list(PopupItem(kResultsListId));
    ASSERT_TRUE(list.IsOpen());
    ASSERT_EQ(list.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Text(i, 0), expected[i].name) << "row " << i;
        EXPECT_EQ(list.Text(i, 1), expected[i].folder) << "row " << i;
    }
    const std::wstring count = std::to_wstring(expected.size());
    EXPECT_EQ(WindowText(PopupItem(kCountLineId)), L"共查找出" + count + L"个文件");
    EXPECT_EQ(WindowText(PopupItem(kQuotedTextId)), L"\"kiwi\"");

    // The count line: grey, then the number in red, then grey again.
    const RECT title = WindowRect(PopupItem(kCountLineId));
    int firstRed = INT_MAX, lastRed = -1;
    bool greyBefore = false, greyAfter = false;
    std::vector<std::pair<int, bool>> ink; // x, is red
    for (int y = title.top; y < title.bottom && y < popup.top + kTitleBandHeight; ++y)
        for (int x = title.left; x < title.right; ++x) {
            const COLORREF c = ScreenPixel(x, y);
            if (IsRed(c)) {
                firstRed = std::min(firstRed, x);
                lastRed = std::max(lastRed, x);
            } else if (IsGreyInk(c)) {
                ink.push_back({x, false});
            }
        }
    ASSERT_GE(lastRed, 0) << "no red number in the count line";
    for (const auto& [x, red] : ink) {
        greyBefore = greyBefore || x < firstRed;
        greyAfter = greyAfter || x > lastRed;
    }
    EXPECT_TRUE(greyBefore) << "no grey text before the number";
    EXPECT_TRUE(greyAfter) << "no grey text after the number";
    EXPECT_TRUE(SaveScreenshot(popup, ArtifactFolder() + L"\\results-popup.png"));
}

TEST_F(ResultsTest, IconsComeByExtensionAndForProgramsByFullPath) {
    Search(kTreeWord);
    const RemoteListView list(PopupItem(kResultsListId));
    ASSERT_EQ(list.Count(), static_cast<int>(ResultsTree::Get().Entries().size()));
    std::vector<int> setups;
    int upperText = -1, lowerText = -1, folder = -1, dottedFolder = -1, noDot = -1;
    for (int i = 0; i < list.Count(); ++i) {
        const std::wstring name = list.Text(i, 0), path = list.Text(i, 1);
        const int image = list.Image(i);
        if (name == L"kiwi-setup.exe") setups.push_back(image);
        if (name == L"kiwi-A.TXT") upperText = image;
        if (name == L"kiwi-b.txt") lowerText = image;
        if (name == L"kiwi-folder.txt") folder = image;
        if (name == L"kiwi" && path.ends_with(L"\\x.y")) dottedFolder = image;
        if (name == L"kiwi" && path.ends_with(L"\\plain")) noDot = image;
    }
    EXPECT_EQ(folder, 0) << "a folder named like a file shows the folder icon";
    EXPECT_GT(upperText, 0);
    EXPECT_GT(lowerText, 0);
    EXPECT_NE(upperText, lowerText) << "TXT and txt are two cache entries";
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_GT(setups[0], 0);
    EXPECT_GT(setups[1], 0);
    EXPECT_NE(setups[0], setups[1]) << "each program has its own entry";
    EXPECT_GT(dottedFolder, 0) << "the dot in the folder name gives the key y\\kiwi";
    EXPECT_EQ(noDot, -1) << "a path without a dot gets no image";
}

TEST_F(ResultsTest, RowsAreBandedWithBlackTextAndTheSelectionInListColours) {
    Search(kTreeWord);
    const RemoteListView list(PopupItem(kResultsListId));
    ASSERT_GE(list.Count(), 4);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(finder.Popup(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, kPopupAlpha);
    EXPECT_TRUE(flags & LWA_ALPHA);

    std::vector<ScreenSample> samples;
    for (int row = 0; row < 4; ++row) {
        const RECT rect = list.ItemRect(row);
        const POINT blank{rect.left + 180, (rect.top + rect.bottom) / 2}; // past the name, inside its column
        const COLORREF band = row % 2 == 0 ? RGB(240, 247, 249) : RGB(229, 232, 239);
        samples.push_back({blank, band, ScreenPixel(blank.x, blank.y)});
        const COLORREF ink = DarkestIn(RECT{rect.left + 20, rect.top, rect.left + 120, rect.bottom});
        EXPECT_LT(GetRValue(ink) + GetGValue(ink) + GetBValue(ink), 3 * 70)
            << "row " << row << " text not black";
        EXPECT_LT(std::max({GetRValue(ink), GetGValue(ink), GetBValue(ink)}) -
                      std::min({GetRValue(ink), GetGValue(ink), GetBValue(ink)}),
                  24)
            << "row " << row << " text has a colour";
    }
    // The free area below the rows has the even rows' colour.
    const RECT listRect = WindowRect(PopupItem(kResultsListId));
    const POINT free{listRect.left + 100, listRect.bottom - 10};
    samples.push_back({free, RGB(240, 247, 249), ScreenPixel(free.x, free.y)});

    ClickRow(list, 1);
    const RECT selected = list.ItemRect(1);
    const POINT inSelection{selected.left + 180, (selected.top + selected.bottom) / 2};
    // The click activates the popup, so the list has the focus and draws the
    // selection in the system's highlight colour.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    WaitFor([&] { return Near(ScreenPixel(inSelection.x, inSelection.y), highlight); });
    samples.push_back({inSelection, highlight, ScreenPixel(inSelection.x, inSelection.y)});
    EXPECT_TRUE(SaveScreenshot(WindowRect(finder.Popup()), ArtifactFolder() + L"\\results-selected.png"));

    ClearField();
    ExpectDrawnColours(samples);
}

// The recording program stands in for the program of a file type and for
// the browser; the finder starts after the recording file is named, so that
// everything it starts inherits the name.
class OpeningTest : public ResultsTest {
protected:
    RecordingFileType fileType;
    ScopedHttpOpenCommand browser{L"\"" + RecordingBrowserPath() + L"\" \"%1\""};
    BrowserRecording recording;
};

TEST_F(OpeningTest, DoubleClickRunsTheDefaultAction) {
    ASSERT_TRUE(fileType.IsSet());
    Search(L"kiwi-open");
    const RemoteListView list(PopupItem(kResultsListId));
    ASSERT_EQ(list.Count(), 1);
    const RECT row = list.ItemRect(0);
    ClickAt(row.left + 60, (row.top + row.bottom) / 2, 2);
    const auto start = recording.WaitForStart();
    ASSERT_TRUE(start.has_value()) << "the double click started nothing";
    ASSERT_EQ(start->argv.size(), 2u);
    EXPECT_EQ(start->argv[1], ResultsTree::Get().PathOf(L"kiwi-open.nuvrec"));
}

TEST_F(OpeningTest, ContextMenuOpensAnItemWhosePathIsLongerThanMaxPath) {
    ASSERT_TRUE(fileType.IsSet());
    Search(L"kiwi-long");
    const RemoteListView list(PopupItem(kResultsListId));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(0, 1) + L"\\" + list.Text(0, 0), ResultsTree::Get().LongFile());
    ClickRow(list, 0);
    const RECT row = list.ItemRect(0);
    RightClickAt(row.left + 60, (row.top + row.bottom) / 2);
    ChooseMenuItem(0); // "打开"
    const auto start = recording.WaitForStart();
    ASSERT_TRUE(start.has_value()) << "\"打开\" started nothing";
    ASSERT_EQ(start->argv.size(), 2u);
    // The program may be handed the path with its folders in short names.
    const auto opened = FileIdentity(start->argv[1]);
    EXPECT_NE(opened.second, 0u) << testing::PrintToString(start->argv[1]);
    EXPECT_EQ(opened, FileIdentity(ResultsTree::Get().LongFile())) << testing::PrintToString(start->argv[1]);
}

TEST_F(ResultsTest, OpenFolderShowsTheFolderWithTheItemSelected) {
    Search(kTreeWord);
    const RemoteListView list(PopupItem(kResultsListId));
    int row = -1;
    for (int i = 0; i < list.Count() && row < 0; ++i)
        if (list.Text(i, 0) == L"kiwi" && list.Text(i, 1).ends_with(L"\\x.y")) row = i;
    ASSERT_GE(row, 0);
    ClickRow(list, row);
    const RECT rect = list.ItemRect(row);
    RightClickAt(rect.left + 60, (rect.top + rect.bottom) / 2);
    ChooseMenuItem(1); // "打开所在目录"

    // The shell's file window, titled by the folder's name.
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = FindWindowW(L"ExplorerWClass", L"x.y")) != nullptr; }, 10000))
        << "no file window for the folder";
    HWND files = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (files = FindChildOfClass(window, L"SysListView32")) != nullptr; }));
    if (files) {
        const RemoteListView shown(files);
        EXPECT_TRUE(WaitFor([&] { return shown.FirstSelected() >= 0; })) << "nothing selected";
        EXPECT_EQ(shown.Text(shown.FirstSelected(), 0), L"kiwi");
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
}

TEST_F(OpeningTest, WebSearchStartsTheBrowserWithTheEncodedAddressAsOneArgument) {
    ASSERT_TRUE(browser.Registered());
    const std::wstring text = L"kiwi \"猕猴桃\" a&b -x";
    Search(text);
    const POINT label = CentreOf(WindowRect(PopupItem(kWebSearchId)));
    ClickAt(label.x, label.y);
    const auto start = recording.WaitForStart();
    ASSERT_TRUE(start.has_value()) << "no browser started";
    ASSERT_EQ(start->argv.size(), 2u) << testing::PrintToString(start->commandLine);
    EXPECT_EQ(start->argv[1], WebSearchUrl(text));
    EXPECT_TRUE(start->argv[1].starts_with(L"https://www.baidu.com/s?wd=kiwi%20%22"));
    EXPECT_FALSE(IsWindowVisible(finder.Popup()));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(finder.Field()); }));
}

TEST_F(ResultsTest, EnterAndEscapeInThePopupHideItAndDropTheRows) {
    Search(kTreeWord);
    const RemoteListView list(PopupItem(kResultsListId));
    ClickRow(list, 0);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == finder.Popup(); }));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(finder.Popup()); }));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ResultsTest, HidingDropsTheRowsAndShowingAgainQueriesAfresh) {
    Search(kTreeWord);
    const RemoteListView list(PopupItem(kResultsListId));
    const int before = list.Count();
    ClearField();
    EXPECT_EQ(list.Count(), 0) << "the hidden popup kept its rows";

    const std::wstring added = ResultsTree::Get().PathOf(L"kiwi-added.txt");
    CloseHandle(
        CreateFileW(added.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(
        WaitFor([&] { return ServiceRows(kTreeWord).size() == static_cast<std::size_t>(before + 1); }));
    Search(kTreeWord);
    EXPECT_EQ(list.Count(), before + 1);
    EXPECT_GE(RowNamed(list, L"kiwi-added.txt"), 0);
    ClearField();
    DeleteFileW(added.c_str());
}

TEST_F(ResultsTest, CloseCrossHidesPopupAndFieldAndGivesTheBarTheFocus) {
    Search(kTreeWord);
    const POINT cross = CentreOf(WindowRect(PopupItem(kPopupCloseId)));
    ClickAt(cross.x, cross.y);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(finder.Field()); }));
    EXPECT_FALSE(IsWindowVisible(finder.Popup()));
    EXPECT_EQ(WindowText(finder.FieldEdit()), L"");
    EXPECT_EQ(FocusOf(bar), bar);
}

TEST_F(ResultsTest, AboutButtonShowsThePopupsOwnAboutWindow) {
    Search(kTreeWord);
    const std::vector<HWND> popupAbout = AboutWindowsOf(finder.Popup());
    const std::vector<HWND> barAbout = AboutWindowsOf(bar);
    ASSERT_EQ(popupAbout.size(), 1u) << "the popup makes its About window at start";
    ASSERT_EQ(barAbout.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(popupAbout.front()));

    const POINT button = CentreOf(WindowRect(PopupItem(kAboutButtonId)));
    ClickAt(button.x, button.y);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(popupAbout.front()) != FALSE; })) << "no About window";
    EXPECT_FALSE(IsWindowVisible(barAbout.front())) << "the bar's own About window showed too";
    EXPECT_TRUE(IsWindowVisible(finder.Popup()));
    EXPECT_TRUE(SaveScreenshot(WindowRect(popupAbout.front()), ArtifactFolder() + L"\\popup-about.png"));

    const POINT cross = CentreOf(WindowRect(GetDlgItem(popupAbout.front(), 1138)));
    ClickAt(cross.x, cross.y);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(popupAbout.front()); }));
    EXPECT_TRUE(IsWindowVisible(finder.Popup())) << "closing the About window closed the popup";
}

TEST_F(ResultsTest, TitleBandDragsWithTheLeftButtonAlone) {
    Search(kTreeWord);
    struct DragCase {
        int y;
        bool withShift;
        bool moves;
    };
    const DragCase cases[] = {{26, false, true}, {27, false, false}, {26, true, false}, {5, false, true}};
    for (const DragCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "press at y = " << c.y << (c.withShift ? " with Shift" : ""));
        const RECT before = WindowRect(finder.Popup());
        // Left of the count line, on the band's icon, which is part of the
        // skin: the count line may stretch to the cross at high scaling.
        const POINT from{before.left + 20, before.top + c.y};
        MoveCursorTo(from.x, from.y);
        Sleep(50);
        if (c.withShift) HoldKey(VK_SHIFT, true);
        LeftButton(true);
        // The window manager's move loop starts once the press is handled.
        Sleep(200);
        for (int step = 1; step <= 5; ++step) {
            Sleep(30);
            MoveCursorTo(from.x - 8 * step, from.y - 6 * step);
        }
        Sleep(100);
        LeftButton(false);
        if (c.withShift) HoldKey(VK_SHIFT, false);
        const RECT expected =
            c.moves ? RECT{before.left - 40, before.top - 30, before.right - 40, before.bottom - 30} : before;
        WaitFor([&] { return WindowRect(finder.Popup()) == expected; }, 2000);
        EXPECT_EQ(WindowRect(finder.Popup()), expected);
    }
}
