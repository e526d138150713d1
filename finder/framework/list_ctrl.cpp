#include "finder/framework/list_ctrl.h"

#include "finder/framework/image_list.h"

BOOL CListCtrl::SetItemCountEx(int iCount, DWORD dwFlags) {
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(iCount), static_cast<LPARAM>(dwFlags)));
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CListCtrl::InsertColumn(int nCol, LPCWSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = nFormat;
    column.pszText = const_cast<LPWSTR>(lpszColumnHeading);
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&column)));
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwNewStyle)));
}

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(::SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

HIMAGELIST CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
    HIMAGELIST list = pImageList ? pImageList->m_hImageList : nullptr;
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType), reinterpret_cast<LPARAM>(list)));
}

int CListCtrl::GetSelectionMark() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETSELECTIONMARK, 0, 0));
}

int CListCtrl::SetSelectionMark(int iIndex) {
    return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(iIndex)));
}

int CListCtrl::GetCountPerPage() const {
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0));
}

BOOL CListCtrl::GetItemPosition(int nItem, LPPOINT lpPoint) const {
    return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_GETITEMPOSITION, static_cast<WPARAM>(nItem),
                                            reinterpret_cast<LPARAM>(lpPoint)));
}

std::wstring CListCtrl::GetItemText(int nItem, int nSubItem) const {
    // The list cuts the text to the buffer and returns the length copied, so
    // grow the buffer until the text fits with room to spare.
    std::wstring text;
    for (int size = 256;; size *= 2) {
        text.assign(static_cast<size_t>(size), L'\0');
        LVITEMW item{};
        item.iSubItem = nSubItem;
        item.pszText = text.data();
        item.cchTextMax = size;
        const auto length = static_cast<int>(::SendMessageW(
            m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
        if (length < size - 1 || size >= (1 << 20)) {
            text.resize(static_cast<size_t>(length));
            return text;
        }
    }
}
