// Dialogs made from dialog templates, modal (DoModal) and modeless (Create).
//
// On top of the conventions in wnd.h:
//
// * OnInitDialog runs for WM_INITDIALOG, once the controls of the template
//   exist; the base version binds the controls of DoDataExchange and returns
//   TRUE (the dialog manager then gives the focus to the first tab stop).
// * OnCommand: IDOK runs OnOK, IDCANCEL runs OnCancel. Enter, Escape, Alt+F4
//   and the system menu's Close all arrive there as IDOK or IDCANCEL, so an
//   override that does nothing keeps the dialog open.
// * OnOK and OnCancel end the dialog (EndDialog). For a modal dialog that ends
//   DoModal; a modeless one is only hidden.
// * DoModal runs its own message loop, which ends when EndDialog is called,
//   when the dialog's window is destroyed by any means, or on WM_QUIT (which is
//   posted again for the loop outside). When the dialog is the application's
//   main window, destroying it posts WM_QUIT.
#pragma once

#include "finder/framework/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    bool m_bFailed = false; // a control could not be bound
};

// Binds the template control nIDC to rControl by subclassing it, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog modally; returns the EndDialog result, or -1 when the
    // dialog could not be created or its window was destroyed without
    // EndDialog.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; FALSE when the template is missing or the
    // creation failed. With nIDTemplate 0 the constructor's template is used.
    virtual BOOL Create(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    friend struct DialogCreation;
    HWND CreateFromTemplate(UINT nIDTemplate, HWND hWndOwner);
    void RunModalLoop();

    bool m_bModalLoop = false;
    INT_PTR m_nModalResult = -1;
};

class CDialogEx : public CDialog {
public:
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialogEx() override;

    // Paints the dialog's background, and the background of its plain static
    // controls, in one colour.
    void SetBackgroundColor(COLORREF color, BOOL bRepaint = TRUE);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    HBRUSH OnCtlColor(HDC hDC, HWND hWndChild, UINT nCtlColor) override;

private:
    BOOL OnEraseBkgnd(HDC hDC);

    HBRUSH m_hBackgroundBrush = nullptr;
};
