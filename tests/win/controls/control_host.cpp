#include "control_host.h"

ControlHost::ControlHost() {
    font_ = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
    const RECT place = {Left, Top, Left + 400, Top + 200};
    CreateEx(WS_EX_TOOLWINDOW, nullptr, L"controls under test", WS_POPUP | WS_VISIBLE, place, nullptr, 0);
    PumpMessages();
}

ControlHost::~ControlHost() {
    DestroyWindow();
    DeleteObject(font_);
}

HWND ControlHost::AddChild(const wchar_t* className, const wchar_t* text, RECT place, int id, DWORD style) {
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

LRESULT ControlHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case 0x9166: hoverMessages.push_back(wParam); return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL ControlHost::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam) commands.push_back({LOWORD(wParam), HIWORD(wParam)});
    return CWnd::OnCommand(wParam, lParam);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void MovePointerTo(POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (width - 1);
    input.mi.dy = screen.y * 65535 / (height - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

POINT CentreOnScreen(HWND window) {
    RECT place = {};
    GetWindowRect(window, &place);
    return {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
}

HICON SolidIcon(int size, COLORREF color) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const DWORD pixel = 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int i = 0; i < size * size; ++i)
        static_cast<DWORD*>(bits)[i] = pixel;
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, size, size, BLACKNESS); // all opaque
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO icon = {TRUE, 0, 0, mask, colour};
    HICON result = CreateIconIndirect(&icon);
    DeleteObject(mask);
    DeleteObject(colour);
    return result;
}
