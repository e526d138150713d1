#pragma once
// Keeps one root of the catalog live: watches it for changes, walks it in
// full, then applies each change as it is reported. A lost change report
// (the system's buffer overflowed) means a fresh walk of that root; a root
// that disappears leaves the catalog and is looked for again later.
#include "engine/catalog.h"
#include "exclusions.h"
#include "index_saver.h"

#include <windows.h>

#include <string>
#include <vector>

namespace nuv::service {

class RootIndexer {
public:
    RootIndexer(engine::Catalog& catalog, std::wstring root, Exclusions exclusions, IndexSaver& saver);

    // Thread body.
    [[noreturn]] void IndexForever();

private:
    // One round: watches and indexes the root until it is lost, then removes it.
    void IndexUntilLost();
    void WatchAndApply(HANDLE folder);
    void Rescan();
    // Returns false when every record was about the service's own index file.
    bool ApplyChanges(const BYTE* records);
    void ApplyAdded(const std::wstring& relative);
    void ApplyRemoved(const std::wstring& relative);
    void ApplyRenamed(const std::wstring& from, const std::wstring& to);
    std::string EnginePath(const std::wstring& relative) const;

    engine::Catalog& catalog_;
    const std::wstring root_;
    const Exclusions exclusions_;
    IndexSaver& saver_;
};

} // namespace nuv::service
