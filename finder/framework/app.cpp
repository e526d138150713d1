#include "finder/framework/app.h"

#include "finder/framework/window_binding.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(LPCWSTR lpszAppName) : m_hInstance(GetModuleHandleW(nullptr)), m_pszAppName(lpszAppName) {
    if (!g_pApp) g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        PumpFrameworkMessage(msg);
    return ExitInstance();
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

CWnd* AfxGetMainWnd() {
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}
