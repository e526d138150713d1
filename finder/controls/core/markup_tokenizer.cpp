#include "markup_tokenizer.h"

#include <cwctype>

const MarkupTag MarkupTagTable[10] = {
    {L"b", MarkupBold, false, false},          {L"br", MarkupLineBreak, false, true},
    {L"em", MarkupItalic, false, false},       {L"font", MarkupFontColor, true, false},
    {L"i", MarkupItalic, false, false},        {L"p", MarkupParagraph, false, true},
    {L"strong", MarkupBold, false, false},     {L"sub", MarkupSubscript, false, false},
    {L"sup", MarkupSuperscript, false, false}, {L"u", MarkupUnderline, false, false},
};

namespace {

bool IsMarkupSpace(wchar_t c) {
    return std::iswspace(static_cast<std::wint_t>(c)) != 0;
}

// Tag names are ASCII, so folding ASCII letters is all the case rule needs,
// and it stays the same whatever locale the process runs in.
wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// True when `text` (of `available` characters) begins with the lower-case
// `name`; a name longer than what is left never matches.
bool BeginsWithFolded(const wchar_t* text, int available, const wchar_t* name) {
    int i = 0;
    for (; name[i] != L'\0'; ++i) {
        if (i >= available || FoldAscii(text[i]) != name[i]) return false;
    }
    return true;
}

const MarkupTag* FindTag(const wchar_t* name, int available) {
    for (int entry = 9; entry >= 0; --entry) {
        if (BeginsWithFolded(name, available, MarkupTagTable[entry].name)) return &MarkupTagTable[entry];
    }
    return nullptr;
}

int ScanTag(const wchar_t* pos, int remaining, int& counted, bool earlierSpace, bool* pendingSpace) {
    counted = 1;
    const bool closing = remaining > 1 && pos[1] == L'/';
    if (closing) counted = 2;
    const int nameStart = counted;
    while (counted < remaining && !IsMarkupSpace(pos[counted]) && pos[counted] != L'<' &&
           pos[counted] != L'>') {
        ++counted;
    }
    const MarkupTag* tag = FindTag(pos + nameStart, remaining - nameStart);
    if (tag && tag->takesAttributes && !closing) {
        while (counted < remaining && pos[counted] != L'<' && pos[counted] != L'>')
            ++counted;
    } else if (tag && (counted >= remaining || pos[counted] != L'>')) {
        tag = nullptr; // a tag without attributes must close right after its name
    }
    if (tag && tag->isBlock && pendingSpace) *pendingSpace = false;
    if (counted < remaining && pos[counted] == L'>') ++counted;
    if (tag && (tag->isBlock || earlierSpace)) {
        while (counted < remaining && IsMarkupSpace(pos[counted]))
            ++counted;
    }
    return (tag ? tag->kind : MarkupText) + (closing ? MarkupClosingTag : 0);
}

int ScanTextRun(const wchar_t* pos, int remaining) {
    int counted = 0;
    while (counted < remaining && !IsMarkupSpace(pos[counted]) && pos[counted] != L'<')
        ++counted;
    return counted;
}

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return 0;
}

} // namespace

int NextMarkupToken(const wchar_t*& pos, int& remaining, int& length, bool* pendingSpace) {
    bool earlierSpace = false;
    if (pendingSpace) {
        earlierSpace = *pendingSpace;
        if (remaining > 0 && IsMarkupSpace(*pos)) *pendingSpace = true;
    }
    if (remaining <= 0) return MarkupNoToken;
    while (remaining > 0 && IsMarkupSpace(*pos)) {
        ++pos;
        --remaining;
    }
    if (remaining <= 0) return MarkupNoToken;

    int counted = 0;
    int result = MarkupText;
    if (*pos == L'<') {
        result = ScanTag(pos, remaining, counted, earlierSpace, pendingSpace);
    } else {
        counted = ScanTextRun(pos, remaining);
    }
    length = counted;
    remaining -= counted;
    return result;
}

COLORREF ParseMarkupColor(const wchar_t* value, std::size_t available) {
    std::size_t at = 0;
    if (at < available && (value[at] == L'\'' || value[at] == L'"')) ++at;
    if (at < available && value[at] == L'#') ++at;
    int digits[6] = {};
    for (int& digit : digits) {
        if (at < available) digit = HexDigitValue(value[at++]);
    }
    const COLORREF red = static_cast<COLORREF>(digits[0] * 16 + digits[1]);
    const COLORREF green = static_cast<COLORREF>(digits[2] * 16 + digits[3]);
    const COLORREF blue = static_cast<COLORREF>(digits[4] * 16 + digits[5]);
    return red | (green << 8) | (blue << 16);
}
