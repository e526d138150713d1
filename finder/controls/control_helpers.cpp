#include "finder/controls/control_helpers.h"

#include "finder/framework/gdi_guards.h"

void InvalidateParentArea(CWnd* child) {
    CWnd* parent = child->GetParent();
    if (!parent) return;
    RECT area = {};
    child->GetWindowRect(&area);
    parent->ScreenToClient(&area);
    parent->InvalidateRect(&area, TRUE);
}

SIZE IconSize(HICON icon) {
    SIZE size = {};
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return size;
    ScopedBitmap color(info.hbmColor);
    ScopedBitmap mask(info.hbmMask);
    BITMAP bitmap = {};
    if (color && GetObjectW(color, sizeof bitmap, &bitmap)) size = {bitmap.bmWidth, bitmap.bmHeight};
    return size;
}

std::wstring WindowText(const CWnd& window) {
    std::wstring text;
    window.GetWindowText(text);
    return text;
}

// The position is left alone rather than re-applied: an offset taken from the
// parent's outer rectangle, passed back as a client position, would shift the
// child by the parent's frame whenever the parent has one.
void ResizeInPlace(CWnd& window, int width, int height) {
    window.SetWindowPos(nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
