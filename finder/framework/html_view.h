// The framework's web-browser view: a child window that hosts the system web
// browser control through our own container (browser_site.h). Like every
// view it belongs to its window and deletes itself when the window goes;
// a mouse press into it activates the browser as the view it is; a class that
// lives as a member elsewhere overrides PostNcDestroy and the activation.
#pragma once

#include "finder/framework/browser_site.h"
#include "finder/framework/com_ref.h"
#include "finder/framework/wnd.h"

#include <exdisp.h>
#include <mshtmhst.h>

class CHtmlView : public CWnd, private BrowserSiteOwner {
public:
    CHtmlView() = default;
    ~CHtmlView() override;

    // Creates the view's window (lpszClassName nullptr: the framework's own
    // class) and the browser control in it. FALSE, with no window left, when
    // either cannot be made.
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID);

    // Starts loading a page; the browser completes it asynchronously.
    void Navigate(LPCWSTR lpszURL, DWORD dwFlags = 0, LPCWSTR lpszTargetFrameName = nullptr,
                  LPCWSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    // The browser's current document, with a reference for the caller;
    // nullptr before there is one.
    IDispatch* GetHtmlDocument() const;

    // The browser's own key handling, for keys meant for the page.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The host information the browser asks for; left as the browser
    // filled it.
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo) override;
    // A navigation of the page or of a frame in it has completed.
    void OnNavigateComplete2(LPCWSTR strURL) override;

protected:
    // The browser control, with the view's reference: null before Create and
    // after the window's destruction.
    IWebBrowser2* m_pBrowserApp = nullptr;

    void PostNcDestroy() override;

private:
    LRESULT OnDestroy();
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
    void CloseSite();

    ComRef<BrowserSite> m_site;
};
