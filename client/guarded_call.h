// The library's exported functions are called from C: no C++ exception may
// leave them. A failure inside (out of memory, mostly) answers as a failed
// call would: no results, an empty text, FALSE.
#pragma once

#include <mutex>
#include <utility>

namespace nuv::client {

// Runs call() under the lock and returns what it returns; onFailure when it
// throws. The lock is released either way.
template <class Result, class Call>
Result GuardedCall(std::mutex& lock, Result onFailure, Call&& call) noexcept {
    try {
        std::lock_guard held(lock);
        return std::forward<Call>(call)();
    } catch (...) {
        return onFailure;
    }
}

} // namespace nuv::client
