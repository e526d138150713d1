// Windows bound to objects: creation, subclassing, unbinding, handle
// wrappers, exceptions in handlers, and reflection of child notifications
// back to the control objects.
#include "finder/framework/controls.h"
#include "finder/framework/dialog.h"
#include "finder/framework/wnd.h"

#include "test_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT WM_TEST_THROW = WM_APP + 3;

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> m_messages;
    HWND m_hWndAtFirstMessage = nullptr;
    int m_nPreSubclass = 0;
    int m_nPostNcDestroy = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (m_messages.empty()) m_hWndAtFirstMessage = m_hWnd;
        m_messages.push_back(message);
        switch (message) {
        case WM_TEST_THROW: throw std::runtime_error("handler failure");
        default: break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

protected:
    void PreSubclassWindow() override { ++m_nPreSubclass; }
    void PostNcDestroy() override { ++m_nPostNcDestroy; }
};

const RECT kRect{10, 10, 110, 60};

TEST(WindowBinding, CreateExBindsAtNcCreateAndUnbindsAtNcDestroy) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"probe", WS_POPUP, kRect, nullptr, 0));
    ASSERT_FALSE(wnd.m_messages.empty());
    EXPECT_EQ(wnd.m_messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_NE(wnd.m_hWndAtFirstMessage, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.m_nPreSubclass, 0) << "bound at creation, not by subclassing";

    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.m_nPostNcDestroy, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(WindowBinding, DestroyingTheObjectDestroysItsWindow) {
    HWND hWnd = nullptr;
    {
        RecordingWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"probe", WS_POPUP, kRect, nullptr, 0));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST(WindowBinding, SystemClassIsBoundBySubclassingAndKeepsItsOwnBehaviour) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"Static", L"静态", WS_POPUP, kRect, nullptr, 0));
    EXPECT_EQ(wnd.m_nPreSubclass, 1);
    const auto original = reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd.m_hWnd, GCLP_WNDPROC));

    wnd.SetWindowText(L"共查找出");
    std::wstring text;
    wnd.GetWindowText(text);
    EXPECT_EQ(text, L"共查找出") << "the static's own procedure keeps the text";
    EXPECT_NE(std::find(wnd.m_messages.begin(), wnd.m_messages.end(), static_cast<UINT>(WM_SETTEXT)),
              wnd.m_messages.end());

    RecordingWnd second;
    EXPECT_FALSE(second.SubclassWindow(wnd.m_hWnd)) << "one object per window";

    HWND hWnd = wnd.UnsubclassWindow();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    const size_t seen = wnd.m_messages.size();
    SetWindowTextW(hWnd, L"x");
    EXPECT_EQ(wnd.m_messages.size(), seen);
    EXPECT_TRUE(second.SubclassWindow(hWnd));
    second.DestroyWindow();
}

TEST(WindowBinding, AnExceptionInAHandlerStaysInsideTheWindowProcedure) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"probe", WS_POPUP, kRect, nullptr, 0));
    EXPECT_EQ(wnd.SendMessage(WM_TEST_THROW), 0);
    wnd.SetWindowText(L"still working");
    std::wstring text;
    wnd.GetWindowText(text);
    EXPECT_EQ(text, L"still working");
    wnd.DestroyWindow();
}

TEST(WindowBinding, FromHandleGivesTheBoundObjectOrAWrapperThatOwnsNothing) {
    RecordingWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP, kRect, nullptr, 0));
    HWND loose =
        CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, owner.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(loose, nullptr);

    CWnd* wrapper = CWnd::FromHandle(loose);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hWnd, loose);
    EXPECT_EQ(CWnd::FromHandle(loose), wrapper);
    EXPECT_EQ(CWnd::FromHandlePermanent(loose), nullptr);
    EXPECT_EQ(wrapper->GetParent(), &owner);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

    RecordingWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"popup", WS_POPUP, kRect, &owner, 0));
    EXPECT_EQ(popup.GetOwner(), &owner);
    EXPECT_NE(dynamic_cast<RecordingWnd*>(popup.GetOwner()), nullptr);
    popup.DestroyWindow();
    owner.DestroyWindow();
}

// --- reflection --------------------------------------------------------------

class ReflectingButton : public CButton {
public:
    int m_nDrawItem = 0;
    UINT m_ctlType = 0;
    HWND m_hwndItem = nullptr;
    bool m_bTakeCommands = false;
    std::vector<UINT> m_commandCodes;
    UINT m_notifyCodeTaken = 0;
    std::vector<UINT> m_notifyCodes;

    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++m_nDrawItem;
        m_ctlType = item->CtlType;
        m_hwndItem = item->hwndItem;
    }

