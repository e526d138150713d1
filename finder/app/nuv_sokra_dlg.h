// The floating bar (template 102): the program's main window, always on top,
// drawn from PNG 131 with per-pixel alpha, without a taskbar button. A drag
// anywhere moves it; a left press on its magnifier slides the search field
// out of its right end; a right click opens its menu (the product page, start
// with Windows, the product About window, Exit). It runs modally and is the
// program's only message loop; its initialisation starts GDI+ and the search
// service, and its destruction ends both.
#pragma once

#include "finder/about/about_nuv_dlg.h"
#include "finder/framework/dialog.h"
#include "finder/framework/menu.h"
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
    // The right-click menu's commands, then the base class's handling.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter, Escape, Alt+F4 and the system menu's Close arrive here as IDOK
    // or IDCANCEL: the bar never ends that way.
    void OnOK() override {}
    void OnCancel() override {}

private:
    // The right-click menu's commands.
    static constexpr UINT kCommandExit = 1001;
    static constexpr UINT kCommandAbout = 1004;
    static constexpr UINT kCommandProductPage = 1005;
    static constexpr UINT kCommandStartWithWindows = 1006;

    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnNcHitTest(LPARAM lParam);
    LRESULT OnDestroy();
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoving(WPARAM wParam, LPARAM lParam);

    void AppendAboutToSystemMenu();
    void HideFromTaskbar();
    void CreateSearchField();
    void LoadBarImage();
    void PlaceNearLowerRightCorner();
    void BuildMenu();
    void ToggleStartWithWindows();
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
    CMenu m_menu;
    CAboutNuvDlg m_aboutDlg;
};
