#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace nuv::engine {

// The threads that share a call's chunks: the caller (worker 0) and one helper (worker 1).
inline constexpr std::size_t kChunkWorkers = 2;

// Runs work(chunk, worker) for chunk 0 .. chunks - 1, each exactly once, on the calling thread and
// on one helper thread that lives as long as the process, and returns when all have run. Chunks
// are handed out one at a time, so a chunk that happens to be slow does not leave the other core
// idle. `worker` tells which thread runs the chunk, so that each can keep state of its own (no
// two chunks of one worker run at once).
//
// A query is a few milliseconds of work: starting a thread for it would cost a sizeable part of
// that (most of all on Windows), so the helper is started once and kept. When the helper is busy
// with another caller's chunks, the caller simply runs every chunk itself; nobody ever waits for
// work that has not started.
//
// When a chunk throws, no further chunks start, the call waits for the chunk the other thread is
// running, and then rethrows in the caller (the caller's own exception when both threw).
// How many chunks to cut `count` items into: one when there are too few to repay the hand-over,
// else several per worker, so that uneven chunks still even out.
inline std::size_t ChunkCountFor(std::size_t count) {
    constexpr std::size_t kItemsWorthSharing = 1 << 15, kChunksPerWorker = 4;
    return count < 2 * kItemsWorthSharing
               ? 1
               : std::min(count / kItemsWorthSharing, kChunksPerWorker * kChunkWorkers);
}

// Chunk c's items, [first, second), when `count` items are cut into `chunks` near-equal chunks.
inline std::pair<std::size_t, std::size_t> ChunkBounds(std::size_t count, std::size_t chunks, std::size_t c) {
    return {count * c / chunks, count * (c + 1) / chunks};
}

using ChunkWork = std::function<void(std::size_t chunk, std::size_t worker)>;
void RunChunksInParallel(std::size_t chunks, const ChunkWork& work);

// The chunks' ascending parts as one list, in chunk order, in the first part's memory.
std::vector<std::uint32_t> JoinChunkParts(std::vector<std::vector<std::uint32_t>>& parts);

} // namespace nuv::engine
