// The window framework's base class: one C++ object bound to one window.
//
// Handler conventions, for every class of this framework:
//
// * Binding. An object is bound to its window in exactly one of two ways: at
//   creation, through the creation parameter (WM_NCCREATE for CreateEx with the
//   framework's window class, WM_INITDIALOG for dialogs), or by subclassing an
//   existing window (SubclassWindow, SubclassDlgItem, DDX_Control), which runs
//   PreSubclassWindow first. The binding ends at WM_NCDESTROY: m_hWnd becomes
//   null and PostNcDestroy runs. Destroying a bound object destroys its window.
//
// * WindowProc(msg, wParam, lParam) is called for every message of a bound
//   window. A derived class overrides it as a table: a switch of one-line
//   dispatches to its named handlers, and every message it does not take goes
//   on to the base class's WindowProc. The base WindowProc reflects child
//   notifications (below), then calls the framework handlers (OnCommand,
//   OnNotify, OnCtlColor, and the dialog ones in dialog.h), and passes
//   everything else to DefWindowProc.
//
// * DefWindowProc(msg, wParam, lParam) is the default processing: the window
//   procedure the window had before it was bound (the control's own class, the
//   dialog manager), or the system's DefWindowProc. A handler that wants the
//   default processing before or after its own work calls it explicitly;
//   nothing calls it behind a handler's back.
//
// * Return values: WindowProc returns the message result. OnCommand and
//   OnNotify return TRUE when they handled the message (then the default
//   processing does not run; OnNotify stores the result in *pResult).
//   OnCtlColor returns the brush to paint with, or nullptr for the default
//   processing.
//
// * Reflection. WM_DRAWITEM, WM_NOTIFY, WM_CTLCOLOR* and control commands
//   (WM_COMMAND with a control handle) arrive at the parent, which first hands
//   them to the bound object of the child that sent them (OnChildNotify). The
//   child answers through DrawItem (CButton, CStatic), OnNotifyReflect,
//   CtlColor and OnCommandReflect. When the child handles the message, the
//   parent's own handlers do not see it; otherwise they do. So a skinned
//   control carries all of its own drawing.
//
// * Message loops (CWinApp::Run and DoModal's own loop) offer every message to
//   PreTranslateMessage of the window it is for and then of each parent or
//   owner; a dialog takes its keys there (Enter, Escape, Tab). When the
//   application's main window (CWinApp::m_pMainWnd) is destroyed, the
//   framework posts WM_QUIT.
//
// * Exceptions never leave a window procedure: one thrown by a handler is
//   caught at the window procedure and the message is answered with 0.
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // The object bound to hWnd, or nullptr when none is.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The object bound to hWnd, or else a handle-only object owned by the
    // framework (never destroys the window); nullptr for a null handle.
    static CWnd* FromHandle(HWND hWnd);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // Creation with the framework's own window class (className nullptr: the
    // object is bound at WM_NCCREATE) or with a system class (bound by
    // subclassing right after creation).
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called by the message loop before a message is dispatched, for the
    // window it is for and each of its parents; TRUE: the message was used.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Window properties.
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    // Text and font.
    void SetWindowText(LPCWSTR lpszString);
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(std::wstring& rString) const;
    int GetWindowTextLength() const;
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const;

    // Geometry.
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);

    // State and painting.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    CWnd* SetFocus();
    static CWnd* GetFocus();

    // Messages and timers.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

protected:
    // Runs while the object is bound by subclassing, before the window
    // procedure is replaced: the place to set styles and per-window data.
    virtual void PreSubclassWindow() {}
    // Runs after the binding ended at WM_NCDESTROY; the object may delete
    // itself here.
    virtual void PostNcDestroy() {}

    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual HBRUSH OnCtlColor(HDC hDC, HWND hWndChild, UINT nCtlColor);

    // Reflection, on the child side. OnChildNotify is the one entry; it
    // dispatches to the named handlers below and returns TRUE when the child
    // handled the message (its result in *pResult).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // WM_DRAWITEM for this control: TRUE when it drew itself.
    virtual BOOL OnDrawItemReflect(LPDRAWITEMSTRUCT lpDrawItemStruct);
    // WM_NOTIFY from this control: TRUE when handled.
    virtual BOOL OnNotifyReflect(NMHDR* pNMHDR, LRESULT* pResult);
    // WM_CTLCOLOR* for this control: the brush, or nullptr when not handled.
    virtual HBRUSH CtlColor(HDC hDC, UINT nCtlColor);
    // WM_COMMAND from this control: TRUE when handled (the parent then does
    // not see the command).
    virtual BOOL OnCommandReflect(UINT nCode);

private:
    friend struct WindowBinding;
    BOOL ReflectDrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct, LRESULT* pResult);
    BOOL ReflectCommand(UINT nCode, LRESULT* pResult);
    WNDPROC m_pfnSuper = nullptr; // the procedure the window had before binding
    bool m_bHandleOnly = false;   // a FromHandle wrapper: never destroys the window
};
