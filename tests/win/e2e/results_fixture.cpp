#include "results_fixture.h"

#include "NuvSearch.h"

namespace {

// Six of these make the path of the long file run past MAX_PATH.
constexpr wchar_t kLongFolder[] = L"a-folder-with-a-rather-long-name-0123456789";
constexpr int kLongFolderDepth = 6;

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
}

// Makes the entry and every folder above it, at any length.
void MakeEntry(const std::wstring& path, bool isFolder) {
    const std::wstring longPath = L"\\\\?\\" + path;
    for (std::size_t at = longPath.find(L'\\', 7); at != std::wstring::npos;
         at = longPath.find(L'\\', at + 1))
        CreateDirectoryW(longPath.substr(0, at).c_str(), nullptr);
    if (isFolder) {
        CreateDirectoryW(longPath.c_str(), nullptr);
        return;
    }
    CloseHandle(CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
}

// Removes a folder with everything in it, at any length.
void RemoveTree(const std::wstring& longPath) {
    WIN32_FIND_DATAW entry = {};
    HANDLE found = FindFirstFileW((longPath + L"\\*").c_str(), &entry);
    if (found != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(longPath + L"\\" + name);
            else
                DeleteFileW((longPath + L"\\" + name).c_str());
        } while (FindNextFileW(found, &entry));
        FindClose(found);
    }
    RemoveDirectoryW(longPath.c_str());
}

std::string TreeSettings() {
    const std::wstring root = ResultsTree::Get().Root();
    return "[index]\r\nroots=" + Utf8(root) + "\r\nindex=" + Utf8(root) + ".index\r\n";
}

} // namespace

const ResultsTree& ResultsTree::Get() {
    static const ResultsTree tree;
    return tree;
}

ResultsTree::ResultsTree() : m_root(TempFolder() + L"nuv-results-" + std::to_wstring(GetCurrentProcessId())) {
    std::wstring longFile;
    for (int i = 0; i < kLongFolderDepth; ++i)
        longFile += std::wstring(kLongFolder) + L"\\";
    m_entries = {
        {L"kiwi-A.TXT", false},
        {L"kiwi-b.txt", false},
        {L"tools\\kiwi-setup.exe", false},
        {L"other\\kiwi-setup.exe", false},
        {L"kiwi-folder.txt", true},
        {L"x.y\\kiwi", false},
        {L"plain\\kiwi", false},
        {L"kiwi-open.nuvrec", false},
        {longFile + L"kiwi-long.nuvrec", false},
    };
    for (const TreeEntry& entry : m_entries)
        MakeEntry(PathOf(entry.relativePath), entry.isFolder);
}

ResultsTree::~ResultsTree() {
    RemoveTree(L"\\\\?\\" + m_root);
    for (const wchar_t* suffix : {L".index", L".index.roots"})
        DeleteFileW((m_root + suffix).c_str());
}

std::wstring ResultsTree::LongFile() const {
    return PathOf(m_entries.back().relativePath);
}

std::vector<ServiceRow> ServiceRows(const std::wstring& query) {
    NuvSearch_SetSearchW(query.c_str());
    NuvSearch_QueryW(TRUE);
    std::vector<ServiceRow> rows(NuvSearch_GetNumResults());
    for (DWORD i = 0; i < rows.size(); ++i)
        rows[i] = {NuvSearch_GetResultFileNameW(i), NuvSearch_GetResultPathW(i),
                   NuvSearch_IsFolderResult(i) != 0};
    NuvSearch_Reset();
    return rows;
}

ResultsTest::ResultsTest() : FinderTest(std::make_unique<FinderFolder>(TreeSettings())) {}

void ResultsTest::SetUp() {
    FinderTest::SetUp();
    if (HasFatalFailure()) return;
    const std::size_t entries = ResultsTree::Get().Entries().size();
    ASSERT_TRUE(WaitFor([&] { return ServiceRows(kTreeWord).size() == entries; }, 20000))
        << "the service never indexed the tree";
}

void ResultsTest::Search(const std::wstring& text) {
    if (!IsWindowVisible(finder.Field())) OpenField();
    TypeText(text);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(finder.Popup()) != FALSE; })) << "no popup";
    // The popup's window text is the text of its last query.
    ASSERT_TRUE(WaitFor([&] { return WindowText(finder.Popup()) == text; }))
        << "popup searched: " << testing::PrintToString(WindowText(finder.Popup()));
    // The answer is in; what the screen shows follows once it is painted.
    EXPECT_TRUE(WaitUntilPainted(
        {finder.Popup(), PopupItem(kResultsListId), PopupItem(kCountLineId), PopupItem(kQuotedTextId)}));
}

void ResultsTest::ClickRow(const RemoteListView& list, int row) {
    const RECT rect = list.ItemRect(row);
    ClickAt(rect.left + 60, (rect.top + rect.bottom) / 2);
    // The field's focus timer runs on while the text box has the focus and
    // takes the focus back into the box once it finds it elsewhere; a second
    // click after its next tick keeps the focus in the list.
    Sleep(600);
    ClickAt(rect.left + 60, (rect.top + rect.bottom) / 2);
    ASSERT_TRUE(WaitFor([&] { return list.SelectionMark() == row; })) << "row " << row << " not selected";
}

int ResultsTest::RowNamed(const RemoteListView& list, const std::wstring& name) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Text(i, 0) == name) return i;
    return -1;
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
