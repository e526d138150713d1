// gtest main for Windows test executables. A watchdog thread ends the process
// when one test runs longer than TEST_TIMEOUT_MS (default 60 s), naming the
// test first, so that a hang under Wine shows where it is instead of a bare
// ctest timeout.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::atomic<unsigned long> g_testStartTick{0};
std::string g_runningTest;  // written before the tick is published

class WatchdogListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override
    {
        g_runningTest = std::string(info.test_suite_name()) + "." + info.name();
        g_testStartTick = GetTickCount();
    }
    void OnTestEnd(const testing::TestInfo&) override { g_testStartTick = 0; }
};

DWORD WINAPI Watchdog(void* param)
{
    const unsigned long limit = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(param));
    for (;;) {
        Sleep(250);
        const unsigned long start = g_testStartTick;
        if (start != 0 && GetTickCount() - start > limit) {
            std::fprintf(stderr, "\nWATCHDOG: %s ran longer than %lu ms; ending the test process\n",
                         g_runningTest.c_str(), limit);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 124);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    unsigned long limitMs = 60000;
    if (const char* env = std::getenv("TEST_TIMEOUT_MS")) limitMs = std::strtoul(env, nullptr, 10);
    testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
    HANDLE thread = CreateThread(nullptr, 0, Watchdog, reinterpret_cast<void*>(static_cast<uintptr_t>(limitMs)),
                                 0, nullptr);
    if (thread) CloseHandle(thread);
    return RUN_ALL_TESTS();
}
