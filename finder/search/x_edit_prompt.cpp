#include "x_edit_prompt.h"

void CXEditPrompt::SetText(LPCWSTR lpszText) {
    if (m_bPromptOn && lpszText[0] == L'\0') return;
    if (m_strPrompt != lpszText) m_bPromptOn = false;
    SetWindowText(lpszText);
}

LRESULT CXEditPrompt::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: return OnSetText(reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT: return OnGetText(wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_SETFOCUS: return OnSetFocus(wParam, lParam);
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: return OnPress(message, wParam, lParam);
    default: return CEdit::WindowProc(message, wParam, lParam);
    }
}

void CXEditPrompt::PreSubclassWindow() {
    m_brBackground.Reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    SetText(m_strPrompt.c_str());
    SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    SendMessage(EM_SCROLLCARET);
}

HBRUSH CXEditPrompt::CtlColor(HDC hDC, UINT /*nCtlColor*/) {
    if (m_bPromptOn) SetTextColor(hDC, m_crPrompt);
    return m_brBackground.Get();
}

LRESULT CXEditPrompt::OnSetText(LPCWSTR lpszText) {
    if (lpszText == nullptr) return TRUE;
    if (m_bPromptOn && lpszText[0] == L'\0') return TRUE;
    if (m_strPrompt != lpszText) m_bPromptOn = false;
    return DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszText));
}

LRESULT CXEditPrompt::OnGetText(WPARAM cchBuffer, LPWSTR lpszBuffer) {
    if (!m_bPromptOn) return DefWindowProc(WM_GETTEXT, cchBuffer, reinterpret_cast<LPARAM>(lpszBuffer));
    if (cchBuffer > 0 && lpszBuffer != nullptr) lpszBuffer[0] = L'\0';
    return 0;
}

LRESULT CXEditPrompt::OnSetFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefWindowProc(WM_SETFOCUS, wParam, lParam);
    if (m_bPromptOn) {
        const auto end = static_cast<WPARAM>(m_strPrompt.size());
        SendMessage(EM_SETSEL, end, static_cast<LPARAM>(end));
        SendMessage(EM_SCROLLCARET);
    }
    return result;
}

LRESULT CXEditPrompt::OnPress(UINT message, WPARAM wParam, LPARAM lParam) {
    // The prompt goes before the key or click is handled, so that what was
    // pressed lands in an empty box.
    if (m_bPromptOn) {
        m_bPromptOn = false;
        SetText(L"");
    }
    return DefWindowProc(message, wParam, lParam);
}
