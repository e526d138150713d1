// The service's own threads carry on past a round that throws.
#include "repeat_forever.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

namespace nuv::service {
namespace {

// Lives as long as the process, like the thread that uses it.
struct Rounds {
    std::atomic<int> started{0};
    HANDLE secondStarted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

TEST(RepeatForever, ReportsARoundThatThrowsAndRunsTheNext) {
    struct Case {
        std::function<void()> fail;
        std::string reported;
    } const cases[] = {
        {[] { throw std::bad_alloc(); }, "NuvFileSearch: test round failed: std::bad_alloc\n"},
        {[] { throw std::runtime_error("disk gone"); }, "NuvFileSearch: test round failed: disk gone\n"},
        {[] { throw 7; }, "NuvFileSearch: test round failed: an exception that is no std::exception\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        auto* rounds = new Rounds;
        ASSERT_NE(rounds->secondStarted, nullptr);
        testing::internal::CaptureStderr();
        std::thread([rounds, fail = c.fail] {
            RepeatForever("test round", 0, [rounds, &fail] {
                if (rounds->started++ == 0) fail();
                SetEvent(rounds->secondStarted);
                Sleep(INFINITE);
            });
        }).detach();
        // Only a hang guard: the second round starts at once.
        EXPECT_EQ(WaitForSingleObject(rounds->secondStarted, 60000), WAIT_OBJECT_0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.reported);
    }
}

} // namespace
} // namespace nuv::service
