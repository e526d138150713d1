#include "image_ex.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

using Rgb = std::array<int, 3>; // red, green, blue as a reader says them

Rgb PixelAt(const CImageEx& image, int column, int rowInMemory) {
    const DibHeader* header = image.Header();
    const std::uint8_t* pixel = image.Pixels() +
                                rowInMemory * DibRowStride(static_cast<std::uint32_t>(header->biWidth), 24) +
                                column * 3;
    return {pixel[2], pixel[1], pixel[0]};
}

constexpr COLORREF ButtonBase = RGB(218, 228, 234);

TEST(FillGradient, WritesAPackedTwentyFourBitHeader) {
    CImageEx image;
    image.CreateDib(5, 2, 32);
    image.SetAlphaFlag(true);
    image.FillGradient(5, 3, ButtonBase, GradientAlongY);
    const DibHeader* header = image.Header();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, 5);
    EXPECT_EQ(header->biHeight, 3);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biCompression, 0u);
    EXPECT_EQ(header->biSizeImage, 16u * 3u);
    EXPECT_EQ(header->biXPelsPerMeter | header->biYPelsPerMeter, 0);
    EXPECT_EQ(header->biClrUsed | header->biClrImportant, 0u);
    EXPECT_TRUE(image.HasBitmap());
}

TEST(FillGradient, StepsRowsFromTheBaseAtTheBottomTowardGray248) {
    struct Case {
        int height;
        COLORREF base;
        std::vector<std::pair<int, Rgb>> rows; // row in memory (0 is the bottom) and its colour
    } cases[] = {
        {25,
         ButtonBase,
         {{0, {218, 228, 234}},
          {1, {219, 229, 235}},
          {2, {220, 230, 235}},
          {3, {222, 230, 236}},
          {24, {247, 247, 247}}}},
        {1, ButtonBase, {{0, {218, 228, 234}}}},
        {2, ButtonBase, {{0, {218, 228, 234}}, {1, {233, 238, 241}}}},
        // a channel above 248 steps down toward it
        {7, RGB(255, 0, 248), {{0, {255, 0, 248}}, {1, {254, 35, 248}}, {6, {249, 213, 248}}}},
    };
    for (const Case& c : cases) {
        CImageEx image;
        image.FillGradient(2, c.height, c.base, GradientAlongY);
        for (const auto& [row, rgb] : c.rows) {
            EXPECT_EQ(PixelAt(image, 0, row), rgb) << "height " << c.height << " row " << row;
            EXPECT_EQ(PixelAt(image, 1, row), rgb) << "height " << c.height << " row " << row;
        }
    }
}

TEST(FillGradient, StepsColumnsFromTheBaseAtTheRightAndLeavesAlignmentBytesZero) {
    CImageEx image;
    image.CreateDib(3, 2, 24);
    std::memset(image.Pixels(), 0xAA, 2 * 12 + 4);
    image.FillGradient(3, 2, ButtonBase, GradientAlongX);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(PixelAt(image, 0, row), (Rgb{238, 241, 243}));
        EXPECT_EQ(PixelAt(image, 1, row), (Rgb{228, 235, 239}));
        EXPECT_EQ(PixelAt(image, 2, row), (Rgb{218, 228, 234}));
        const std::uint8_t* padding = image.Pixels() + row * 12 + 9;
        EXPECT_EQ(padding[0] | padding[1] | padding[2], 0) << "row " << row;
    }
    const std::uint8_t* spare = image.Pixels() + 24;
    EXPECT_EQ(spare[0] | spare[1] | spare[2] | spare[3], 0);
}

TEST(FillGradient, RowStoresOverhangByOneByteIntoTheSpareBytes) {
    // Width 4 fills its 12-byte rows exactly, so the last 32-bit store of the
    // last row lands one byte into the spare bytes and no further.
    CImageEx image;
    image.CreateDib(4, 1, 24);
    std::memset(image.Pixels(), 0xAA, 12 + 4);
    image.FillGradient(4, 1, ButtonBase, GradientAlongY);
    EXPECT_EQ(PixelAt(image, 3, 0), (Rgb{218, 228, 234}));
    const std::uint8_t* spare = image.Pixels() + 12;
    EXPECT_EQ(spare[0], 0);
    EXPECT_EQ(spare[1], 0xAA);
    EXPECT_EQ(spare[3], 0xAA);
}

TEST(FillGradient, LeavesPixelsAloneForAnUnknownDirection) {
    CImageEx image;
    image.CreateDib(2, 1, 24);
    std::memset(image.Pixels(), 0x5A, 8);
    image.FillGradient(2, 1, ButtonBase, 2);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgb{0x5A, 0x5A, 0x5A}));
    EXPECT_TRUE(image.HasBitmap());
}

TEST(ImageEx, HasABitmapOnlyWithBothSidesNonZero) {
    struct Case {
        int width, height, direction;
        bool hasBitmap;
    } cases[] = {
        {0, 5, GradientAlongX, false}, {5, 0, GradientAlongY, false},  {0, 0, GradientAlongY, false},
        {1, 1, GradientAlongX, true},  {-3, 5, GradientAlongY, false},
    };
    for (const Case& c : cases) {
        CImageEx image;
        image.FillGradient(c.width, c.height, ButtonBase, c.direction);
        EXPECT_EQ(image.HasBitmap(), c.hasBitmap) << c.width << " x " << c.height;
    }
    CImageEx empty;
    EXPECT_FALSE(empty.HasBitmap());
    empty.FillGradient(3, 3, ButtonBase, GradientAlongY);
    empty.FreeDib();
    EXPECT_FALSE(empty.HasBitmap());
    EXPECT_EQ(empty.m_pDib, nullptr);
}

TEST(ImageEx, BuildsAMonochromeMaskWithABlackAndWhiteTable) {
    CImageEx image;
    std::uint8_t* rows = image.CreateMask(9, 2);
    ASSERT_NE(rows, nullptr);
    const auto* header = reinterpret_cast<const DibHeader*>(image.m_pMask);
    EXPECT_EQ(header->biBitCount, 1);
    EXPECT_EQ(header->biSizeImage, 8u); // two rows of 9 bits, each padded to 4 bytes
    EXPECT_EQ(rows - image.m_pMask, 48);
    const std::uint8_t table[8] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
    EXPECT_EQ(std::memcmp(image.m_pMask + 40, table, 8), 0);
}

} // namespace
