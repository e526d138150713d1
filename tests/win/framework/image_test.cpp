// CImage: decoding PNGs into bottom-up DIB sections with straight colours,
// and drawing them with or without per-pixel alpha.
#include "finder/framework/image.h"

#include "finder/framework/com_ref.h"
#include "pixel_canvas.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>

namespace {

// 3 x 2 pixels, 8 bits per channel, made byte by byte (no encoder involved).
// Rows, as red, green, blue, alpha:
//   (200,100,50,255) (255,255,255,0) (40,80,120,51)
//   (10,20,30,255)   (0,0,0,0)       (250,5,128,204)
const unsigned char kRgbaPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x9d,
    0x74, 0x66, 0x1a, 0x00, 0x00, 0x00, 0x1f, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x38,
    0x91, 0x62, 0xf4, 0x1f, 0x08, 0x18, 0x34, 0x02, 0x2a, 0x8c, 0x19, 0xb8, 0x44, 0xe4, 0xfe,
    0x33, 0x00, 0xc1, 0x2f, 0xd6, 0x86, 0x33, 0x00, 0x95, 0xe2, 0x0a, 0x04, 0x79, 0x94, 0x40,
    0x92, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

// The same colours without alpha.
const unsigned char kRgbPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0x12, 0x16, 0xf1, 0x4d, 0x00,
    0x00, 0x00, 0x1c, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x38, 0x91, 0x62, 0xf4, 0xff, 0xff, 0x7f,
    0x8d, 0x80, 0x0a, 0x06, 0x2e, 0x11, 0x39, 0x06, 0x06, 0x86, 0x5f, 0xac, 0x0d, 0x00, 0x56, 0x4d, 0x07,
    0x07, 0x5e, 0x64, 0xf8, 0x63, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

struct Rgba {
    int r, g, b, a;
};
const Rgba kPixels[2][3] = {{{200, 100, 50, 255}, {255, 255, 255, 0}, {40, 80, 120, 51}},
                            {{10, 20, 30, 255}, {0, 0, 0, 0}, {250, 5, 128, 204}}};

ComRef<IStream> StreamOver(const unsigned char* bytes, size_t size) {
    return ComRef<IStream>(SHCreateMemStream(bytes, static_cast<UINT>(size)));
}

HRESULT LoadBytes(CImage& image, const unsigned char* bytes, size_t size) {
    ComRef<IStream> stream = StreamOver(bytes, size);
    return stream ? image.Load(stream.Get()) : E_OUTOFMEMORY;
}

uint32_t Dib(int r, int g, int b, int a = 0) {
    return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// The blend rule for colours taken as premultiplied, limited to 255.
int Blend(int source, int destination, int alpha) {
    return std::min(255, source + destination * (255 - alpha) / 255);
}

} // namespace

TEST(ImageDecode, PngWithAlphaBecomes32BitBottomUpStraightBgra) {
    CImage image;
    ASSERT_EQ(LoadBytes(image, kRgbaPng, sizeof kRgbaPng), S_OK);
    EXPECT_FALSE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetBPP(), 32);
    EXPECT_EQ(image.GetPitch(), -12);
    EXPECT_TRUE(image.HasAlphaChannel());

    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            auto* p = static_cast<const unsigned char*>(image.GetPixelAddress(x, y));
            const Rgba& want = kPixels[y][x];
            EXPECT_EQ(p[0], want.b) << x << "," << y;
            EXPECT_EQ(p[1], want.g) << x << "," << y;
            EXPECT_EQ(p[2], want.r) << x << "," << y;
            EXPECT_EQ(p[3], want.a) << x << "," << y;
        }

    // Bottom-up in memory: the bitmap's first bytes are the bottom row.
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(static_cast<HBITMAP>(image), sizeof section, &section),
              static_cast<int>(sizeof section));
    EXPECT_GT(section.dsBmih.biHeight, 0);
    EXPECT_EQ(static_cast<unsigned char*>(section.dsBm.bmBits),
              static_cast<unsigned char*>(image.GetBits()) - 12);
}

TEST(ImageDecode, PngWithoutAlphaBecomes24BitWithAlignedRows) {
    CImage image;
    ASSERT_EQ(LoadBytes(image, kRgbPng, sizeof kRgbPng), S_OK);
    EXPECT_EQ(image.GetBPP(), 24);
    EXPECT_EQ(image.GetPitch(), -12); // 9 bytes of pixels, padded to a multiple of 4
    EXPECT_FALSE(image.HasAlphaChannel());
    auto* p = static_cast<const unsigned char*>(image.GetPixelAddress(2, 1));
    EXPECT_EQ(p[0], 128);
    EXPECT_EQ(p[1], 5);
    EXPECT_EQ(p[2], 250);
}

TEST(ImageDecode, BytesThatAreNoImageLeaveItEmpty) {
    const unsigned char truncated[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00};
    CImage image;
    ASSERT_EQ(LoadBytes(image, kRgbaPng, sizeof kRgbaPng), S_OK);
    EXPECT_NE(LoadBytes(image, truncated, sizeof truncated), S_OK);
    EXPECT_TRUE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_FALSE(image.HasAlphaChannel());
    EXPECT_FALSE(image.Draw(ScopedWindowDC(nullptr), 0, 0));
    EXPECT_EQ(image.Load(nullptr), E_POINTER);
}

