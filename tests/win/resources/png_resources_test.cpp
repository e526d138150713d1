// The PNG artwork as the windows rely on it: every image present with its size
// and alpha channel, stored as 8 bits per channel, and the shapes the bar, the
// search field and the results popup need for hit-testing, keying and text.
#include "png_decoder.h"
#include "png_table.h"
#include "resource.h"
#include "resource_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// PNG colour types: 2 is RGB, 6 is RGB with alpha.
constexpr int kPngRgb = 2;
constexpr int kPngRgba = 6;

struct PngHeader {
    bool valid = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

PngHeader ReadPngHeader(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngHeader header;
    if (bytes.size() < 33 || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()))
        return header;
    if (!std::equal(bytes.begin() + 12, bytes.begin() + 16, "IHDR")) return header;
    header.valid = true;
    header.width = BigEndian32(&bytes[16]);
    header.height = BigEndian32(&bytes[20]);
    header.bitDepth = bytes[24];
    header.colourType = bytes[25];
    return header;
}

DecodedPng Decode(WORD id) {
    std::optional<DecodedPng> image = DecodePng(ResourceBytes(L"PNG", id));
    return image ? *image : DecodedPng{};
}

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(
            static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

bool IsBlue(const DecodedPng& image, int x, int y) {
    return image.Blue(x, y) >= image.Red(x, y) + 20 && image.Blue(x, y) >= image.Green(x, y);
}

bool IsLight(const DecodedPng& image, int x, int y) {
    return std::min({image.Red(x, y), image.Green(x, y), image.Blue(x, y)}) >= 230;
}

} // namespace

TEST(PngResources, EachIsAn8BitPngOfItsSizeWithOrWithoutAlpha) {
    for (const PngFacts& facts : kImages) {
        SCOPED_TRACE(facts.id);
        std::span<const std::uint8_t> bytes = ResourceBytes(L"PNG", facts.id);
        PngHeader header = ReadPngHeader(bytes);
        ASSERT_TRUE(header.valid);
        EXPECT_EQ(header.width, static_cast<std::uint32_t>(facts.width));
        EXPECT_EQ(header.height, static_cast<std::uint32_t>(facts.height));
        EXPECT_EQ(header.bitDepth, 8);
        EXPECT_EQ(header.colourType, facts.alpha ? kPngRgba : kPngRgb);

        std::optional<DecodedPng> decoded = DecodePng(bytes);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->width, facts.width);
        EXPECT_EQ(decoded->height, facts.height);
    }
}

TEST(PngResources, ExactlyTheImagesTheWindowsUseAreShipped) {
    std::vector<WORD> shipped;
    EnumResourceNamesW(GetModuleHandleW(nullptr), L"PNG", CollectId, reinterpret_cast<LONG_PTR>(&shipped));
    std::vector<WORD> expected;
    for (const PngFacts& facts : kImages)
        expected.push_back(facts.id);
    std::sort(shipped.begin(), shipped.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shipped, expected);
}

TEST(PngResources, BarMagnifierIsOpaqueAndItsOutlineIsShaped) {
    DecodedPng bar = Decode(IDB_PNG_BAR);
    ASSERT_EQ(bar.width, 112);
    // A press anywhere on the magnifier must reach the bar: a transparent pixel
    // there would let the click fall through to the window below.
    for (int y = 6; y < 30; ++y)
        for (int x = 82; x < 110; ++x)
            ASSERT_EQ(bar.Alpha(x, y), 255) << x << "," << y;
    for (auto [x, y] : {POINT{0, 0}, POINT{111, 0}, POINT{0, 30}, POINT{111, 30}})
        EXPECT_EQ(bar.Alpha(x, y), 0) << x << "," << y;
    // The logo rises above the body: its top row is opaque where the body's is not.
    EXPECT_EQ(bar.Alpha(15, 1), 255);
    for (int x = 40; x < 112; ++x)
        EXPECT_EQ(bar.Alpha(x, 1), 0) << x;
}

