#include "markup_layout.h"

#include "markup_tokenizer.h"

#include <algorithm>

MarkupColorStack g_markupColorStack = {};

namespace {

// Any character of full height serves; this one is what the line height has
// always been measured with, NUL included, so keep it for identical metrics.
constexpr wchar_t LineHeightSample[2] = {L'\x822E', L'\0'};
constexpr wchar_t Space[1] = {L' '};

unsigned StyleBitForKind(int kind) {
    switch (kind) {
    case MarkupBold: return MarkupStyleBold;
    case MarkupItalic: return MarkupStyleItalic;
    case MarkupUnderline: return MarkupStyleUnderline;
    case MarkupSuperscript: return MarkupStyleSuperscript;
    case MarkupSubscript: return MarkupStyleSubscript;
    default: return 0;
    }
}

bool EqualsFoldedAscii(const wchar_t* text, const wchar_t* lowerName, int count) {
    for (int i = 0; i < count; ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != lowerName[i]) return false;
    }
    return true;
}

class MarkupLayout {
public:
    MarkupLayout(MarkupSurface& surface, const wchar_t* text, int count, int left, int top, int width,
                 unsigned format)
        : surface_(surface), text_(text), end_(text + count), left_(left), top_(top), available_(width),
          format_(format) {}

    MarkupLayoutResult Run() {
        lineHeight_ = surface_.MeasureRun(LineHeightSample, 2).height;
        g_markupColorStack.depth = 0;
        const wchar_t* pos = text_;
        int remaining = static_cast<int>(end_ - text_);
        int length = 0;
        for (;;) {
            const int token = NextMarkupToken(pos, remaining, length, &pendingSpace_);
            if (token == MarkupNoToken) break;
            Apply(token, pos, length);
            pos += length;
        }
        return {y_, largestX_, lineHeight_};
    }

private:
    void Apply(int token, const wchar_t* pos, int length) {
        const bool closing = (token & MarkupClosingTag) != 0;
        const int kind = token & 0xFF;
        if (const unsigned bit = StyleBitForKind(kind)) {
            style_ = closing ? (style_ & ~bit) : (style_ | bit);
        } else if (kind == MarkupLineBreak) {
            if (!closing && !SingleLine()) NewLine();
        } else if (kind == MarkupParagraph) {
            if (!closing) StartParagraph(pos);
        } else if (kind == MarkupFontColor) {
            closing ? PopColor() : PushColor(pos);
        } else if (!closing) {
            PlaceRun(pos, length);
        }
    }

    bool SingleLine() const { return (format_ & MarkupFormatSingleLine) != 0; }

    void NewLine() {
        x_ = 0;
        y_ += lineHeight_;
    }

    void StartParagraph(const wchar_t* pos) {
        if (!SingleLine()) {
            if (pos != text_) y_ += lineHeight_ * 3 / 2;
            x_ = 0;
        }
    }

    // The attribute must follow "<font" after exactly one character; the
    // value starts right after "color=".
    void PushColor(const wchar_t* tag) {
        constexpr int AttributeAt = 6;
        constexpr int AttributeLength = 6;
        if (end_ - tag < AttributeAt + AttributeLength) return;
        if (!EqualsFoldedAscii(tag + AttributeAt, L"color=", AttributeLength)) return;
        const wchar_t* value = tag + AttributeAt + AttributeLength;
        const COLORREF color = ParseMarkupColor(value, static_cast<std::size_t>(end_ - value));
        MarkupColorStack& stack = g_markupColorStack;
        if (stack.depth < MarkupColorStack::Capacity) stack.colors[stack.depth++] = surface_.GetTextColor();
        surface_.SetTextColor(color);
    }

    void PopColor() {
        MarkupColorStack& stack = g_markupColorStack;
        if (stack.depth > 0) {
            surface_.SetTextColor(stack.colors[--stack.depth]);
        } else {
            surface_.SetTextColor(stack.colors[0]);
        }
    }

    void PlaceRun(const wchar_t* run, int length) {
        if (static_cast<int>(style_) != selectedStyle_) {
            surface_.SelectStyle(style_);
            selectedStyle_ = static_cast<int>(style_);
            spaceWidth_ = surface_.MeasureRun(Space, 1).width;
        }
        const int width = surface_.MeasureRun(run, length).width;
        available_ = std::max(available_, width);
        if (pendingSpace_) x_ += spaceWidth_;
        // Only whitespace allows a break: runs joined directly (by tags or
        // nothing) stay on their line and are clipped by their line box.
        if (x_ + width > available_ && pendingSpace_) {
            if (format_ & MarkupFormatWordBreak) {
                NewLine();
            } else {
                available_ = x_ + width;
            }
        }
        if (!(format_ & MarkupFormatCalcRect)) DrawPlacedRun(run, length);
        x_ += width;
        largestX_ = std::max(largestX_, x_);
        pendingSpace_ = false;
    }

    void DrawPlacedRun(const wchar_t* run, int length) {
        const unsigned runFormat = (style_ & MarkupStyleSubscript)
                                       ? (format_ | MarkupFormatSingleLine | MarkupFormatBottom)
                                       : format_;
        surface_.DrawRun(run, length, LineBox(left_ + x_, left_ + available_), runFormat);
        // The gap before an underlined run is drawn as an underlined space so
        // that the line does not break between words.
        if (pendingSpace_ && (style_ & MarkupStyleUnderline) && x_ >= spaceWidth_) {
            surface_.DrawRun(Space, 1, LineBox(left_ + x_ - spaceWidth_, left_ + x_), format_);
        }
    }

    MarkupLineBox LineBox(int boxLeft, int boxRight) const {
        if (top_ < 0) return {boxLeft, top_ - y_, boxRight, top_ - y_ - lineHeight_};
        return {boxLeft, top_ + y_, boxRight, top_ + y_ + lineHeight_};
    }

    MarkupSurface& surface_;
    const wchar_t* const text_;
    const wchar_t* const end_;
    const int left_;
    const int top_;
    int available_;
    const unsigned format_;
    int lineHeight_ = 0;
    int x_ = 0;
    int y_ = 0;
    int largestX_ = 0;
    unsigned style_ = 0;
    int selectedStyle_ = -1;
    int spaceWidth_ = 0;
    bool pendingSpace_ = false;
};

} // namespace

unsigned AdjustMarkupFormat(unsigned format) {
    return (format & ~static_cast<unsigned>(MarkupFormatCenter | MarkupFormatRight | MarkupFormatTabStop)) |
           MarkupFormatNoPrefix;
}

MarkupLayoutResult LayOutMarkup(MarkupSurface& surface, const wchar_t* text, int count, int left, int top,
                                int availableWidth, unsigned format) {
    MarkupLayout layout(surface, text, count, left, top, std::max(availableWidth, 0),
                        AdjustMarkupFormat(format));
    return layout.Run();
}
