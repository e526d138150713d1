#pragma once
// Fills the catalog from a list of paths instead of the disks, for benchmarks:
// one full Windows path per line, UTF-8; a line ending in a backslash names a
// folder. Every path lies below a drive root ("C:\..."); other lines are
// ignored. Folders that lead to a listed path appear even when not listed.
#include "engine/catalog.h"

#include <string>

namespace nuv::service {

bool LoadPathList(engine::Catalog& catalog, const std::wstring& file);

} // namespace nuv::service
