#include "index_saver.h"

#include <windows.h>

namespace nuv::service {
namespace {

// Often enough that little is lost to a kill, rarely enough that a burst of
// changes (an unpacked archive, a build) costs few rewrites of a large file.
constexpr DWORD kSaveIntervalMs = 3000;

} // namespace

IndexSaver::IndexSaver(const engine::Catalog& catalog, std::string indexFile)
    : catalog_(catalog), indexFile_(std::move(indexFile)) {}

void IndexSaver::SaveNow() {
    std::lock_guard lock(saving_);
    changed_ = false;
    // A failed save leaves the previous file, which is still a valid index;
    // the next change tries again.
    if (!catalog_.Save(indexFile_, nullptr)) changed_ = true;
}

void IndexSaver::SaveChangesForever() {
    for (;;) {
        Sleep(kSaveIntervalMs);
        if (changed_) SaveNow();
    }
}

} // namespace nuv::service
