#pragma once
// Where the service finds its settings and keeps its index by default.
#include <string>
#include <vector>

namespace nuv::service {

// NuvFileSearch.ini in the folder of the service's own executable.
std::wstring SettingsFileBesideService();

// "<local application data>\nuvSokra\index.dat", its folder created; empty on failure.
std::wstring DefaultIndexFile();

// Every local fixed drive, as "C:\".
std::vector<std::wstring> LocalFixedDrives();

// Roots without repeats and without any root that lies inside another, which
// would be walked twice.
std::vector<std::wstring> DistinctRoots(const std::vector<std::wstring>& roots);

} // namespace nuv::service
