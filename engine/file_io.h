#pragma once

#include <string>
#include <string_view>

namespace nuv::engine {

// The engine's only contact with the operating system. Paths are UTF-8 on every platform.

// Writes `bytes` to "<path>.tmp", flushes it to the disk, then renames it over `path`, so that a
// process killed at any instant leaves either the old file or the new one, never a torn one.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error);

} // namespace nuv::engine
