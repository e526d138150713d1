// Every PNG resource decoded by the image class the popup, the About window and
// the skinned controls draw with: the size and pixel format they size windows by.
#include "finder/framework/image.h"
#include "png_table.h"
#include "resource_bytes.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct StreamRelease {
    void operator()(IStream* stream) const { stream->Release(); }
};

} // namespace

TEST(ImageClass, LoadsEachPngResourceWithItsSizeAndAlpha) {
    for (const PngFacts& facts : kImages) {
        SCOPED_TRACE(facts.id);
        std::span<const std::uint8_t> bytes = ResourceBytes(L"PNG", facts.id);
        ASSERT_FALSE(bytes.empty());
        std::unique_ptr<IStream, StreamRelease> stream(
            SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
        ASSERT_TRUE(stream);
        CImage image;
        ASSERT_EQ(image.Load(stream.get()), S_OK);
        ASSERT_FALSE(image.IsNull());
        EXPECT_EQ(image.GetWidth(), facts.width);
        EXPECT_EQ(image.GetHeight(), facts.height);
        EXPECT_EQ(image.GetBPP(), facts.alpha ? 32 : 24);
        EXPECT_EQ(image.HasAlphaChannel(), facts.alpha);
    }
}
