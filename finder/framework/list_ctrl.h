// The common controls' list view, as the finder uses it: report view with
// owner data (rows supplied through LVN_GETDISPINFOW), columns, extended
// styles and an image list.
#pragma once

#include "finder/framework/wnd.h"

#include <commctrl.h>

#include <string>

class CImageList;

class CListCtrl : public CWnd {
public:
    // For an owner-data list: the number of rows; the list asks its parent
    // for every cell it draws. Flags are LVSICF_*.
    BOOL SetItemCountEx(int iCount, DWORD dwFlags = LVSICF_NOINVALIDATEALL);
    int GetItemCount() const;
    int InsertColumn(int nCol, LPCWSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    DWORD GetExtendedStyle() const;
    // Returns the list's previous image list of that type.
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageListType);

    int GetSelectionMark() const;
    int SetSelectionMark(int iIndex);
    int GetCountPerPage() const;
    BOOL GetItemPosition(int nItem, LPPOINT lpPoint) const;
    // The cell's text as the list shows it (asked from the parent for an
    // owner-data list).
    std::wstring GetItemText(int nItem, int nSubItem) const;
};
