// The framework's entry point runs the one application object: InitInstance,
// then Run or ExitInstance, and returns the exit code.
#include "finder/framework/app.h"

#include <gtest/gtest.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int);

namespace {

class RecordingApp : public CWinApp {
public:
    explicit RecordingApp(BOOL initResult) : m_initResult(initResult) {}
    std::string m_calls;

    BOOL InitInstance() override {
        m_calls += "init ";
        // Run's loop ends at the quit message, as it does when the main window goes.
        if (m_initResult) PostQuitMessage(0);
        return m_initResult;
    }
    int ExitInstance() override {
        m_calls += "exit";
        return 7;
    }

private:
    BOOL m_initResult;
};

TEST(Application, InitInstanceReturningFalseEndsThroughExitInstance) {
    RecordingApp app(FALSE);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(wWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 7);
    EXPECT_EQ(app.m_calls, "init exit");
}

TEST(Application, InitInstanceReturningTrueRunsTheLoopUntilQuit) {
    RecordingApp app(TRUE);
    EXPECT_EQ(wWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 7);
    EXPECT_EQ(app.m_calls, "init exit");
}

TEST(Application, OnlyTheFirstObjectIsTheApplicationAndNoneMeansFailure) {
    {
        RecordingApp first(FALSE);
        RecordingApp second(FALSE);
        EXPECT_EQ(AfxGetApp(), &first);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(wWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 1);
}

} // namespace
