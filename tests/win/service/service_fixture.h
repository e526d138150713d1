#pragma once
// A small tree made on disk, the real service started on it through its ini,
// and the engine's own answer for the same tree to compare against.
#include "engine/catalog.h"
#include "search_client.h"
#include "test_processes.h"

#include <string>
#include <vector>

namespace nuv::test_support {

struct ResultRow {
    std::wstring name;
    std::wstring folder;
    bool isFolder = false;
    bool operator==(const ResultRow&) const = default;
};

class ServiceFixture {
public:
    ServiceFixture();

    const std::wstring& Root() const { return root_; }
    const std::wstring& IndexFile() const { return indexFile_; }
    const std::wstring& Scratch() const { return scratch_.Path(); }
    // Where the service is copied to, beside its NuvFileSearch.ini.
    const std::wstring& ServiceFolder() const { return serviceFolder_; }
    // The catalog the service should hold for the tree as made.
    const engine::Catalog& Reference() const { return reference_; }

    // Copies the service beside an ini naming the tree and starts it.
    StartedProcess StartService(const std::wstring& arguments = L"-startup") const;
    // Starts the service and waits until its answers match the reference.
    StartedProcess StartReadyService() const;

private:
    void MakeTree();

    ScratchFolder scratch_;
    std::wstring root_;
    std::wstring serviceFolder_;
    std::wstring indexFile_;
    engine::Catalog reference_;
};

// The count of a query, read through NuvSearch.dll.
std::size_t CountThroughLibrary(const wchar_t* query);
// Count and every row of a query, read through NuvSearch.dll.
std::vector<ResultRow> QueryThroughLibrary(const std::wstring& query);
// The same from an engine catalog in this process.
std::vector<ResultRow> QueryCatalog(const engine::Catalog& catalog, const std::wstring& query);

// A client of its own, beside the library's one, as a second program would have.
class SecondClient {
public:
    SecondClient();
    std::size_t Query(const std::wstring& query);
    std::wstring NameAt(std::uint32_t index);

private:
    client::SearchClient client_;
};

std::string Utf8(const std::wstring& text);

// Writes NuvFileSearch.ini into the folder the service is copied to.
void WriteServiceSettings(const std::wstring& serviceFolder, const std::string& text);

// Creates a file (empty) or folder at a path of any length.
bool CreateEntry(const std::wstring& path, bool isFolder);

} // namespace nuv::test_support
