#include "index_saver.h"

#include "repeat_forever.h"
#include "wide_text.h"

#include <windows.h>

namespace nuv::service {
namespace {

// Often enough that little is lost to a kill, rarely enough that a burst of
// changes (an unpacked archive, a build) costs few rewrites of a large file.
constexpr DWORD kSaveIntervalMs = 3000;

} // namespace

IndexSaver::IndexSaver(engine::Catalog& catalog, std::string indexFile)
    : catalog_(catalog), indexFile_(std::move(indexFile)), indexFileWide_(ToWide(indexFile_)) {}

void IndexSaver::SaveNow() {
    std::lock_guard lock(saving_);
    changed_ = false;
    // A failed save leaves the previous file, which is still a valid index;
    // the next round tries again. So does one that threw.
    try {
        if (!catalog_.Save(indexFile_, nullptr)) changed_ = true;
    } catch (...) {
        changed_ = true;
        throw;
    }
}

bool IndexSaver::IsOwnFile(std::wstring_view path) const {
    // The engine writes its temporary as the index file's name plus ".tmp".
    constexpr std::wstring_view kTemporarySuffix = L".tmp";
    if (path.size() >= kTemporarySuffix.size() &&
        SameName(path.substr(path.size() - kTemporarySuffix.size()), kTemporarySuffix))
        path.remove_suffix(kTemporarySuffix.size());
    return SameName(path, indexFileWide_);
}

void IndexSaver::SaveChangesForever() {
    // A save that threw is skipped; the schedule goes on.
    RepeatForever("saving the index", kSaveIntervalMs, [this] {
        if (changed_) SaveNow();
    });
}

} // namespace nuv::service
