#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "engine/parallel_chunks.h"

namespace nuv::engine {
namespace {

// Several callers at once share the one helper: every chunk of every call must run exactly once,
// each worker's chunks one after another, and every call must return (a caller never waits on a
// job the helper has not started).
TEST(ParallelChunks, ConcurrentCallersEachRunEveryChunkOnceWithoutSharingAWorker) {
    constexpr std::size_t kCallers = 4, kCalls = 300, kChunks = 37;
    std::atomic<int> faults{0};
    std::vector<std::thread> callers;
    for (std::size_t t = 0; t < kCallers; ++t)
        callers.emplace_back([&] {
            for (std::size_t call = 0; call < kCalls; ++call) {
                std::array<std::atomic<int>, kChunks> runs{};
                std::array<std::atomic<bool>, kChunkWorkers> busy{};
                RunChunksInParallel(kChunks, [&](std::size_t chunk, std::size_t worker) {
                    if (worker >= kChunkWorkers || busy[worker].exchange(true)) ++faults;
                    runs[chunk].fetch_add(1);
                    busy[worker % kChunkWorkers] = false;
                });
                for (const auto& r : runs)
                    if (r.load() != 1) ++faults;
            }
        });
    for (auto& caller : callers)
        caller.join();
    EXPECT_EQ(faults.load(), 0);
}

} // namespace
} // namespace nuv::engine
