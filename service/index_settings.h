#pragma once
// What the service indexes and where it keeps its index, from the optional
// NuvFileSearch.ini beside it:
//
//   [index]
//   roots=D:\;C:\Users
//   exclude=node_modules;C:\Windows\WinSxS
//   index=D:\temp\index.dat
//
// A missing or unreadable file, or a missing key, means the default.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nuv::service {

struct IndexSettings {
    std::vector<std::wstring> roots;    // empty: every local fixed drive
    std::vector<std::wstring> excludes; // folder names, or full folder paths
    std::wstring indexFile;             // empty: under the user's local application data
};

IndexSettings ParseIndexSettings(std::wstring_view iniText);

// The text of a UTF-8 (with or without a byte order mark) or UTF-16LE (with
// one) file; nothing when it cannot be read.
std::optional<std::wstring> ReadSettingsText(const std::wstring& file);

// "c:/Users/" -> "c:\Users", "D:" -> "D:\"; relative paths become absolute.
std::wstring NormaliseFolderPath(std::wstring_view path);

} // namespace nuv::service
