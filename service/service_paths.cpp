#include "service_paths.h"

#include "exclusions.h"
#include "wide_text.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>

namespace nuv::service {
namespace {

bool IsInside(const std::wstring& path, const std::wstring& folder) {
    if (path.size() < folder.size() || !SameName(std::wstring_view(path).substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || folder.back() == L'\\' || path[folder.size()] == L'\\';
}

} // namespace

std::wstring SettingsFileBesideService() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.rfind(L'\\') + 1);
    return path + L"NuvFileSearch.ini";
}

std::wstring DefaultIndexFile() {
    wchar_t* raw = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &raw))) {
        CoTaskMemFree(raw);
        return {};
    }
    std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(raw, &CoTaskMemFree);
    const std::wstring folder = JoinPath(raw, L"nuvSokra");
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    return JoinPath(folder, L"index.dat");
}

std::vector<std::wstring> LocalFixedDrives() {
    std::vector<std::wstring> drives;
    wchar_t buffer[4 * 26 + 1] = {};
    const DWORD length = GetLogicalDriveStringsW(ARRAYSIZE(buffer), buffer);
    if (length == 0 || length >= ARRAYSIZE(buffer)) return drives;
    for (const wchar_t* drive = buffer; *drive != L'\0'; drive += wcslen(drive) + 1)
        if (GetDriveTypeW(drive) == DRIVE_FIXED) drives.emplace_back(drive);
    return drives;
}

std::vector<std::wstring> DistinctRoots(const std::vector<std::wstring>& roots) {
    std::vector<std::wstring> distinct;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < roots.size() && !covered; ++j) {
            if (i == j) continue;
            // Of two equal roots the first one stays.
            const bool same = SameName(roots[i], roots[j]);
            covered = same ? j < i : IsInside(roots[i], roots[j]);
        }
        if (!covered) distinct.push_back(roots[i]);
    }
    return distinct;
}

} // namespace nuv::service
