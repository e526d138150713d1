#include "path_list.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <unordered_map>

namespace nuv::service {
namespace {

// One scan per drive root, with the folder ids given so far by their paths.
struct DriveScan {
    explicit DriveScan(std::string root) : scan(root) {
        folders.emplace(std::move(root), engine::ScanBuilder::kRootFolder);
    }
    engine::ScanBuilder scan;
    std::unordered_map<std::string, engine::ScanBuilder::FolderId> folders;

    engine::ScanBuilder::FolderId Folder(const std::string& path) {
        if (const auto found = folders.find(path); found != folders.end()) return found->second;
        const std::size_t cut = path.rfind('\\');
        // "C:\a": its parent is the root "C:\", whose backslash belongs to it.
        const std::string parent = cut == 2 ? path.substr(0, 3) : path.substr(0, cut);
        const auto id = scan.AddFolder(Folder(parent), std::string_view(path).substr(cut + 1));
        folders.emplace(path, id);
        return id;
    }
};

bool IsUnderDriveRoot(std::string_view line) {
    return line.size() > 3 && line[1] == ':' && line[2] == '\\' &&
           ((line[0] >= 'A' && line[0] <= 'Z') || (line[0] >= 'a' && line[0] <= 'z'));
}

} // namespace

bool LoadPathList(engine::Catalog& catalog, const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    if (!in) return false;
    std::map<char, DriveScan> drives;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool isFolder = !line.empty() && line.back() == '\\';
        if (isFolder) line.pop_back();
        if (!IsUnderDriveRoot(line) || line.back() == '\\') continue;
        DriveScan& drive = drives.try_emplace(line[0], line.substr(0, 3)).first->second;
        if (isFolder) {
            drive.Folder(line);
            continue;
        }
        const std::size_t cut = line.rfind('\\');
        const auto parent = cut == 2 ? engine::ScanBuilder::kRootFolder : drive.Folder(line.substr(0, cut));
        drive.scan.AddFile(parent, std::string_view(line).substr(cut + 1));
    }
    for (auto& [letter, drive] : drives)
        catalog.ReplaceRoot(std::move(drive.scan));
    return true;
}

} // namespace nuv::service
