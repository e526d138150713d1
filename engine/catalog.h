#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/scan_builder.h"

namespace nuv::engine {

class BaseIndex;
class Snapshot;
class CatalogWriter;

// Every file and folder name of the indexed roots.
//
// Thread-safe: any member from any thread at any time. Readers never wait for a writer's work:
// each change publishes a new immutable Snapshot and queries keep whichever snapshot they
// started with, so rows read after a change stay valid.
class Catalog {
public:
    Catalog();
    ~Catalog();
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    void
    ReplaceRoot(ScanBuilder&& scan); // everything at or below the scan's root becomes what the scan holds
    void RemoveRoot(std::string_view rootPath);
    void AddPath(std::string_view path,
                 bool isFolder); // missing parents appear as folders; existing path: folder flag updated
    void RemovePath(std::string_view path); // with its whole subtree; unknown path: nothing happens
    void RenamePath(std::string_view from,
                    std::string_view to); // moves the subtree; unknown source: nothing happens
    std::size_t Size() const;
    // Atomic: writes a temporary, flushes it, renames it over. Changes since the last base are
    // folded into a new base for the file, which then serves as the catalogue's own base as well.
    bool Save(const std::string& file, std::string* error);
    bool Load(const std::string& file,
              std::string* error); // a bad file is rejected, the catalog left unchanged

    // The current state, immutable; what a Search holds while its results live.
    std::shared_ptr<const Snapshot> CurrentSnapshot() const;

private:
    void Publish(std::shared_ptr<const Snapshot> snapshot);
    void AdoptBase(const std::shared_ptr<const Snapshot>& foldedFrom, std::shared_ptr<const BaseIndex> base);

    // Serialises every change; guards *writer_ (the writer's lookup state behind the snapshot).
    std::mutex writeMutex_;
    std::unique_ptr<CatalogWriter> writer_;
    // Serialises saves, which share one temporary file name beside the index file.
    mutable std::mutex saveMutex_;
    // Guards current_ only: held for a pointer copy or swap, never while working.
    mutable std::mutex snapshotMutex_;
    std::shared_ptr<const Snapshot> current_;
};

} // namespace nuv::engine
