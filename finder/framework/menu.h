// An owned popup menu.
#pragma once

#include <windows.h>

class CWnd;

class CMenu {
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu();

    BOOL CreatePopupMenu();
    // Takes ownership of hMenu; FALSE when this object already holds a menu.
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr);
    // nCheck is MF_CHECKED or MF_UNCHECKED, with MF_BYCOMMAND or
    // MF_BYPOSITION; returns the previous state or (UINT)-1.
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    // Shows the menu; the chosen command is sent to pWnd as WM_COMMAND, or
    // returned with TPM_RETURNCMD.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
};
