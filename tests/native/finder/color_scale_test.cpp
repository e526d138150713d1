#include "color_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaleColor, RoundsEachChannelStopsAt255AndKeepsTheHighByte) {
    struct Case {
        COLORREF color;
        double factor;
        COLORREF expected;
    } cases[] = {
        {0xFF8080, 1.25, 0xFFA0A0}, {0x01FF8080, 1.25, 0x01FFA0A0}, {0xCCCCCC, 1.25, 0xFFFFFF},
        {0x808080, 0.5, 0x404040},  {0x010101, 1.5, 0x020202},      {0x123456, 1.0, 0x123456},
        {0xCBCBCB, 1.25, 0xFEFEFE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleColor(c.color, c.factor), c.expected) << std::hex << c.color << " x " << c.factor;
    }
}

} // namespace
