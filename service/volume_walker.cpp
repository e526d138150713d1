#include "volume_walker.h"

#include "unique_handle.h"

#include <windows.h>

#include <set>
#include <utility>
#include <vector>

namespace nuv::service {
namespace {

using FileId = std::pair<DWORD, ULONGLONG>; // volume serial number, file index

// Up to half a second for a folder that refuses to be listed for a moment.
constexpr int kPassingRefusalRetries = 50;
constexpr DWORD kPassingRefusalRetryMs = 10;

class FindGuard {
public:
    explicit FindGuard(HANDLE find) : find_(find) {}
    ~FindGuard() {
        if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    }
    FindGuard(const FindGuard&) = delete;
    FindGuard& operator=(const FindGuard&) = delete;
    HANDLE Get() const { return find_; }

private:
    HANDLE find_;
};

bool IdOfFolder(const std::wstring& folder, FileId& id) {
    session::UniqueHandle handle(CreateFileW(LongPath(folder).c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &info)) return false;
    id = {info.dwVolumeSerialNumber, (ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

struct PendingFolder {
    std::wstring path;
    FolderToken token;
};

class Walker {
public:
    Walker(const Exclusions& exclusions, const WalkSink& sink) : exclusions_(exclusions), sink_(sink) {}

    void Run(const std::wstring& folder, FolderToken rootToken) {
        pending_.push_back({folder, rootToken});
        while (!pending_.empty()) {
            PendingFolder next = std::move(pending_.back());
            pending_.pop_back();
            ListFolder(next);
        }
    }

private:
    void ListFolder(const PendingFolder& folder) {
        FileId id;
        // A folder whose id cannot be read is still listed: refusing it would
        // hide its files, and without an id it cannot be a repeat we know of.
        if (IdOfFolder(folder.path, id) && !visited_.insert(id).second) return;
        WIN32_FIND_DATAW data;
        FindGuard find(FindFirst(folder.path, data));
        if (find.Get() == INVALID_HANDLE_VALUE) return;
        do {
            if (!IsDotOrDotDot(data.cFileName)) AddEntry(folder, data);
        } while (FindNextFileW(find.Get(), &data));
    }

    // A folder that has just moved in can refuse to be listed for a moment:
    // whoever moved it may still hold it open with delete access, which a
    // listing does not share, and Wine answers "already exists" while its
    // rename completes. Giving up would leave its contents out of the index;
    // other refusals (no access, gone) are final and cost no wait.
    static HANDLE FindFirst(const std::wstring& folder, WIN32_FIND_DATAW& data) {
        const std::wstring pattern = LongPath(JoinPath(folder, L"*"));
        for (int attempt = 0;; ++attempt) {
            HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
            const DWORD error = find == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
            const bool passing = error == ERROR_SHARING_VIOLATION || error == ERROR_ALREADY_EXISTS;
            if (!passing || attempt == kPassingRefusalRetries) return find;
            Sleep(kPassingRefusalRetryMs);
        }
    }

    void AddEntry(const PendingFolder& folder, const WIN32_FIND_DATAW& data) {
        const std::wstring_view name = data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            sink_.addFile(folder.token, name);
            return;
        }
        std::wstring path = JoinPath(folder.path, name);
        if (exclusions_.Excludes(path, name)) return;
        const FolderToken token = sink_.addFolder(folder.token, name);
        // A link to a folder is listed by its own name but never entered.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            pending_.push_back({std::move(path), token});
    }

    const Exclusions& exclusions_;
    const WalkSink& sink_;
    std::vector<PendingFolder> pending_;
    std::set<FileId> visited_;
};

} // namespace

void WalkFolder(const std::wstring& folder, FolderToken rootToken, const Exclusions& exclusions,
                const WalkSink& sink) {
    Walker(exclusions, sink).Run(folder, rootToken);
}

std::wstring LongPath(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\")) return path;
    if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

} // namespace nuv::service
