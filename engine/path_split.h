#pragma once

#include <string_view>
#include <vector>

namespace nuv::engine {

// The components of a Windows path: "C:\dir\name" gives {"C:", "dir", "name"}. The first is the
// volume. '/' separates as well as '\'; empty components (doubled or trailing separators) are
// dropped, so "C:\" is the volume alone and "\\server\share\x" gives {"server", "share", "x"}.
std::vector<std::string_view> SplitPath(std::string_view path);
// The same into `parts`, whose storage is reused: for callers that split millions of paths.
void SplitPath(std::string_view path, std::vector<std::string_view>& parts);

} // namespace nuv::engine
