// The three PNG loaders against fixtures carried in this test's own resources.
#include "canvas.h"
#include "finder/controls/png_resource.h"
#include "test_images.h"

#include "finder/controls/gdiplus_header.h"
#include <gtest/gtest.h>

#include <array>

namespace {

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

// Straight colours as stored: blue, green, red, alpha.
std::array<int, 4> StoredPixel(CImage& image, int x, int y) {
    const auto* pixel = static_cast<const unsigned char*>(image.GetPixelAddress(x, y));
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

TEST(LoadPngIntoImage, DecodesAlphaImagesTo32BitStraightColors) {
    CImage image;
    ASSERT_TRUE(LoadPngIntoImage(image, TEST_PNG_ALPHA));
    EXPECT_EQ(image.GetWidth(), 4);
    EXPECT_EQ(image.GetHeight(), 3);
    EXPECT_EQ(image.GetBPP(), 32);
    EXPECT_TRUE(image.HasAlphaChannel());
    EXPECT_EQ(StoredPixel(image, 1, 0), (std::array<int, 4>{50, 100, 200, 128}));
    EXPECT_EQ(StoredPixel(image, 0, 0), (std::array<int, 4>{255, 255, 255, 0}));
}

TEST(LoadPngIntoImage, DecodesPlainImagesTo24Bit) {
    CImage image;
    ASSERT_TRUE(LoadPngIntoImage(image, TEST_PNG_PLAIN));
    EXPECT_EQ(image.GetWidth(), 6);
    EXPECT_EQ(image.GetHeight(), 5);
    EXPECT_EQ(image.GetBPP(), 24);
    EXPECT_FALSE(image.HasAlphaChannel());
}

TEST(LoadPngIntoImage, LeavesTheImageAloneForAMissingResourceAndEmptiesItForBadBytes) {
    CImage image;
    ASSERT_TRUE(LoadPngIntoImage(image, TEST_PNG_PLAIN));
    EXPECT_FALSE(LoadPngIntoImage(image, TEST_PNG_MISSING));
    EXPECT_EQ(image.GetWidth(), 6);
    EXPECT_TRUE(LoadPngIntoImage(image, TEST_PNG_UNDECODABLE));
    EXPECT_TRUE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
}

TEST(LoadPngIntoSlot, FillsANullSlotAndReusesAFilledOne) {
    CImage* slot = nullptr;
    LoadPngIntoSlot(slot, TEST_PNG_MISSING);
    EXPECT_EQ(slot, nullptr);

    LoadPngIntoSlot(slot, TEST_PNG_NORMAL);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->GetWidth(), 22);
    CImage* const first = slot;

    LoadPngIntoSlot(slot, TEST_PNG_MISSING);
    EXPECT_EQ(slot, first);
    EXPECT_EQ(slot->GetWidth(), 22);

    LoadPngIntoSlot(slot, TEST_PNG_PICTURE);
    EXPECT_EQ(slot, first);
    EXPECT_EQ(slot->GetWidth(), 112);

    LoadPngIntoSlot(slot, TEST_PNG_UNDECODABLE);
    EXPECT_EQ(slot, first);
    EXPECT_TRUE(slot->IsNull());
    delete slot;
}

TEST(CImageDraw, BlendsAlphaImagesAsPremultipliedSoTransparentWhiteStaysWhite) {
    CImage image;
    ASSERT_TRUE(LoadPngIntoImage(image, TEST_PNG_ALPHA));
    Canvas canvas(6, 5, RGB(0, 0, 0));
    image.Draw(canvas.dc(), 1, 1);
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 255, 255)) << Hex(canvas.Pixel(1, 1));
    EXPECT_EQ(canvas.Pixel(3, 1), RGB(0, 0, 255)) << Hex(canvas.Pixel(3, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0));
}

TEST(LoadPngImage, KeepsTheImageUsableAfterTheLoaderReturns) {
    GdiplusSession gdiplus;
    Gdiplus::Image* image = nullptr;
    ASSERT_TRUE(LoadPngImage(TEST_PNG_ALPHA, &image));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 4u);
    EXPECT_EQ(image->GetHeight(), 3u);

    Canvas canvas(4, 3, RGB(0, 0, 0));
    {
        Gdiplus::Graphics graphics(canvas.dc());
        EXPECT_EQ(graphics.DrawImage(image, 0, 0, 4, 3), Gdiplus::Ok);
    }
    EXPECT_EQ(canvas.Pixel(2, 2), RGB(0, 0, 255)) << Hex(canvas.Pixel(2, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0)) << Hex(canvas.Pixel(0, 0));
    delete image;
}

TEST(LoadPngImage, FailsOnlyForAMissingResource) {
    GdiplusSession gdiplus;
    Gdiplus::Image* const untouched = reinterpret_cast<Gdiplus::Image*>(0x1234);
    Gdiplus::Image* image = untouched;
    EXPECT_FALSE(LoadPngImage(TEST_PNG_MISSING, &image));
    EXPECT_EQ(image, untouched);

    image = nullptr;
    EXPECT_TRUE(LoadPngImage(TEST_PNG_UNDECODABLE, &image));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 0u);
    EXPECT_EQ(image->GetHeight(), 0u);
    delete image;
}

} // namespace
