// CButtonEx bound to real buttons: faces per state read back pixel by
// pixel, hover from real pointer moves, presses, radio groups and sizing.
#include "control_host.h"
#include "finder/controls/button_ex.h"
#include "finder/controls/png_resource.h"
#include "test_images.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF Untouched = RGB(1, 2, 3);
constexpr COLORREF Frame = RGB(128, 128, 255);
constexpr COLORREF LighterFrame = RGB(160, 160, 255);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Normal = RGB(200, 30, 30);
constexpr COLORREF Pressed = RGB(30, 200, 30);
constexpr COLORREF Hover = RGB(30, 30, 200);
constexpr POINT Away = {5, 5};

class ButtonExTest : public testing::Test {
protected:
    void SetUp() override { MovePointerTo(Away); }

    CButtonEx& Add(int id, RECT place, const wchar_t* caption = L"") {
        buttons_.push_back(std::make_unique<CButtonEx>());
        CButtonEx& button = *buttons_.back();
        EXPECT_TRUE(button.SubclassWindow(host_.AddChild(L"BUTTON", caption, place, id)));
        return button;
    }

    std::unique_ptr<Canvas> Draw(CButtonEx& button) { return Render(button, ODT_BUTTON, Untouched); }

    void LoadPictures(CButtonEx& button) {
        button.m_nFlags &= ~BTNX_FRAME;
        LoadPngIntoSlot(button.m_pImgNormal, TEST_PNG_NORMAL);
        LoadPngIntoSlot(button.m_pImgHover, TEST_PNG_HOVER);
        LoadPngIntoSlot(button.m_pImgPressed, TEST_PNG_PRESSED);
    }

    bool PointAt(CButtonEx& button) {
        MovePointerTo(CentreOnScreen(button.m_hWnd));
        return PumpUntil([&] { return (button.m_nFlags & BTNX_HOVER) != 0; });
    }

    bool PointAway(CButtonEx& button) {
        MovePointerTo(Away);
        return PumpUntil([&] { return (button.m_nFlags & BTNX_HOVER) == 0; });
    }

    void Press(CButtonEx& button, UINT message = WM_LBUTTONDOWN) {
        SendMessageW(button.m_hWnd, message, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    SIZE WindowSize(CButtonEx& button) {
        RECT place = {};
        GetWindowRect(button.m_hWnd, &place);
        return {place.right - place.left, place.bottom - place.top};
    }

    ControlHost host_;
    std::vector<std::unique_ptr<CButtonEx>> buttons_;
};

TEST_F(ButtonExTest, BecomesAnOwnerDrawnTabStopCarryingTheMarker) {
    CButtonEx& button = Add(1001, {0, 0, 80, 24});
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(button.m_hWnd, GWL_STYLE)), 0x5001000Bu);
    EXPECT_EQ(GetWindowLongPtrW(button.m_hWnd, GWLP_USERDATA), BTNX_MARKER);
    EXPECT_EQ(button.m_nFlags, BTNX_FRAME | BTNX_CENTER);
    EXPECT_EQ(button.m_nKind, ButtonExPush);
    EXPECT_EQ(button.m_crBackground, 0xEAE4DAu);
    EXPECT_EQ(button.m_crFrame, 0xFF8080u);
    EXPECT_EQ(SendMessageW(button.m_hWnd, WM_ERASEBKGND, 0, 0), TRUE);
}

TEST_F(ButtonExTest, DrawsTheDefaultFaceWithGradientAndFramesPerState) {
    CButtonEx& button = Add(1001, {10, 10, 90, 34});
    struct Face {
        const wchar_t* name;
        COLORREF inner;
    };
    auto check = [&](const Face& face) {
        auto canvas = Draw(button);
        canvas->SaveArtifact(std::wstring(L"button-default-") + face.name);
        for (POINT p : {POINT{0, 0}, POINT{79, 23}, POINT{40, 0}, POINT{0, 12}, POINT{79, 5}}) {
            EXPECT_EQ(canvas->Pixel(p.x, p.y), Frame)
                << Hex(canvas->Pixel(p.x, p.y)) << " at " << p.x << "," << p.y;
        }
        for (POINT p : {POINT{1, 1}, POINT{78, 22}, POINT{40, 22}, POINT{1, 12}}) {
            EXPECT_EQ(canvas->Pixel(p.x, p.y), face.inner)
                << Hex(canvas->Pixel(p.x, p.y)) << " at " << p.x << "," << p.y;
        }
        // rows 2 and 12 of a 24-row strip that starts at RGB(218, 228, 234) on the bottom row
        EXPECT_EQ(canvas->Pixel(40, 21), RGB(221, 230, 235)) << Hex(canvas->Pixel(40, 21));
        EXPECT_EQ(canvas->Pixel(2, 11), RGB(233, 238, 241)) << Hex(canvas->Pixel(2, 11));
    };
    check({L"normal", White});
    ASSERT_TRUE(PointAt(button));
    check({L"hover", LighterFrame});
    SendMessageW(button.m_hWnd, BM_SETSTATE, TRUE, 0);
    check({L"pressed", LighterFrame});
    SendMessageW(button.m_hWnd, BM_SETSTATE, FALSE, 0);
    ASSERT_TRUE(PointAway(button));
    check({L"normal-again", White});
}

