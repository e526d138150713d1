// Line layout of markup text, written against a small surface so that the
// rules run natively with a fake measurer as well as on a device context.
#pragma once

#include "color_types.h"

// Style bits; they index the per-call font cache, so they must stay below 32.
enum MarkupStyle : unsigned {
    MarkupStyleBold = 0x01,
    MarkupStyleItalic = 0x02,
    MarkupStyleUnderline = 0x04,
    MarkupStyleSuperscript = 0x08,
    MarkupStyleSubscript = 0x10,
};
constexpr unsigned MarkupStyleCount = 32;

// Text format bits with the meaning of the platform's DrawTextW flags.
enum MarkupFormat : unsigned {
    MarkupFormatCenter = 0x0001,
    MarkupFormatRight = 0x0002,
    MarkupFormatBottom = 0x0008,
    MarkupFormatWordBreak = 0x0010,
    MarkupFormatSingleLine = 0x0020,
    MarkupFormatTabStop = 0x0080,
    MarkupFormatCalcRect = 0x0400,
    MarkupFormatNoPrefix = 0x0800,
};

struct MarkupExtent {
    int width;
    int height;
};

struct MarkupLineBox {
    int left;
    int top;
    int right;
    int bottom;
};

// What the layout needs from a drawing target. A call starts with the base
// font selected; SelectStyle switches to the font of a style combination.
class MarkupSurface {
public:
    virtual ~MarkupSurface() = default;
    virtual void SelectStyle(unsigned style) = 0;
    virtual MarkupExtent MeasureRun(const wchar_t* text, int count) = 0;
    virtual void DrawRun(const wchar_t* text, int count, const MarkupLineBox& box, unsigned format) = 0;
    virtual COLORREF GetTextColor() = 0;
    virtual void SetTextColor(COLORREF color) = 0;
};

struct MarkupLayoutResult {
    int y;          // top of the last line, from the top of the first
    int largestX;   // widest line, leading space included
    int lineHeight; // height of one line in the base font
};

// The colours that closing "font" tags restore. One stack serves the whole
// process: each layout resets its depth but keeps its entries, so a closing
// tag on an empty stack brings back the bottom entry of an earlier call.
struct MarkupColorStack {
    static constexpr int Capacity = 8;
    COLORREF colors[Capacity];
    int depth;
};
extern MarkupColorStack g_markupColorStack;

// Lays out `count` characters of `text` from (left, top) over `availableWidth`,
// drawing each run on `surface` unless `format` has MarkupFormatCalcRect.
// With a negative `top` lines go downward as y decreases (mapping modes whose
// y axis points up).
MarkupLayoutResult LayOutMarkup(MarkupSurface& surface, const wchar_t* text, int count, int left, int top,
                                int availableWidth, unsigned format);

// The format that runs are drawn with: alignment and tab expansion are not
// supported, and '&' is never a prefix.
unsigned AdjustMarkupFormat(unsigned format);
