#include "search_edit_dlg.h"

#include "finder/controls/png_resource.h"
#include "popup_placement.h"
#include "resource.h"
#include "search_text.h"

#include <gdiplus.h>
#include <windowsx.h>

#include <string>

namespace {

// Where the field's image is fully transparent this background shows, and
// the colour key makes it see-through.
constexpr COLORREF kColourKey = RGB(255, 0, 255);
constexpr LONG kEditFontHeight = -14;
// The white entry area of image 132 (x 2-163, y 8-28), in the image's pixels;
// the text box covers it exactly. The template's dialog units would size the
// box by the dialog font and the display scaling instead, and with some fonts,
// or at 144 DPI, it would run over the close arrow and take its clicks.
constexpr RECT kEntryArea = {2, 8, 164, 29};
// g_szSearchText holds this many UTF-16 units, so the box takes no more: the
// text searched for is always the text shown.
constexpr UINT kMaxSearchTextLength = kSearchTextCapacity - 1;
constexpr int kSlideOutMs = 300;

} // namespace

CSearchEditDlg::CSearchEditDlg(CWnd* pParent) : CDialogEx(IDD_SEARCH_EDIT, pParent) {}

CSearchEditDlg::~CSearchEditDlg() = default;

BOOL CSearchEditDlg::OnInitDialog() {
    if (!CDialogEx::OnInitDialog()) return FALSE;
    ApplyFieldImageSize();
    ApplyColourKey();
    ApplyEditFont();
    m_editSearch.MoveWindow(&kEntryArea, TRUE);
    m_editSearch.SendMessage(EM_SETLIMITTEXT, kMaxSearchTextLength);
    m_rcCloseField = RECT{167, 5, 178, 30};

    // The bar shows the field topmost; under Wine that only holds for a
    // window made topmost before it owns another, here the popup.
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_pResultsDlg = std::make_unique<CSokraDlg>();
    if (!m_pResultsDlg->Create(IDD_RESULTS, this)) m_pResultsDlg.reset();

    SetTimer(kFocusTimer, kFocusTimerPeriod);
    return TRUE;
}

LRESULT CSearchEditDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_PRINT:
    case WM_PRINTCLIENT: return OnPrint(message, wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_LBUTTONUP: return OnLButtonUp(wParam, lParam);
    case WM_MOVE: return OnMove(wParam, lParam);
    case WM_SHOWWINDOW: return OnShowWindow(wParam, lParam);
    case WM_TIMER: return OnTimer(wParam, lParam);
    case WM_HELP: return TRUE; // F1 opens no help
    default: return CDialogEx::WindowProc(message, wParam, lParam);
    }
}

void CSearchEditDlg::PlaceResultsPopup() {
    if (!m_pResultsDlg) return;
    RECT desktop, field, bar, popup;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    GetWindowRect(&field);
    ::GetWindowRect(::GetWindow(m_hWnd, GW_OWNER), &bar);
    m_pResultsDlg->GetWindowRect(&popup);
    const SIZE popupSize{popup.right - popup.left, popup.bottom - popup.top};

    const RECT placed = ResultsPopupRect(desktop, field, bar, popupSize);
    m_pResultsDlg->MoveWindow(&placed, TRUE);
    m_pResultsDlg->ShowWindow(SW_SHOWNOACTIVATE);
    m_pResultsDlg->UpdateWindow();
}

void CSearchEditDlg::CollapseField() {
    m_editSearch.SetText(L"");
    ::SetFocus(::GetWindow(m_hWnd, GW_OWNER));
    ::AnimateWindow(m_hWnd, kSlideOutMs, AW_SLIDE | AW_HIDE | AW_HOR_NEGATIVE);
}

void CSearchEditDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_SEARCH_EDIT, m_editSearch);
}

BOOL CSearchEditDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_SEARCH_EDIT && HIWORD(wParam) == EN_CHANGE) {
        OnSearchTextChange();
        return TRUE;
    }
    return CDialogEx::OnCommand(wParam, lParam);
}

LRESULT CSearchEditDlg::OnPaint() {
    ScopedPaint paint(m_hWnd);
    DrawFieldImage(paint);
    return 0;
}

LRESULT CSearchEditDlg::OnPrint(UINT message, WPARAM wParam, LPARAM lParam) {
    // The slide animations draw the window through these messages.
    DrawFieldImage(reinterpret_cast<HDC>(wParam));
    return CDialogEx::WindowProc(message, wParam, lParam);
}

