#pragma once
// Folders left out of the index, with everything below them: by name wherever
// they occur ("node_modules"), or by full path ("C:\Windows\WinSxS").
#include <string>
#include <string_view>
#include <vector>

namespace nuv::service {

class Exclusions {
public:
    Exclusions() = default;
    explicit Exclusions(const std::vector<std::wstring>& entries);

    bool Excludes(std::wstring_view folderPath, std::wstring_view folderName) const;
    // Whether any folder of a path below root, or the path itself, is left out.
    bool ExcludesBelow(std::wstring_view root, std::wstring_view relativePath) const;

private:
    std::vector<std::wstring> names_;
    std::vector<std::wstring> paths_;
};

// root and a relative path joined by exactly one backslash.
std::wstring JoinPath(std::wstring_view root, std::wstring_view name);

} // namespace nuv::service
