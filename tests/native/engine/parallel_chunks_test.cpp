#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
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

// A chunk that throws fails the call in the caller, but only once the other thread has finished
// the chunk it was running on the caller's data; and the helper lives on for the next call. Worker
// 0 is the caller, worker 1 the helper.
TEST(ParallelChunks, AThrowingChunkFailsTheCallOnlyAfterTheOtherWorkerLetGo) {
    constexpr std::size_t kChunks = 8;
    for (const std::size_t thrower : {std::size_t{0}, std::size_t{1}}) {
        SCOPED_TRACE(thrower);
        std::atomic<bool> otherStarted{false}, throwing{false};
        std::promise<void> callerLeft;
        const std::shared_future<void> callerHasLeft = callerLeft.get_future().share();
        std::string caught;
        {
            std::array<std::atomic<int>, kChunks> runs{};
            try {
                RunChunksInParallel(kChunks, [&](std::size_t chunk, std::size_t worker) {
                    if (worker == thrower) {
                        otherStarted.wait(false);
                        throwing = true;
                        throwing.notify_all();
                        throw std::runtime_error("chunk failed");
                    }
                    otherStarted = true;
                    otherStarted.notify_all();
                    // Were the caller to unwind while the helper waits here, it would leave this
                    // block before the helper touches `runs` below, which AddressSanitizer reports.
                    // The caller, for its part, waits until the helper has a chunk and has thrown.
                    if (worker == 1)
                        callerHasLeft.wait_for(std::chrono::milliseconds(200));
                    else
                        throwing.wait(false);
                    runs[chunk].fetch_add(1);
                });
            } catch (const std::runtime_error& failure) {
                caught = failure.what();
            }
            for (const auto& r : runs)
                EXPECT_LE(r.load(), 1);
        }
        callerLeft.set_value();
        EXPECT_EQ(caught, "chunk failed");

        std::array<std::atomic<int>, kChunks> runs{};
        RunChunksInParallel(kChunks, [&](std::size_t chunk, std::size_t) { runs[chunk].fetch_add(1); });
        for (const auto& r : runs)
            EXPECT_EQ(r.load(), 1);
    }
}

} // namespace
} // namespace nuv::engine
