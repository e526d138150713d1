// The web pane with Wine's browser control. The control is there, but its
// HTML engine is switched off in these sessions: the pane is created in the
// placeholder's place, takes messages in the browser's own window and is
// destroyed for real, while no page is drawn or loaded, so the host flags are
// read as the engine would ask for them.
#include "control_host.h"
#include "finder/controls/html_ctrl.h"
#include "finder/framework/window_binding.h"
#include "service/session/unique_handle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kPlaceholderId = 1140;
constexpr RECT kPlaceholder = {10, 20, 130, 60};

// Lets a test see what the pane holds and when the object goes.
class ProbedPane : public CHtmlCtrl {
public:
    explicit ProbedPane(bool* pDeleted = nullptr) : m_pDeleted(pDeleted) {}
    ~ProbedPane() override {
        if (m_pDeleted) *m_pDeleted = true;
    }
    IWebBrowser2* Browser() const { return m_pBrowserApp; }

private:
    bool* m_pDeleted;
};

// A view as the framework means it: it belongs to its window.
class ProbedView : public CHtmlView {
public:
    explicit ProbedView(bool& deleted) : m_deleted(deleted) {}
    ~ProbedView() override { m_deleted = true; }

private:
    bool& m_deleted;
};

// Records the mouse messages the browser's window is given.
class MouseRecorder : public CWnd {
public:
    std::vector<UINT> messages;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE) {
            messages.push_back(message);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class HtmlPaneTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }

    HWND AddPlaceholder() { return host_.AddChild(L"STATIC", L"", kPlaceholder, kPlaceholderId); }

    RECT ClientRectInHost(HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, host_.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // Through the framework's own pump, which offers each message to the
    // window's and its parents' PreTranslateMessage.
    static void PumpThroughFramework() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            PumpFrameworkMessage(message);
    }

    ControlHost host_;
};

TEST_F(HtmlPaneTest, TakesThePlaceholdersRectangleAndIdWithTheBrowserInside) {
    HWND placeholder = AddPlaceholder();
    HWND neighbour = host_.AddChild(L"STATIC", L"", RECT{200, 20, 250, 60}, 1141);
    ProbedPane pane;
    ASSERT_TRUE(pane.CreateInPlace(kPlaceholderId, &host_));

    EXPECT_FALSE(IsWindow(placeholder));
    EXPECT_TRUE(IsWindow(neighbour));
    EXPECT_EQ(GetDlgItem(host_.m_hWnd, kPlaceholderId), pane.m_hWnd);
    EXPECT_EQ(GetParent(pane.m_hWnd), host_.m_hWnd);
    const RECT place = ClientRectInHost(pane.m_hWnd);
    EXPECT_TRUE(EqualRect(&place, &kPlaceholder));
    EXPECT_EQ(pane.GetStyle() & (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_POPUP), DWORD{WS_CHILD | WS_VISIBLE});
    EXPECT_NE(pane.Browser(), nullptr);

    // The browser's window fills the pane and follows its size.
    HWND browser = GetWindow(pane.m_hWnd, GW_CHILD);
    ASSERT_NE(browser, nullptr);
    const RECT filled = ClientRectInHost(browser);
    EXPECT_TRUE(EqualRect(&place, &filled));
    pane.SetWindowPos(nullptr, 0, 0, 200, 30, SWP_NOMOVE | SWP_NOZORDER);
    const RECT resized = ClientRectInHost(browser);
    EXPECT_EQ(resized.right - resized.left, 200);
    EXPECT_EQ(resized.bottom - resized.top, 30);
}

TEST_F(HtmlPaneTest, WithoutThePlaceholderNothingIsCreated) {
    HWND other = AddPlaceholder();
    ProbedPane pane;
    EXPECT_FALSE(pane.CreateInPlace(kPlaceholderId + 1, &host_));
    EXPECT_EQ(pane.m_hWnd, nullptr);
    EXPECT_TRUE(IsWindow(other));
    EXPECT_EQ(GetWindow(host_.m_hWnd, GW_CHILD), other);
    EXPECT_EQ(GetWindow(other, GW_HWNDNEXT), nullptr);
}

TEST_F(HtmlPaneTest, HostFlagsAreNoBorderAndFlatScrollBars) {
    ProbedPane pane;
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    info.dwFlags = 0xFFFF0000;
    EXPECT_EQ(pane.OnGetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x84u);
    EXPECT_EQ(info.dwFlags, DWORD{DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_FLAT_SCROLLBAR});
    EXPECT_EQ(info.cbSize, sizeof info);
    EXPECT_EQ(pane.OnGetHostInfo(nullptr), S_OK);
}

