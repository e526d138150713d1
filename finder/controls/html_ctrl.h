// A web-browser pane that lives as a child control of a dialog rather than as
// a view: it takes the place and id of a placeholder control, is a member of
// its dialog (its window going does not delete it), takes no part in view
// activation, draws without a 3-D border and with flat scroll bars, shows
// scroll bars only when the page needs them, and can refuse left clicks.
#pragma once

#include "finder/framework/html_view.h"

class CHtmlCtrl : public CHtmlView {
public:
    // TRUE lets left presses and double clicks reach the page; FALSE
    // swallows them. Right clicks and the wheel always pass.
    BOOL m_bAllowClick = FALSE;

    ~CHtmlCtrl() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // No 3-D border, flat scroll bars.
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo) override;
    // The body scrolls only when the page does not fit, after every load; a
    // pane kept hidden until then shows once a page has arrived.
    void OnNavigateComplete2(LPCWSTR strURL) override;

    // Creates the pane in place of the parent's child control nID, with its
    // rectangle and id; FALSE when there is no such control or the pane
    // cannot be made (the placeholder is gone then all the same).
    BOOL CreateInPlace(UINT nID, CWnd* pParent);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The pane is a member of its dialog.
    void PostNcDestroy() override;

private:
    LRESULT OnDestroy();
};
