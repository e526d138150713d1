#include "root_scan.h"

#include "volume_walker.h"
#include "wide_text.h"

#include <vector>

namespace nuv::service {

engine::ScanBuilder ScanRoot(const std::wstring& root, const Exclusions& exclusions) {
    engine::ScanBuilder scan(ToEngineText(root));
    const WalkSink sink{
        [&](FolderToken parent, std::wstring_view name) {
            return scan.AddFolder(parent, ToEngineText(name));
        },
        [&](FolderToken parent, std::wstring_view name) { scan.AddFile(parent, ToEngineText(name)); },
    };
    WalkFolder(root, engine::ScanBuilder::kRootFolder, exclusions, sink);
    return scan;
}

void AddFolderTree(engine::Catalog& catalog, const std::wstring& folder, const Exclusions& exclusions) {
    // Token i is the folder whose engine path is folders[i].
    std::vector<std::string> folders{ToEngineText(folder)};
    catalog.AddPath(folders.front(), true);
    const auto pathOf = [&](FolderToken parent, std::wstring_view name) {
        return folders[parent] + "\\" + ToEngineText(name);
    };
    const WalkSink sink{
        [&](FolderToken parent, std::wstring_view name) {
            folders.push_back(pathOf(parent, name));
            catalog.AddPath(folders.back(), true);
            return static_cast<FolderToken>(folders.size() - 1);
        },
        [&](FolderToken parent, std::wstring_view name) { catalog.AddPath(pathOf(parent, name), false); },
    };
    WalkFolder(folder, 0, exclusions, sink);
}

} // namespace nuv::service