TEST(ImageDecode, DestroyEmptiesAndReloadWorksAfterTheLastImageWent) {
    {
        CImage first;
        ASSERT_EQ(LoadBytes(first, kRgbaPng, sizeof kRgbaPng), S_OK);
        first.Destroy();
        EXPECT_TRUE(first.IsNull());
        EXPECT_EQ(first.GetBPP(), 0);
    }
    // The last image is gone, so GDI+ was shut down; a new decode starts it again.
    CImage second;
    EXPECT_EQ(LoadBytes(second, kRgbPng, sizeof kRgbPng), S_OK);
    EXPECT_EQ(second.GetWidth(), 3);
}

struct DrawCase {
    const char* name;
    uint32_t background;
};

class ImageDraw : public testing::TestWithParam<DrawCase> {};

TEST_P(ImageDraw, AlphaImageBlendsStraightColoursAsPremultiplied) {
    CImage image;
    ASSERT_EQ(LoadBytes(image, kRgbaPng, sizeof kRgbaPng), S_OK);
    PixelCanvas canvas(6, 5);
    ASSERT_TRUE(canvas.Valid());
    canvas.Fill(GetParam().background);
    ASSERT_TRUE(image.Draw(canvas.Dc(), 2, 1));

    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const Rgba& s = kPixels[y][x];
            const uint32_t got = canvas.At(2 + x, 1 + y);
            const uint32_t bg = GetParam().background;
            EXPECT_EQ(Channel(got, 16), Blend(s.r, Channel(bg, 16), s.a)) << "red at " << x << "," << y;
            EXPECT_EQ(Channel(got, 8), Blend(s.g, Channel(bg, 8), s.a)) << "green at " << x << "," << y;
            EXPECT_EQ(Channel(got, 0), Blend(s.b, Channel(bg, 0), s.a)) << "blue at " << x << "," << y;
        }
    // Nothing outside the image's own rectangle changes.
    EXPECT_EQ(canvas.At(1, 1) & 0xFFFFFF, GetParam().background & 0xFFFFFF);
    EXPECT_EQ(canvas.At(5, 3) & 0xFFFFFF, GetParam().background & 0xFFFFFF);
}

// A window repainting a small area blends only what its clip box lets through,
// each pixel of it exactly as an unclipped draw would.
TEST_P(ImageDraw, AlphaImageBlendsOnlyInsideTheClipBox) {
    CImage image;
    ASSERT_EQ(LoadBytes(image, kRgbaPng, sizeof kRgbaPng), S_OK);
    PixelCanvas canvas(6, 5);
    ASSERT_TRUE(canvas.Valid());
    canvas.Fill(GetParam().background);
    ScopedRegion clip(CreateRectRgn(3, 2, 6, 5)); // the image's second row, from its second column
    SelectClipRgn(canvas.Dc(), clip);
    ASSERT_TRUE(image.Draw(canvas.Dc(), 2, 1));

    const uint32_t bg = GetParam().background;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint32_t got = canvas.At(2 + x, 1 + y);
            if (y == 1 && x >= 1) {
                const Rgba& s = kPixels[y][x];
                EXPECT_EQ(Channel(got, 16), Blend(s.r, Channel(bg, 16), s.a)) << "red at " << x << "," << y;
                EXPECT_EQ(Channel(got, 8), Blend(s.g, Channel(bg, 8), s.a)) << "green at " << x << "," << y;
                EXPECT_EQ(Channel(got, 0), Blend(s.b, Channel(bg, 0), s.a)) << "blue at " << x << "," << y;
            } else {
                EXPECT_EQ(got & 0xFFFFFF, bg & 0xFFFFFF) << "outside the clip at " << x << "," << y;
            }
        }
    // A clip that misses the image draws nothing and is no failure.
    ScopedRegion elsewhere(CreateRectRgn(0, 0, 1, 1));
    SelectClipRgn(canvas.Dc(), elsewhere);
    EXPECT_TRUE(image.Draw(canvas.Dc(), 2, 1));
}

TEST_P(ImageDraw, ImageWithoutAlphaIsCopied) {
    CImage image;
    ASSERT_EQ(LoadBytes(image, kRgbPng, sizeof kRgbPng), S_OK);
    PixelCanvas canvas(6, 5);
    ASSERT_TRUE(canvas.Valid());
    canvas.Fill(GetParam().background);
    ASSERT_TRUE(image.Draw(canvas.Dc(), 2, 1));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const Rgba& s = kPixels[y][x];
            EXPECT_EQ(canvas.At(2 + x, 1 + y) & 0xFFFFFF, Dib(s.r, s.g, s.b)) << x << "," << y;
        }
    EXPECT_EQ(canvas.At(5, 4) & 0xFFFFFF, GetParam().background & 0xFFFFFF);
}

// Channels of 0 and 255 make the division exact, so the rule has one answer.
INSTANTIATE_TEST_SUITE_P(Backgrounds, ImageDraw,
                         testing::Values(DrawCase{"White", Dib(255, 255, 255)},
                                         DrawCase{"Black", Dib(0, 0, 0)}, DrawCase{"Blue", Dib(0, 0, 255)}),
                         [](const testing::TestParamInfo<DrawCase>& info) {
                             return std::string(info.param.name);
                         });
