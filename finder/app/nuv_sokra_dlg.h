// The floating bar (template 102): the program's main window, always on top,
// drawn from PNG 131 with per-pixel alpha, without a taskbar button. A drag
// anywhere moves it; a left press on its magnifier slides the search field
// out of its right end. It runs modally and is the program's only message
// loop; its initialisation starts GDI+ and the search service, and its
// destruction ends both.
#pragma once

#include "finder/framework/dialog.h"
#include "search_edit_dlg.h"

#include <gdiplus.h>

#include <memory>

class CnuvSokraDlg : public CDialogEx {
public:
    CnuvSokraDlg();
    ~CnuvSokraDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Enter, Escape, Alt+F4 and the system menu's Close arrive here as IDOK
    // or IDCANCEL: the bar never ends that way.
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnDestroy();
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoving(WPARAM wParam, LPARAM lParam);

    void AppendAboutToSystemMenu();
    void HideFromTaskbar();
    void CreateSearchField();
    void LoadBarImage();
    void PlaceNearLowerRightCorner();
    void OpenSearchField();
    RECT FieldRectBesideBar() const;
    bool IsSearchFieldVisible() const;
    int SearchFieldWidth() const;

    HICON m_hAppIcon = nullptr;
    std::unique_ptr<CSearchEditDlg> m_pSearchEdit;
    std::unique_ptr<Gdiplus::Image> m_pBarImage;
    int m_nBarWidth = 0;
    int m_nBarHeight = 0;
    BLENDFUNCTION m_blend = {};
    RECT m_rcOpenField = {};
    ULONG_PTR m_gdiplusToken = 0;
    bool m_bGdiplusStarted = false;
};
