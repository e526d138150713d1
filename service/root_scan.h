#pragma once
// Full walks of a root into the engine's forms.
#include "engine/catalog.h"
#include "engine/scan_builder.h"
#include "exclusions.h"

#include <string>

namespace nuv::service {

engine::ScanBuilder ScanRoot(const std::wstring& root, const Exclusions& exclusions);

// Adds a folder that appeared under a watched root together with everything
// inside it: a folder moved in from elsewhere arrives with its content, and
// the change notice names only the folder.
void AddFolderTree(engine::Catalog& catalog, const std::wstring& folder, const Exclusions& exclusions);

} // namespace nuv::service
