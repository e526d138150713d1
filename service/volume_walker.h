#pragma once
// Walks a folder tree and reports every file and folder below it, without
// following reparse points (junctions, symbolic links, mount points) and
// without entering any folder twice, so a link loop or a folder mounted in two
// places cannot make it walk forever or count entries twice. Folders it may
// not read are skipped. Paths of any length work.
#include "exclusions.h"

#include <cstdint>
#include <functional>
#include <string>

namespace nuv::service {

using FolderToken = std::uint32_t;

struct WalkSink {
    // Called for each folder found; the token it returns stands for that
    // folder as the parent of what is found inside it.
    std::function<FolderToken(FolderToken parent, std::wstring_view name)> addFolder;
    std::function<void(FolderToken parent, std::wstring_view name)> addFile;
};

// Walks everything below folder, whose own token is rootToken.
void WalkFolder(const std::wstring& folder, FolderToken rootToken, const Exclusions& exclusions,
                const WalkSink& sink);

// The form of a path that lifts the 260-character limit.
std::wstring LongPath(const std::wstring& path);

} // namespace nuv::service
