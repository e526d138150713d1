// The query side of the results popup: runs the query, shows the count and
// the searched text, hands the list its cells, and opens what the user picks.
#include "sokra_dlg.h"

#include "NuvSearch.h"
#include "finder/controls/control_helpers.h"
#include "finder/framework/menu.h"
#include "finder/search/core/result_text.h"
#include "finder/system/browser_launcher.h"
#include "finder/system/web_search_url.h"
#include "search_text.h"
#include "shell_path.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

namespace {

std::wstring CountLineMarkup(DWORD count) {
    return L"<font color=\"#6f6f6f\">共查找出</font><font color=\"#ff0000\">" + std::to_wstring(count) +
           L"</font><font color=\"#6f6f6f\">个文件</font>";
}

std::wstring CountLineText(DWORD count) {
    return L"共查找出" + std::to_wstring(count) + L"个文件";
}

// The shell's icon for a name depends only on the name when it is not asked
// to open the file; a path too long for it still has its name.
std::wstring IconQueryPath(const std::wstring& fullPath) {
    if (fullPath.size() < MAX_PATH) return fullPath;
    return fullPath.substr(fullPath.rfind(L'\\') + 1);
}

void CopyCut(const wchar_t* text, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return;
    const std::size_t length = std::min<std::size_t>(wcslen(text), static_cast<std::size_t>(capacity) - 1);
    std::copy_n(text, length, buffer);
    buffer[length] = L'\0';
}

} // namespace

LRESULT CSokraDlg::OnSearchQuery() {
    const std::wstring text = g_szSearchText;
    NuvSearch_SetSearchW(text.c_str());
    NuvSearch_QueryW(TRUE);
    const DWORD count = NuvSearch_GetNumResults();
    m_bResultsHeld = true;
    // The popup has no caption; its window text names it to accessibility
    // tools as what was searched.
    SetWindowText(text.c_str());
    m_listResults.SetItemCountEx(static_cast<int>(count), 0);

    m_staticTitle.m_strMarkup = CountLineMarkup(count);
    m_staticTitle.m_nOptions |= SX_MARKUP;
    // Drawn from the markup; the window text says the same to accessibility
    // tools.
    m_staticTitle.SetWindowText(CountLineText(count).c_str());
    InvalidateParentArea(&m_staticTitle);

    m_staticQuoted.SetWindowText(QuotedSearchText(text).c_str());
    InvalidateParentArea(&m_staticQuoted);
    return 0;
}

void CSokraDlg::OnGetResultDispInfo(NMLVDISPINFOW* pDispInfo) {
    LVITEMW& item = pDispInfo->item;
    const DWORD row = static_cast<DWORD>(item.iItem);
    if (item.mask & LVIF_TEXT) {
        if (item.iSubItem == 0) CopyCut(NuvSearch_GetResultFileNameW(row), item.pszText, item.cchTextMax);
        if (item.iSubItem == 1) CopyCut(NuvSearch_GetResultPathW(row), item.pszText, item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE) {
        const std::wstring fullPath = ResultFullPathAt(item.iItem);
        std::wstring_view extension;
        if (NuvSearch_IsFolderResult(row))
            item.iImage = 0;
        else if (FindExtension(fullPath, extension))
            item.iImage = GetFileIconIndex(fullPath, extension);
        else // no icon: the list may pass 0, the folder icon, which a file must not show
            item.iImage = -1;
    }
}

int CSokraDlg::GetFileIconIndex(const std::wstring& fullPath, std::wstring_view extension) {
    std::wstring key = IconCacheKey(fullPath, extension);
    if (const auto cached = m_iconCache.find(key); cached != m_iconCache.end()) return cached->second;

    SHFILEINFOW info = {};
    ::SHGetFileInfoW(IconQueryPath(fullPath).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    const ScopedIcon icon(info.hIcon);
    // Nothing is cached without an icon: the next row of that kind asks again.
    if (!icon) return -1;
    const int index = ::ImageList_ReplaceIcon(m_imageList, -1, icon.Get());
    if (index < 0) return -1;
    m_iconCache.emplace(std::move(key), index);
    return index;
}

void CSokraDlg::OpenSelectedItem() {
    std::wstring fullPath;
    if (!SelectedFullPath(fullPath)) return;
    ::ShellExecuteW(nullptr, nullptr, ShellPath(fullPath).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CSokraDlg::OpenSelectedItemFolder() {
    std::wstring fullPath;
    if (!SelectedFullPath(fullPath)) return;
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(::SHParseDisplayName(ShellPath(fullPath).c_str(), nullptr, &item, 0, nullptr))) return;
    ::SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ::CoTaskMemFree(item);
}

// The menu opens wherever the click lands; its commands act on the selection
// mark, which the list view moves to a row under a right click.
void CSokraDlg::OnResultsContextMenu() {
    POINT cursor;
    ::GetCursorPos(&cursor);
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    menu.AppendMenu(MF_STRING, kCommandOpen, L"打开");
    menu.AppendMenu(MF_STRING, kCommandOpenFolder, L"打开所在目录");
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

void CSokraDlg::OnWebSearch() {
    OnCloseResults();
    // One quoted argument: a space in the text cannot split it, and nothing
    // in it can reach the browser as an option.
    OpenUrlInBrowser(QuotedCommandArgument(WebSearchUrl(g_szSearchText)).c_str());
}

void CSokraDlg::OnResultsHidden() {
    if (!m_bResultsHeld) return;
    m_bResultsHeld = false;
    m_listResults.SetItemCountEx(0, 0);
    NuvSearch_Reset();
}

std::wstring CSokraDlg::ResultFullPathAt(int row) const {
    // Both strings stay valid until the next query, so they are joined as is.
    const DWORD index = static_cast<DWORD>(row);
    return ResultFullPath(NuvSearch_GetResultPathW(index), NuvSearch_GetResultFileNameW(index));
}

bool CSokraDlg::SelectedFullPath(std::wstring& fullPath) const {
    const int row = m_listResults.GetSelectionMark();
    if (row < 0) return false;
    fullPath = ResultFullPathAt(row);
    return true;
}
