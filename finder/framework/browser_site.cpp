#include "browser_site.h"

#include "browser_event_sink.h"

#include <exdisp.h>
#include <ocidl.h>

BrowserSite::BrowserSite(HWND hWnd, BrowserSiteOwner& owner)
    : m_hWnd(hWnd), m_pOwner(&owner), m_eventSink(new BrowserEventSink(owner)) {}

BrowserSite::~BrowserSite() {
    Close();
}

IWebBrowser2* BrowserSite::Open() {
    if (!m_pOwner || m_oleObject) return nullptr;
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(m_oleObject.Put())))) {
        return nullptr;
    }
    IWebBrowser2* browser = nullptr;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (FAILED(m_oleObject->SetClientSite(this)) ||
        FAILED(m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_hWnd, &client)) ||
        FAILED(m_oleObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
        Close();
        return nullptr;
    }
    ConnectEvents();
    return browser;
}

// Without events the page still shows; only the scroll setting after each
// navigation is lost.
void BrowserSite::ConnectEvents() {
    ComRef<IConnectionPointContainer> container;
    if (FAILED(m_oleObject->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(container.Put()))) ||
        FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_eventPoint.Put()))) {
        return;
    }
    if (FAILED(m_eventPoint->Advise(m_eventSink.Get(), &m_eventCookie))) m_eventPoint.Reset();
}

void BrowserSite::Close() {
    if (m_eventPoint) {
        m_eventPoint->Unadvise(m_eventCookie);
        m_eventPoint.Reset();
    }
    if (m_eventSink) m_eventSink->Detach();
    m_activeObject.Reset();
    if (m_oleObject) {
        // Reset first: the calls below may come back into this site.
        ComRef<IOleObject> object = std::move(m_oleObject);
        ComRef<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(
                object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Put())))) {
            inPlace->InPlaceDeactivate();
        }
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    m_pOwner = nullptr;
}

void BrowserSite::SetRect(const RECT& rect) {
    if (!m_oleObject) return;
    ComRef<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(
            m_oleObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Put())))) {
        inPlace->SetObjectRects(&rect, &rect);
    }
}

void BrowserSite::UIActivate() {
    if (!m_oleObject) return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_oleObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, m_hWnd, &client);
}

HRESULT BrowserSite::TranslateKey(MSG* pMsg) {
    return m_activeObject ? m_activeObject->TranslateAccelerator(pMsg) : S_FALSE;
}

// --- IUnknown ----------------------------------------------------------------

STDMETHODIMP BrowserSite::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *ppvObject = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
        *ppvObject = static_cast<IOleInPlaceSite*>(this);
    } else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame) {
        *ppvObject = static_cast<IOleInPlaceFrame*>(this);
    } else if (riid == IID_IDocHostUIHandler) {
        *ppvObject = static_cast<IDocHostUIHandler*>(this);
    } else {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) BrowserSite::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) BrowserSite::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

// --- IOleClientSite: no document to save and no container to enumerate -------

