#include "sokra_dlg.h"

#include "finder/controls/png_resource.h"
#include "finder/searchcore/search_core.h"
#include "resource.h"
#include "search_edit_dlg.h"
#include "search_text.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// The popup's constant alpha, of 255: the desktop shows faintly through.
constexpr BYTE kPopupAlpha = 230;
constexpr int kCornerEllipse = 7;
// The title band of the background image: rows 0 to 26 drag the popup.
constexpr int kTitleBandHeight = 27;
// Rows from here down to the bottom are the footer of the background image.
constexpr int kFooterTop = 386;

constexpr int kNameColumnWidth = 200;
constexpr int kFolderColumnWidth = 270;

// Set at start and cleared by the first popup that initialises: the web pane's
// browser control needs the user-interface thread in a single-threaded
// apartment, whatever the process had set up before.
bool g_bComApartmentPending = true;

void MoveKeepingSize(CWnd& control, int x, int y) {
    control.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE WindowSize(const CWnd& window) {
    RECT rect;
    window.GetWindowRect(&rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Moves a control whose size comes from the template's dialog units to (x, y)
// and keeps it inside `area`: dialog units grow with the dialog font and the
// display scaling, the skin does not.
void MoveInside(CWnd& control, int x, int y, const RECT& area) {
    const SIZE size = WindowSize(control);
    const int width = std::min<int>(size.cx, area.right - x);
    const int height = std::min<int>(size.cy, area.bottom - y);
    control.SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SwitchComToApartment() {
    if (!g_bComApartmentPending) return;
    g_bComApartmentPending = false;
    CoUninitialize();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

} // namespace

CSokraDlg::CSokraDlg() : CDialog(IDD_RESULTS) {}

CSokraDlg::~CSokraDlg() = default;

BOOL CSokraDlg::OnInitDialog() {
    if (!CDialog::OnInitDialog()) return FALSE;

    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, kPopupAlpha, LWA_ALPHA);
    LoadPngIntoImage(m_imgBackground, IDB_PNG_RESULTS);
    const int width = m_imgBackground.GetWidth();
    const int height = m_imgBackground.GetHeight();

    RECT window;
    GetWindowRect(&window);
    MoveWindow(window.left, window.top, width + 1, height + 1, FALSE);
    ShowWindow(SW_HIDE);
    // The system owns the region from here on.
    ::SetWindowRgn(m_hWnd, ::CreateRoundRectRgn(0, 0, width + 1, height + 1, kCornerEllipse, kCornerEllipse),
                   FALSE);

    m_listResults.SetExtendedStyle(m_listResults.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_listResults.MoveWindow(1, kTitleBandHeight, width - 2, height - 81);
    m_listSpare.ShowWindow(SW_HIDE);

    m_staticWebSearch.LoadPicture();
    m_staticWebSearch.m_bHandCursor = 1;
    m_staticWebSearch.FitToContent();
    m_staticWebSearch.SetWindowText(L"");
    m_staticWebSearch.MoveWindow(5, height - 52, 112, 27);

    m_staticQuoted.SetTextFace();
    m_staticQuoted.SetTextHeight();
    m_staticQuoted.m_crText = RGB(100, 100, 100);
    m_staticQuoted.MoveWindow(120, height - 52, 300, 27);
    m_staticQuoted.SetWindowText(L"");

    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 8);
    m_listResults.SetImageList(&m_imageList, LVSIL_SMALL);
    HICON folderIcon = nullptr;
    if (::ExtractIconExW(L"shell32.dll", 4, nullptr, &folderIcon, 1) > 0) m_folderIcon.Reset(folderIcon);
    m_imageList.Add(m_folderIcon.Get());

    m_listResults.InsertColumn(0, L"文件名", LVCFMT_LEFT, kNameColumnWidth);
    m_listResults.InsertColumn(1, L"路径", LVCFMT_LEFT, kFolderColumnWidth);

    LoadButtonImages(m_btnClose, IDB_PNG_CLOSE_NORMAL, IDB_PNG_CLOSE_HOVER, IDB_PNG_CLOSE_PRESSED);
    MoveKeepingSize(m_btnClose, 465, 3);
    LoadButtonImages(m_btnAbout, IDB_PNG_ABOUT_LINK, IDB_PNG_ABOUT_LINK_HOVER, IDB_PNG_ABOUT_LINK);
    MoveKeepingSize(m_btnAbout, 380, height - 20);

    PlaceControls();
    m_aboutDlg.Create(IDD_ABOUT_NUV, this);
    SwitchComToApartment();
    CreateWebPane();
    return TRUE;
}

LRESULT CSokraDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: return OnPaint();
    case WM_SHOWWINDOW: return OnShowWindow(wParam, lParam);
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(wParam, lParam);
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_SEARCH_QUERY: return OnSearchQuery();
    case WM_COMMAND:
        // The web-search label's click notification.
        if (LOWORD(wParam) == IDC_WEB_SEARCH && HIWORD(wParam) == STN_CLICKED) OnWebSearch();
        return CDialog::WindowProc(message, wParam, lParam);
    default: return CDialog::WindowProc(message, wParam, lParam);
    }
}

void CSokraDlg::OnCloseResults() {
    ShowWindow(SW_HIDE);
    auto* field = dynamic_cast<CSearchEditDlg*>(CWnd::FromHandlePermanent(::GetWindow(m_hWnd, GW_OWNER)));
    if (field != nullptr) field->CollapseField();
}

void CSokraDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_RESULTS_LIST, m_listResults);
    DDX_Control(pDX, IDC_SPARE_LIST, m_listSpare);
    DDX_Control(pDX, IDC_RESULTS_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_WEB_SEARCH, m_staticWebSearch);
    DDX_Control(pDX, IDC_RESULTS_TITLE, m_staticTitle);
    DDX_Control(pDX, IDC_ABOUT_LINK, m_btnAbout);
    DDX_Control(pDX, IDC_QUOTED_TEXT, m_staticQuoted);
}

