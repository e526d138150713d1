#include "finder/controls/button_ex.h"

#include "color_scale.h"
#include "finder/controls/background_fill.h"
#include "finder/controls/control_helpers.h"
#include "finder/framework/gdi_guards.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>

namespace {

// WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW; every other bit of the
// template's style is dropped.
constexpr DWORD ButtonExStyle = 0x5001000B;
constexpr int ClassNameLength = 16;
constexpr int IconCaptionGap = 5;
constexpr int UncenteredIndent = 10;
constexpr double InnerFrameLightening = 1.25;
// DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER
constexpr UINT CaptionFormat = 0x834;

int Half(int value) {
    return value >> 1;
}

SIZE CaptionExtent(HDC dc, const std::wstring& caption) {
    SIZE size = {};
    if (dc && !caption.empty())
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    return size;
}

HFONT ParentFont(const CWnd& button) {
    CWnd* parent = button.GetParent();
    return parent ? reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)) : nullptr;
}

void GrowTo(SIZE& size, int width, int height) {
    size.cx = std::max<LONG>(size.cx, width);
    size.cy = std::max<LONG>(size.cy, height);
}

bool IsArrowKey(WPARAM key) {
    return key >= VK_LEFT && key <= VK_DOWN;
}

} // namespace

CButtonEx::~CButtonEx() {
    for (HICON icon : {m_hIconPressed, m_hIcon, m_hIconHover}) {
        if (icon) DestroyIcon(icon);
    }
    for (CImage* image : {m_pImgNormal, m_pImgHover, m_pImgPressed, m_pImgDisabled})
        delete image;
}

void CButtonEx::PreSubclassWindow() {
    SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(ButtonExStyle));
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, BTNX_MARKER);
}

// Each handler does its own work first and then lets the button class run, so
// that it still captures the mouse, shows the pressed state and sends the
// click; only the hand cursor replaces the default handling.
LRESULT CButtonEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLeftButtonDown(); break;
    case WM_KEYUP: OnKeyUp(wParam); break;
    case WM_SETCURSOR:
        if (OnSetCursor()) return TRUE;
        break;
    default: break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CButtonEx::OnMouseMove() {
    if (m_nFlags & BTNX_HOVER) return;
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
    TrackMouseEvent(&track);
    m_nFlags |= BTNX_HOVER;
    InvalidateParentArea(this);
    if (m_nFlags & BTNX_NOTIFYHOVER) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_BUTTONEX_HOVER, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    }
}

void CButtonEx::OnMouseLeave() {
    if (!(m_nFlags & BTNX_HOVER)) return;
    m_nFlags &= ~BTNX_HOVER;
    InvalidateParentArea(this);
}

void CButtonEx::OnLeftButtonDown() {
    if (m_nKind == ButtonExCheckBox) {
        SetChecked(!(m_nFlags & BTNX_CHECKED));
    } else if (m_nKind == ButtonExRadio) {
        SelectInRadioGroup();
    }
}

void CButtonEx::OnKeyUp(WPARAM key) {
    if (m_nKind == ButtonExRadio && IsArrowKey(key)) SelectInRadioGroup();
}

BOOL CButtonEx::OnSetCursor() {
    if (m_bHandCursor != 1) return FALSE;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void CButtonEx::SetChecked(bool checked) {
    m_nFlags = checked ? (m_nFlags | BTNX_CHECKED) : (m_nFlags & ~BTNX_CHECKED);
    Invalidate(FALSE);
}

void CButtonEx::SelectInRadioGroup() {
    UncheckRadioSiblings(-1);
    UncheckRadioSiblings(+1);
    if (!(m_nFlags & BTNX_CHECKED)) SetChecked(true);
}

// Walks the consecutive control ids on one side while they are radio-kind
// image buttons of this button's window class.
void CButtonEx::UncheckRadioSiblings(int step) {
    CWnd* parent = GetParent();
    if (!parent) return;
    wchar_t ownClass[ClassNameLength] = {};
    GetClassNameW(m_hWnd, ownClass, ClassNameLength);
    for (int id = GetDlgCtrlID() + step;; id += step) {
        HWND sibling = ::GetDlgItem(parent->m_hWnd, id);
        if (!sibling) return;
        wchar_t siblingClass[ClassNameLength] = {};
        GetClassNameW(sibling, siblingClass, ClassNameLength);
        if (std::wcscmp(ownClass, siblingClass) != 0) return;
        if (GetWindowLongPtrW(sibling, GWLP_USERDATA) != BTNX_MARKER) return;
        auto* button = dynamic_cast<CButtonEx*>(CWnd::FromHandlePermanent(sibling));
        if (!button || button->m_nKind != ButtonExRadio) return;
        if (button->m_nFlags & BTNX_CHECKED) button->SetChecked(false);
    }
}

void CButtonEx::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (drawItem->CtlType != ODT_BUTTON) return;
    ScopedSaveDC saved(drawItem->hDC);
    UINT state = drawItem->itemState;
    if (m_nKind != ButtonExPush) {
        state = (state & ~static_cast<UINT>(ODS_SELECTED)) | ((m_nFlags & BTNX_CHECKED) ? ODS_SELECTED : 0);
    }
    if (m_nFlags & BTNX_TRANSPARENT) {
        // Odd paints only have the parent repaint the skin under the button;
        // that brings the even paint, which adds icon and caption over it.
        m_nFlags ^= BTNX_PHASE;
        if (m_nFlags & BTNX_PHASE) {
            InvalidateParentArea(this);
            return;
        }
    } else {
        DrawFace(drawItem->hDC, state, drawItem->rcItem.right, drawItem->rcItem.bottom);
    }
    DrawIconAndText(drawItem->hDC, state, drawItem->rcItem);
}

