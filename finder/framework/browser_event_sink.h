// The receiver of the browser control's DWebBrowserEvents2: it hands the
// completed navigations on to the container's owner and ignores every other
// event. Detach cuts it off from the owner once the container closes, since
// the control may hold the sink a little longer.
#pragma once

#include <windows.h>
#include <oaidl.h>

class BrowserSiteOwner;

class BrowserEventSink final : public IDispatch {
public:
    // Starts with one reference, the caller's.
    explicit BrowserEventSink(BrowserSiteOwner& owner);
    BrowserEventSink(const BrowserEventSink&) = delete;
    BrowserEventSink& operator=(const BrowserEventSink&) = delete;

    void Detach() { m_pOwner = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppvObject) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    ~BrowserEventSink() = default;

    LONG m_refs = 1;
    BrowserSiteOwner* m_pOwner;
};
