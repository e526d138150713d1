// A framework window that hosts controls under test, records what they send
// to their parent and renders them into canvases.
#pragma once

#include <windows.h>

#include "canvas.h"
#include "finder/framework/wnd.h"

#include <memory>
#include <vector>

class ControlHost : public CWnd {
public:
    static constexpr int Left = 100;
    static constexpr int Top = 100;

    ControlHost(); // a visible 400 x 200 popup at (Left, Top) with a 16-pixel Tahoma font
    ~ControlHost() override;

    // A child window of a system class, bound to nothing yet.
    HWND AddChild(const wchar_t* className, const wchar_t* text, RECT place, int id, DWORD style = 0);
    HFONT Font() const { return font_; }

    struct Command {
        int id;
        int code;
    };
    std::vector<Command> commands;
    std::vector<WPARAM> hoverMessages;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    HFONT font_ = nullptr;
};

// Handles every message waiting for this thread.
void PumpMessages();
// Pumps until `done` holds or about two seconds have passed; returns `done()`.
template <class Condition> bool PumpUntil(Condition done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        PumpMessages();
        Sleep(10);
    }
    return done();
}

// A square icon of one opaque colour; the caller destroys it.
HICON SolidIcon(int size, COLORREF color);

// Moves the real pointer to a point of the screen.
void MovePointerTo(POINT screen);
POINT CentreOnScreen(HWND window);

// Calls the control's DrawItem for its whole client area on a fresh canvas
// (filled with `background`) with the state the button reports, as the
// parent's WM_DRAWITEM would.
template <class Control> std::unique_ptr<Canvas> Render(Control& control, UINT ctlType, COLORREF background) {
    RECT client = {};
    GetClientRect(control.m_hWnd, &client);
    auto canvas = std::make_unique<Canvas>(client.right, client.bottom, background);
    // The system selects the control's font before asking it to draw.
    if (HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control.m_hWnd, WM_GETFONT, 0, 0))) {
        SelectObject(canvas->dc(), font);
    }
    DRAWITEMSTRUCT item = {};
    item.CtlType = ctlType;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(control.m_hWnd));
    item.itemAction = ODA_DRAWENTIRE;
    if (ctlType == ODT_BUTTON && (SendMessageW(control.m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED)) {
        item.itemState |= ODS_SELECTED;
    }
    if (!IsWindowEnabled(control.m_hWnd)) item.itemState |= ODS_DISABLED;
    item.hwndItem = control.m_hWnd;
    item.hDC = canvas->dc();
    item.rcItem = client;
    control.DrawItem(&item);
    return canvas;
}
