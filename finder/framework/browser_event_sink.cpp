#include "browser_event_sink.h"

#include "browser_site.h"

#include <exdisp.h>
#include <exdispid.h>

namespace {

// The text of an event argument that may come by reference; empty when it is
// no string.
LPCWSTR ArgumentText(const VARIANT& argument) {
    const VARIANT* value = &argument;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value)) value = V_VARIANTREF(value);
    if (V_VT(value) == VT_BSTR && V_BSTR(value)) return V_BSTR(value);
    if (V_VT(value) == (VT_BYREF | VT_BSTR) && V_BSTRREF(value) && *V_BSTRREF(value))
        return *V_BSTRREF(value);
    return L"";
}

} // namespace

BrowserEventSink::BrowserEventSink(BrowserSiteOwner& owner) : m_pOwner(&owner) {}

STDMETHODIMP BrowserEventSink::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BrowserEventSink::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) BrowserEventSink::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP BrowserEventSink::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP BrowserEventSink::GetTypeInfo(UINT /*iTInfo*/, LCID /*lcid*/, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserEventSink::GetIDsOfNames(REFIID /*riid*/, LPOLESTR* /*rgszNames*/, UINT /*cNames*/,
                                             LCID /*lcid*/, DISPID* /*rgDispId*/) {
    return E_NOTIMPL;
}

// NavigateComplete2(pDisp, URL): the arguments come last first.
STDMETHODIMP BrowserEventSink::Invoke(DISPID dispIdMember, REFIID /*riid*/, LCID /*lcid*/, WORD /*wFlags*/,
                                      DISPPARAMS* pDispParams, VARIANT* /*pVarResult*/,
                                      EXCEPINFO* /*pExcepInfo*/, UINT* /*puArgErr*/) {
    if (dispIdMember != DISPID_NAVIGATECOMPLETE2 || !m_pOwner) return S_OK;
    const bool hasUrl = pDispParams && pDispParams->cArgs >= 2 && pDispParams->rgvarg;
    m_pOwner->OnNavigateComplete2(hasUrl ? ArgumentText(pDispParams->rgvarg[0]) : L"");
    return S_OK;
}
