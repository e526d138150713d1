// The results list: the list view with its rows painted in two alternating
// background colours and black text, and its free area banded to match.
#pragma once

#include "finder/framework/list_ctrl.h"

class CColoredListCtrl : public CListCtrl {
public:
    CColoredListCtrl();
    ~CColoredListCtrl() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    COLORREF m_crEvenRow;
    COLORREF m_crOddRow;

protected:
    // NM_CUSTOMDRAW, reflected by the parent.
    BOOL OnNotifyReflect(NMHDR* pNMHDR, LRESULT* pResult) override;

private:
    void OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult) const;
    LRESULT OnEraseBkgnd(HDC hDC);
};
