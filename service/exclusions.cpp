#include "exclusions.h"

#include "index_settings.h"
#include "wide_text.h"

namespace nuv::service {

Exclusions::Exclusions(const std::vector<std::wstring>& entries) {
    for (const std::wstring& entry : entries) {
        if (entry.find_first_of(L"\\/:") == std::wstring::npos)
            names_.push_back(entry);
        else
            paths_.push_back(NormaliseFolderPath(entry));
    }
}

bool Exclusions::Excludes(std::wstring_view folderPath, std::wstring_view folderName) const {
    for (const std::wstring& name : names_)
        if (SameName(name, folderName)) return true;
    for (const std::wstring& path : paths_)
        if (SameName(path, folderPath)) return true;
    return false;
}

bool Exclusions::ExcludesBelow(std::wstring_view root, std::wstring_view relativePath) const {
    std::wstring path(root);
    while (!relativePath.empty()) {
        const std::size_t end = relativePath.find(L'\\');
        const std::wstring_view name = relativePath.substr(0, end);
        path = JoinPath(path, name);
        if (Excludes(path, name)) return true;
        relativePath = end == std::wstring_view::npos ? std::wstring_view() : relativePath.substr(end + 1);
    }
    return false;
}

std::wstring JoinPath(std::wstring_view root, std::wstring_view name) {
    std::wstring path(root);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

} // namespace nuv::service
