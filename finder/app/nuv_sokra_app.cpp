#include "nuv_sokra_app.h"

#include "nuv_sokra_dlg.h"

#include <commctrl.h>
#include <ole2.h>

namespace {

// "Global\" puts the name in the machine-wide namespace: one finder per
// machine, across every signed-in user.
constexpr wchar_t kInstanceMutexName[] = L"Global\\nuvSokra";

// True when another finder already holds the name. The handle of the first
// finder is never closed: the system frees the name when the process ends.
bool AnotherInstanceRuns() {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (mutex == nullptr) return false; // runs on, without the protection
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    CloseHandle(mutex);
    return true;
}

void RegisterCommonControls() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

// The web pane hosts the system's browser control, which needs OLE on this
// thread for the whole run.
class ControlContainer {
public:
    ControlContainer() : m_bInitialised(SUCCEEDED(OleInitialize(nullptr))) {}
    ControlContainer(const ControlContainer&) = delete;
    ControlContainer& operator=(const ControlContainer&) = delete;
    ~ControlContainer() {
        if (m_bInitialised) OleUninitialize();
    }

private:
    bool m_bInitialised;
};

} // namespace

CnuvSokraApp theApp;

CnuvSokraApp::CnuvSokraApp() = default;

BOOL CnuvSokraApp::InitInstance() {
    // A second start ends before it touches anything, the running finder's
    // search service included.
    if (AnotherInstanceRuns()) return FALSE;
    RegisterCommonControls();
    // Restart support only: after an update or a crash the system may start
    // the finder again; there is no document to recover.
    RegisterApplicationRestart(nullptr, 0);
    ControlContainer container;

    CnuvSokraDlg bar;
    m_pMainWnd = &bar;
    bar.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