// The title static and the web pane take their sizes from the template's
// dialog units; they are kept inside their bands of the skin whatever those
// units come to.
void CSokraDlg::PlaceControls() {
    const int height = m_imgBackground.GetHeight();
    RECT closeButton;
    m_btnClose.GetWindowRect(&closeButton);
    ScreenToClient(&closeButton);
    MoveInside(m_staticTitle, 30, 7, RECT{0, 0, closeButton.left, kTitleBandHeight});

    // The web pane takes the placeholder's place and rectangle; the
    // placeholder waits there hidden, so that the dialog's grey never shows
    // over the skin.
    if (CWnd* placeholder = GetDlgItem(IDC_WEB_PANE)) {
        RECT aboutButton;
        m_btnAbout.GetWindowRect(&aboutButton);
        ScreenToClient(&aboutButton);
        MoveInside(*placeholder, 3, height - 40, RECT{0, kFooterTop, aboutButton.left, height});
        placeholder->ShowWindow(SW_HIDE);
    }
}

// The pane takes the placeholder's rectangle, already kept inside the footer
// by PlaceControls. Without a browser control there is no pane and the footer
// shows its skin.
void CSokraDlg::CreateWebPane() {
    m_htmlPane.m_bAllowClick = TRUE;
    if (!m_htmlPane.CreateInPlace(IDC_WEB_PANE, this)) return;
    m_htmlPane.ModifyStyle(0, WS_CLIPSIBLINGS);
    MoveKeepingSize(m_htmlPane, 3, m_imgBackground.GetHeight() - 40);
    // Shown once its page has arrived: no white box in the footer while the
    // page loads, nor where the browser control has no engine to draw it.
    m_htmlPane.ShowWindow(SW_HIDE);
    m_htmlPane.Navigate(GetAppFolderFile(L"ShareHtml\\Sokra.html"));
}

void CSokraDlg::LoadButtonImages(CButtonEx& button, WORD normal, WORD hover, WORD pressed) {
    button.m_nFlags &= ~BTNX_FRAME;
    LoadPngIntoSlot(button.m_pImgNormal, normal);
    LoadPngIntoSlot(button.m_pImgHover, hover);
    LoadPngIntoSlot(button.m_pImgPressed, pressed);
    button.SizeToContent();
}

BOOL CSokraDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_RESULTS_CLOSE:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnCloseResults();
        break;
    case IDC_ABOUT_LINK:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnAboutButton();
        break;
    case kCommandOpen: OpenSelectedItem(); break;
    case kCommandOpenFolder: OpenSelectedItemFolder(); break;
    default: break;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CSokraDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_RESULTS_LIST) return CDialog::OnNotify(wParam, lParam, pResult);
    switch (header->code) {
    case LVN_GETDISPINFOW: OnGetResultDispInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam)); break;
    case NM_DBLCLK: OpenSelectedItem(); break;
    case NM_RCLICK: OnResultsContextMenu(); break;
    default: return CDialog::OnNotify(wParam, lParam, pResult);
    }
    *pResult = 0;
    return TRUE;
}

LRESULT CSokraDlg::OnPaint() {
    ScopedPaint paint(m_hWnd);
    m_imgBackground.Draw(paint, 0, 0);
    // The list draws itself again over the fresh background.
    m_listResults.InvalidateRect(nullptr, FALSE);
    return 0;
}

LRESULT CSokraDlg::OnShowWindow(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialog::WindowProc(WM_SHOWWINDOW, wParam, lParam);
    if (!wParam) OnResultsHidden();
    return result;
}

// Enter and Escape end the popup as a dialog, which hides it without a
// WM_SHOWWINDOW: the rows must go then too.
LRESULT CSokraDlg::OnWindowPosChanged(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialog::WindowProc(WM_WINDOWPOSCHANGED, wParam, lParam);
    if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) OnResultsHidden();
    return result;
}

LRESULT CSokraDlg::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    // The left button alone, in the title band: the window manager moves the
    // popup as if its caption were dragged.
    if (wParam == MK_LBUTTON && GET_Y_LPARAM(lParam) < kTitleBandHeight) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(&at);
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
    }
    return CDialog::WindowProc(WM_LBUTTONDOWN, wParam, lParam);
}

void CSokraDlg::OnAboutButton() {
    if (m_aboutDlg.m_hWnd) m_aboutDlg.ShowWindow(SW_SHOW);
}
