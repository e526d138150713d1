#include "repeat_forever.h"

#include <cstdio>
#include <exception>

namespace nuv::service {

// Allocates nothing: the failure may well have been that memory ran out.
void ReportCurrentException(const char* job) noexcept {
    const char* what = "an exception that is no std::exception";
    try {
        throw;
    } catch (const std::exception& failure) {
        what = failure.what();
    } catch (...) {
    }
    char line[512];
    std::snprintf(line, sizeof line, "NuvFileSearch: %s failed: %s\n", job, what);
    // The service has no console: a debugger sees the line, a test sees stderr.
    OutputDebugStringA(line);
    std::fputs(line, stderr);
}

void RepeatForever(const char* job, DWORD pauseMs, const std::function<void()>& round) {
    for (;;) {
        try {
            round();
        } catch (...) {
            ReportCurrentException(job);
        }
        Sleep(pauseMs);
    }
}

} // namespace nuv::service
