#include "engine_test_support.h"

#include "engine/path_list.h"

namespace nuv::engine::testing {

void AddPathList(Catalog& catalog, std::string_view lines) {
    for (auto& scan : ScansFromPathList(lines))
        catalog.ReplaceRoot(std::move(scan));
}

std::string RowText(const Row& row) {
    std::string text(row.folder);
    text += '\\';
    text += row.name;
    if (row.isFolder) text += '\\';
    return text;
}

std::vector<std::string> AllRows(const Search& search) {
    std::vector<std::string> rows;
    Row row;
    for (std::size_t i = 0; search.GetRow(i, row); ++i)
        rows.push_back(RowText(row));
    return rows;
}

std::vector<std::string> Query(const Catalog& catalog, std::string_view query) {
    Search search(catalog);
    search.Run(query);
    return AllRows(search);
}

} // namespace nuv::engine::testing
