#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog.h"
#include "engine/search.h"

namespace nuv::engine::testing {

// Fills the catalogue from path-list text (one path a line, trailing '\' for folders).
void AddPathList(Catalog& catalog, std::string_view lines);

// A row as one string: the full path, with a trailing '\' for a folder.
std::string RowText(const Row& row);

// Every row of a search, in order, as RowText.
std::vector<std::string> AllRows(const Search& search);

// Runs one query on a fresh search and returns every row.
std::vector<std::string> Query(const Catalog& catalog, std::string_view query);

} // namespace nuv::engine::testing
