// Framework-internal: how objects are bound to windows, and the message
// pump shared by the application's loop and the modal dialog loop.
#pragma once

#include "finder/framework/wnd.h"

struct WindowBinding {
    static CWnd* Lookup(HWND hWnd);
    // Binds obj to hWnd without touching the window procedure.
    static bool Bind(CWnd* obj, HWND hWnd);
    // Binds obj and puts the framework's window procedure in front of the
    // window's own, which becomes the default processing.
    static bool BindBySubclassing(CWnd* obj, HWND hWnd);
    static void Unbind(CWnd* obj);
    // Hands a child's WM_DRAWITEM, WM_NOTIFY, WM_CTLCOLOR* or control command
    // back to the child's object; true when the child handled it.
    static bool ReflectToChild(HWND hWndParent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Calls obj's WindowProc; no exception leaves it.
    static LRESULT Dispatch(CWnd* obj, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// Offers msg to PreTranslateMessage of the window it is for and its parents,
// then translates and dispatches it unless one of them used it.
void PumpFrameworkMessage(MSG& msg);
