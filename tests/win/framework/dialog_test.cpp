// Dialogs from templates: modal and modeless runs, OnInitDialog, OnOK and
// OnCancel (with the keys that reach them), the end of DoModal, owners, data
// exchange and the background colour.
#include "finder/framework/app.h"
#include "finder/framework/controls.h"
#include "finder/framework/dialog.h"

#include "pixel_canvas.h"
#include "test_resources.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr UINT WM_TEST_FINISH = WM_APP + 1; // the dialog destroys its own window

// A dialog that counts its handlers, runs a step at initialisation and, when
// told, keeps itself open on OK and Cancel as the finder's bar does.
class RecordingDialog : public CDialogEx {
public:
    explicit RecordingDialog(UINT nIDTemplate, CWnd* pParent = nullptr) : CDialogEx(nIDTemplate, pParent) {}

    bool m_bKeepOpen = false;
    int m_nInit = 0;
    int m_nOK = 0;
    int m_nCancel = 0;
    bool m_bVisibleAtFinish = false;
    int m_nFinishHops = 4;
    std::function<void(RecordingDialog&)> m_onInit;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_TEST_FINISH: return OnFinish();
        default: break;
        }
        return CDialogEx::WindowProc(message, wParam, lParam);
    }

protected:
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        ++m_nInit;
        if (m_onInit) m_onInit(*this);
        return TRUE;
    }
    void OnOK() override {
        ++m_nOK;
        if (!m_bKeepOpen) CDialogEx::OnOK();
    }
    void OnCancel() override {
        ++m_nCancel;
        if (!m_bKeepOpen) CDialogEx::OnCancel();
    }

private:
    // Some keys reach OnOK or OnCancel only after further posted messages
    // (Alt+F4 becomes WM_SYSCOMMAND, then WM_CLOSE, then a posted IDCANCEL),
    // so the finish goes to the back of the queue a few times first.
    LRESULT OnFinish() {
        if (m_nFinishHops-- > 0) {
            PostMessage(WM_TEST_FINISH);
            return 0;
        }
        m_bVisibleAtFinish = IsWindowVisible() != FALSE;
        DestroyWindow();
        return 0;
    }
};

void DropQuitMessage() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

struct KeyCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    INT_PTR command; // what the key becomes: IDOK or IDCANCEL
};

const KeyCase kKeys[] = {
    {"Enter", WM_KEYDOWN, VK_RETURN, 1, IDOK},
    {"Escape", WM_KEYDOWN, VK_ESCAPE, 1, IDCANCEL},
    {"AltF4", WM_SYSKEYDOWN, VK_F4, 1 | (static_cast<LPARAM>(KF_ALTDOWN) << 16), IDCANCEL},
    {"Close", WM_CLOSE, 0, 0, IDCANCEL},
};

class ModalKeys : public testing::TestWithParam<KeyCase> {
protected:
    // Posts the key once the dialog runs; the finish message comes after it,
    // so a dialog that the key did not end is destroyed and DoModal returns.
    static void PressKeyThenFinish(RecordingDialog& dlg) {
        dlg.PostMessage(GetParam().message, GetParam().wParam, GetParam().lParam);
        dlg.PostMessage(WM_TEST_FINISH);
    }
};

TEST_P(ModalKeys, EndTheDialogThroughTheBaseHandlers) {
    RecordingDialog dlg(IDD_BUTTONS);
    dlg.m_onInit = PressKeyThenFinish;
    EXPECT_EQ(dlg.DoModal(), GetParam().command);
    EXPECT_EQ(dlg.m_nInit, 1);
    EXPECT_EQ(dlg.m_nOK, GetParam().command == IDOK ? 1 : 0);
    EXPECT_EQ(dlg.m_nCancel, GetParam().command == IDCANCEL ? 1 : 0);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_P(ModalKeys, DoNothingWhenOnOKAndOnCancelAreOverriddenEmpty) {
    RecordingDialog dlg(IDD_BUTTONS);
    dlg.m_bKeepOpen = true;
    dlg.m_onInit = PressKeyThenFinish;
    EXPECT_EQ(dlg.DoModal(), -1); // ended by the destruction, not by the key
    EXPECT_TRUE(dlg.m_bVisibleAtFinish);
    EXPECT_EQ(dlg.m_nOK + dlg.m_nCancel, 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, ModalKeys, testing::ValuesIn(kKeys),
                         [](const testing::TestParamInfo<KeyCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ModalDialog, ReturnsWhenItsWindowIsDestroyed) {
    RecordingDialog dlg(IDD_BUTTONS);
    dlg.m_bKeepOpen = true;
    dlg.m_onInit = [](RecordingDialog& d) { d.PostMessage(WM_TEST_FINISH); };
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        << "only the main window ends the app";
}

TEST(ModalDialog, DestroyingTheMainWindowEndsTheRunAndPostsQuit) {
    CWinApp app;
    RecordingDialog dlg(IDD_BUTTONS);
    app.m_pMainWnd = &dlg;
    dlg.m_bKeepOpen = true;
    dlg.m_onInit = [](RecordingDialog& d) { d.PostMessage(WM_TEST_FINISH); };
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DropQuitMessage();
}

TEST(ModalDialog, QuitFromInsideEndsTheLoopAndIsPostedAgain) {
    RecordingDialog dlg(IDD_BUTTONS);
    dlg.m_onInit = [](RecordingDialog&) { PostQuitMessage(3); };
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr) << "DoModal destroys the window it made";
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    DropQuitMessage();
}

TEST(ModalDialog, DisablesItsOwnerWhileItRunsAndWithoutParentTakesTheMainWindow) {
    CWinApp app;
    RecordingDialog owner(IDD_BUTTONS);
    ASSERT_TRUE(owner.Create(IDD_BUTTONS));
    app.m_pMainWnd = &owner;

    for (CWnd* parent : {static_cast<CWnd*>(nullptr), static_cast<CWnd*>(&owner)}) {
        HWND ownerSeen = nullptr;
        BOOL ownerEnabled = TRUE;
        RecordingDialog modal(IDD_BUTTONS, parent);
        modal.m_onInit = [&](RecordingDialog& d) {
            ownerSeen = GetWindow(d.m_hWnd, GW_OWNER);
            ownerEnabled = ::IsWindowEnabled(owner.m_hWnd);
            d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        };
        EXPECT_EQ(modal.DoModal(), IDOK);
        EXPECT_EQ(ownerSeen, owner.m_hWnd);
        EXPECT_FALSE(ownerEnabled);
        EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    }
    app.m_pMainWnd = nullptr;
    owner.DestroyWindow();
}

TEST(ModelessDialog, OkHidesWithoutDestroyingAndDestroyUnbinds) {
    struct Counting : RecordingDialog {
        Counting() : RecordingDialog(IDD_BUTTONS) {}
        int m_nPostNcDestroy = 0;
        void PostNcDestroy() override { ++m_nPostNcDestroy; }
    } dlg;
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS, nullptr));
    ASSERT_NE(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_nInit, 1);
    dlg.ShowWindow(SW_SHOWNOACTIVATE);

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nOK, 1);
    ASSERT_NE(dlg.m_hWnd, nullptr);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    EXPECT_FALSE(dlg.IsWindowVisible());

    HWND hWnd = dlg.m_hWnd;
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_nPostNcDestroy, 1);
    EXPECT_FALSE(dlg.Create(0xBEEF)) << "a missing template";
}