protected:
    BOOL OnCommandReflect(UINT nCode) override {
        m_commandCodes.push_back(nCode);
        return m_bTakeCommands;
    }
    BOOL OnNotifyReflect(NMHDR* header, LRESULT* pResult) override {
        m_notifyCodes.push_back(header->code);
        if (header->code != m_notifyCodeTaken) return FALSE;
        *pResult = 77;
        return TRUE;
    }
};

class ColouredEdit : public CEdit {
public:
    ColouredEdit() : m_brush(CreateSolidBrush(RGB(1, 2, 3))) {}
    ~ColouredEdit() override { DeleteObject(m_brush); }
    std::vector<UINT> m_kinds;
    HBRUSH m_brush;

protected:
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor) override {
        m_kinds.push_back(nCtlColor);
        SetTextColor(hDC, RGB(119, 121, 118));
        return m_brush;
    }
};

class ReflectionDialog : public CDialogEx {
public:
    ReflectionDialog() : CDialogEx(IDD_CONTROLS) {}
    ReflectingButton m_button;
    ColouredEdit m_edit;
    std::vector<int> m_commandIds;
    std::vector<UINT> m_notifyCodes;
    std::vector<HWND> m_ctlColorChildren;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_OWNERDRAW, m_button);
        DDX_Control(pDX, IDC_EDIT, m_edit);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        m_commandIds.push_back(LOWORD(wParam));
        return CDialogEx::OnCommand(wParam, lParam);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        m_notifyCodes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        return CDialogEx::OnNotify(wParam, lParam, pResult);
    }
    HBRUSH OnCtlColor(HDC hDC, HWND hWndChild, UINT nCtlColor) override {
        m_ctlColorChildren.push_back(hWndChild);
        return CDialogEx::OnCtlColor(hDC, hWndChild, nCtlColor);
    }
};

class Reflection : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dlg.Create(IDD_CONTROLS)); }
    void TearDown() override { m_dlg.DestroyWindow(); }
    ReflectionDialog m_dlg;
};

TEST_F(Reflection, OwnerDrawnButtonDrawsItselfThroughItsObject) {
    RedrawWindow(m_dlg.m_button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(m_dlg.m_button.m_nDrawItem, 1);
    EXPECT_EQ(m_dlg.m_button.m_ctlType, static_cast<UINT>(ODT_BUTTON));
    EXPECT_EQ(m_dlg.m_button.m_hwndItem, m_dlg.m_button.m_hWnd);
}

TEST_F(Reflection, ControlCommandsReachTheControlFirstAndTheParentUnlessTaken) {
    for (bool take : {false, true}) {
        m_dlg.m_commandIds.clear();
        m_dlg.m_button.m_commandCodes.clear();
        m_dlg.m_button.m_bTakeCommands = take;
        m_dlg.m_button.SendMessage(BM_CLICK);
        ASSERT_EQ(m_dlg.m_button.m_commandCodes.size(), 1u) << "take=" << take;
        EXPECT_EQ(m_dlg.m_button.m_commandCodes[0], static_cast<UINT>(BN_CLICKED));
        EXPECT_EQ(m_dlg.m_commandIds.size(), take ? 0u : 1u) << "take=" << take;
    }
}

TEST_F(Reflection, NotificationsReachTheControlFirstAndTheParentUnlessTaken) {
    m_dlg.m_button.m_notifyCodeTaken = 5001;
    for (UINT code : {5001u, 5002u}) {
        m_dlg.m_notifyCodes.clear();
        NMHDR header{m_dlg.m_button.m_hWnd, IDC_OWNERDRAW, code};
        const LRESULT result = m_dlg.SendMessage(WM_NOTIFY, IDC_OWNERDRAW, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(result, code == 5001u ? 77 : 0);
        EXPECT_EQ(m_dlg.m_notifyCodes.size(), code == 5001u ? 0u : 1u);
    }
}

TEST_F(Reflection, ColourRequestsReachTheBoundControlAndOthersReachTheParent) {
    HWND edit = m_dlg.m_edit.m_hWnd;
    HWND text = ::GetDlgItem(m_dlg.m_hWnd, IDC_TEXT);
    RedrawWindow(m_dlg.m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    ASSERT_FALSE(m_dlg.m_edit.m_kinds.empty());
    EXPECT_EQ(m_dlg.m_edit.m_kinds[0], static_cast<UINT>(CTLCOLOR_EDIT));
    const auto& parentSaw = m_dlg.m_ctlColorChildren;
    EXPECT_EQ(std::count(parentSaw.begin(), parentSaw.end(), edit), 0);
    EXPECT_GE(std::count(parentSaw.begin(), parentSaw.end(), text), 1);

    HDC dc = GetDC(edit);
    EXPECT_EQ(
        m_dlg.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)),
        reinterpret_cast<LRESULT>(m_dlg.m_edit.m_brush));
    EXPECT_EQ(GetTextColor(dc), RGB(119, 121, 118));
    ReleaseDC(edit, dc);
}

} // namespace
