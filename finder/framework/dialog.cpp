#include "finder/framework/dialog.h"

#include "finder/framework/app.h"
#include "finder/framework/gdi_guards.h"
#include "finder/framework/window_binding.h"

// Dialogs are created by the system's dialog manager with this procedure. It
// only binds the object at WM_INITDIALOG (lParam is the object); from then on
// the framework's window procedure stands in front of the dialog manager's,
// which becomes the default processing.
struct DialogCreation {
    static INT_PTR CALLBACK DialogProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_INITDIALOG) return FALSE;
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        try {
            if (!dialog || !WindowBinding::BindBySubclassing(dialog, hWnd)) return FALSE;
        } catch (...) {
            OutputDebugStringW(L"window framework: binding a dialog threw\n");
            return FALSE;
        }
        return WindowBinding::Dispatch(dialog, message, wParam, lParam);
    }
};

namespace {

// A modal dialog without a parent is owned by the application's main
// window, which it disables while it runs.
HWND ModalOwner(CWnd* pParentWnd, const CWnd* dialog) {
    CWnd* owner = pParentWnd ? pParentWnd : AfxGetMainWnd();
    if (!owner || owner == dialog || !IsWindow(owner->m_hWnd)) return nullptr;
    return GetAncestor(owner->m_hWnd, GA_ROOT);
}

void WakeMessageLoop() {
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

} // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;
    if (!rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd)) pDX->m_bFailed = true;
}

// --- CDialog -----------------------------------------------------------------

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hWndOwner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(nIDTemplate), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return nullptr;
    return CreateDialogIndirectParamW(instance, dialogTemplate, hWndOwner, DialogCreation::DialogProcedure,
                                      reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return FALSE;
    if (nIDTemplate != 0) m_nIDTemplate = nIDTemplate;
    if (pParentWnd) m_pParentWnd = pParentWnd;
    return CreateFromTemplate(m_nIDTemplate, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr) != nullptr &&
           m_hWnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    HWND owner = ModalOwner(m_pParentWnd, this);
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);

    m_nModalResult = -1;
    m_bModalLoop = true;
    if (CreateFromTemplate(m_nIDTemplate, owner) && m_hWnd) {
        if (m_bModalLoop && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    m_bModalLoop = false;

    // The owner is enabled before the dialog hides, so that it, not some
    // other window, becomes active again.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    while (m_bModalLoop && m_hWnd) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside
            return;
        }
        if (got == -1) return;
        PumpFrameworkMessage(msg);
    }
}

void CDialog::EndDialog(int nResult) {
    if (m_bModalLoop) {
        m_nModalResult = nResult;
        m_bModalLoop = false;
        WakeMessageLoop();
    }
    // For a modeless dialog this only hides the window.
    if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.m_bFailed ? FALSE : TRUE;
}

BOOL CDialog::OnInitDialog() {
    if (UpdateData(FALSE)) return TRUE;
    // A template that lacks a control the class binds cannot work: the dialog
    // ends as one that could not be created.
    EndDialog(-1);
    return FALSE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: break;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_NCDESTROY:
        if (m_bModalLoop) WakeMessageLoop(); // the loop may be waiting for a message
        break;
    default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // Enter, Escape, Tab and the arrows become the dialog's commands and
    // focus moves; other messages go their usual way.
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

// --- CDialogEx ---------------------------------------------------------------

CDialogEx::CDialogEx(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

CDialogEx::~CDialogEx() {
    if (m_hBackgroundBrush) DeleteObject(m_hBackgroundBrush);
}

void CDialogEx::SetBackgroundColor(COLORREF color, BOOL bRepaint) {
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return;
    if (m_hBackgroundBrush) DeleteObject(m_hBackgroundBrush);
    m_hBackgroundBrush = brush;
    if (bRepaint && m_hWnd) {
        Invalidate(TRUE);
        UpdateWindow();
    }
}

LRESULT CDialogEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        if (m_hBackgroundBrush) return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        break;
    default: break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CDialogEx::OnEraseBkgnd(HDC hDC) {
    RECT client;
    GetClientRect(&client);
    FillRect(hDC, &client, m_hBackgroundBrush);
    return TRUE;
}

HBRUSH CDialogEx::OnCtlColor(HDC hDC, HWND hWndChild, UINT nCtlColor) {
    if (!m_hBackgroundBrush) return CDialog::OnCtlColor(hDC, hWndChild, nCtlColor);
    if (nCtlColor == CTLCOLOR_DLG) return m_hBackgroundBrush;
    wchar_t className[16] = {};
    if (nCtlColor == CTLCOLOR_STATIC && GetClassNameW(hWndChild, className, 16) &&
        lstrcmpiW(className, L"Static") == 0) {
        SetBkMode(hDC, TRANSPARENT);
        return m_hBackgroundBrush;
    }
    return CDialog::OnCtlColor(hDC, hWndChild, nCtlColor);
}
