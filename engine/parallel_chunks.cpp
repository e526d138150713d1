#include "engine/parallel_chunks.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace nuv::engine {
namespace {

// One call's chunks: both threads take the next index until none are left.
struct ChunkJob {
    std::size_t chunks;
    const ChunkWork* work;
    std::atomic<std::size_t> next{0};
    // What a worker's chunk threw, kept for the caller to rethrow once the helper has let go of
    // the job: an exception must neither end the helper thread nor unwind the caller's frame while
    // the helper still runs on it.
    std::array<std::exception_ptr, kChunkWorkers> failures{};

    void TakeChunksUntilDone(std::size_t worker) noexcept {
        try {
            for (std::size_t c = next.fetch_add(1); c < chunks; c = next.fetch_add(1))
                (*work)(c, worker);
        } catch (...) {
            failures[worker] = std::current_exception();
            next.store(chunks); // the call fails anyway: hand out no more chunks
        }
    }

    void RethrowAnyFailure() const {
        for (const std::exception_ptr& failure : failures)
            if (failure) std::rethrow_exception(failure);
    }
};

class HelperThread {
public:
    HelperThread() : thread_([this] { Serve(); }) {}

    // Offers the job; the caller then works on it too and calls Withdraw once it finds no chunk left.
    void Offer(ChunkJob& job) {
        {
            std::lock_guard lock(mutex_);
            waiting_.push_back(&job);
        }
        wake_.notify_one();
    }

    // Returns once the helper no longer touches `job`: either it never picked the job up, or it has
    // finished the chunk it was running.
    void Withdraw(ChunkJob& job) {
        std::unique_lock lock(mutex_);
        for (auto it = waiting_.begin(); it != waiting_.end(); ++it)
            if (*it == &job) {
                waiting_.erase(it);
                return;
            }
        finished_.wait(lock, [&] { return running_ != &job; });
    }

private:
    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return !waiting_.empty(); });
            running_ = waiting_.front();
            waiting_.pop_front();
            lock.unlock();
            running_->TakeChunksUntilDone(1);
            lock.lock();
            running_ = nullptr;
            finished_.notify_all();
        }
    }

    // Guards waiting_ and running_; the chunks themselves are shared through the job's
    // atomic counter.
    std::mutex mutex_;
    std::condition_variable wake_;     // a job was offered
    std::condition_variable finished_; // the helper let go of the job it ran
    std::deque<ChunkJob*> waiting_;
    ChunkJob* running_ = nullptr;
    std::thread thread_; // last: it starts running once everything above exists
};

// Never destroyed: threads of the service may still be querying while the process ends, and a
// helper torn down under them would be worse than one the system reclaims.
HelperThread& Helper() {
    static HelperThread* const helper = new HelperThread;
    return *helper;
}

} // namespace

void RunChunksInParallel(std::size_t chunks, const ChunkWork& work) {
    if (chunks <= 1) {
        if (chunks == 1) work(0, 0);
        return;
    }
    ChunkJob job{chunks, &work};
    HelperThread& helper = Helper();
    helper.Offer(job);
    job.TakeChunksUntilDone(0);
    helper.Withdraw(job);
    job.RethrowAnyFailure();
}

std::vector<std::uint32_t> JoinChunkParts(std::vector<std::vector<std::uint32_t>>& parts) {
    std::size_t total = 0;
    for (const auto& part : parts)
        total += part.size();
    std::vector<std::uint32_t> all = std::move(parts.front());
    all.reserve(total);
    for (std::size_t p = 1; p < parts.size(); ++p)
        all.insert(all.end(), parts[p].begin(), parts[p].end());
    return all;
}

} // namespace nuv::engine
