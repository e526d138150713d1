// The application object. Exactly one CWinApp-derived object exists per
// process, usually a static one; the framework's entry point (wWinMain) calls
// its InitInstance, then Run when InitInstance returned TRUE, else
// ExitInstance, and returns the exit code.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // FALSE ends the application at once (through ExitInstance).
    virtual BOOL InitInstance() { return TRUE; }
    // The application's message loop, until WM_QUIT; then ExitInstance.
    virtual int Run();
    // Returns the process exit code.
    virtual int ExitInstance() { return 0; }

    // The main window: when it is destroyed, the framework posts WM_QUIT.
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppName = nullptr;
};

// The one application object, or nullptr when none exists.
CWinApp* AfxGetApp();
// The application's main window, or nullptr.
CWnd* AfxGetMainWnd();
