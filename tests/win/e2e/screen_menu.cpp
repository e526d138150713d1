#include "screen_menu.h"

#include "finder/framework/gdi_guards.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

// Pixels that stand out from the colour most of the area has: text and marks,
// dark on a light menu or light on a highlighted item alike.
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<bool> set;

    bool At(int x, int y) const { return set[static_cast<std::size_t>(y) * width + x]; }
};

int Distance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8)
        sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

Ink InkOf(const ScreenPixels& pixels) {
    std::map<std::uint32_t, int> counts;
    for (const std::uint32_t pixel : pixels.rgb)
        ++counts[pixel];
    const std::uint32_t background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                         return a.second < b.second;
                                     })->first;
    Ink ink{pixels.width, pixels.height, std::vector<bool>(pixels.rgb.size())};
    for (std::size_t i = 0; i < pixels.rgb.size(); ++i)
        ink.set[i] = Distance(pixels.rgb[i], background) > 3 * 96;
    return ink;
}

// The text drawn here as the menu draws it, cut to its ink.
Ink TextInk(const std::wstring& text) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    ScopedFont font(CreateFontIndirectW(&metrics.lfMenuFont));
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen);
    ScopedSelect selectFont(memory, font);
    SIZE size = {};
    GetTextExtentPoint32W(memory, text.c_str(), static_cast<int>(text.size()), &size);

    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
    void* bits = nullptr;
    ScopedBitmap surface(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScreenPixels drawn;
    {
        ScopedSelect selectSurface(memory, surface);
        RECT all{0, 0, size.cx, size.cy};
        ScopedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
        FillRect(memory, &all, white);
        SetBkMode(memory, TRANSPARENT);
        SetTextColor(memory, RGB(0, 0, 0));
        TextOutW(memory, 0, 0, text.c_str(), static_cast<int>(text.size()));
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        drawn.width = size.cx;
        drawn.height = size.cy;
        drawn.rgb.assign(first, first + static_cast<std::size_t>(size.cx) * size.cy);
        for (std::uint32_t& pixel : drawn.rgb)
            pixel &= 0x00FFFFFF;
    }
    const Ink full = InkOf(drawn);
    int left = full.width, top = full.height, right = -1, bottom = -1;
    for (int y = 0; y < full.height; ++y)
        for (int x = 0; x < full.width; ++x)
            if (full.At(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    Ink cut;
    if (right < 0) return cut;
    cut.width = right - left + 1;
    cut.height = bottom - top + 1;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            cut.set.push_back(full.At(x, y));
    return cut;
}

} // namespace

std::optional<ShownMenuText> FindMenuText(const ScreenPixels& menu, const std::wstring& text) {
    const Ink wanted = TextInk(text);
    const Ink shown = InkOf(menu);
    if (wanted.width == 0 || wanted.width > shown.width || wanted.height > shown.height) return std::nullopt;
    ShownMenuText best{0, 0, 0, 0.0};
    for (int top = 0; top + wanted.height <= shown.height; ++top)
        for (int left = 0; left + wanted.width <= shown.width; ++left) {
            int both = 0, either = 0;
            for (int y = 0; y < wanted.height; ++y)
                for (int x = 0; x < wanted.width; ++x) {
                    const bool a = wanted.At(x, y), b = shown.At(left + x, top + y);
                    both += a && b;
                    either += a || b;
                }
            const double match = either ? static_cast<double>(both) / either : 0.0;
            if (match > best.match) best = ShownMenuText{left, top, top + wanted.height, match};
        }
    if (best.match < 0.9) return std::nullopt;
    return best;
}

bool HasInkInGutter(const ScreenPixels& menu, int top, int bottom, int right) {
    const Ink shown = InkOf(menu);
    for (int y = std::max(top, 0); y < std::min(bottom, shown.height); ++y)
        for (int x = 1; x < std::min(right, shown.width); ++x)
            if (shown.At(x, y)) return true;
    return false;
}
