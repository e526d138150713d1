// The browser container's COM objects driven directly, as the browser
// control and its HTML engine would call them: the interfaces it hands out
// and their identity and reference counts, the host information taken from
// its owner, the window context it gives, and the navigation events its sink
// passes on.
#include "control_host.h"
#include "finder/framework/browser_event_sink.h"
#include "finder/framework/browser_site.h"
#include "finder/framework/com_ref.h"

#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingOwner : public BrowserSiteOwner {
public:
    int hostInfoCalls = 0;
    std::vector<std::wstring> completedUrls;

    HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo) override {
        ++hostInfoCalls;
        if (pInfo) pInfo->dwFlags = 0x1234;
        return S_OK;
    }
    void OnNavigateComplete2(LPCWSTR strURL) override { completedUrls.emplace_back(strURL); }
};

class BrowserSiteTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }

    ControlHost host_;
    RecordingOwner owner_;
};

IUnknown* Identity(IUnknown* object) {
    IUnknown* identity = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    if (identity) identity->Release();
    return identity;
}

TEST_F(BrowserSiteTest, GivesEachContainerInterfaceOfOneCountedObject) {
    ComRef<BrowserSite> site(new BrowserSite(host_.m_hWnd, owner_));
    IUnknown* const identity = Identity(static_cast<IOleClientSite*>(site.Get()));

    const IID* const offered[] = {&IID_IOleClientSite,      &IID_IOleWindow,       &IID_IOleInPlaceSite,
                                  &IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame, &IID_IDocHostUIHandler};
    for (const IID* iid : offered) {
        IUnknown* part = nullptr;
        ASSERT_EQ(site->QueryInterface(*iid, reinterpret_cast<void**>(&part)), S_OK);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(Identity(part), identity);
        // The caller's reference and the one the answer added.
        EXPECT_EQ(part->AddRef(), 3u);
        EXPECT_EQ(part->Release(), 2u);
        EXPECT_EQ(part->Release(), 1u);
    }

    // Ambient properties and the rest are not ours to offer.
    const IID* const refused[] = {&IID_IDispatch, &IID_IOleContainer, &IID_IOleInPlaceSiteEx,
                                  &IID_IOleCommandTarget, &DIID_DWebBrowserEvents2};
    for (const IID* iid : refused) {
        void* part = reinterpret_cast<void*>(1);
        EXPECT_EQ(site->QueryInterface(*iid, &part), E_NOINTERFACE);
        EXPECT_EQ(part, nullptr);
    }
    EXPECT_EQ(site->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(site->AddRef(), 2u);
    EXPECT_EQ(site->Release(), 1u);
}

TEST_F(BrowserSiteTest, TakesHostInfoFromItsOwnerUntilClosed) {
    ComRef<BrowserSite> site(new BrowserSite(host_.m_hWnd, owner_));
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    EXPECT_EQ(site->GetHostInfo(&info), S_OK);
    EXPECT_EQ(owner_.hostInfoCalls, 1);
    EXPECT_EQ(info.dwFlags, 0x1234u);
    EXPECT_EQ(info.cbSize, sizeof info);

    // A control that outlives its view asks a site that no longer has one.
    site->Close();
    info.dwFlags = 0;
    EXPECT_EQ(site->GetHostInfo(&info), S_OK);
    EXPECT_EQ(owner_.hostInfoCalls, 1);
    EXPECT_EQ(info.dwFlags, 0u);
}

TEST_F(BrowserSiteTest, IsTheInPlaceFrameOverItsWholeWindow) {
    HWND pane = host_.AddChild(L"STATIC", L"", RECT{10, 20, 130, 60}, 1140);
    ComRef<BrowserSite> site(new BrowserSite(pane, owner_));

    HWND window = nullptr;
    EXPECT_EQ(site->GetWindow(&window), S_OK);
    EXPECT_EQ(window, pane);

    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT position = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    ASSERT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &frameInfo), S_OK);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Identity(frame), Identity(static_cast<IOleClientSite*>(site.Get())));
    frame->Release();
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(position.left, 0);
    EXPECT_EQ(position.top, 0);
    EXPECT_EQ(position.right, 120);
    EXPECT_EQ(position.bottom, 40);
    EXPECT_TRUE(EqualRect(&clip, &position));
    EXPECT_FALSE(frameInfo.fMDIApp);
    EXPECT_EQ(frameInfo.hwndFrame, host_.m_hWnd);
    EXPECT_EQ(frameInfo.cAccelEntries, 0u);
    // Nothing is open, so there is nothing to pass keys to.
    MSG key = {pane, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(site->TranslateKey(&key), S_FALSE);
}

// NavigateComplete2(pDisp, URL), its arguments last first, the URL by
// reference as the browser control sends it.
TEST(BrowserEventSinkTest, HandsOnlyCompletedNavigationsToItsOwnerWhileAttached) {
    RecordingOwner owner;
    ComRef<BrowserEventSink> sink(new BrowserEventSink(owner));
    IUnknown* events = nullptr;
    ASSERT_EQ(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&events)), S_OK);
    events->Release();

    ScopedBstr url(L"file:///C:/finder/ShareHtml/Sokra.html");
    VARIANT urlValue;
    V_VT(&urlValue) = VT_BSTR;
    V_BSTR(&urlValue) = url.Get();
    VARIANT arguments[2];
    V_VT(&arguments[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&arguments[0]) = &urlValue;
    V_VT(&arguments[1]) = VT_DISPATCH;
    V_DISPATCH(&arguments[1]) = nullptr;
    DISPPARAMS parameters = {arguments, nullptr, 2, 0};

    const DISPID others[] = {DISPID_BEFORENAVIGATE2, DISPID_DOCUMENTCOMPLETE, DISPID_TITLECHANGE};
    for (DISPID other : others) {
        EXPECT_EQ(sink->Invoke(other, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr),
                  S_OK);
    }
    EXPECT_TRUE(owner.completedUrls.empty());

    EXPECT_EQ(sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr,
                           nullptr, nullptr),
              S_OK);
    ASSERT_EQ(owner.completedUrls.size(), 1u);
    EXPECT_EQ(owner.completedUrls[0], L"file:///C:/finder/ShareHtml/Sokra.html");

    // A completion without arguments still counts; one after Detach does not.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    ASSERT_EQ(owner.completedUrls.size(), 2u);
    EXPECT_EQ(owner.completedUrls[1], L"");
    sink->Detach();
    sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
    EXPECT_EQ(owner.completedUrls.size(), 2u);
}

} // namespace
