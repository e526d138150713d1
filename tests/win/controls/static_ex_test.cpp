// CStaticEx bound to a real static control, drawn into canvases and through
// the parent's painting.
#include "control_host.h"
#include "finder/controls/markup_text.h"
#include "finder/controls/static_ex.h"
#include "test_images.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF Untouched = RGB(1, 2, 3);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr int StaticId = 1006;

class StaticExTest : public testing::Test {
protected:
    void Bind(const wchar_t* text, RECT place, DWORD templateStyle = 0) {
        HWND window = host_.AddChild(L"STATIC", text, place, StaticId, templateStyle);
        ASSERT_TRUE(control_.SubclassWindow(window));
    }

    // What DrawTextW gives for plain text in the control's font, centred
    // vertically the way the control does it.
    std::unique_ptr<Canvas> PlainReference(const wchar_t* text, COLORREF color, RECT box) {
        auto canvas = std::make_unique<Canvas>(box.right, box.bottom, White);
        SelectObject(canvas->dc(), host_.Font());
        SetBkMode(canvas->dc(), TRANSPARENT);
        SetTextColor(canvas->dc(), color);
        RECT measured = box;
        DrawTextW(canvas->dc(), text, -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        box.top += ((box.bottom - box.top) - (measured.bottom - measured.top)) >> 1;
        DrawTextW(canvas->dc(), text, -1, &box, DT_WORDBREAK | DT_NOPREFIX);
        return canvas;
    }

    SIZE WindowSize() {
        RECT place = {};
        GetWindowRect(control_.m_hWnd, &place);
        return {place.right - place.left, place.bottom - place.top};
    }

    ControlHost host_;
    CStaticEx control_;
};

TEST_F(StaticExTest, BecomesAnOwnerDrawnNotifyingStaticWhateverTheTemplateSaid) {
    Bind(L"", {0, 0, 50, 20}, SS_CENTER | WS_BORDER | SS_SUNKEN);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control_.m_hWnd, GWL_STYLE)), 0x5000010Du);
    EXPECT_EQ(control_.m_nOptions, SX_NOBACK);
    EXPECT_EQ(control_.m_nFillMode, FillVerticalGradient);
    EXPECT_EQ(control_.m_crBackground, White);
}

TEST_F(StaticExTest, DrawsItsWindowTextInBlackLeftAlignedAndCentredVertically) {
    Bind(L"Hello world", {0, 0, 200, 40});
    auto drawn = Render(control_, ODT_STATIC, White);
    auto expected = PlainReference(L"Hello world", RGB(0, 0, 0), {0, 0, 200, 40});
    EXPECT_TRUE(drawn->SameAs(*expected));
    EXPECT_GT(drawn->FirstInkRow(White), 5);
    drawn->SaveArtifact(L"static-plain-text");
}

TEST_F(StaticExTest, DrawsTheLinkColourWhateverTheTextColour) {
    Bind(L"link", {0, 0, 120, 30});
    control_.m_crText = RGB(255, 0, 0);
    control_.m_nOptions |= SX_LINK;
    auto drawn = Render(control_, ODT_STATIC, White);
    EXPECT_TRUE(drawn->SameAs(*PlainReference(L"link", StaticLinkColor, {0, 0, 120, 30})));
    EXPECT_GT(drawn->Count(StaticLinkColor, {0, 0, 120, 30}), 0);
    EXPECT_EQ(drawn->Count(RGB(255, 0, 0), {0, 0, 120, 30}), 0);
}

