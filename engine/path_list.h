#pragma once

#include <string_view>
#include <vector>

#include "engine/scan_builder.h"

namespace nuv::engine {

// Reads a list of full paths, one a line ("C:\dir\name"; '/' also separates; a trailing separator
// marks a folder; CR LF and a UTF-8 byte order mark are accepted; empty lines are skipped) into
// one scan per volume, ready for Catalog::ReplaceRoot. Folders named only as parents of other
// lines appear as folders. Within one list a folder is matched by its exact name.
std::vector<ScanBuilder> ScansFromPathList(std::string_view text);

} // namespace nuv::engine
