#include "finder/controls/static_ex.h"

#include "finder/controls/background_fill.h"
#include "finder/controls/control_helpers.h"
#include "finder/controls/markup_text.h"
#include "finder/controls/png_resource.h"
#include "finder/framework/gdi_guards.h"

#include <algorithm>
#include <iterator>

namespace {

// WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_OWNERDRAW, whatever the template said:
// the control draws itself and reports clicks as STN_CLICKED.
constexpr DWORD StaticExStyle = 0x5000010D;
constexpr wchar_t TextFace[] = L"\u65B0\u5B8B\u4F53"; // 新宋体
constexpr LONG TextHeight = -13;

int Half(int value) {
    return value >> 1;
}

SIZE TextExtent(HDC dc, const std::wstring& text) {
    SIZE size = {};
    if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

} // namespace

CStaticEx::~CStaticEx() {
    if (m_hIcon) DestroyIcon(m_hIcon);
    if (m_hTextFont) DeleteObject(m_hTextFont);
    delete m_pPicture;
}

void CStaticEx::PreSubclassWindow() {
    SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(StaticExStyle));
}

LRESULT CStaticEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return TRUE;
    case WM_SETCURSOR:
        if (OnSetCursor()) return TRUE;
        break;
    default: break;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

BOOL CStaticEx::OnSetCursor() {
    if (!(m_nOptions & SX_LINK) && m_bHandCursor != 1) return FALSE;
    SetCursor(
        static_cast<HCURSOR>(LoadImageW(nullptr, MAKEINTRESOURCEW(32649), IMAGE_CURSOR, 0, 0, LR_SHARED)));
    return TRUE;
}

void CStaticEx::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (drawItem->CtlType != ODT_STATIC) return;
    HDC dc = drawItem->hDC;
    ScopedSaveDC saved(dc);
    const RECT client = drawItem->rcItem;
    RECT textBox = client;
    if (!(m_nOptions & SX_NOBACK)) DrawBackground(dc, client);
    DrawIconOrPicture(dc, client, textBox);
    if (m_nOptions & SX_MARKUP) {
        SetBkMode(dc, TRANSPARENT);
        const UINT format = DT_WORDBREAK | DT_NOPREFIX | ((m_nOptions & SX_CENTER) ? DT_CENTER : 0);
        DrawMarkupText(dc, m_strMarkup.c_str(), static_cast<int>(m_strMarkup.size()), &textBox, format);
    } else {
        DrawPlainText(dc, textBox);
    }
}

void CStaticEx::DrawBackground(HDC dc, const RECT& client) {
    if (m_nFillMode == FillSolid) {
        ScopedPen pen(CreatePen(PS_SOLID, 1, m_crBackground));
        ScopedBrush brush(CreateSolidBrush(m_crBackground));
        ScopedSelect selectPen(dc, pen);
        ScopedSelect selectBrush(dc, brush);
        Rectangle(dc, 0, 0, client.right, client.bottom);
    } else {
        FillBackground(dc, m_bgImage, m_nFillMode, client.right, client.bottom, m_crBackground);
    }
}

void CStaticEx::DrawIconOrPicture(HDC dc, const RECT& client, RECT& textBox) {
    if (m_hIcon) {
        const SIZE icon = IconSize(m_hIcon);
        int x = client.left + 1;
        int y = client.top + Half(client.bottom - client.top - icon.cy);
        if (m_nOptions & SX_CENTER) {
            // The text is centred by DrawTextW on its own; centring the icon on
            // 1.4 times the text's width puts it to the left of that text.
            const SIZE text = TextExtent(dc, WindowText(*this));
            x = client.left + Half(client.right - client.left - static_cast<int>(1.4 * text.cx));
            y = client.top + Half(client.bottom - client.top - text.cy);
        }
        DrawIconEx(dc, x, y, m_hIcon, 0, 0, 0, nullptr, DI_NORMAL);
        textBox.left = client.left + icon.cx + 5;
    } else if (m_pPicture) {
        const int width = m_pPicture->GetWidth();
        const int height = m_pPicture->GetHeight();
        m_pPicture->Draw(dc, client.left + Half(client.right - width - client.left),
                         client.top + Half(client.bottom - height - client.top));
        textBox.left = client.left + width + 5;
    }
}

void CStaticEx::DrawPlainText(HDC dc, RECT textBox) {
    const std::wstring text = WindowText(*this);
    if (text.empty()) return;
    ScopedSelect font(dc, m_hTextFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (m_nOptions & SX_LINK) ? StaticLinkColor : m_crText);
    RECT measured = textBox;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    textBox.top += Half((textBox.bottom - textBox.top) - (measured.bottom - measured.top));
    const UINT format = DT_WORDBREAK | DT_NOPREFIX | ((m_nOptions & SX_CENTER) ? DT_CENTER : 0);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox, format);
}

void CStaticEx::LoadPicture() {
    LoadPngIntoSlot(m_pPicture, StaticPictureResource);
}

void CStaticEx::FitToContent() {
    const SIZE content = ContentSize();
    if (content.cx != 0 && content.cy != 0) ResizeInPlace(*this, content.cx, content.cy);
}

SIZE CStaticEx::ContentSize() {
    SIZE size = {};
    const std::wstring text = WindowText(*this);
    ScopedWindowDC dc(m_hWnd);
    if (dc.Get() && !text.empty()) {
        // A fresh window DC holds the system font; measure in the font the
        // text is drawn in instead, or the fitted size would not fit it.
        ScopedSelect font(dc, m_hTextFont ? m_hTextFont : GetFont());
        RECT box = {};
        GetClientRect(&box);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
        size = {box.right - box.left, box.bottom - box.top};
    }
    SIZE addition = {};
    if (m_hIcon) {
        addition = IconSize(m_hIcon);
    } else if (m_pPicture) {
        addition = {m_pPicture->GetWidth(), m_pPicture->GetHeight()};
    }
    if (m_hIcon || m_pPicture) {
        if (size.cx > 0) {
            size.cx += addition.cx + 10;
            size.cy = std::max(size.cy, addition.cy);
        } else {
            size = addition;
        }
    }
    if (m_bgImage.HasBitmap()) {
        size.cx = std::max<LONG>(size.cx, m_bgImage.Header()->biWidth);
        size.cy = std::max<LONG>(size.cy, m_bgImage.Header()->biHeight);
    }
    return size;
}

void CStaticEx::SetTextFace() {
    ChangeTextFont(
        [](LOGFONTW& font) { std::copy(std::begin(TextFace), std::end(TextFace), font.lfFaceName); });
}

void CStaticEx::SetTextHeight() {
    ChangeTextFont([](LOGFONTW& font) { font.lfHeight = TextHeight; });
}

template <class Change> void CStaticEx::ChangeTextFont(Change change) {
    ScopedWindowDC dc(m_hWnd);
    if (!dc.Get()) return;
    LOGFONTW description = {};
    if (m_hTextFont) {
        GetObjectW(m_hTextFont, sizeof description, &description);
        DeleteObject(m_hTextFont);
        m_hTextFont = nullptr;
    } else if (HFONT windowFont = GetFont()) {
        GetObjectW(windowFont, sizeof description, &description);
    } else {
        // Without a window font, start from the stock GUI font: a scalable
        // face, unlike the bitmap system font the bare control draws in.
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    }
    change(description);
    m_hTextFont = CreateFontIndirectW(&description);
}