STDMETHODIMP BrowserSite::SaveObject() {
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::GetMoniker(DWORD /*dwAssign*/, DWORD /*dwWhichMoniker*/, IMoniker** ppmk) {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserSite::ShowObject() {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnShowWindow(BOOL /*fShow*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

// --- IOleWindow --------------------------------------------------------------

STDMETHODIMP BrowserSite::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = m_hWnd;
    return S_OK;
}

STDMETHODIMP BrowserSite::ContextSensitiveHelp(BOOL /*fEnterMode*/) {
    return E_NOTIMPL;
}

// --- IOleInPlaceSite: the control always fills the window --------------------

STDMETHODIMP BrowserSite::CanInPlaceActivate() {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnInPlaceActivate() {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnUIActivate() {
    return S_OK;
}

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                           LPRECT lprcPosRect, LPRECT lprcClipRect,
                                           LPOLEINPLACEFRAMEINFO lpFrameInfo) {
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo) return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    ::GetClientRect(m_hWnd, lprcPosRect);
    *lprcClipRect = *lprcPosRect;
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = ::GetAncestor(m_hWnd, GA_ROOT);
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP BrowserSite::Scroll(SIZE /*scrollExtant*/) {
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::OnUIDeactivate(BOOL /*fUndoable*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnInPlaceDeactivate() {
    return S_OK;
}

STDMETHODIMP BrowserSite::DiscardUndoState() {
    return S_OK;
}

STDMETHODIMP BrowserSite::DeactivateAndUndo() {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnPosRectChange(LPCRECT lprcPosRect) {
    if (lprcPosRect) SetRect(*lprcPosRect);
    return S_OK;
}

// --- IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status --

STDMETHODIMP BrowserSite::GetBorder(LPRECT /*lprectBorder*/) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP BrowserSite::RequestBorderSpace(LPCBORDERWIDTHS /*pborderwidths*/) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP BrowserSite::SetBorderSpace(LPCBORDERWIDTHS /*pborderwidths*/) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP BrowserSite::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR /*pszObjName*/) {
    if (pActiveObject) pActiveObject->AddRef();
    m_activeObject.Reset(pActiveObject);
    return S_OK;
}

STDMETHODIMP BrowserSite::InsertMenus(HMENU /*hmenuShared*/, LPOLEMENUGROUPWIDTHS /*lpMenuWidths*/) {
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::SetMenu(HMENU /*hmenuShared*/, HOLEMENU /*holemenu*/, HWND /*hwndActiveObject*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::RemoveMenus(HMENU /*hmenuShared*/) {
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::SetStatusText(LPCOLESTR /*pszStatusText*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::EnableModeless(BOOL /*fEnable*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG /*lpmsg*/, WORD /*wID*/) {
    return S_FALSE;
}

// --- IDocHostUIHandler: the browser's own menus and UI, our host flags -------

STDMETHODIMP BrowserSite::ShowContextMenu(DWORD /*dwID*/, POINT* /*ppt*/, IUnknown* /*pcmdtReserved*/,
                                          IDispatch* /*pdispReserved*/) {
    return S_FALSE;
}

STDMETHODIMP BrowserSite::GetHostInfo(DOCHOSTUIINFO* pInfo) {
    return m_pOwner ? m_pOwner->OnGetHostInfo(pInfo) : S_OK;
}

STDMETHODIMP BrowserSite::ShowUI(DWORD /*dwID*/, IOleInPlaceActiveObject* /*pActiveObject*/,
                                 IOleCommandTarget* /*pCommandTarget*/, IOleInPlaceFrame* /*pFrame*/,
                                 IOleInPlaceUIWindow* /*pDoc*/) {
    return S_FALSE;
}

STDMETHODIMP BrowserSite::HideUI() {
    return S_OK;
}

STDMETHODIMP BrowserSite::UpdateUI() {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnDocWindowActivate(BOOL /*fActivate*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::OnFrameWindowActivate(BOOL /*fActivate*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::ResizeBorder(LPCRECT /*prcBorder*/, IOleInPlaceUIWindow* /*pUIWindow*/,
                                       BOOL /*fRameWindow*/) {
    return S_OK;
}

STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG /*lpMsg*/, const GUID* /*pguidCmdGroup*/,
                                               DWORD /*nCmdID*/) {
    return S_FALSE;
}

STDMETHODIMP BrowserSite::GetOptionKeyPath(LPOLESTR* pchKey, DWORD /*dw*/) {
    if (pchKey) *pchKey = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::GetDropTarget(IDropTarget* /*pDropTarget*/, IDropTarget** ppDropTarget) {
    if (ppDropTarget) *ppDropTarget = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::GetExternal(IDispatch** ppDispatch) {
    if (ppDispatch) *ppDispatch = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::TranslateUrl(DWORD /*dwTranslate*/, LPWSTR /*pchURLIn*/, LPWSTR* ppchURLOut) {
    if (ppchURLOut) *ppchURLOut = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::FilterDataObject(IDataObject* /*pDO*/, IDataObject** ppDORet) {
    if (ppDORet) *ppDORet = nullptr;
    return S_FALSE;
}
