// An owned common-controls image list.
#pragma once

#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList();

    // nFlags are ILC_* (colour depth, ILC_MASK); FALSE when the list exists.
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    BOOL DeleteImageList();
    // Appends a copy of the icon; returns its index or -1.
    int Add(HICON hIcon);
    int GetImageCount() const;

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }
};
