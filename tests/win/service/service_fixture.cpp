#include "service_fixture.h"

#include "NuvSearch.h"
#include "engine/search.h"
#include "protocol/wtf8.h"
#include "search_core.h"
#include "session_pipe.h"

#include <filesystem>
#include <fstream>
#include <map>

namespace nuv::test_support {
namespace {

std::wstring Wide(std::string_view text) {
    const std::u16string utf16 = protocol::Wtf8ToUtf16(text);
    return std::wstring(utf16.begin(), utf16.end());
}

struct TreeEntry {
    std::wstring relative;
    bool isFolder;
    bool indexed; // false: inside an excluded folder
};

// Long enough that a few of them nested pass the 260-character limit.
const std::wstring kLongName(60, L'x');

std::vector<TreeEntry> TreeEntries() {
    std::vector<TreeEntry> entries = {
        {L"docs", true, true},
        {L"docs\\report.txt", false, true},
        {L"docs\\Report-2024.docx", false, true},
        {L"docs\\报告 final.txt", false, true},
        {L"docs\\a;b c.txt", false, true},
        {L"src", true, true},
        {L"src\\main.cpp", false, true},
        {L"src\\util.h", false, true},
        {L"src\\node_modules", true, false},
        {L"src\\node_modules\\pkg", true, false},
        {L"src\\node_modules\\pkg\\index.js", false, false},
        {L"Node_Modules", true, false},
        {L"Node_Modules\\top.js", false, false},
        {L"vendor", true, false},
        {L"vendor\\lib.h", false, false},
        {L"vendor2", true, true},
        {L"vendor2\\lib2.h", false, true},
        {L"empty", true, true},
        {L"many", true, true},
    };
    for (int i = 0; i < 150; ++i)
        entries.push_back({L"many\\item-" + std::to_wstring(1000 + i) + L".dat", false, true});
    std::wstring deep = L"deep";
    entries.push_back({deep, true, true});
    for (int level = 1; level <= 5; ++level) {
        deep += L"\\d" + std::to_wstring(level) + kLongName;
        entries.push_back({deep, true, true});
    }
    entries.push_back({deep + L"\\deepfile.txt", false, true});
    return entries;
}

void FillReference(engine::Catalog& catalog, const std::wstring& root,
                   const std::vector<TreeEntry>& entries) {
    engine::ScanBuilder scan(Utf8(root));
    std::map<std::wstring, engine::ScanBuilder::FolderId> folders{{L"", engine::ScanBuilder::kRootFolder}};
    for (const TreeEntry& entry : entries) {
        if (!entry.indexed) continue;
        const std::size_t cut = entry.relative.rfind(L'\\');
        const std::wstring parent = cut == std::wstring::npos ? L"" : entry.relative.substr(0, cut);
        const std::wstring name = cut == std::wstring::npos ? entry.relative : entry.relative.substr(cut + 1);
        if (entry.isFolder)
            folders[entry.relative] = scan.AddFolder(folders.at(parent), Utf8(name));
        else
            scan.AddFile(folders.at(parent), Utf8(name));
    }
    catalog.ReplaceRoot(std::move(scan));
}

} // namespace

void WriteServiceSettings(const std::wstring& serviceFolder, const std::string& text) {
    const std::wstring path = serviceFolder + L"\\NuvFileSearch.ini";
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << text;
}

ServiceFixture::ServiceFixture()
    : root_(scratch_.Path() + L"\\tree"), serviceFolder_(scratch_.Path() + L"\\service"),
      indexFile_(scratch_.Path() + L"\\index.dat") {
    // Another service of this session (one the finder tests started, or one
    // left over) would hold the pipe name and answer in place of ours.
    StopSearchCore();
    CreateEntry(root_, true);
    CreateEntry(serviceFolder_, true);
    const std::vector<TreeEntry> entries = TreeEntries();
    for (const TreeEntry& entry : entries)
        CreateEntry(root_ + L"\\" + entry.relative, entry.isFolder);
    FillReference(reference_, root_, entries);
    WriteServiceSettings(serviceFolder_, "[index]\r\nroots=" + Utf8(root_) + "\r\nexclude=node_modules;" +
                                             Utf8(root_) + "\\vendor\r\nindex=" + Utf8(indexFile_) + "\r\n");
}

StartedProcess ServiceFixture::StartService(const std::wstring& arguments) const {
    return StartedProcess::CopyAndStart(FolderOfThisProgram() + L"\\NuvFileSearch.dat", serviceFolder_,
                                        L"NuvFileSearch.dat", arguments);
}

StartedProcess ServiceFixture::StartReadyService() const {
    StartedProcess service = StartService();
    const std::vector<ResultRow> everything = QueryCatalog(reference_, L"");
    WaitUntil([&] { return QueryThroughLibrary(L"") == everything; }, 20000);
    return service;
}

std::size_t CountThroughLibrary(const wchar_t* query) {
    NuvSearch_SetSearchW(query);
    NuvSearch_QueryW(TRUE);
    return NuvSearch_GetNumResults();
}

std::vector<ResultRow> QueryThroughLibrary(const std::wstring& query) {
    NuvSearch_SetSearchW(query.c_str());
    NuvSearch_QueryW(TRUE);
    std::vector<ResultRow> rows(NuvSearch_GetNumResults());
    for (DWORD i = 0; i < rows.size(); ++i) {
        rows[i].name = NuvSearch_GetResultFileNameW(i);
        rows[i].folder = NuvSearch_GetResultPathW(i);
        rows[i].isFolder = NuvSearch_IsFolderResult(i) != FALSE;
    }
    return rows;
}

std::vector<ResultRow> QueryCatalog(const engine::Catalog& catalog, const std::wstring& query) {
    engine::Search search(catalog);
    std::vector<ResultRow> rows(search.Run(Utf8(query)));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        engine::Row row;
        search.GetRow(i, row);
        rows[i] = {Wide(row.name), Wide(row.folder), row.isFolder};
    }
    return rows;
}

std::string Utf8(const std::wstring& text) {
    return protocol::Utf16ToWtf8(std::u16string(text.begin(), text.end()));
}

SecondClient::SecondClient() : client_(session::ServicePipeName()) {}

std::size_t SecondClient::Query(const std::wstring& query) {
    client_.SetSearch(query);
    client_.Query();
    return client_.Count();
}

std::wstring SecondClient::NameAt(std::uint32_t index) {
    const client::ResultRow* row = client_.Row(index);
    return row != nullptr ? row->name : std::wstring();
}

bool CreateEntry(const std::wstring& path, bool isFolder) {
    const std::wstring longPath = L"\\\\?\\" + path;
    if (isFolder)
        return CreateDirectoryW(longPath.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    HANDLE file = CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

} // namespace nuv::test_support
