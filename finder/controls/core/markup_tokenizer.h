// Splitting markup text into text runs and tags. Pure logic: no drawing.
#pragma once

#include "color_types.h"

#include <cstddef>

// Token kinds; NextMarkupToken adds MarkupClosingTag for a tag written "</...".
enum MarkupTokenKind : int {
    MarkupText = 0,
    MarkupBold = 1,
    MarkupLineBreak = 2,
    MarkupFontColor = 3,
    MarkupItalic = 4,
    MarkupParagraph = 5,
    MarkupSubscript = 6,
    MarkupSuperscript = 7,
    MarkupUnderline = 8,
};
constexpr int MarkupClosingTag = 0x100;
constexpr int MarkupNoToken = -1;

struct MarkupTag {
    const wchar_t* name; // lower case; matched without regard to case
    int kind;
    bool takesAttributes;
    bool isBlock; // whitespace around it is dropped
};

// Looked up from the last entry down, so that "br" is tried before "b".
extern const MarkupTag MarkupTagTable[10];

// Finds the next token. `pos` moves past skipped whitespace to the token's
// start and `remaining` shrinks by the skipped whitespace and the token; the
// caller advances `pos` by `length` before asking again. `pendingSpace`, when
// given, collects whether whitespace separated this token from the last text
// run (the caller clears it after each run). Returns the token kind, plus
// MarkupClosingTag for a closing tag, or MarkupNoToken at the end.
int NextMarkupToken(const wchar_t*& pos, int& remaining, int& length, bool* pendingSpace);

// Reads a "color=" value: an optional quote, an optional '#', then six
// hexadecimal digits (anything else counts as 0). At most `available`
// characters are read; missing ones count as 0.
COLORREF ParseMarkupColor(const wchar_t* value, std::size_t available);
