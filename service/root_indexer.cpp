#include "root_indexer.h"

#include "repeat_forever.h"
#include "root_scan.h"
#include "unique_handle.h"
#include "volume_walker.h"
#include "wide_text.h"

#include <optional>
#include <utility>
#include <vector>

namespace nuv::service {
namespace {

// How long to wait before looking again for a root that is not there.
constexpr DWORD kMissingRootRetryMs = 5000;
// The system keeps changes that arrive between two reads in a buffer of this
// size; when it fills, they are lost and the whole root is walked again. A
// walk of a busy system drive takes long enough to fill a small one, and the
// next walk would lose changes again: hence a large buffer where allowed.
constexpr DWORD kLocalChangeBufferBytes = 1024 * 1024;
// The most a change buffer may hold for a folder on a network share.
constexpr DWORD kShareChangeBufferBytes = 64 * 1024;
constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;

class DirectoryWatch {
public:
    explicit DirectoryWatch(HANDLE folder)
        : folder_(folder), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          buffer_(kLocalChangeBufferBytes / sizeof(DWORD)) {}
    ~DirectoryWatch() {
        if (pending_) {
            CancelIoEx(folder_, &overlapped_);
            DWORD ignored = 0;
            GetOverlappedResult(folder_, &overlapped_, &ignored, TRUE);
        }
    }
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;

    // Changes are collected by the system from this call on, even while the
    // caller is busy walking the tree.
    bool Arm() {
        pending_ = event_.Valid() && Read();
        // A share refuses a buffer over its limit with this error.
        if (!pending_ && event_.Valid() && GetLastError() == ERROR_INVALID_PARAMETER &&
            buffer_.size() * sizeof(DWORD) > kShareChangeBufferBytes) {
            buffer_.resize(kShareChangeBufferBytes / sizeof(DWORD));
            pending_ = Read();
        }
        return pending_;
    }

    enum class Outcome { Changes, Overflow, Failed };
    // Waits for the next batch; on Changes the records are in Records().
    Outcome Wait() {
        DWORD bytes = 0;
        const BOOL done = GetOverlappedResult(folder_, &overlapped_, &bytes, TRUE);
        pending_ = false;
        if (!done) return GetLastError() == ERROR_NOTIFY_ENUM_DIR ? Outcome::Overflow : Outcome::Failed;
        if (bytes == 0) return Outcome::Overflow;
        records_.assign(reinterpret_cast<const BYTE*>(buffer_.data()),
                        reinterpret_cast<const BYTE*>(buffer_.data()) + bytes);
        return Outcome::Changes;
    }
    const BYTE* Records() const { return records_.data(); }

private:
    bool Read() {
        overlapped_ = {};
        overlapped_.hEvent = event_.Get();
        return ReadDirectoryChangesW(folder_, buffer_.data(),
                                     static_cast<DWORD>(buffer_.size() * sizeof(DWORD)), TRUE,
                                     kWatchedChanges, nullptr, &overlapped_, nullptr) != FALSE;
    }

    HANDLE folder_;
    session::UniqueHandle event_;
    std::vector<DWORD> buffer_; // DWORD-aligned, as the call requires
    std::vector<BYTE> records_;
    OVERLAPPED overlapped_ = {};
    bool pending_ = false;
};

} // namespace

RootIndexer::RootIndexer(engine::Catalog& catalog, std::wstring root, Exclusions exclusions,
                         IndexSaver& saver)
    : catalog_(catalog), root_(std::move(root)), exclusions_(std::move(exclusions)), saver_(saver) {}

void RootIndexer::IndexForever() {
    // A round that threw leaves the root's entries as they were until the next
    // round's walk replaces them.
    RepeatForever("indexing a root", kMissingRootRetryMs, [this] { IndexUntilLost(); });
}

void RootIndexer::IndexUntilLost() {
    session::UniqueHandle folder(CreateFileW(
        LongPath(root_).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (folder.Valid()) WatchAndApply(folder.Get());
    catalog_.RemoveRoot(ToEngineText(root_));
    saver_.MarkChanged();
}

// Returns when the root can no longer be watched.
void RootIndexer::WatchAndApply(HANDLE folder) {
    DirectoryWatch watch(folder);
    if (!watch.Arm()) return;
    Rescan();
    for (;;) {
        const DirectoryWatch::Outcome outcome = watch.Wait();
        if (outcome == DirectoryWatch::Outcome::Failed || !watch.Arm()) return;
        if (outcome == DirectoryWatch::Outcome::Overflow) {
            Rescan();
            continue;
        }
        if (ApplyChanges(watch.Records())) saver_.MarkChanged();
    }
}

void RootIndexer::Rescan() {
    catalog_.ReplaceRoot(ScanRoot(root_, exclusions_));
    saver_.SaveNow();
}

bool RootIndexer::ApplyChanges(const BYTE* records) {
    std::optional<std::wstring> renamedFrom;
    bool othersChanged = false;
    for (;;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records);
        const std::wstring relative(record->FileName, record->FileNameLength / sizeof(wchar_t));
        if (!saver_.IsOwnFile(JoinPath(root_, relative))) othersChanged = true;
        // An old name without its new name moved out of the watched tree.
        if (renamedFrom && record->Action != FILE_ACTION_RENAMED_NEW_NAME)
            ApplyRemoved(*std::exchange(renamedFrom, {}));
        switch (record->Action) {
        case FILE_ACTION_ADDED: ApplyAdded(relative); break;
        case FILE_ACTION_REMOVED: ApplyRemoved(relative); break;
        case FILE_ACTION_RENAMED_OLD_NAME: renamedFrom = relative; break;
        case FILE_ACTION_RENAMED_NEW_NAME:
            // A new name without an old one moved in from outside.
            if (renamedFrom)
                ApplyRenamed(*std::exchange(renamedFrom, {}), relative);
            else
                ApplyAdded(relative);
            break;
        default: break;
        }
        if (record->NextEntryOffset == 0) break;
        records += record->NextEntryOffset;
    }
    if (renamedFrom) ApplyRemoved(*renamedFrom);
    return othersChanged;
}

void RootIndexer::ApplyAdded(const std::wstring& relative) {
    if (exclusions_.ExcludesBelow(root_, relative)) return;
    const std::wstring path = JoinPath(root_, relative);
    const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    // Gone again before we looked: its removal notice follows.
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    const bool isFolder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (isFolder && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        AddFolderTree(catalog_, path, exclusions_);
    else
        catalog_.AddPath(EnginePath(relative), isFolder);
}

void RootIndexer::ApplyRemoved(const std::wstring& relative) {
    catalog_.RemovePath(EnginePath(relative));
}

void RootIndexer::ApplyRenamed(const std::wstring& from, const std::wstring& to) {
    const bool fromExcluded = exclusions_.ExcludesBelow(root_, from);
    const bool toExcluded = exclusions_.ExcludesBelow(root_, to);
    if (!fromExcluded && !toExcluded)
        catalog_.RenamePath(EnginePath(from), EnginePath(to));
    else if (!fromExcluded)
        ApplyRemoved(from);
    else if (!toExcluded)
        ApplyAdded(to);
}

std::string RootIndexer::EnginePath(const std::wstring& relative) const {
    return ToEngineText(JoinPath(root_, relative));
}

} // namespace nuv::service
