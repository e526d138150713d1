// The search field (template 129) that slides out of the floating bar. It
// holds the text box, asks the results popup for a query on every change of
// the text, keeps the popup next to itself, and closes from its arrow.
//
// The bar is its owner: the bar places it, shows it and restarts timer 1 on
// every showing; the field never moves the bar.
#pragma once

#include "finder/framework/dialog.h"
#include "finder/framework/gdi_guards.h"
#include "sokra_dlg.h"
#include "x_edit_prompt.h"

#include <memory>

namespace Gdiplus {
class Image;
}

class CSearchEditDlg : public CDialogEx {
public:
    // The timer that puts the keyboard focus into the text box once after
    // each showing; the bar starts it again whenever it shows the field.
    static constexpr UINT_PTR kFocusTimer = 1;
    static constexpr UINT kFocusTimerPeriod = 500;

    explicit CSearchEditDlg(CWnd* pParent);
    ~CSearchEditDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Places the popup above or below the field and shows it without
    // taking the activation.
    void PlaceResultsPopup();
    // Empties the text, gives the keyboard focus back to the bar and slides
    // the field away to the left.
    void CollapseField();

    CXEditPrompt m_editSearch;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter and Escape leave the field open.
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnPaint();
    LRESULT OnPrint(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy();
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    void OnSearchTextChange();
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindow(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

    void ApplyFieldImageSize();
    void ApplyColourKey();
    void ApplyEditFont();
    void DrawFieldImage(HDC hDC) const;
    bool IsResultsPopupVisible() const;

    ScopedFont m_editFont;
    RECT m_rcCloseField = {};
    std::unique_ptr<CSokraDlg> m_pResultsDlg;
    std::unique_ptr<Gdiplus::Image> m_pFieldImage;
};
