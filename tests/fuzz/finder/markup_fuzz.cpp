// Lays out arbitrary UTF-16 text as markup on a measuring surface. The text
// lives in a buffer of exactly its length, so a read past the end is an
// AddressSanitizer report; the font cache index must stay below its size.
#include "markup_layout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

class MeasuringSurface final : public MarkupSurface {
public:
    void SelectStyle(unsigned style) override
    {
        if (style >= MarkupStyleCount) std::abort();
        style_ = style;
    }
    MarkupExtent MeasureRun(const wchar_t* text, int count) override
    {
        int width = 0;
        for (int i = 0; i < count; ++i) width += 5 + static_cast<int>(text[i] % 7) + (style_ & 1);
        return {width, 13};
    }
    void DrawRun(const wchar_t*, int, const MarkupLineBox&, unsigned) override {}
    COLORREF GetTextColor() override { return color_; }
    void SetTextColor(COLORREF color) override { color_ = color; }

private:
    unsigned style_ = 0;
    COLORREF color_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    // The first byte picks the format flags; the rest is UTF-16 text.
    const unsigned format = data[0] & (MarkupFormatCenter | MarkupFormatWordBreak | MarkupFormatSingleLine |
                                       MarkupFormatCalcRect | MarkupFormatNoPrefix);
    const size_t count = (size - 1) / 2;
    std::vector<wchar_t> text(count);
    for (size_t i = 0; i < count; ++i) text[i] = static_cast<wchar_t>(data[1 + 2 * i] | (data[2 + 2 * i] << 8));
    MeasuringSurface surface;
    LayOutMarkup(surface, text.data(), static_cast<int>(count), 0, 0, 120, format);
    return 0;
}
