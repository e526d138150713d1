#pragma once

#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query.h"

namespace nuv::engine::testing {

// A slow, obvious catalogue to compare the engine with: every entry a full list of path
// components, every query answered by folding and searching each full path afresh. Names in the
// tests never differ only by case, so exact keys are enough here.
class ReferenceCatalog {
public:
    using Path = std::vector<std::string>; // the volume first

    static Path Split(std::string_view path);
    static std::string Join(const Path& path);

    void AddPath(const Path& path, bool isFolder);
    void RemovePath(const Path& path);
    void RenamePath(const Path& from, const Path& to);
    std::size_t Size() const { return entries_.size(); }

    // Rows as the engine tests render them: the full path, a trailing '\' for folders.
    std::vector<std::string> Run(std::string_view query) const;

private:
    void EnsureFolders(const Path& path, std::size_t count);
    void EraseSubtree(const Path& path);
    bool Matches(const Path& path, const engine::Query& query) const;

    std::map<Path, bool> entries_; // path -> is a folder
};

} // namespace nuv::engine::testing