TEST(PngResources, FieldIsOpaqueOrKeyedAndItsArrowSitsOnTheCloseRectangle) {
    constexpr std::uint32_t kKeyRgb = 0xFF00FF;
    DecodedPng field = Decode(IDB_PNG_FIELD);
    ASSERT_EQ(field.width, 179);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            const std::uint32_t rgb = field.At(x, y) & 0xFFFFFF;
            if (y < 6) {
                ASSERT_EQ(field.Alpha(x, y), 0) << x << "," << y;
                ASSERT_EQ(rgb, kKeyRgb) << x << "," << y;
            } else {
                ASSERT_EQ(field.Alpha(x, y), 255) << x << "," << y;
                ASSERT_NE(rgb, kKeyRgb) << x << "," << y; // it would turn see-through
            }
        }
    }
    // The arrow is the only light drawing right of the entry area, and it lies
    // inside the rectangle that closes the field, (167, 5)-(178, 30).
    int arrowPixels = 0;
    for (int y = 6; y < field.height; ++y) {
        for (int x = 165; x < field.width; ++x) {
            if (!IsLight(field, x, y)) continue;
            ++arrowPixels;
            EXPECT_TRUE(x >= 167 && x < 178 && y < 30) << x << "," << y;
        }
    }
    EXPECT_GT(arrowPixels, 8);
}

TEST(PngResources, PopupBackgroundHasBlueBandsALightBodyAndTransparentCorners) {
    DecodedPng popup = Decode(IDB_PNG_RESULTS);
    ASSERT_EQ(popup.width, 493);
    int seeThrough = 0;
    for (int y = 0; y < popup.height; ++y) {
        for (int x = 0; x < popup.width; ++x) {
            if (popup.Alpha(x, y) == 255) continue;
            ++seeThrough;
            EXPECT_EQ(popup.At(x, y), 0x00FFFFFFu) << x << "," << y; // transparent white
            EXPECT_TRUE(std::min(x, popup.width - 1 - x) < 5 && std::min(y, popup.height - 1 - y) < 5)
                << x << "," << y << " is not in a corner";
        }
    }
    EXPECT_EQ(seeThrough, 41);
    for (int x = 30; x < 460; x += 43) {
        for (int y = 1; y < 27; ++y)
            EXPECT_TRUE(IsBlue(popup, x, y)) << "title band " << x << "," << y;
        for (int y = 28; y < 386; y += 7)
            EXPECT_TRUE(IsLight(popup, x, y)) << "body " << x << "," << y;
        for (int y = 388; y < 439; ++y)
            EXPECT_TRUE(IsBlue(popup, x, y)) << "footer " << x << "," << y;
    }
}

TEST(PngResources, ButtonFacesBlendIntoTheBackgroundUnderThem) {
    // Faces without alpha are copied over the window's background as they are, so
    // their corners must carry the background's own pixels at the place the window
    // puts them. The learn-more button's place comes from template 317 (213, 113)
    // in dialog units of the 8-point dialog font.
    struct Placement {
        WORD face;
        WORD background;
        POINT at;
    };
    constexpr Placement kPlacements[] = {
        {IDB_PNG_WEB_SEARCH, IDB_PNG_RESULTS, {5, 390}},
        {IDB_PNG_CLOSE_NORMAL, IDB_PNG_RESULTS, {465, 3}},
        {IDB_PNG_CLOSE_PRESSED, IDB_PNG_RESULTS, {465, 3}},
        {IDB_PNG_CLOSE_HOVER, IDB_PNG_RESULTS, {465, 3}},
        {IDB_PNG_ABOUT_LINK, IDB_PNG_RESULTS, {380, 420}},
        {IDB_PNG_ABOUT_LINK_HOVER, IDB_PNG_RESULTS, {380, 420}},
        {IDB_PNG_ABOUT_CLOSE, IDB_PNG_ABOUT_BACKGROUND, {556, 2}},
        {IDB_PNG_ABOUT_CLOSE_HOVER, IDB_PNG_ABOUT_BACKGROUND, {556, 2}},
        {IDB_PNG_LEARN_MORE, IDB_PNG_ABOUT_BACKGROUND, {320, 184}},
        {IDB_PNG_LEARN_MORE_HOVER, IDB_PNG_ABOUT_BACKGROUND, {320, 184}},
    };
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(placement.face);
        DecodedPng face = Decode(placement.face);
        DecodedPng background = Decode(placement.background);
        ASSERT_GT(face.width, 0);
        ASSERT_LE(placement.at.x + face.width, background.width);
        ASSERT_LE(placement.at.y + face.height, background.height);
        for (auto [x, y] : {POINT{0, 0}, POINT{face.width - 1, 0}, POINT{0, face.height - 1},
                            POINT{face.width - 1, face.height - 1}})
            EXPECT_EQ(face.At(x, y) & 0xFFFFFF,
                      background.At(placement.at.x + x, placement.at.y + y) & 0xFFFFFF)
                << x << "," << y;
    }
}
