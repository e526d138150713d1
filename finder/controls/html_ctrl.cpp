#include "html_ctrl.h"

#include "finder/framework/com_ref.h"
#include "finder/framework/controls.h"

#include <mshtml.h>

CHtmlCtrl::~CHtmlCtrl() = default;

BOOL CHtmlCtrl::PreTranslateMessage(MSG* pMsg) {
    const bool leftPress = pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONDBLCLK;
    if (leftPress && !m_bAllowClick) return TRUE;
    return CHtmlView::PreTranslateMessage(pMsg);
}

HRESULT CHtmlCtrl::OnGetHostInfo(DOCHOSTUIINFO* pInfo) {
    if (pInfo) pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_FLAT_SCROLLBAR;
    return S_OK;
}

void CHtmlCtrl::OnNavigateComplete2(LPCWSTR /*strURL*/) {
    ComRef<IDispatch> document(GetHtmlDocument());
    if (!document) return;
    ComRef<IHTMLDocument2> htmlDocument;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(htmlDocument.Put()))))
        return;
    ComRef<IHTMLElement> body;
    if (FAILED(htmlDocument->get_body(body.Put())) || !body) return;
    // An owner may keep the pane hidden until it has a page to show.
    if (!IsWindowVisible()) ShowWindow(SW_SHOWNA);
    ComRef<IHTMLBodyElement> bodyElement;
    if (FAILED(body->QueryInterface(IID_IHTMLBodyElement, reinterpret_cast<void**>(bodyElement.Put()))))
        return;
    ScopedBstr scroll(L"auto");
    bodyElement->put_scroll(scroll.Get());
}

BOOL CHtmlCtrl::CreateInPlace(UINT nID, CWnd* pParent) {
    CStatic placeholder;
    if (!pParent || !placeholder.SubclassDlgItem(nID, pParent)) return FALSE;
    RECT rect;
    placeholder.GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    placeholder.DestroyWindow();
    return Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

LRESULT CHtmlCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    // No frame to activate a view in.
    case WM_MOUSEACTIVATE: return DefWindowProc(message, wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    default: return CHtmlView::WindowProc(message, wParam, lParam);
    }
}

void CHtmlCtrl::PostNcDestroy() {}

LRESULT CHtmlCtrl::OnDestroy() {
    if (m_pBrowserApp) {
        m_pBrowserApp->Quit();
        // Quitting may come back here through the browser's own events.
        if (m_pBrowserApp) {
            m_pBrowserApp->Release();
            m_pBrowserApp = nullptr;
        }
    }
    return CWnd::WindowProc(WM_DESTROY, 0, 0);
}
