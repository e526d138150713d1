// Drawing and measuring markup text (b, strong, i, em, u, sub, sup, br, p and
// font color=) on a device context.
#pragma once

#include <windows.h>

#include "markup_layout.h"

// Draws `count` characters of `text` (a negative count: up to its NUL) into
// `box`, or from the current position when `box` is null, with DrawTextW
// format flags. The selected font and text colour are those of text outside
// any tag and are as before when the call returns. With DT_CALCRECT nothing
// is drawn and the box's right and bottom edges are set to the text's extent.
// Returns the top of the last line relative to the first; 0 for a null
// context or text.
int DrawMarkupText(HDC dc, LPCWSTR text, int count, LPRECT box, UINT format);

// A font like `baseFont` in the style bits' weight, slant, underline and, for
// sub- and superscript, 7/10 of its height; null on failure. Leaves the stock
// system font selected in `dc`. The caller owns the font.
HFONT CreateStyledFont(unsigned style, HDC dc, HFONT baseFont);
