#pragma once
// Keeps the index file in step with the catalog. The service is only ever
// ended by TerminateProcess, so nothing is saved "at exit": a full scan is
// saved at once, and a stream of changes at most a few seconds late. Each save
// replaces the file atomically, so a kill at any instant leaves the old or the
// new index, never a torn one.
#include "engine/catalog.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

namespace nuv::service {

class IndexSaver {
public:
    IndexSaver(engine::Catalog& catalog, std::string indexFile);

    void SaveNow();
    void MarkChanged() { changed_ = true; }
    // True for the index file and the temporary a save writes beside it. A
    // root that holds the index file reports each save as a change; marking
    // those as changes would make every save schedule the next one, forever.
    bool IsOwnFile(std::wstring_view path) const;
    // Thread body: saves whatever changed since the last save, every few seconds.
    [[noreturn]] void SaveChangesForever();

private:
    engine::Catalog& catalog_;
    const std::string indexFile_;
    const std::wstring indexFileWide_;
    std::atomic<bool> changed_{false};
    std::mutex saving_;
};

} // namespace nuv::service
