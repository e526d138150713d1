#include "client/guarded_call.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <thread>

namespace nuv::client {
namespace {

TEST(GuardedCall, AnswersTheCallsResultOrTheFailureValueWhateverIsThrown) {
    std::mutex lock;
    EXPECT_EQ(GuardedCall(lock, 0u, [] { return 7u; }), 7u);
    EXPECT_EQ(GuardedCall(lock, 0u, []() -> unsigned { throw std::bad_alloc(); }), 0u);
    EXPECT_EQ(GuardedCall(lock, -1, []() -> int { throw std::runtime_error("pipe"); }), -1);
    EXPECT_STREQ(GuardedCall(lock, L"", []() -> const wchar_t* { throw 42; }), L"");
}

// Whether another thread could take the lock right now.
bool FreeForOthers(std::mutex& lock) {
    bool taken = false;
    std::thread other([&] {
        taken = lock.try_lock();
        if (taken) lock.unlock();
    });
    other.join();
    return taken;
}

TEST(GuardedCall, HoldsTheLockDuringTheCallAndReleasesItAfterAThrow) {
    std::mutex lock;
    EXPECT_FALSE(GuardedCall(lock, true, [&] { return FreeForOthers(lock); }));
    GuardedCall(lock, false, []() -> bool { throw std::bad_alloc(); });
    EXPECT_TRUE(FreeForOthers(lock)) << "a throw left the library locked";
}

} // namespace
} // namespace nuv::client
