// CImageEx on a device context and the background fill of skinned controls.
#include "canvas.h"
#include "finder/controls/background_fill.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr COLORREF Base = RGB(218, 228, 234);
constexpr COLORREF Untouched = RGB(1, 2, 3);

// A 32-bit holder of width x 1 with the given blue, green, red, alpha pixels.
void Fill32(CImageEx& holder, const std::uint32_t* bgra, int width) {
    std::uint8_t* rows = holder.CreateDib(width, 1, 32);
    std::memcpy(rows, bgra, static_cast<std::size_t>(width) * 4);
}

TEST(FillBackground, StretchesAVerticalStripOverTheControl) {
    CImageEx holder;
    Canvas canvas(80, 24, Untouched);
    FillBackground(canvas.dc(), holder, FillVerticalGradient, 80, 24, Base);
    ASSERT_TRUE(holder.HasBitmap());
    EXPECT_EQ(holder.Header()->biWidth, 1);
    EXPECT_EQ(holder.Header()->biHeight, 24);
    for (int x : {0, 40, 79}) {
        EXPECT_EQ(canvas.Pixel(x, 23), Base) << Hex(canvas.Pixel(x, 23));
        EXPECT_EQ(canvas.Pixel(x, 11), RGB(233, 238, 241)) << Hex(canvas.Pixel(x, 11));
        EXPECT_EQ(canvas.Pixel(x, 0), RGB(247, 247, 247)) << Hex(canvas.Pixel(x, 0));
    }
    canvas.SaveArtifact(L"background-vertical-80x24");
}

TEST(FillBackground, StretchesAHorizontalStripOverTheControl) {
    CImageEx holder;
    Canvas canvas(3, 4, Untouched);
    FillBackground(canvas.dc(), holder, FillHorizontalGradient, 3, 4, Base);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(canvas.Pixel(0, y), RGB(238, 241, 243));
        EXPECT_EQ(canvas.Pixel(1, y), RGB(228, 235, 239));
        EXPECT_EQ(canvas.Pixel(2, y), Base);
    }
}

TEST(FillBackground, RebuildsAStripOnlyWhenItsOwnDimensionChanges) {
    CImageEx holder;
    Canvas canvas(10, 8, Untouched);
    FillBackground(canvas.dc(), holder, FillVerticalGradient, 10, 8, RGB(0, 0, 0));
    // Same height, new colour, new width: the black strip is reused.
    FillBackground(canvas.dc(), holder, FillVerticalGradient, 6, 8, RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(0, 7), RGB(0, 0, 0));
    // A new height rebuilds it from the new colour.
    FillBackground(canvas.dc(), holder, FillVerticalGradient, 6, 4, RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(0, 3), RGB(255, 255, 255));
    EXPECT_EQ(holder.Header()->biHeight, 4);
}

TEST(FillBackground, DrawsTheHoldersBitmapOnlyWhenThereIsOne) {
    CImageEx holder;
    Canvas canvas(4, 4, Untouched);
    FillBackground(canvas.dc(), holder, FillBitmap, 4, 4, Base);
    FillBackground(canvas.dc(), holder, FillSolid, 4, 4, Base);
    FillBackground(canvas.dc(), holder, 7, 4, 4, Base);
    EXPECT_EQ(canvas.Count(Untouched, {0, 0, 4, 4}), 16);

    holder.FillGradient(2, 0, Base, GradientAlongY);
    FillBackground(canvas.dc(), holder, FillBitmap, 4, 4, Base);
    EXPECT_EQ(canvas.Count(Untouched, {0, 0, 4, 4}), 16);

    holder.FillGradient(2, 1, Base, GradientAlongY);
    FillBackground(canvas.dc(), holder, FillBitmap, 4, 4, Base);
    EXPECT_EQ(canvas.Pixel(0, 0), Base);
    EXPECT_EQ(canvas.Pixel(1, 0), Base);
    EXPECT_EQ(canvas.Pixel(2, 0), Untouched);
    EXPECT_EQ(canvas.Pixel(0, 1), Untouched);
}

TEST(ImageEx, BlendsPixelsWithStraightAlphaWhenFlagged) {
    // blue, green, red, alpha: opaque red, half-transparent white, fully transparent green
    const std::uint32_t pixels[3] = {0xFFFF0000, 0x80FFFFFF, 0x0000FF00};
    CImageEx holder;
    Fill32(holder, pixels, 3);
    holder.SetAlphaFlag(true);
    Canvas canvas(4, 2, RGB(0, 0, 0));
    holder.DrawAtOrigin(canvas.dc());
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0)) << Hex(canvas.Pixel(0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(128, 128, 128)) << Hex(canvas.Pixel(1, 0));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 0, 0)) << Hex(canvas.Pixel(2, 0));

    // Without the flag the same pixels are copied as they are.
    holder.SetAlphaFlag(false);
    holder.DrawAtOrigin(canvas.dc());
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 255, 0)) << Hex(canvas.Pixel(2, 0));
}

TEST(ImageEx, PremultipliesColorsByAlphaRoundingDown) {
    const std::uint32_t pixels[2] = {0x80C86432, 0x00FFFFFF}; // (R 200, G 100, B 50) at 128; white at 0
    CImageEx holder;
    Fill32(holder, pixels, 2);
    holder.SetAlphaFlag(true);
    HBITMAP bitmap = holder.CreatePremultipliedBitmap();
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section = {};
    ASSERT_NE(GetObjectW(bitmap, sizeof section, &section), 0);
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    // 50*128/255 = 25.1, 100*128/255 = 50.2, 200*128/255 = 100.4
    EXPECT_EQ(bits[0], 25);
    EXPECT_EQ(bits[1], 50);
    EXPECT_EQ(bits[2], 100);
    EXPECT_EQ(bits[3], 128);
    EXPECT_EQ(bits[4] | bits[5] | bits[6] | bits[7], 0);
    DeleteObject(bitmap);

    CImageEx empty;
    EXPECT_EQ(empty.CreatePremultipliedBitmap(), nullptr);
}

TEST(ImageEx, LeavesTwentyFourBitPixelsUnmultiplied) {
    CImageEx holder;
    holder.FillGradient(5, 3, Base, GradientAlongY);
    holder.SetAlphaFlag(true);
    HBITMAP bitmap = holder.CreatePremultipliedBitmap();
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section = {};
    GetObjectW(bitmap, sizeof section, &section);
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    EXPECT_EQ(bits[0], 234);
    EXPECT_EQ(bits[1], 228);
    EXPECT_EQ(bits[2], 218);
    DeleteObject(bitmap);
}

TEST(ImageEx, DrawsThroughItsMaskWithAndThenOr) {
    // Mask bit 1 (white) keeps the target under the pixel, bit 0 lets the colour in.
    CImageEx holder;
    holder.FillGradient(2, 1, RGB(40, 50, 60), GradientAlongY);
    std::uint8_t* mask = holder.CreateMask(2, 1);
    mask[0] = 0x40; // first pixel 0, second pixel 1
    Canvas canvas(3, 3, RGB(100, 100, 100));
    holder.DrawAtOrigin(canvas.dc());
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(40, 50, 60)) << Hex(canvas.Pixel(0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(100 | 40, 100 | 50, 100 | 60)) << Hex(canvas.Pixel(1, 0));

    canvas.Fill(RGB(100, 100, 100));
    holder.DrawStretched(canvas.dc(), 0, 1, 2, 2);
    EXPECT_EQ(canvas.Pixel(0, 2), RGB(40, 50, 60)) << Hex(canvas.Pixel(0, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(100, 100, 100));
}

} // namespace
