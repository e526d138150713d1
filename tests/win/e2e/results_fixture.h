// The finder with its real search service on a small tree of its own, for the
// results popup: the rows, their icons and what they open.
#pragma once

#include "finder_fixture.h"
#include "remote_list_view.h"

#include <string>
#include <vector>

// Control ids of the results popup.
constexpr int kPopupCloseId = 1001;
constexpr int kResultsListId = 1002;
constexpr int kSpareListId = 1004;
constexpr int kWebSearchId = 1005;
constexpr int kCountLineId = 1006;
constexpr int kAboutButtonId = 1008;
constexpr int kQuotedTextId = 1009;
constexpr int kWebPaneId = 1140;

// Every name in the tree holds this word, and nothing else of the machine is
// indexed.
constexpr wchar_t kTreeWord[] = L"kiwi";

struct TreeEntry {
    std::wstring relativePath;
    bool isFolder;
};

// The tree, made once for the test program under the temporary folder.
class ResultsTree {
public:
    static const ResultsTree& Get();
    const std::wstring& Root() const { return m_root; }
    std::wstring PathOf(const std::wstring& relativePath) const { return m_root + L"\\" + relativePath; }
    const std::vector<TreeEntry>& Entries() const { return m_entries; }
    // The one entry whose full path is longer than MAX_PATH.
    std::wstring LongFile() const;

private:
    ResultsTree();
    ~ResultsTree();
    std::wstring m_root;
    std::vector<TreeEntry> m_entries;
};

// A row as the service answers it through the search library.
struct ServiceRow {
    std::wstring name;
    std::wstring folder;
    bool isFolder;
};
std::vector<ServiceRow> ServiceRows(const std::wstring& query);

class ResultsTest : public FinderTest {
protected:
    ResultsTest();
    void SetUp() override;

    HWND PopupItem(int id) const { return GetDlgItem(finder.Popup(), id); }
    // Opens the field, types the text and waits until the popup shows the
    // answer to all of it.
    void Search(const std::wstring& text);
    // Selects a row with a real click on its name column.
    void ClickRow(const RemoteListView& list, int row);
    // The row whose name is `name`; -1 when none.
    static int RowNamed(const RemoteListView& list, const std::wstring& name);
};

POINT CentreOf(const RECT& rect);
