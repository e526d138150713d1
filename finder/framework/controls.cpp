#include "finder/framework/controls.h"

void CButton::DrawItem(LPDRAWITEMSTRUCT /*lpDrawItemStruct*/) {}

BOOL CButton::OnDrawItemReflect(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    DrawItem(lpDrawItemStruct);
    return TRUE;
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT /*lpDrawItemStruct*/) {}

BOOL CStatic::OnDrawItemReflect(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    DrawItem(lpDrawItemStruct);
    return TRUE;
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    if (!bNoScroll) SendMessage(EM_SCROLLCARET);
}