TEST_F(StaticExTest, ShowsTheHandCursorForLinksAndOnRequest) {
    Bind(L"link", {0, 0, 120, 30});
    // The system's shared hand, loaded at its own size as the control does.
    const HANDLE hand = LoadImageW(nullptr, MAKEINTRESOURCEW(32649), IMAGE_CURSOR, 0, 0, LR_SHARED);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(hand, LoadCursorW(nullptr, IDC_ARROW));
    auto askForCursor = [&] {
        return SendMessageW(control_.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_.m_hWnd),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    askForCursor();
    EXPECT_NE(GetCursor(), hand);
    control_.m_bHandCursor = 1;
    EXPECT_EQ(askForCursor(), TRUE);
    EXPECT_EQ(GetCursor(), hand);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    control_.m_bHandCursor = 0;
    control_.m_nOptions |= SX_LINK;
    EXPECT_EQ(askForCursor(), TRUE);
    EXPECT_EQ(GetCursor(), hand);
}

TEST_F(StaticExTest, DrawsMarkupInsteadOfTheWindowTextWhileAsked) {
    Bind(L"window text", {0, 0, 200, 30});
    control_.m_strMarkup = L"<b>mark</b> <font color=#ff0000>up</font>";
    control_.m_nOptions |= SX_MARKUP;
    auto markup = Render(control_, ODT_STATIC, White);
    Canvas expected(200, 30, White);
    SelectObject(expected.dc(), host_.Font());
    SetBkMode(expected.dc(), TRANSPARENT);
    RECT box = {0, 0, 200, 30};
    DrawMarkupText(expected.dc(), control_.m_strMarkup.c_str(), -1, &box, DT_WORDBREAK);
    EXPECT_TRUE(markup->SameAs(expected));
    EXPECT_GT(markup->Count(RGB(255, 0, 0), box), 0);

    control_.m_nOptions &= ~SX_MARKUP;
    auto plain = Render(control_, ODT_STATIC, White);
    EXPECT_TRUE(plain->SameAs(*PlainReference(L"window text", RGB(0, 0, 0), {0, 0, 200, 30})));
}

TEST_F(StaticExTest, CentresItsPictureAndDrawsNothingForEmptyText) {
    Bind(L"", {0, 0, 112, 27});
    control_.LoadPicture();
    ASSERT_NE(control_.m_pPicture, nullptr);
    auto drawn = Render(control_, ODT_STATIC, Untouched);
    EXPECT_EQ(drawn->Pixel(0, 2), RGB(255, 0, 0));
    EXPECT_EQ(drawn->Pixel(111, 23), RGB(0, 255, 0));
    EXPECT_EQ(drawn->Pixel(50, 12), RGB(10, 120, 200));
    EXPECT_EQ(drawn->Count(Untouched, {0, 0, 112, 2}), 112 * 2);
    EXPECT_EQ(drawn->Count(Untouched, {0, 24, 112, 27}), 112 * 3);
}

TEST_F(StaticExTest, PlacesItsIconLeftOfTheTextOrCentredOnAWiderSpan) {
    constexpr COLORREF Red = RGB(255, 0, 0);
    Bind(L"A rather long caption", {0, 0, 100, 30});
    control_.m_hIcon = SolidIcon(16, Red);
    auto left = Render(control_, ODT_STATIC, White);
    EXPECT_EQ(left->Pixel(1, 7), Red);
    EXPECT_EQ(left->Pixel(16, 22), Red);
    EXPECT_EQ(left->Count(Red, {0, 0, 100, 30}), 16 * 16);

    // Centred on 1.4 times the text's width, here 10 pixels wider than the
    // control: the icon starts 5 pixels left of the control's edge.
    control_.m_nOptions |= SX_CENTER;
    SIZE text = {};
    {
        HDC dc = GetDC(control_.m_hWnd);
        SelectObject(dc, host_.Font());
        GetTextExtentPoint32W(dc, L"A rather long caption", 21, &text);
        ReleaseDC(control_.m_hWnd, dc);
    }
    const int width = static_cast<int>(1.4 * text.cx) - 10;
    SetWindowPos(control_.m_hWnd, nullptr, 0, 0, width, 30, SWP_NOMOVE | SWP_NOZORDER);
    const int y = (30 - text.cy) >> 1;
    auto centred = Render(control_, ODT_STATIC, White);
    EXPECT_EQ(centred->Count(Red, {0, 0, width, 30}), 11 * 16);
    EXPECT_EQ(centred->Pixel(0, y), Red);
    EXPECT_EQ(centred->Pixel(10, y + 15), Red);
    EXPECT_NE(centred->Pixel(11, y), Red);
}

TEST_F(StaticExTest, PaintsItsBackgroundOnlyWhenAsked) {
    Bind(L"", {0, 0, 30, 20});
    control_.m_crBackground = RGB(218, 228, 234);
    auto none = Render(control_, ODT_STATIC, Untouched);
    EXPECT_EQ(none->Count(Untouched, {0, 0, 30, 20}), 30 * 20);

    control_.m_nOptions &= ~SX_NOBACK;
    control_.m_nFillMode = FillSolid;
    auto solid = Render(control_, ODT_STATIC, Untouched);
    EXPECT_EQ(solid->Count(RGB(218, 228, 234), {0, 0, 30, 20}), 30 * 20);

    control_.m_nFillMode = FillVerticalGradient;
    auto gradient = Render(control_, ODT_STATIC, Untouched);
    EXPECT_EQ(gradient->Pixel(0, 19), RGB(218, 228, 234));
    EXPECT_EQ(gradient->Pixel(29, 0), RGB(247, 247, 247)) << Hex(gradient->Pixel(29, 0));
}

TEST_F(StaticExTest, FitsItsSizeToTextAndPicture) {
    Bind(L"Fit me", {10, 20, 300, 100});
    SIZE text = {};
    {
        HDC dc = GetDC(control_.m_hWnd);
        SelectObject(dc, host_.Font());
        RECT box = {0, 0, 290, 80};
        DrawTextW(dc, L"Fit me", -1, &box, DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
        text = {box.right, box.bottom};
        ReleaseDC(control_.m_hWnd, dc);
    }
    control_.FitToContent();
    EXPECT_EQ(WindowSize().cx, text.cx);
    EXPECT_EQ(WindowSize().cy, text.cy);

    control_.LoadPicture();
    control_.FitToContent();
    EXPECT_EQ(WindowSize().cx, text.cx + 112 + 10);
    EXPECT_EQ(WindowSize().cy, std::max<LONG>(text.cy, 22));

    SetWindowTextW(control_.m_hWnd, L"");
    control_.FitToContent();
    EXPECT_EQ(WindowSize().cx, 112);
    EXPECT_EQ(WindowSize().cy, 22);

    RECT place = {};
    GetWindowRect(control_.m_hWnd, &place);
    EXPECT_EQ(place.left, ControlHost::Left + 10);
    EXPECT_EQ(place.top, ControlHost::Top + 20);
}

TEST_F(StaticExTest, KeepsItsSizeWithNothingToFit) {
    Bind(L"", {0, 0, 40, 30});
    control_.FitToContent();
    EXPECT_EQ(WindowSize().cx, 40);
    EXPECT_EQ(WindowSize().cy, 30);
}

TEST_F(StaticExTest, ReplacesItsOwnFontForFaceAndHeight) {
    Bind(L"text", {0, 0, 40, 30});
    control_.SetTextFace();
    const HFONT first = control_.m_hTextFont;
    ASSERT_NE(first, nullptr);
    control_.SetTextHeight();
    const HFONT second = control_.m_hTextFont;
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced font must be deleted";
    LOGFONTW font = {};
    ASSERT_NE(GetObjectW(second, sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, L"\u65B0\u5B8B\u4F53");
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);

    control_.SetTextHeight();
    EXPECT_EQ(GetObjectType(second), 0u);
}

TEST_F(StaticExTest, ReportsClicksToItsParent) {
    Bind(L"click", {0, 0, 60, 20});
    SendMessageW(control_.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(control_.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages();
    ASSERT_FALSE(host_.commands.empty());
    EXPECT_EQ(host_.commands.front().id, StaticId);
    EXPECT_EQ(host_.commands.front().code, STN_CLICKED);
}

TEST_F(StaticExTest, PaintsThroughItsParentWithoutErasing) {
    Bind(L"", {20, 30, 132, 57});
    control_.LoadPicture();
    EXPECT_EQ(SendMessageW(control_.m_hWnd, WM_ERASEBKGND, 0, 0), TRUE);
    RedrawWindow(host_.m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Canvas screen(400, 200);
    screen.CaptureClient(host_.m_hWnd);
    screen.SaveArtifact(L"static-picture-in-parent");
    EXPECT_EQ(screen.Pixel(20, 32), RGB(255, 0, 0)) << Hex(screen.Pixel(20, 32));
    EXPECT_EQ(screen.Pixel(131, 53), RGB(0, 255, 0)) << Hex(screen.Pixel(131, 53));
}

} // namespace
