#include "finder/controls/markup_text.h"

#include "finder/framework/gdi_guards.h"

#include <cwchar>

namespace {

// Fonts of the style combinations met during one call. Slot 0 is the caller's
// font and is never deleted; the others are made on first use.
class MarkupFontCache {
public:
    explicit MarkupFontCache(HFONT baseFont) { fonts_[0] = baseFont; }
    MarkupFontCache(const MarkupFontCache&) = delete;
    MarkupFontCache& operator=(const MarkupFontCache&) = delete;
    ~MarkupFontCache() {
        for (unsigned style = 1; style < MarkupStyleCount; ++style) {
            if (fonts_[style]) DeleteObject(fonts_[style]);
        }
    }

    // The font for `style`, made now when missing; null when it cannot be
    // made (then asked for again the next time).
    HFONT FontFor(unsigned style, HDC dc) {
        if (!fonts_[style]) fonts_[style] = CreateStyledFont(style, dc, fonts_[0]);
        return fonts_[style];
    }

private:
    HFONT fonts_[MarkupStyleCount] = {};
};

class DeviceContextSurface : public MarkupSurface {
public:
    DeviceContextSurface(HDC dc, MarkupFontCache& fonts) : dc_(dc), fonts_(fonts) {}

    // A font that cannot be made leaves the stock font that CreateStyledFont
    // selected, and the runs of that style are drawn in it.
    void SelectStyle(unsigned style) override {
        if (HFONT font = fonts_.FontFor(style, dc_)) SelectObject(dc_, font);
    }
    MarkupExtent MeasureRun(const wchar_t* text, int count) override {
        SIZE size = {};
        GetTextExtentPoint32W(dc_, text, count, &size);
        return {size.cx, size.cy};
    }
    void DrawRun(const wchar_t* text, int count, const MarkupLineBox& box, unsigned format) override {
        RECT rect = {box.left, box.top, box.right, box.bottom};
        DrawTextW(dc_, text, count, &rect, format);
    }
    COLORREF GetTextColor() override { return ::GetTextColor(dc_); }
    void SetTextColor(COLORREF color) override { ::SetTextColor(dc_, color); }

private:
    HDC dc_;
    MarkupFontCache& fonts_;
};

struct MarkupOrigin {
    int left;
    int top;
    int width;
};

MarkupOrigin OriginFor(HDC dc, const RECT* box) {
    if (box) return {box->left, box->top, box->right - box->left};
    POINT position = {};
    GetCurrentPositionEx(dc, &position);
    return {position.x, position.y, GetDeviceCaps(dc, HORZRES) - position.x};
}

// Selecting any font hands back the one that was selected.
HFONT CurrentFont(HDC dc) {
    HGDIOBJ current = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(dc, current);
    return static_cast<HFONT>(current);
}

} // namespace

HFONT CreateStyledFont(unsigned style, HDC dc, HFONT baseFont) {
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    LOGFONTW description = {};
    if (GetObjectW(baseFont, sizeof description, &description) == 0) return nullptr;
    description.lfWeight = (style & MarkupStyleBold) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & MarkupStyleItalic) ? TRUE : FALSE;
    description.lfUnderline = (style & MarkupStyleUnderline) ? TRUE : FALSE;
    if (style & (MarkupStyleSuperscript | MarkupStyleSubscript)) {
        description.lfHeight = description.lfHeight * 7 / 10;
    }
    return CreateFontIndirectW(&description);
}

int DrawMarkupText(HDC dc, LPCWSTR text, int count, LPRECT box, UINT format) {
    if (!dc || !text) return 0;
    if (count < 0) count = static_cast<int>(std::wcslen(text));
    const MarkupOrigin origin = OriginFor(dc, box);

    MarkupLayoutResult result = {};
    {
        // The fonts are deleted only after RestoreDC has put the base font back.
        MarkupFontCache fonts(CurrentFont(dc));
        ScopedSaveDC saved(dc);
        DeviceContextSurface surface(dc, fonts);
        result = LayOutMarkup(surface, text, count, origin.left, origin.top, origin.width, format);
    }
    if ((format & DT_CALCRECT) && box) {
        box->right = box->left + result.largestX;
        box->bottom =
            box->top < 0 ? box->top - result.y - result.lineHeight : box->top + result.y + result.lineHeight;
    }
    return result.y;
}
