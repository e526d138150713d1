// The product About window (template 317): a borderless picture of the
// product family (PNG 141), centred on the primary screen, with a cross in its
// top-right corner that hides it and a green button that opens the product
// page. A press anywhere on the picture drags it. Its owner creates it hidden
// and shows it; closing only hides it, so it comes back where it was left.
#pragma once

#include "finder/controls/button_ex.h"
#include "finder/framework/dialog.h"
#include "finder/framework/image.h"

class CAboutNuvDlg : public CDialogEx {
public:
    CAboutNuvDlg();
    ~CAboutNuvDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceLearnMoreButton();
    LRESULT OnEraseBkgnd(HDC hDC);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

    CImage m_imgBackground;
    CButtonEx m_btnClose;
    CButtonEx m_btnMore;
};
