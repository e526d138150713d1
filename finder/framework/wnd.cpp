#include "finder/framework/wnd.h"

#include "finder/framework/app.h"
#include "finder/framework/window_binding.h"

#include <memory>
#include <unordered_map>

namespace {

// A window property, not GWLP_USERDATA: controls keep their own data there.
constexpr wchar_t kObjectProperty[] = L"NuvFramework.Object";
constexpr wchar_t kFrameworkClass[] = L"NuvFrameworkWindow";

bool IsCtlColorMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// The child window that sent a message the parent reflects, or nullptr.
HWND ReflectedChild(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_NOTIFY: return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam); // null for menus and accelerators
    default: return IsCtlColorMessage(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}

ATOM RegisterFrameworkClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WindowBinding::WindowProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFrameworkClass;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

// When the application's main window goes, the application ends.
void EndApplicationIfMainWindow(CWnd* obj) {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == obj) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
}

} // namespace

// --- binding -----------------------------------------------------------------

CWnd* WindowBinding::Lookup(HWND hWnd) {
    return hWnd ? static_cast<CWnd*>(GetPropW(hWnd, kObjectProperty)) : nullptr;
}

bool WindowBinding::Bind(CWnd* obj, HWND hWnd) {
    if (obj->m_hWnd || !IsWindow(hWnd) || Lookup(hWnd) || !SetPropW(hWnd, kObjectProperty, obj)) return false;
    obj->m_hWnd = hWnd;
    return true;
}

bool WindowBinding::BindBySubclassing(CWnd* obj, HWND hWnd) {
    if (!Bind(obj, hWnd)) return false;
    obj->PreSubclassWindow();
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    // A window of the framework's own class already runs our procedure.
    if (current == WindowProcedure) return true;
    obj->m_pfnSuper = current;
    SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));
    return true;
}

void WindowBinding::Unbind(CWnd* obj) {
    RemovePropW(obj->m_hWnd, kObjectProperty);
    obj->m_hWnd = nullptr;
    obj->m_pfnSuper = nullptr;
}

bool WindowBinding::ReflectToChild(HWND hWndParent, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT* pResult) {
    HWND child = ReflectedChild(message, lParam);
    if (!child || child == hWndParent) return false;
    CWnd* control = Lookup(child);
    return control && control->OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT WindowBinding::Dispatch(CWnd* obj, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return obj->WindowProc(message, wParam, lParam);
    } catch (...) {
        OutputDebugStringW(L"window framework: a message handler threw; the message is answered with 0\n");
        return 0;
    }
}

LRESULT CALLBACK WindowBinding::WindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* obj = Lookup(hWnd);
    if (!obj && message == WM_NCCREATE) {
        auto* target = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (target && Bind(target, hWnd)) obj = target;
    }
    if (!obj) return DefWindowProcW(hWnd, message, wParam, lParam);
    if (message != WM_NCDESTROY) return Dispatch(obj, message, wParam, lParam);

    LRESULT result = Dispatch(obj, message, wParam, lParam);
    Unbind(obj);
    EndApplicationIfMainWindow(obj);
    try {
        obj->PostNcDestroy();
    } catch (...) {
        OutputDebugStringW(L"window framework: PostNcDestroy threw\n");
    }
    return result;
}

// --- CWnd --------------------------------------------------------------------

