// The results popup (template 130): the translucent window beside the search
// field with the count line in its title band, the results list in its body
// and the web-search label, the searched text and the About button in its
// footer, and its own product About window. The field creates it hidden
// with itself as owner, places it, shows it without activation and posts it
// WM_SEARCH_QUERY on every change of the text.
//
// The window itself is in sokra_dlg.cpp; the query, the rows and what they
// open are in sokra_query.cpp.
#pragma once

#include "colored_list_ctrl.h"
#include "finder/about/about_nuv_dlg.h"
#include "finder/controls/button_ex.h"
#include "finder/controls/html_ctrl.h"
#include "finder/controls/static_ex.h"
#include "finder/framework/dialog.h"
#include "finder/framework/gdi_guards.h"
#include "finder/framework/image.h"
#include "finder/framework/image_list.h"

#include <map>
#include <string>
#include <string_view>

class CSokraDlg : public CDialog {
public:
    CSokraDlg();
    ~CSokraDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Hides the popup and, when the search field owns it, empties the field
    // and slides it away with the focus given back to the bar.
    void OnCloseResults();

    // The image-list index of the icon a file of that full path shows, asked
    // of the shell once per extension, or once per full path for ".exe"
    // files; -1 when the shell has none.
    int GetFileIconIndex(const std::wstring& fullPath, std::wstring_view extension);
    void OpenSelectedItem();
    void OpenSelectedItemFolder();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    // The commands of a row's context menu.
    static constexpr UINT kCommandOpen = 1002;
    static constexpr UINT kCommandOpenFolder = 1003;

    // The window: sokra_dlg.cpp.
    void PlaceControls();
    void CreateWebPane();
    void LoadButtonImages(CButtonEx& button, WORD normal, WORD hover, WORD pressed);
    LRESULT OnPaint();
    LRESULT OnShowWindow(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    void OnAboutButton();

    // The query side: sokra_query.cpp.
    LRESULT OnSearchQuery();
    void OnGetResultDispInfo(NMLVDISPINFOW* pDispInfo);
    void OnResultsContextMenu();
    void OnWebSearch();
    void OnResultsHidden();
    // The row's full path, of any length.
    std::wstring ResultFullPathAt(int row) const;
    // The selection mark's full path; false when no row is marked.
    bool SelectedFullPath(std::wstring& fullPath) const;

    CImage m_imgBackground;
    CColoredListCtrl m_listResults;
    CColoredListCtrl m_listSpare;
    ScopedIcon m_folderIcon;
    CImageList m_imageList;
    std::map<std::wstring, int> m_iconCache;
    CButtonEx m_btnClose;
    CStaticEx m_staticWebSearch;
    CStaticEx m_staticTitle;
    CButtonEx m_btnAbout;
    CAboutNuvDlg m_aboutDlg;
    CStaticEx m_staticQuoted;
    CHtmlCtrl m_htmlPane;
    // A result set is held in the library from a query until the next hiding.
    bool m_bResultsHeld = false;
};