// A button that shows when and how it was bound.
class ProbeButton : public CButton {
public:
    HWND m_hWndAtPreSubclass = nullptr;
    int m_nPreSubclass = 0;
    int m_nProbeMessages = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP + 7) ++m_nProbeMessages;
        return CButton::WindowProc(message, wParam, lParam);
    }

protected:
    void PreSubclassWindow() override {
        ++m_nPreSubclass;
        m_hWndAtPreSubclass = m_hWnd;
        // What a skinned button does: replace the template's style.
        SetWindowLongW(m_hWnd, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW);
    }
};

class BindingDialog : public CDialogEx {
public:
    explicit BindingDialog(int nIDExtra = 0) : CDialogEx(IDD_CONTROLS), m_nIDExtra(nIDExtra) {}
    ProbeButton m_button;
    CEdit m_edit;
    CStatic m_extra;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_OWNERDRAW, m_button);
        DDX_Control(pDX, IDC_EDIT, m_edit);
        if (m_nIDExtra) DDX_Control(pDX, m_nIDExtra, m_extra);
    }

private:
    int m_nIDExtra;
};

TEST(DataExchange, BindsTemplateControlsAndRunsPreSubclassWindowOnce) {
    BindingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROLS));
    HWND button = ::GetDlgItem(dlg.m_hWnd, IDC_OWNERDRAW);
    EXPECT_EQ(dlg.m_button.m_hWnd, button);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), &dlg.m_button);
    EXPECT_EQ(dlg.m_edit.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_EDIT));
    EXPECT_EQ(dlg.m_button.m_nPreSubclass, 1);
    EXPECT_EQ(dlg.m_button.m_hWndAtPreSubclass, button);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW));

    ::SendMessageW(button, WM_APP + 7, 0, 0);
    EXPECT_EQ(dlg.m_button.m_nProbeMessages, 1) << "messages reach the bound object";
    dlg.m_edit.SetWindowText(L"共查找出");
    dlg.m_edit.SetSel(1, 3);
    DWORD start = 0;
    DWORD end = 0;
    dlg.m_edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    EXPECT_TRUE(dlg.UpdateData(TRUE)) << "binding again changes nothing";
    EXPECT_EQ(dlg.m_button.m_nPreSubclass, 1);

    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_button.m_hWnd, nullptr) << "controls are unbound with their window";
    EXPECT_EQ(dlg.m_edit.m_hWnd, nullptr);
}

TEST(DataExchange, AControlMissingFromTheTemplateFailsTheModalRun) {
    BindingDialog dlg(IDC_NOT_IN_TEMPLATE);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH info{};
    GetObjectW(brush, sizeof info, &info);
    return info.lbColor;
}

TEST(DialogBackground, SetBackgroundColorPaintsTheDialogAndItsStatics) {
    RecordingDialog dlg(IDD_BUTTONS);
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    PixelCanvas canvas(400, 200);
    canvas.Fill(0);
    dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()));
    EXPECT_NE(canvas.At(5, 5) & 0xFFFFFF, 0xFF00FFu) << "before: the system's dialog colour";

    dlg.SetBackgroundColor(RGB(255, 0, 255));
    canvas.Fill(0);
    EXPECT_NE(dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc())), 0);
    EXPECT_EQ(canvas.At(5, 5) & 0xFFFFFF, 0xFF00FFu);

    const auto dialogBrush = reinterpret_cast<HBRUSH>(dlg.SendMessage(
        WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(canvas.Dc()), reinterpret_cast<LPARAM>(dlg.m_hWnd)));
    EXPECT_EQ(BrushColour(dialogBrush), RGB(255, 0, 255));
    const auto staticBrush = reinterpret_cast<HBRUSH>(
        dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.Dc()),
                        reinterpret_cast<LPARAM>(::GetDlgItem(dlg.m_hWnd, IDC_LABEL))));
    EXPECT_EQ(BrushColour(staticBrush), RGB(255, 0, 255));
    EXPECT_EQ(GetBkMode(canvas.Dc()), TRANSPARENT);
    dlg.DestroyWindow();
}

} // namespace
