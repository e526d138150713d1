#include "sokra_dlg.h"

#include "resource.h"
#include "search_text.h"

CSokraDlg::CSokraDlg() : CDialog(IDD_RESULTS) {}

LRESULT CSokraDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SEARCH_QUERY: return OnSearchQuery();
    default: return CDialog::WindowProc(message, wParam, lParam);
    }
}

LRESULT CSokraDlg::OnSearchQuery() {
    SetWindowText(g_szSearchText);
    return 0;
}