LRESULT CSearchEditDlg::OnDestroy() {
    const LRESULT result = CDialogEx::WindowProc(WM_DESTROY, 0, 0);
    // The box still refers to the font until it goes, a moment later.
    m_editSearch.SetFont(nullptr, FALSE);
    m_editFont.Reset();
    // GDI+ images must go before the bar shuts GDI+ down, which follows.
    m_pFieldImage.reset();
    if (m_pResultsDlg) m_pResultsDlg->DestroyWindow();
    m_pResultsDlg.reset();
    return result;
}

LRESULT CSearchEditDlg::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (PtInRect(&m_rcCloseField, point)) CollapseField();
    return CDialogEx::WindowProc(WM_LBUTTONUP, wParam, lParam);
}

void CSearchEditDlg::OnSearchTextChange() {
    std::wstring text;
    if (!m_editSearch.IsPromptOn()) m_editSearch.GetWindowText(text);
    if (text.empty()) {
        if (m_pResultsDlg) m_pResultsDlg->ShowWindow(SW_HIDE);
        return;
    }
    // The box takes no more than fits when typed into, but a text set from
    // outside can be longer: the box is cut to what is searched, and that
    // change comes back here.
    const std::wstring_view fitting = FitSearchText(text);
    if (fitting.size() < text.size()) {
        m_editSearch.SetText(std::wstring(fitting).c_str());
        return;
    }
    if (!IsResultsPopupVisible()) PlaceResultsPopup();
    StoreSearchText(text);
    if (m_pResultsDlg) m_pResultsDlg->PostMessage(WM_SEARCH_QUERY, 0, 0);
}

LRESULT CSearchEditDlg::OnMove(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialogEx::WindowProc(WM_MOVE, wParam, lParam);
    if (IsResultsPopupVisible()) PlaceResultsPopup();
    return result;
}

LRESULT CSearchEditDlg::OnShowWindow(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialogEx::WindowProc(WM_SHOWWINDOW, wParam, lParam);
    if (!wParam && IsResultsPopupVisible()) m_pResultsDlg->ShowWindow(SW_HIDE);
    return result;
}

LRESULT CSearchEditDlg::OnTimer(WPARAM wParam, LPARAM lParam) {
    if (wParam == kFocusTimer && IsWindowVisible() && ::GetFocus() != m_editSearch.m_hWnd) {
        // The dialog hands the focus on to its only tab stop, the text box.
        SetFocus();
        KillTimer(kFocusTimer);
    }
    return CDialogEx::WindowProc(WM_TIMER, wParam, lParam);
}

void CSearchEditDlg::ApplyFieldImageSize() {
    Gdiplus::Image* image = nullptr;
    if (!LoadPngImage(IDB_PNG_FIELD, &image)) return;
    m_pFieldImage.reset(image);
    const int width = static_cast<int>(m_pFieldImage->GetWidth());
    const int height = static_cast<int>(m_pFieldImage->GetHeight());
    // Bytes that do not decode measure 0 x 0; the template's size is kept
    // then rather than shrinking the field to nothing.
    if (width <= 0 || height <= 0) return;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSearchEditDlg::ApplyColourKey() {
    SetBackgroundColor(kColourKey, TRUE);
    ModifyStyleEx(0, WS_EX_LAYERED);
    // The constant alpha is ignored with LWA_COLORKEY alone.
    ::SetLayeredWindowAttributes(m_hWnd, kColourKey, 255, LWA_COLORKEY);
}

void CSearchEditDlg::ApplyEditFont() {
    LOGFONTW logFont = {};
    HFONT dialogFont = m_editSearch.GetFont();
    if (!dialogFont || !GetObjectW(dialogFont, sizeof(logFont), &logFont)) return;
    logFont.lfHeight = kEditFontHeight;
    m_editFont.Reset(CreateFontIndirectW(&logFont));
    if (m_editFont) m_editSearch.SetFont(m_editFont, TRUE);
}

void CSearchEditDlg::DrawFieldImage(HDC hDC) const {
    if (!m_pFieldImage || hDC == nullptr) return;
    Gdiplus::Graphics graphics(hDC);
    // At the image's pixel size: GDI+ would otherwise scale by the PNG's
    // recorded resolution.
    graphics.DrawImage(m_pFieldImage.get(), 0, 0, static_cast<INT>(m_pFieldImage->GetWidth()),
                       static_cast<INT>(m_pFieldImage->GetHeight()));
}

bool CSearchEditDlg::IsResultsPopupVisible() const {
    return m_pResultsDlg && m_pResultsDlg->IsWindowVisible();
}