TEST_F(ButtonExTest, ShowsOnePicturePerStateAndNoGradientUnderIt) {
    CButtonEx& button = Add(1001, {10, 10, 60, 40});
    LoadPictures(button);
    button.SizeToContent();
    EXPECT_EQ(WindowSize(button).cx, 22);
    EXPECT_EQ(WindowSize(button).cy, 19);
    const RECT all = {0, 0, 22, 19};
    EXPECT_EQ(Draw(button)->Count(Normal, all), 22 * 19);
    ASSERT_TRUE(PointAt(button));
    EXPECT_EQ(Draw(button)->Count(Hover, all), 22 * 19);
    SendMessageW(button.m_hWnd, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(Draw(button)->Count(Pressed, all), 22 * 19);
    SendMessageW(button.m_hWnd, BM_SETSTATE, FALSE, 0);
    ASSERT_TRUE(PointAway(button));
    EXPECT_EQ(Draw(button)->Count(Normal, all), 22 * 19);
}

TEST_F(ButtonExTest, PaintsThroughTheParentsDrawItem) {
    CButtonEx& button = Add(1001, {40, 50, 60, 70});
    LoadPictures(button);
    button.SizeToContent();
    RedrawWindow(host_.m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Canvas screen(400, 200);
    screen.CaptureClient(host_.m_hWnd);
    screen.SaveArtifact(L"button-picture-in-parent");
    EXPECT_EQ(screen.Count(Normal, {40, 50, 62, 69}), 22 * 19);
}

TEST_F(ButtonExTest, DrawsADisabledButtonWithTheNormalFaceAndAGreyCaption) {
    CButtonEx& button = Add(1001, {0, 0, 80, 24}, L"Off");
    button.EnableWindow(FALSE);
    auto canvas = Draw(button);
    canvas->SaveArtifact(L"button-disabled");
    EXPECT_EQ(canvas->Pixel(0, 0), RGB(247, 247, 247))
        << "no frame when disabled: " << Hex(canvas->Pixel(0, 0));
    EXPECT_GT(canvas->Count(ButtonDisabledTextColor, {0, 0, 80, 24}), 0);
    EXPECT_EQ(canvas->Count(RGB(0, 0, 0), {0, 0, 80, 24}), 0);

    LoadPngIntoSlot(button.m_pImgDisabled, TEST_PNG_PRESSED);
    auto pictured = Draw(button);
    EXPECT_EQ(pictured->Count(Pressed, {0, 0, 22, 19}), 22 * 19);
    EXPECT_EQ(pictured->Pixel(40, 20), Untouched) << "the disabled picture has no background";
}

TEST_F(ButtonExTest, CentresItsCaptionInTheParentsFont) {
    CButtonEx& button = Add(1001, {0, 0, 100, 24}, L"Caption");
    button.m_nFlags &= ~BTNX_FRAME;
    auto drawn = Draw(button);

    SetWindowTextW(button.m_hWnd, L"");
    auto expected = Draw(button);
    SelectObject(expected->dc(), host_.Font());
    SetBkMode(expected->dc(), TRANSPARENT);
    SIZE text = {};
    GetTextExtentPoint32W(expected->dc(), L"Caption", 7, &text);
    RECT box = {(100 - text.cx) >> 1, 0, 100, 24};
    DrawTextW(expected->dc(), L"Caption", 7, &box, DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER);
    EXPECT_TRUE(drawn->SameAs(*expected));
}

TEST_F(ButtonExTest, PicksTheIconForEachStateAndCentresItWithTheCaption) {
    constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255);
    struct Case {
        BYTE kind;
        BYTE flags;
        bool pushed;
        COLORREF icon;
    } cases[] = {
        {ButtonExPush, 0, false, Red},
        {ButtonExPush, BTNX_HOVER, false, Blue},
        {ButtonExPush, BTNX_HOVER, true, Green},
        {ButtonExCheckBox, BTNX_HOVER, false, Red},
        {ButtonExCheckBox, BTNX_HOVER | BTNX_CHECKED, false, Green},
        {ButtonExRadio, BTNX_CHECKED, false, Green},
    };
    CButtonEx& button = Add(1001, {0, 0, 100, 24}, L"Go");
    button.m_hIcon = SolidIcon(16, Red);
    button.m_hIconPressed = SolidIcon(16, Green);
    button.m_hIconHover = SolidIcon(16, Blue);
    button.m_nFillMode = FillSolid;
    SIZE text = {};
    {
        HDC dc = GetDC(button.m_hWnd);
        SelectObject(dc, host_.Font());
        GetTextExtentPoint32W(dc, L"Go", 2, &text);
        ReleaseDC(button.m_hWnd, dc);
    }
    const int iconLeft = (100 - (text.cx + 16 + 5)) >> 1;
    for (const Case& c : cases) {
        button.m_nKind = c.kind;
        button.m_nFlags = static_cast<BYTE>(BTNX_CENTER | c.flags);
        SendMessageW(button.m_hWnd, BM_SETSTATE, c.pushed, 0);
        auto canvas = Draw(button);
        const std::string name = "kind " + std::to_string(c.kind) + " flags " + std::to_string(c.flags);
        EXPECT_EQ(canvas->Count(c.icon, {0, 0, 100, 24}), 16 * 16) << name;
        EXPECT_EQ(canvas->Pixel(iconLeft, 4), c.icon) << name;
        EXPECT_EQ(canvas->Pixel(iconLeft + 15, 19), c.icon) << name;
        EXPECT_NE(canvas->Pixel(iconLeft - 1, 4), c.icon) << name;
    }
    SendMessageW(button.m_hWnd, BM_SETSTATE, FALSE, 0);
}

TEST_F(ButtonExTest, FillsASolidBackgroundButItsLastColumnAndRow) {
    CButtonEx& button = Add(1001, {0, 0, 10, 8});
    button.m_nFlags &= ~BTNX_FRAME;
    button.m_nFillMode = FillSolid;
    auto canvas = Draw(button);
    EXPECT_EQ(canvas->Count(button.m_crBackground, {0, 0, 9, 7}), 9 * 7);
    EXPECT_EQ(canvas->Count(Untouched, {9, 0, 10, 8}), 8);
    EXPECT_EQ(canvas->Count(Untouched, {0, 7, 10, 8}), 10);
}

TEST_F(ButtonExTest, TogglesACheckBoxOnEveryPressAndDoubleClick) {
    CButtonEx& box = Add(1001, {0, 0, 40, 20});
    box.m_nKind = ButtonExCheckBox;
    EXPECT_EQ(Draw(box)->Count(Untouched, {0, 0, 40, 20}), 40 * 20) << "unchecked and not hovered: no face";
    Press(box);
    EXPECT_TRUE(box.m_nFlags & BTNX_CHECKED);
    EXPECT_EQ(Draw(box)->Pixel(1, 1), LighterFrame) << "checked draws as pressed";
    Press(box);
    EXPECT_FALSE(box.m_nFlags & BTNX_CHECKED);
    EXPECT_EQ(Draw(box)->Count(Untouched, {0, 0, 40, 20}), 40 * 20);
    // a double click arrives as a press and then a double-click message
    Press(box);
    Press(box, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(box.m_nFlags & BTNX_CHECKED);
}

TEST_F(ButtonExTest, SelectsWithinTheRunOfRadioButtonsAroundIt) {
    struct Case {
        bool ordinaryAt1011;
        std::vector<bool> checkedAfter; // 1010 to 1013 after pressing 1012
    } cases[] = {
        {false, {false, false, true, false}},
        {true, {true, false, true, false}},
    };
    for (const Case& c : cases) {
        buttons_.clear();
        std::vector<CButtonEx*> radios;
        for (int id = 1010; id <= 1013; ++id) {
            if (id == 1011 && c.ordinaryAt1011) {
                host_.AddChild(L"BUTTON", L"", {0, 30 * (id - 1010), 20, 30 * (id - 1010) + 20}, id);
                radios.push_back(nullptr);
                continue;
            }
            CButtonEx& radio = Add(id, {0, 30 * (id - 1010), 20, 30 * (id - 1010) + 20});
            radio.m_nKind = ButtonExRadio;
            radio.m_nFlags |= BTNX_CHECKED;
            radios.push_back(&radio);
        }
        Press(*radios[2]);
        for (int i = 0; i < 4; ++i) {
            if (!radios[i]) continue;
            EXPECT_EQ((radios[i]->m_nFlags & BTNX_CHECKED) != 0, c.checkedAfter[i])
                << "button " << 1010 + i << (c.ordinaryAt1011 ? " with an ordinary 1011" : "");
        }
        if (c.ordinaryAt1011) DestroyWindow(GetDlgItem(host_.m_hWnd, 1011));
    }
}

TEST_F(ButtonExTest, SelectsARadioButtonWhenAnArrowKeyIsReleased) {
    CButtonEx& first = Add(1020, {0, 0, 20, 20});
    CButtonEx& second = Add(1021, {0, 30, 20, 50});
    first.m_nKind = second.m_nKind = ButtonExRadio;
    second.m_nFlags |= BTNX_CHECKED;
    SendMessageW(first.m_hWnd, WM_KEYUP, 'A', 0);
    EXPECT_TRUE(second.m_nFlags & BTNX_CHECKED);
    SendMessageW(first.m_hWnd, WM_KEYUP, VK_DOWN, 0);
    EXPECT_TRUE(first.m_nFlags & BTNX_CHECKED);
    EXPECT_FALSE(second.m_nFlags & BTNX_CHECKED);
}

TEST_F(ButtonExTest, TellsTheParentOnceWhenThePointerEnters) {
    CButtonEx& button = Add(1008, {10, 10, 90, 34});
    button.m_nFlags |= BTNX_NOTIFYHOVER;
    ASSERT_TRUE(PointAt(button));
    POINT inside = CentreOnScreen(button.m_hWnd);
    inside.x += 3;
    MovePointerTo(inside);
    PumpMessages();
    EXPECT_EQ(host_.hoverMessages, (std::vector<WPARAM>{1008}));
}

TEST_F(ButtonExTest, ShowsTheHandCursorOnlyWhenAsked) {
    CButtonEx& button = Add(1001, {0, 0, 20, 20});
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    auto askForCursor = [&] {
        return SendMessageW(button.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    askForCursor();
    EXPECT_NE(GetCursor(), hand);
    button.m_bHandCursor = 1;
    EXPECT_EQ(askForCursor(), TRUE);
    EXPECT_EQ(GetCursor(), hand);
}

TEST_F(ButtonExTest, InTransparentModeAlternatesAskingTheParentAndDrawingTheCaption) {
    CButtonEx& button = Add(1001, {30, 40, 110, 64}, L"See through");
    button.m_nFlags |= BTNX_TRANSPARENT;
    ValidateRect(host_.m_hWnd, nullptr);
    auto first = Draw(button);
    EXPECT_EQ(first->Count(Untouched, {0, 0, 80, 24}), 80 * 24);
    RECT dirty = {};
    EXPECT_TRUE(GetUpdateRect(host_.m_hWnd, &dirty, FALSE));
    EXPECT_EQ(dirty.left, 30);
    EXPECT_EQ(dirty.top, 40);

    auto second = Draw(button);
    EXPECT_EQ(second->Pixel(0, 0), Untouched) << "no face in transparent mode";
    EXPECT_LT(second->Count(Untouched, {0, 0, 80, 24}), 80 * 24) << "the caption is drawn";
}

TEST_F(ButtonExTest, SizesToCaptionIconBackgroundsAndPictures) {
    ICONINFO info = {TRUE, 0, 0, CreateBitmap(16, 16, 1, 1, nullptr), CreateBitmap(16, 16, 1, 32, nullptr)};
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    SIZE text = {};
    {
        HDC dc = GetDC(host_.m_hWnd);
        SelectObject(dc, host_.Font());
        GetTextExtentPoint32W(dc, L"Go", 2, &text);
        ReleaseDC(host_.m_hWnd, dc);
    }
    CButtonEx& nothing = Add(1001, {0, 0, 33, 44});
    nothing.SizeToContent();
    EXPECT_EQ(WindowSize(nothing).cx, 33);
    EXPECT_EQ(WindowSize(nothing).cy, 44);

    CButtonEx& caption = Add(1002, {0, 50, 5, 55}, L"Go");
    caption.SizeToContent();
    EXPECT_EQ(WindowSize(caption).cx, text.cx);
    EXPECT_EQ(WindowSize(caption).cy, text.cy);

    CButtonEx& both = Add(1003, {0, 100, 5, 105}, L"Go");
    both.m_hIcon = CopyIcon(icon);
    both.SizeToContent();
    EXPECT_EQ(WindowSize(both).cx, text.cx + 16 + 10);
    EXPECT_EQ(WindowSize(both).cy, std::max<LONG>(text.cy, 16));

    CButtonEx& background = Add(1004, {100, 0, 105, 5});
    background.m_hIcon = CopyIcon(icon);
    background.m_bgHover.FillGradient(30, 4, 0, GradientAlongY);
    background.SizeToContent();
    EXPECT_EQ(WindowSize(background).cx, 30);
    EXPECT_EQ(WindowSize(background).cy, 16);

    RECT place = {};
    GetWindowRect(background.m_hWnd, &place);
    EXPECT_EQ(place.left, ControlHost::Left + 100);
    DestroyIcon(icon);
}

} // namespace
