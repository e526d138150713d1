#include "nuv_sokra_dlg.h"

#include "bar_geometry.h"
#include "finder/about/about_dlg.h"
#include "finder/controls/png_resource.h"
#include "finder/searchcore/search_core.h"
#include "finder/system/product_page.h"
#include "finder/system/run_value.h"
#include "finder/system/web_search_url.h"
#include "layered_image.h"
#include "resource.h"

#include <windowsx.h>

#include <string>

namespace {

// The bar stands this far left of and above the primary screen's lower right
// corner.
constexpr int kBarOffsetFromRight = 490;
constexpr int kBarOffsetFromBottom = 100;
constexpr int kSlideInMs = 250;
// The menu opens this far left of and above the pointer.
constexpr int kMenuOffset = 10;

RECT DesktopClientRect() {
    RECT desktop;
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    return desktop;
}

std::wstring LoadStringResource(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero length the call hands out a pointer into the resource.
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

} // namespace

CnuvSokraDlg::CnuvSokraDlg() : CDialogEx(IDD_SEARCHBAR_DIALOG, nullptr) {
    m_hAppIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

// The windows of the search field and the About window went with the bar's;
// the objects go now, the About window before the menu.
CnuvSokraDlg::~CnuvSokraDlg() = default;

BOOL CnuvSokraDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    AppendAboutToSystemMenu();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hAppIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hAppIcon));

    // Before the search field: the field and its popup load their images
    // through GDI+ while they are created.
    Gdiplus::GdiplusStartupInput startup;
    m_bGdiplusStarted = Gdiplus::GdiplusStartup(&m_gdiplusToken, &startup, nullptr) == Gdiplus::Ok;

    HideFromTaskbar();
    // Under Wine a window that already owns others cannot become topmost
    // any more (they are stacked above it first, and it is linked below them
    // as it was); so the bar is made topmost before it owns the field.
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CreateSearchField();
    m_blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    LoadBarImage();
    PlaceNearLowerRightCorner();
    m_rcOpenField = RECT{82, 6, 110, 30};

    if (!StartSearchCore()) {
        MessageBoxW(nullptr, L"加载搜索核心部件失败", L"加载组件", MB_ICONERROR);
        return FALSE;
    }
    BuildMenu();
    // Template 317 is not visible: the window waits hidden for the menu.
    m_aboutDlg.Create(IDD_ABOUT_NUV, this);
    return TRUE;
}

LRESULT CnuvSokraDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_hAppIcon);
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_MOVE: return OnMove(wParam, lParam);
    case WM_RBUTTONUP: return OnRButtonUp(wParam, lParam);
    case WM_MOVING: return OnMoving(wParam, lParam);
    case WM_HELP: return TRUE; // F1 opens no help
    default: return CDialogEx::WindowProc(message, wParam, lParam);
    }
}

LRESULT CnuvSokraDlg::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg aboutBox;
        aboutBox.DoModal();
        return 0;
    }
    return CDialogEx::WindowProc(WM_SYSCOMMAND, wParam, lParam);
}

BOOL CnuvSokraDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case kCommandExit: DestroyWindow(); break;
    case kCommandAbout:
        if (m_aboutDlg.m_hWnd) m_aboutDlg.ShowWindow(SW_SHOW);
        break;
    case kCommandProductPage: OpenProductPage(); break;
    case kCommandStartWithWindows: ToggleStartWithWindows(); break;
    default: break;
    }
    return CDialogEx::OnCommand(wParam, lParam);
}

LRESULT CnuvSokraDlg::OnPaint() {
    // The system keeps a layered window's picture, and this one never
    // changes: every paint pushes the same image.
    ShowLayeredImage(m_hWnd, m_pBarImage.get(), SIZE{m_nBarWidth, m_nBarHeight}, m_blend);
    ValidateRect(m_hWnd, nullptr);
    return 0;
}

LRESULT CnuvSokraDlg::OnNcHitTest(LPARAM lParam) {
    const LRESULT hit = CDialogEx::WindowProc(WM_NCHITTEST, 0, lParam);
    if (hit != HTCLIENT) return hit;
    // Plain moves and right-button clicks stay client input.
    if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) return HTCLIENT;

    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(&point);
    // Anywhere but the magnifier the press drags the bar.
    if (PtInRect(&m_rcOpenField, point)) OpenSearchField();
    return HTCAPTION;
}

LRESULT CnuvSokraDlg::OnDestroy() {
    const LRESULT result = CDialogEx::WindowProc(WM_DESTROY, 0, 0);
    // The system destroys owned windows before their owner, so this is
    // normally done already; GDI+ images must in any case go before GDI+.
    if (m_pSearchEdit) m_pSearchEdit->DestroyWindow();
    m_pBarImage.reset();
    if (m_bGdiplusStarted) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_bGdiplusStarted = false;
    StopSearchCore();
    return result;
}

LRESULT CnuvSokraDlg::OnMove(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CDialogEx::WindowProc(WM_MOVE, wParam, lParam);
    if (IsSearchFieldVisible()) {
        const RECT field = FieldRectBesideBar();
        m_pSearchEdit->MoveWindow(&field, TRUE);
    }
    return result;
}

LRESULT CnuvSokraDlg::OnRButtonUp(WPARAM wParam, LPARAM lParam) {
    // Before the menu is built (the search service did not start) there is
    // nothing to show.
    if (m_menu.GetSafeHmenu()) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(&point);
        m_menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x - kMenuOffset, point.y - kMenuOffset, this);
    }
    return CDialogEx::WindowProc(WM_RBUTTONUP, wParam, lParam);
}

