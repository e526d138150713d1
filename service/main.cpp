// NuvFileSearch.dat: the search service of one user session.
//
//   NuvFileSearch.dat -startup          index the roots of NuvFileSearch.ini (or every
//                                       local fixed drive) and serve the session's clients
//   NuvFileSearch.dat -pathlist FILE    serve the paths listed in FILE and nothing else
//                                       (benchmarks); no disk is walked or watched
//
// It runs hidden, with no window, until it is ended by TerminateProcess.
#include "engine/catalog.h"
#include "index_saver.h"
#include "index_settings.h"
#include "path_list.h"
#include "pipe_server.h"
#include "root_indexer.h"
#include "roots_record.h"
#include "service_paths.h"
#include "session_pipe.h"
#include "unique_handle.h"
#include "wide_text.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace nuv::service;

struct Options {
    std::wstring pathList; // empty: index the disks
};

Options ParseOptions() {
    Options options;
    int count = 0;
    std::unique_ptr<wchar_t*, decltype(&LocalFree)> args(CommandLineToArgvW(GetCommandLineW(), &count),
                                                         reinterpret_cast<decltype(&LocalFree)>(&LocalFree));
    for (int i = 1; args && i + 1 < count; ++i)
        if (SameName(args.get()[i], L"-pathlist")) options.pathList = args.get()[i + 1];
    return options;
}

IndexSettings LoadSettings() {
    const auto text = ReadSettingsText(SettingsFileBesideService());
    IndexSettings settings = text ? ParseIndexSettings(*text) : IndexSettings{};
    if (settings.roots.empty()) settings.roots = LocalFixedDrives();
    settings.roots = DistinctRoots(settings.roots);
    if (settings.indexFile.empty()) settings.indexFile = DefaultIndexFile();
    return settings;
}

int RunService() {
    const Options options = ParseOptions();
    // Both claims come before anything else, so a second start of the
    // service in this session ends here, before it touches the index file.
    // The first-instance flag of the pipe alone would do on Windows, but Wine
    // does not honour it; the session mutex does the same job there.
    const std::wstring mutexName = nuv::session::ServiceMutexName();
    nuv::session::UniqueHandle sessionMutex(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (mutexName.empty() || !sessionMutex.Valid() || GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    nuv::engine::Catalog catalog;
    PipeServer server(catalog, nuv::session::ServicePipeName());
    if (!server.ClaimName()) return 1;

    if (!options.pathList.empty()) {
        if (!LoadPathList(catalog, options.pathList)) return 2;
        server.ServeForever();
    }

    const IndexSettings settings = LoadSettings();
    const std::string indexFile = ToEngineText(settings.indexFile);
    // A damaged or foreign file, or one made from other roots, is not loaded
    // and leaves the catalog empty; the scans below then rebuild it.
    ForgetIndexOfOtherRoots(settings.indexFile, settings.roots);
    catalog.Load(indexFile, nullptr);
    IndexSaver saver(catalog, indexFile);
    std::vector<std::unique_ptr<RootIndexer>> indexers;
    for (const std::wstring& root : settings.roots) {
        indexers.push_back(
            std::make_unique<RootIndexer>(catalog, root, Exclusions(settings.excludes), saver));
        std::thread(&RootIndexer::IndexForever, indexers.back().get()).detach();
    }
    std::thread(&IndexSaver::SaveChangesForever, &saver).detach();
    server.ServeForever();
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return RunService();
    } catch (...) {
        // Out of memory or no thread to be had at start-up: nothing can be served.
        return 3;
    }
}
