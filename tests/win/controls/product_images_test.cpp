// The loaders and controls with the finder's own artwork, as its windows use them.
#include "control_host.h"
#include "finder/controls/button_ex.h"
#include "finder/controls/png_resource.h"
#include "finder/controls/static_ex.h"
#include "resource.h"

#include "finder/controls/gdiplus_header.h"
#include <gtest/gtest.h>

namespace {

TEST(ProductImages, DecodeToTheSizesAndLayoutsTheWindowsRelyOn) {
    struct Case {
        WORD id;
        int width;
        int height;
        bool alpha;
    } cases[] = {
        {IDB_PNG_RESULTS, 493, 440, true},         {IDB_PNG_ABOUT_BACKGROUND, 605, 340, false},
        {IDB_PNG_WEB_SEARCH, 112, 22, false},      {IDB_PNG_CLOSE_NORMAL, 22, 19, false},
        {IDB_PNG_ABOUT_LINK_HOVER, 95, 17, false}, {IDB_PNG_LEARN_MORE, 118, 37, false},
    };
    for (const Case& c : cases) {
        CImage image;
        ASSERT_TRUE(LoadPngIntoImage(image, c.id)) << c.id;
        EXPECT_EQ(image.GetWidth(), c.width) << c.id;
        EXPECT_EQ(image.GetHeight(), c.height) << c.id;
        EXPECT_EQ(image.HasAlphaChannel(), c.alpha) << c.id;
        EXPECT_EQ(image.GetBPP(), c.alpha ? 32 : 24) << c.id;
    }
}

TEST(ProductImages, TransparentPixelsOfThePopupAddTheirStoredColour) {
    CImage popup;
    ASSERT_TRUE(LoadPngIntoImage(popup, IDB_PNG_RESULTS));
    Canvas canvas(493, 440, RGB(0, 0, 0));
    popup.Draw(canvas.dc(), 0, 0);
    int transparent = 0;
    for (int y = 0; y < 440; ++y) {
        for (int x = 0; x < 493; ++x) {
            const auto* pixel = static_cast<const unsigned char*>(popup.GetPixelAddress(x, y));
            if (pixel[3] == 255) {
                ASSERT_EQ(canvas.Pixel(x, y), RGB(pixel[2], pixel[1], pixel[0])) << x << "," << y;
            } else if (pixel[3] == 0) {
                ++transparent;
                ASSERT_EQ(canvas.Pixel(x, y), RGB(pixel[2], pixel[1], pixel[0])) << x << "," << y;
            }
        }
    }
    EXPECT_GT(transparent, 0);
}

TEST(ProductImages, LoadTheBarFaceForGdiplus) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    Gdiplus::Image* bar = nullptr;
    ASSERT_TRUE(LoadPngImage(IDB_PNG_BAR, &bar));
    EXPECT_EQ(bar->GetWidth(), 112u);
    EXPECT_EQ(bar->GetHeight(), 31u);
    delete bar;
    Gdiplus::GdiplusShutdown(token);
}

TEST(ProductImages, PopupCloseButtonShowsItsThreePictures) {
    ControlHost host;
    CButtonEx close;
    ASSERT_TRUE(close.SubclassWindow(host.AddChild(L"BUTTON", L"", {300, 10, 340, 40}, IDC_RESULTS_CLOSE)));
    close.m_nFlags &= ~BTNX_FRAME;
    LoadPngIntoSlot(close.m_pImgNormal, IDB_PNG_CLOSE_NORMAL);
    LoadPngIntoSlot(close.m_pImgHover, IDB_PNG_CLOSE_HOVER);
    LoadPngIntoSlot(close.m_pImgPressed, IDB_PNG_CLOSE_PRESSED);
    close.SizeToContent();
    RECT place = {};
    GetWindowRect(close.m_hWnd, &place);
    EXPECT_EQ(place.right - place.left, 22);
    EXPECT_EQ(place.bottom - place.top, 19);

    auto faceMatches = [&](CImage* picture, const wchar_t* name) {
        auto face = Render(close, ODT_BUTTON, RGB(1, 2, 3));
        face->SaveArtifact(name);
        Canvas expected(22, 19, RGB(4, 5, 6));
        picture->Draw(expected.dc(), 0, 0);
        return face->SameAs(expected);
    };
    EXPECT_TRUE(faceMatches(close.m_pImgNormal, L"popup-close-normal"));
    MovePointerTo(CentreOnScreen(close.m_hWnd));
    ASSERT_TRUE(PumpUntil([&] { return (close.m_nFlags & BTNX_HOVER) != 0; }));
    EXPECT_TRUE(faceMatches(close.m_pImgHover, L"popup-close-hover"));
    SendMessageW(close.m_hWnd, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(faceMatches(close.m_pImgPressed, L"popup-close-pressed"));
    SendMessageW(close.m_hWnd, BM_SETSTATE, FALSE, 0);
    MovePointerTo({5, 5});
    ASSERT_TRUE(PumpUntil([&] { return (close.m_nFlags & BTNX_HOVER) == 0; }));
    EXPECT_TRUE(faceMatches(close.m_pImgNormal, L"popup-close-normal-again"));
}

TEST(ProductImages, WebSearchPictureSitsCentredInItsStatic) {
    ControlHost host;
    CStaticEx link;
    ASSERT_TRUE(link.SubclassWindow(host.AddChild(L"STATIC", L"", {0, 0, 112, 27}, 1005)));
    link.LoadPicture();
    link.m_bHandCursor = 1;
    auto drawn = Render(link, ODT_STATIC, RGB(1, 2, 3));
    drawn->SaveArtifact(L"web-search-static");
    Canvas expected(112, 27, RGB(1, 2, 3));
    link.m_pPicture->Draw(expected.dc(), 0, 2);
    EXPECT_TRUE(drawn->SameAs(expected));
    link.FitToContent();
    RECT place = {};
    GetWindowRect(link.m_hWnd, &place);
    EXPECT_EQ(place.right - place.left, 112);
    EXPECT_EQ(place.bottom - place.top, 22);
}

} // namespace
