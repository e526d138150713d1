#include "about_nuv_dlg.h"

#include "finder/controls/png_resource.h"
#include "finder/framework/gdi_guards.h"
#include "finder/system/product_page.h"
#include "resource.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// The cross sits this far from the window's top and right edges.
constexpr int kCloseMargin = 2;
// The plain white part of the picture between its slogans and its version
// line, in picture pixels: the learn-more button stays inside it.
constexpr RECT kLearnMoreArea{262, 168, 605, 238};

void LoadButtonImages(CButtonEx& button, WORD normal, WORD hover) {
    button.m_nFlags &= ~BTNX_FRAME;
    LoadPngIntoSlot(button.m_pImgNormal, normal);
    LoadPngIntoSlot(button.m_pImgHover, hover);
    LoadPngIntoSlot(button.m_pImgPressed, normal);
    button.SizeToContent();
}

} // namespace

CAboutNuvDlg::CAboutNuvDlg() : CDialogEx(IDD_ABOUT_NUV, nullptr) {}

CAboutNuvDlg::~CAboutNuvDlg() = default;

BOOL CAboutNuvDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    // Without the picture the window is 0 x 0 at the screen's centre.
    LoadPngIntoImage(m_imgBackground, IDB_PNG_ABOUT_BACKGROUND);
    const int width = m_imgBackground.GetWidth();
    const int height = m_imgBackground.GetHeight();
    MoveWindow((GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
               width, height, FALSE);

    LoadButtonImages(m_btnClose, IDB_PNG_ABOUT_CLOSE, IDB_PNG_ABOUT_CLOSE_HOVER);
    RECT close;
    m_btnClose.GetWindowRect(&close);
    ScreenToClient(&close);
    const int closeWidth = close.right - close.left;
    m_btnClose.MoveWindow(width - closeWidth - kCloseMargin, kCloseMargin, closeWidth,
                          close.bottom - close.top, FALSE);

    LoadButtonImages(m_btnMore, IDB_PNG_LEARN_MORE, IDB_PNG_LEARN_MORE_HOVER);
    PlaceLearnMoreButton();
    return TRUE;
}

LRESULT CAboutNuvDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    default: return CDialogEx::WindowProc(message, wParam, lParam);
    }
}

void CAboutNuvDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_ABOUT_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_LEARN_MORE, m_btnMore);
}

BOOL CAboutNuvDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_CLOSE: ShowWindow(SW_HIDE); return TRUE;
        case IDC_LEARN_MORE: OpenProductPage(); return TRUE;
        default: break;
        }
    }
    return CDialogEx::OnCommand(wParam, lParam);
}

// The picture is the whole face and the buttons draw themselves, so the
// erase paints everything: the paint context validates the window, and no
// paint of its own follows. The picture goes onto the erase's own context,
// clipped to what needs drawing; a paint context taken here is clipped to what
// is still invalid, which is nothing when the erase comes from a paint that
// has begun already.
LRESULT CAboutNuvDlg::OnEraseBkgnd(HDC hDC) {
    m_imgBackground.Draw(hDC, 0, 0);
    const ScopedPaint validate(m_hWnd);
    return TRUE;
}

// The system moves a window by its caption; the press becomes one. The
// message's point is in screen coordinates.
LRESULT CAboutNuvDlg::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(&point);
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return CDialogEx::WindowProc(WM_LBUTTONDOWN, wParam, lParam);
}

// The template's place, in dialog units, grows with the dialog font and the
// display scaling while the picture does not: the button keeps that place as
// far as it stays on the picture's white area, and is pushed back inside it
// where it would cover the slogans or the row of tools.
void CAboutNuvDlg::PlaceLearnMoreButton() {
    RECT button;
    m_btnMore.GetWindowRect(&button);
    ScreenToClient(&button);
    const int width = button.right - button.left;
    const int height = button.bottom - button.top;
    const int x =
        std::max<int>(kLearnMoreArea.left, std::min<int>(button.left, kLearnMoreArea.right - width));
    const int y =
        std::max<int>(kLearnMoreArea.top, std::min<int>(button.top, kLearnMoreArea.bottom - height));
    m_btnMore.MoveWindow(x, y, width, height, FALSE);
}
