#include "colored_list_ctrl.h"

#include "finder/framework/gdi_guards.h"

CColoredListCtrl::CColoredListCtrl() : m_crEvenRow(RGB(240, 247, 249)), m_crOddRow(RGB(229, 232, 239)) {}

CColoredListCtrl::~CColoredListCtrl() = default;

LRESULT CColoredListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    default: return CListCtrl::WindowProc(message, wParam, lParam);
    }
}

BOOL CColoredListCtrl::OnNotifyReflect(NMHDR* pNMHDR, LRESULT* pResult) {
    if (pNMHDR->code != NM_CUSTOMDRAW) return CListCtrl::OnNotifyReflect(pNMHDR, pResult);
    OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR), pResult);
    return TRUE;
}

void CColoredListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult) const {
    *pResult = 0;
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: *pResult = CDRF_NOTIFYITEMDRAW; break;
    case CDDS_ITEMPREPAINT:
        pDraw->clrText = RGB(0, 0, 0);
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        // The item state is left alone, so a selected row keeps the list
        // view's own selection colours.
        pDraw->clrTextBk = pDraw->nmcd.dwItemSpec % 2 == 0 ? m_crEvenRow : m_crOddRow;
        *pResult = CDRF_DODEFAULT;
        break;
    default: break;
    }
}

LRESULT CColoredListCtrl::OnEraseBkgnd(HDC hDC) {
    RECT client;
    GetClientRect(&client);
    ScopedBrush evenBrush(CreateSolidBrush(m_crEvenRow));
    ScopedBrush oddBrush(CreateSolidBrush(m_crOddRow));
    const int rowsPerPage = GetCountPerPage();
    FillRect(hDC, &client, evenBrush);
    // Both requests write into one point: an item that does not exist leaves
    // it as it was, so a band past the last row comes out empty.
    POINT position = {};
    for (int i = 0; i <= rowsPerPage; ++i) {
        GetItemPosition(i, &position);
        const int top = position.y;
        GetItemPosition(i + 1, &position);
        const RECT band{client.left, top, client.right, position.y};
        FillRect(hDC, &band, i % 2 == 0 ? evenBrush : oddBrush);
    }
    // Reported as erased: the list view fills again, in its own white, a
    // background that an erase leaves undone.
    return TRUE;
}
