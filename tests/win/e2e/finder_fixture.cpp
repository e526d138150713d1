#include "finder_fixture.h"

#include <ostream>

namespace {

// A spot of the bare desktop, away from every window of the finder, where the
// test holds the left button down.
constexpr POINT kIdleSpot{0, 0};

bool LeftButtonIsDown() {
    return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
}

// Wine answers GetAsyncKeyState from a per-thread copy for 50 ms after the
// last call; the finder must not be asked within that time of a change.
void LetKeyStateCopiesExpire() {
    Sleep(100);
}

} // namespace

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

void PrintTo(const RECT& rect, std::ostream* os) {
    *os << "(" << rect.left << ", " << rect.top << ")-(" << rect.right << ", " << rect.bottom << ")";
}

void FinderTest::SetUp() {
    EndSearchCoreProcesses();
    ASSERT_TRUE(finder.Start(*folder));
    // The first program of a fresh Wine session can take a while to show.
    ASSERT_TRUE(WaitFor([this] { return finder.Bar() != nullptr; }, 20000)) << "the bar did not appear";
    bar = finder.Bar();
}

LRESULT FinderTest::HitTestBar(POINT client, bool leftButtonDown) {
    if (leftButtonDown) {
        MoveCursorTo(kIdleSpot.x, kIdleSpot.y);
        LeftButton(true);
        EXPECT_TRUE(WaitFor(LeftButtonIsDown));
        LetKeyStateCopiesExpire();
    }
    const RECT rect = WindowRect(bar);
    const LRESULT hit = SendTo(bar, WM_NCHITTEST, 0, MAKELPARAM(rect.left + client.x, rect.top + client.y));
    if (leftButtonDown) {
        LeftButton(false);
        EXPECT_TRUE(WaitFor([] { return !LeftButtonIsDown(); }));
        LetKeyStateCopiesExpire();
    }
    return hit;
}

void FinderTest::OpenField() {
    ASSERT_EQ(HitTestBar(POINT{82, 6}, true), HTCAPTION);
    HWND field = finder.Field();
    ASSERT_TRUE(WaitFor([field] { return IsWindowVisible(field) != FALSE; }));
    // The press was held on the desktop, not on the bar, so the finder is not
    // the foreground program that a real press would make it; the user's
    // keys go to the foreground.
    SetForegroundWindow(field);
    ASSERT_TRUE(WaitFor([field] { return GetForegroundWindow() == field; }));
    ASSERT_TRUE(WaitFor([this] { return FocusOf(bar) == finder.FieldEdit(); }))
        << "focus never reached the box";
}

void FinderTest::MoveBarTo(int x, int y) {
    SetWindowPos(bar, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return WindowRect(bar).left == x && WindowRect(bar).top == y; }));
}

void FinderTest::TypeAndWaitForQuery(const std::wstring& text, const std::wstring& expected) {
    TypeText(text);
    EXPECT_TRUE(WaitFor([&] { return WindowText(finder.FieldEdit()) == expected; }))
        << "box shows: " << testing::PrintToString(WindowText(finder.FieldEdit()));
    EXPECT_TRUE(WaitFor([&] { return WindowText(finder.Popup()) == expected; }))
        << "popup searched: " << testing::PrintToString(WindowText(finder.Popup()));
}

void FinderTest::ClearField() {
    SendTo(finder.FieldEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ASSERT_TRUE(WaitFor([this] { return !IsWindowVisible(finder.Popup()); }));
}
