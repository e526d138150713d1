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

    void AddLine(const std::vector<std::string_view>& components, bool isFolder) {
        const std::size_t folderDepth = isFolder ? components.size() : components.size() - 1;
        ScanBuilder::FolderId folder = ScanBuilder::kRootFolder;
        for (std::size_t d = 1; d < folderDepth; ++d)
            folder = FolderAt(d, folder, components[d]);
        if (!isFolder) scan_.AddFile(folder, components.back());
    }

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
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
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
        volumes[v].AddLine(components, isFolder);
    }
    std::vector<ScanBuilder> scans;
    for (auto& volume : volumes)
        scans.push_back(volume.Take());
    return scans;
}

} // namespace nuv::engine