CWnd::~CWnd() {
    if (!m_hWnd || m_bHandleOnly) return;
    HWND hWnd = m_hWnd;
    // The object is half gone: give the window back its own procedure so no
    // message reaches this object while the window is destroyed.
    if (m_pfnSuper) SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    WindowBinding::Unbind(this);
    EndApplicationIfMainWindow(this);
    ::DestroyWindow(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return WindowBinding::Lookup(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* bound = WindowBinding::Lookup(hWnd)) return bound;
    // Handle-only wrappers hold nothing but the handle, so one per handle value
    // stays valid for as long as the thread runs, even if the handle is reused.
    thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> wrappers;
    std::unique_ptr<CWnd>& wrapper = wrappers[hWnd];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = hWnd;
        wrapper->m_bHandleOnly = true;
    }
    return wrapper.get();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd) return FALSE;
    HWND hParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    HMENU idOrMenu = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!lpszClassName) {
        if (!RegisterFrameworkClass()) return FALSE;
        return CreateWindowExW(dwExStyle, kFrameworkClass, lpszWindowName, dwStyle, rect.left, rect.top,
                               width, height, hParent, idOrMenu, GetModuleHandleW(nullptr),
                               this) != nullptr &&
               m_hWnd != nullptr;
    }
    HWND hWnd = CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, width,
                                height, hParent, idOrMenu, GetModuleHandleW(nullptr), nullptr);
    if (!hWnd) return FALSE;
    if (SubclassWindow(hWnd)) return TRUE;
    ::DestroyWindow(hWnd);
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    return WindowBinding::BindBySubclassing(this, hWnd) ? TRUE : FALSE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWnd = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (!hWnd || m_bHandleOnly) return nullptr;
    if (m_pfnSuper) SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    WindowBinding::Unbind(this);
    return hWnd;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (WindowBinding::ReflectToChild(m_hWnd, message, wParam, lParam, &result)) return result;
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY:
        if (OnNotify(wParam, lParam, &result)) return result;
        break;
    default:
        if (IsCtlColorMessage(message)) {
            HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                      message - WM_CTLCOLORMSGBOX);
            if (brush) return reinterpret_cast<LRESULT>(brush);
        }
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/) {
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT* /*pResult*/) {
    return FALSE;
}

HBRUSH CWnd::OnCtlColor(HDC /*hDC*/, HWND /*hWndChild*/, UINT /*nCtlColor*/) {
    return nullptr;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_DRAWITEM: return ReflectDrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam), pResult);
    case WM_NOTIFY: return OnNotifyReflect(reinterpret_cast<NMHDR*>(lParam), pResult);
    case WM_COMMAND: return ReflectCommand(HIWORD(wParam), pResult);
    default: break;
    }
    if (!IsCtlColorMessage(message)) return FALSE;
    HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX);
    *pResult = reinterpret_cast<LRESULT>(brush);
    return brush != nullptr;
}

BOOL CWnd::ReflectDrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct, LRESULT* pResult) {
    if (!OnDrawItemReflect(lpDrawItemStruct)) return FALSE;
    *pResult = TRUE; // WM_DRAWITEM's answer for an item that was drawn
    return TRUE;
}

BOOL CWnd::ReflectCommand(UINT nCode, LRESULT* pResult) {
    if (!OnCommandReflect(nCode)) return FALSE;
    *pResult = 0;
    return TRUE;
}

BOOL CWnd::OnDrawItemReflect(LPDRAWITEMSTRUCT /*lpDrawItemStruct*/) {
    return FALSE;
}

BOOL CWnd::OnNotifyReflect(NMHDR* /*pNMHDR*/, LRESULT* /*pResult*/) {
    return FALSE;
}

HBRUSH CWnd::CtlColor(HDC /*hDC*/, UINT /*nCtlColor*/) {
    return nullptr;
}

BOOL CWnd::OnCommandReflect(UINT /*nCode*/) {
    return FALSE;
}

// --- thin wrappers -----------------------------------------------------------

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return owner ? FromHandle(owner) : GetParent();
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE));
}

namespace {
BOOL ModifyStyleWord(HWND hWnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(hWnd, index));
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    SetWindowLongW(hWnd, index, static_cast<LONG>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleWord(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleWord(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::SetWindowText(LPCWSTR lpszString) {
    ::SetWindowTextW(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(std::wstring& rString) const {
    rString.assign(static_cast<size_t>(GetWindowTextLength()) + 1, L'\0');
    rString.resize(
        static_cast<size_t>(::GetWindowTextW(m_hWnd, rString.data(), static_cast<int>(rString.size()))));
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}

void CWnd::SetFont(HFONT hFont, BOOL bRedraw) {
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
}

HFONT CWnd::GetFont() const {
    return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    ::ScreenToClient(m_hWnd, lpPoint);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               bRepaint);
}

BOOL CWnd::SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}

// --- message pump ------------------------------------------------------------

void PumpFrameworkMessage(MSG& msg) {
    for (HWND hWnd = msg.hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* obj = WindowBinding::Lookup(hWnd);
        if (obj && obj->PreTranslateMessage(&msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}