void CButtonEx::DrawFace(HDC dc, UINT state, int width, int height) {
    if (state & ODS_DISABLED) {
        if (m_pImgDisabled) {
            m_pImgDisabled->Draw(dc, 0, 0);
            return;
        }
        DrawBackground(dc, m_bgNormal, width, height);
        if (m_pImgNormal) m_pImgNormal->Draw(dc, 0, 0);
    } else if (state & ODS_SELECTED) {
        DrawBackground(dc, m_bgPressed, width, height);
        if (m_pImgPressed) {
            m_pImgPressed->Draw(dc, 0, 0);
        } else if (m_nFlags & BTNX_FRAME) {
            DrawFrames(dc, width, height, true);
        }
    } else if (m_nFlags & BTNX_HOVER) {
        DrawBackground(dc, m_bgHover, width, height);
        if (m_pImgHover) {
            m_pImgHover->Draw(dc, 0, 0);
        } else if (m_nFlags & BTNX_FRAME) {
            DrawFrames(dc, width, height, true);
        }
    } else if (m_nKind != ButtonExCheckBox) {
        DrawBackground(dc, m_bgNormal, width, height);
        if (m_pImgNormal) {
            m_pImgNormal->Draw(dc, 0, 0);
        } else if (m_nFlags & BTNX_FRAME) {
            DrawFrames(dc, width, height, false);
        }
    }
}

// Gradients always live in m_bgNormal; the state holders only carry bitmaps.
void CButtonEx::DrawBackground(HDC dc, CImageEx& holder, int width, int height) {
    if (m_nFillMode == FillSolid) {
        ScopedBrush brush(CreateSolidBrush(m_crBackground));
        ScopedSelect selectBrush(dc, brush);
        ScopedSelect selectPen(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, 0, 0, width, height);
    } else {
        FillBackground(dc, m_nFillMode == FillBitmap ? holder : m_bgNormal, m_nFillMode, width, height,
                       m_crBackground);
    }
}

void CButtonEx::DrawFrames(HDC dc, int width, int height, bool lighterInner) {
    ScopedPen outer(CreatePen(PS_SOLID, 1, m_crFrame));
    ScopedPen lighter(lighterInner ? CreatePen(PS_SOLID, 1, ScaleColor(m_crFrame, InnerFrameLightening))
                                   : nullptr);
    ScopedSelect hollow(dc, GetStockObject(NULL_BRUSH));
    {
        ScopedSelect pen(dc, outer);
        Rectangle(dc, 0, 0, width, height);
    }
    ScopedSelect pen(dc, lighterInner ? static_cast<HGDIOBJ>(lighter) : GetStockObject(WHITE_PEN));
    Rectangle(dc, 1, 1, width - 1, height - 1);
}

HICON CButtonEx::IconForState(UINT state) const {
    if (state & ODS_SELECTED) return m_hIconPressed;
    if (m_nFlags & BTNX_HOVER) {
        if (m_nKind == ButtonExPush) return m_hIconHover;
        return (m_nFlags & BTNX_CHECKED) ? m_hIconPressed : m_hIcon;
    }
    return m_hIcon;
}

void CButtonEx::DrawIconAndText(HDC dc, UINT state, RECT box) {
    const HICON icon = IconForState(state);
    const std::wstring caption = WindowText(*this);
    const SIZE text = CaptionExtent(dc, caption);
    const SIZE iconSize = IconSize(icon);
    int contentWidth = text.cx;
    if (icon) contentWidth = caption.empty() ? iconSize.cx : text.cx + iconSize.cx + IconCaptionGap;
    box.left += (m_nFlags & BTNX_CENTER) ? Half(box.right - box.left - contentWidth) : UncenteredIndent;
    if (icon) {
        DrawIconEx(dc, box.left, box.top + Half(box.bottom - box.top - iconSize.cy), icon, 0, 0, 0, nullptr,
                   DI_NORMAL);
        box.left += iconSize.cx + IconCaptionGap;
    }
    if (caption.empty()) return;
    ScopedSelect font(dc, ParentFont(*this));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled() ? m_crText : ButtonDisabledTextColor);
    if ((state & ODS_SELECTED) && m_nKind == ButtonExPush) box.top += 1;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box, CaptionFormat);
}

void CButtonEx::SizeToContent() {
    SIZE text = {};
    const std::wstring caption = WindowText(*this);
    {
        // Measured in the font the caption is drawn in.
        ScopedWindowDC dc(m_hWnd);
        ScopedSelect font(dc, dc.Get() ? ParentFont(*this) : nullptr);
        text = CaptionExtent(dc, caption);
    }
    SIZE size = text;
    if (m_hIcon) {
        const SIZE icon = IconSize(m_hIcon);
        size = caption.empty() ? icon : SIZE{text.cx + icon.cx + 10, std::max(text.cy, icon.cy)};
    }
    for (const CImageEx* holder : {&m_bgNormal, &m_bgHover, &m_bgPressed}) {
        if (holder->HasBitmap()) GrowTo(size, holder->Header()->biWidth, holder->Header()->biHeight);
    }
    for (const CImage* image : {m_pImgNormal, m_pImgHover, m_pImgPressed}) {
        if (image) GrowTo(size, image->GetWidth(), image->GetHeight());
    }
    if (size.cx != 0 && size.cy != 0) ResizeInPlace(*this, size.cx, size.cy);
}