LRESULT CnuvSokraDlg::OnMoving(WPARAM wParam, LPARAM lParam) {
    RECT bar;
    GetWindowRect(&bar);
    const SIZE barSize{bar.right - bar.left, bar.bottom - bar.top};
    const int fieldWidth = IsSearchFieldVisible() ? SearchFieldWidth() : 0;
    ClampDraggedBar(*reinterpret_cast<RECT*>(lParam), barSize, DesktopClientRect(), fieldWidth);
    return CDialogEx::WindowProc(WM_MOVING, wParam, lParam);
}

void CnuvSokraDlg::AppendAboutToSystemMenu() {
    HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    const std::wstring aboutText = LoadStringResource(IDS_ABOUTBOX);
    if (!systemMenu || aboutText.empty()) return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
}

// The check mark is read from the registry once, here; afterwards it flips on
// every choice. Any entry counts as on, whatever program it names.
void CnuvSokraDlg::BuildMenu() {
    if (!m_menu.CreatePopupMenu()) return;
    m_menu.AppendMenu(MF_STRING, kCommandProductPage, L"访问官网");
    m_menu.AppendMenu(MF_STRING, kCommandStartWithWindows, L"开机自启动");
    m_menu.AppendMenu(MF_STRING, kCommandAbout, L"关于");
    m_menu.AppendMenu(MF_STRING, kCommandExit, L"退出");
    ScopedRegKey runKey;
    if (OpenRegKey(runKey) && !ReadRunValue(runKey.Get()).empty())
        m_menu.CheckMenuItem(kCommandStartWithWindows, MF_BYCOMMAND | MF_CHECKED);
}

// The check mark flips first and whatever the registry then does: a failure
// is not reported, and the menu may then show what the registry lacks.
void CnuvSokraDlg::ToggleStartWithWindows() {
    const bool wasOn = (m_menu.GetMenuState(kCommandStartWithWindows, MF_BYCOMMAND) & MF_CHECKED) != 0;
    m_menu.CheckMenuItem(kCommandStartWithWindows, MF_BYCOMMAND | (wasOn ? MF_UNCHECKED : MF_CHECKED));
    ScopedRegKey runKey;
    if (!OpenRegKey(runKey)) return;
    if (wasOn) {
        ::RegDeleteValueW(runKey.Get(), kRunValueName);
    } else {
        // The entry names the program by its product file name, whatever
        // name this copy runs under. In quotes: Windows reads an unquoted
        // path with a space ("C:\Program Files\...") piece by piece and
        // could start "C:\Program.exe" instead.
        WriteRunValue(runKey.Get(), QuotedCommandArgument(GetAppFolderFile(L"orvelSokra.exe")).c_str());
    }
    CloseRegKey(runKey);
}

void CnuvSokraDlg::HideFromTaskbar() {
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
}

void CnuvSokraDlg::CreateSearchField() {
    m_pSearchEdit = std::make_unique<CSearchEditDlg>(this);
    // The template is not visible: the field stays hidden until opened.
    if (!m_pSearchEdit->Create(IDD_SEARCH_EDIT, this)) m_pSearchEdit.reset();
}

void CnuvSokraDlg::LoadBarImage() {
    Gdiplus::Image* image = nullptr;
    if (!LoadPngImage(IDB_PNG_BAR, &image)) return;
    m_pBarImage.reset(image);
    m_nBarWidth = static_cast<int>(m_pBarImage->GetWidth());
    m_nBarHeight = static_cast<int>(m_pBarImage->GetHeight());
}

void CnuvSokraDlg::PlaceNearLowerRightCorner() {
    RECT window;
    GetWindowRect(&window);
    MoveWindow(window.left, window.top, m_nBarWidth, m_nBarHeight, FALSE);
    SetWindowPos(HWND_TOPMOST, GetSystemMetrics(SM_CXSCREEN) - kBarOffsetFromRight,
                 GetSystemMetrics(SM_CYSCREEN) - kBarOffsetFromBottom, m_nBarWidth, m_nBarHeight,
                 SWP_NOACTIVATE);
}

void CnuvSokraDlg::OpenSearchField() {
    if (!m_pSearchEdit) return;
    RECT bar;
    GetWindowRect(&bar);
    const RECT shifted = BarRectForOpenField(bar, SearchFieldWidth(), DesktopClientRect());
    if (!EqualRect(&shifted, &bar)) MoveWindow(&shifted, TRUE);

    const RECT field = FieldRectBesideBar();
    // SWP_FRAMECHANGED alone neither shows nor hides the field.
    m_pSearchEdit->SetWindowPos(HWND_TOPMOST, field.left, field.top, field.right - field.left,
                                field.bottom - field.top, SWP_FRAMECHANGED);
    ::AnimateWindow(m_pSearchEdit->m_hWnd, kSlideInMs, AW_SLIDE | AW_HOR_POSITIVE | AW_ACTIVATE);
    m_pSearchEdit->SetTimer(CSearchEditDlg::kFocusTimer, CSearchEditDlg::kFocusTimerPeriod);
}

RECT CnuvSokraDlg::FieldRectBesideBar() const {
    RECT bar, field;
    GetWindowRect(&bar);
    m_pSearchEdit->GetWindowRect(&field);
    const POINT origin = FieldOriginForBar(bar);
    return RECT{origin.x, origin.y, origin.x + field.right - field.left, origin.y + field.bottom - field.top};
}

bool CnuvSokraDlg::IsSearchFieldVisible() const {
    return m_pSearchEdit && m_pSearchEdit->IsWindowVisible();
}

int CnuvSokraDlg::SearchFieldWidth() const {
    RECT field;
    m_pSearchEdit->GetWindowRect(&field);
    return field.right - field.left;
}
