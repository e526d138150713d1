#include "engine/path_list.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "engine/path_split.h"

namespace nuv::engine {
namespace {

struct FolderKey {
    ScanBuilder::FolderId parent;
    std::string_view name;
    bool operator==(const FolderKey&) const = default;
};

struct FolderKeyHash {
    std::size_t operator()(const FolderKey& key) const {
        return std::hash<std::string_view>()(key.name) * 31 + key.parent;
    }
};

// One volume's scan and the folders made so far. Lists usually come grouped by folder, so the
// chain of the previous line's folders answers most lookups without hashing.
class VolumeScan {
public:
    explicit VolumeScan(std::string_view volume) : scan_(std::string(volume) + "\\") {}

    void Reserve(std::size_t entries, std::size_t nameBytes) { scan_.Reserve(entries, nameBytes); }

    // Returns the folder the line's entry sits in, or the folder it names.
    ScanBuilder::FolderId AddLine(const std::vector<std::string_view>& components, bool isFolder) {
        const std::size_t folderDepth = isFolder ? components.size() : components.size() - 1;
        ScanBuilder::FolderId folder = ScanBuilder::kRootFolder;
        for (std::size_t d = 1; d < folderDepth; ++d)
            folder = FolderAt(d, folder, components[d]);
        if (!isFolder) scan_.AddFile(folder, components.back());
        return folder;
    }

    void AddFile(ScanBuilder::FolderId folder, std::string_view name) { scan_.AddFile(folder, name); }

    ScanBuilder Take() { return std::move(scan_); }

private:
    ScanBuilder::FolderId FolderAt(std::size_t depth, ScanBuilder::FolderId parent, std::string_view name) {
        if (depth <= chain_.size() && chain_[depth - 1].first == name) return chain_[depth - 1].second;
        chain_.resize(depth - 1);
        auto [it, inserted] = folders_.try_emplace(FolderKey{parent, name}, 0);
        if (inserted) it->second = scan_.AddFolder(parent, name);
        chain_.emplace_back(name, it->second);
        return it->second;
    }

    ScanBuilder scan_;
    std::unordered_map<FolderKey, ScanBuilder::FolderId, FolderKeyHash>
        folders_; // names point into the list text
    std::vector<std::pair<std::string_view, ScanBuilder::FolderId>>
        chain_; // the last line's folders, by depth
};

} // namespace

std::vector<ScanBuilder> ScansFromPathList(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    // Every line is at least one entry and its name is shorter than the line: a bound that saves
    // the arrays from growing step by step.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    std::vector<std::string> volumeNames;
    std::vector<VolumeScan> volumes;
    std::vector<std::string_view> components;
    // The text up to the previous line's last separator, and the folder it names. Lists mostly
    // come a folder at a time, so a line that goes on from there by one name is a file in that
    // folder, placed without splitting the line or walking its folders.
    std::string_view lastFolderPath;
    std::size_t lastVolume = 0;
    ScanBuilder::FolderId lastFolder = ScanBuilder::kRootFolder;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!lastFolderPath.empty() && line.size() > lastFolderPath.size() &&
            line.starts_with(lastFolderPath) &&
            line.find_first_of("\\/", lastFolderPath.size()) == std::string_view::npos) {
            volumes[lastVolume].AddFile(lastFolder, line.substr(lastFolderPath.size()));
            continue;
        }
        SplitPath(line, components);
        if (components.size() < 2) continue; // a volume alone adds nothing
        const bool isFolder = line.ends_with('\\') || line.ends_with('/');
        std::size_t v = 0;
        while (v < volumeNames.size() && volumeNames[v] != components[0])
            ++v;
        if (v == volumeNames.size()) {
            volumeNames.emplace_back(components[0]);
            volumes.emplace_back(components[0]);
            volumes.back().Reserve(lines, text.size());
        }
        lastFolder = volumes[v].AddLine(components, isFolder);
        lastFolderPath = line.substr(0, line.find_last_of("\\/") + 1);
        lastVolume = v;
    }
    std::vector<ScanBuilder> scans;
    for (auto& volume : volumes)
        scans.push_back(volume.Take());
    return scans;
}

} // namespace nuv::engine
