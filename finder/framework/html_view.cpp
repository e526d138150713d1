#include "html_view.h"

#include <oleauto.h>

#include <cstring>

CHtmlView::~CHtmlView() {
    // The window may outlive the object only as far as ~CWnd; the browser
    // must not call back into a view that is going.
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
    CloseSite();
}

BOOL CHtmlView::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID) {
    if (!CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID)) return FALSE;
    m_site.Reset(new BrowserSite(m_hWnd, *this));
    m_pBrowserApp = m_site->Open();
    if (m_pBrowserApp) return TRUE;
    CloseSite();
    ::DestroyWindow(m_hWnd);
    return FALSE;
}

void CHtmlView::Navigate(LPCWSTR lpszURL, DWORD dwFlags, LPCWSTR lpszTargetFrameName, LPCWSTR lpszHeaders,
                         LPVOID lpvPostData, DWORD dwPostDataLen) {
    if (!m_pBrowserApp || !lpszURL) return;
    ScopedBstr url(lpszURL);
    ScopedVariant flags;
    V_VT(flags.Get()) = VT_I4;
    V_I4(flags.Get()) = static_cast<LONG>(dwFlags);
    ScopedVariant target;
    if (lpszTargetFrameName) {
        V_VT(target.Get()) = VT_BSTR;
        V_BSTR(target.Get()) = ScopedBstr(lpszTargetFrameName).Release();
    }
    ScopedVariant headers;
    if (lpszHeaders) {
        V_VT(headers.Get()) = VT_BSTR;
        V_BSTR(headers.Get()) = ScopedBstr(lpszHeaders).Release();
    }
    ScopedVariant postData;
    if (lpvPostData && dwPostDataLen > 0) {
        if (SAFEARRAY* bytes = ::SafeArrayCreateVector(VT_UI1, 0, dwPostDataLen)) {
            std::memcpy(bytes->pvData, lpvPostData, dwPostDataLen);
            V_VT(postData.Get()) = VT_ARRAY | VT_UI1;
            V_ARRAY(postData.Get()) = bytes;
        }
    }
    m_pBrowserApp->Navigate(url.Get(), flags.Get(), target.Get(), postData.Get(), headers.Get());
}

IDispatch* CHtmlView::GetHtmlDocument() const {
    IDispatch* document = nullptr;
    if (m_pBrowserApp && FAILED(m_pBrowserApp->get_Document(&document))) return nullptr;
    return document;
}

BOOL CHtmlView::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || !m_site) return FALSE;
    return m_site->TranslateKey(pMsg) == S_OK;
}

LRESULT CHtmlView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (m_site) m_site->SetRect(RECT{0, 0, LOWORD(lParam), HIWORD(lParam)});
        return CWnd::WindowProc(message, wParam, lParam);
    // The browser fills the whole window.
    case WM_ERASEBKGND: return m_pBrowserApp ? TRUE : CWnd::WindowProc(message, wParam, lParam);
    case WM_MOUSEACTIVATE: return OnMouseActivate(wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_NCDESTROY:
        // The browser's windows are gone with ours; the container goes too.
        CloseSite();
        return CWnd::WindowProc(message, wParam, lParam);
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

HRESULT CHtmlView::OnGetHostInfo(DOCHOSTUIINFO* /*pInfo*/) {
    return S_OK;
}

void CHtmlView::OnNavigateComplete2(LPCWSTR /*strURL*/) {}

void CHtmlView::PostNcDestroy() {
    delete this;
}

LRESULT CHtmlView::OnDestroy() {
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
    return CWnd::WindowProc(WM_DESTROY, 0, 0);
}

// A press into the view makes it the active view: it takes the focus and the
// browser its user-interface activation.
LRESULT CHtmlView::OnMouseActivate(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CWnd::WindowProc(WM_MOUSEACTIVATE, wParam, lParam);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
    if (!::IsChild(m_hWnd, ::GetFocus())) SetFocus();
    if (m_site) m_site->UIActivate();
    return result;
}

void CHtmlView::CloseSite() {
    if (!m_site) return;
    m_site->Close();
    m_site.Reset();
}
