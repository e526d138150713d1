// Thin wrappers of the system's button, static and edit controls. They are
// bound to template controls (DDX_Control, SubclassDlgItem) and carry the
// hooks that skinned controls override.
#pragma once

#include "finder/framework/wnd.h"

class CButton : public CWnd {
public:
    // Draws an owner-drawn (BS_OWNERDRAW) button; the parent's WM_DRAWITEM
    // is reflected here. The base version draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnDrawItemReflect(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};

class CStatic : public CWnd {
public:
    // Draws an owner-drawn (SS_OWNERDRAW) static; the parent's WM_DRAWITEM is
    // reflected here. The base version draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnDrawItemReflect(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};

class CEdit : public CWnd {
public:
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
};