// Messages posted to the browser's own window, as a user's presses arrive.
TEST_F(HtmlPaneTest, LeftPressesReachThePageOnlyWhenAllowed) {
    AddPlaceholder();
    ProbedPane pane;
    ASSERT_TRUE(pane.CreateInPlace(kPlaceholderId, &host_));
    MouseRecorder browser;
    ASSERT_TRUE(browser.SubclassWindow(GetWindow(pane.m_hWnd, GW_CHILD)));

    const UINT presses[] = {WM_LBUTTONDOWN,   WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN,
                            WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,   WM_MOUSEWHEEL};
    for (BOOL allow : {FALSE, TRUE}) {
        pane.m_bAllowClick = allow;
        for (UINT press : presses) {
            browser.messages.clear();
            PostMessageW(browser.m_hWnd, press, 0, MAKELPARAM(5, 5));
            PumpThroughFramework();
            const bool swallowed = !allow && (press == WM_LBUTTONDOWN || press == WM_LBUTTONDBLCLK);
            EXPECT_EQ(browser.messages, swallowed ? std::vector<UINT>{} : std::vector<UINT>{press})
                << "message 0x" << std::hex << press << (allow ? " allowed" : " refused");
        }
    }
    browser.UnsubclassWindow();
}

TEST_F(HtmlPaneTest, ItsWindowGoingTakesTheBrowserButNotThePane) {
    AddPlaceholder();
    bool deleted = false;
    ProbedPane pane(&deleted);
    ASSERT_TRUE(pane.CreateInPlace(kPlaceholderId, &host_));
    HWND browser = GetWindow(pane.m_hWnd, GW_CHILD);

    EXPECT_TRUE(pane.DestroyWindow());
    EXPECT_FALSE(deleted);
    EXPECT_EQ(pane.m_hWnd, nullptr);
    EXPECT_EQ(pane.Browser(), nullptr);
    EXPECT_FALSE(IsWindow(browser));

    // The pane object can be made again in a fresh place.
    AddPlaceholder();
    EXPECT_TRUE(pane.CreateInPlace(kPlaceholderId, &host_));
}

// The base view, unlike the pane, belongs to its window.
TEST_F(HtmlPaneTest, APlainViewGoesWithItsWindow) {
    bool deleted = false;
    auto* view = new ProbedView(deleted);
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, kPlaceholder, &host_, kPlaceholderId));
    ::DestroyWindow(view->m_hWnd);
    EXPECT_TRUE(deleted);
}

// A press into a view makes its browser the active, focused part of the
// window; the pane, having no frame to be a view in, leaves the focus alone.
TEST_F(HtmlPaneTest, OnlyThePlainViewActivatesItsBrowserOnAPress) {
    HWND focused = host_.AddChild(L"EDIT", L"", RECT{200, 100, 300, 130}, 1150);
    AddPlaceholder();
    ProbedPane pane;
    ASSERT_TRUE(pane.CreateInPlace(kPlaceholderId, &host_));
    bool deleted = false;
    auto* view = new ProbedView(deleted);
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{10, 100, 130, 140}, &host_, 1160));

    const LPARAM press = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
    SetForegroundWindow(host_.m_hWnd);
    SetFocus(focused);
    SendMessageW(pane.m_hWnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host_.m_hWnd), press);
    EXPECT_EQ(GetFocus(), focused);
    SendMessageW(view->m_hWnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host_.m_hWnd), press);
    EXPECT_NE(GetFocus(), focused);
    EXPECT_TRUE(IsChild(view->m_hWnd, GetFocus()) || GetFocus() == view->m_hWnd);
    ::DestroyWindow(view->m_hWnd);
}

// The build puts the page beside the programs, where the finder reads it:
// self-contained UTF-8 that declares its charset, with no scripts and nothing
// fetched from the network.
TEST(TipsPageTest, IsInstalledBesideTheProgramsAndSelfContained) {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\ShareHtml\\Sokra.html";
    nuv::session::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.Valid()) << "no page at " << testing::PrintToString(path);
    std::string page(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file.Get(), page.data(), static_cast<DWORD>(page.size()), &read, nullptr));
    ASSERT_EQ(read, page.size());

    EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, page.data(), static_cast<int>(page.size()),
                                  nullptr, 0),
              0);
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.find("搜索"), std::string::npos);
    for (const char* banned : {"<script", "http:", "https:", "src=", "@import", "url("})
        EXPECT_EQ(page.find(banned), std::string::npos) << banned;
}

} // namespace
