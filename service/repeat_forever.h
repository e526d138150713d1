#pragma once
// The body of each of the service's own threads. Nothing is worth ending the
// service for while it can still answer searches: a round that throws (out of
// memory, most likely) is reported and the thread goes on with the next one.
#include <windows.h>

#include <functional>

namespace nuv::service {

// Runs `round`, then waits `pauseMs`, for ever. A round that throws is
// reported on one line naming `job` and what was thrown, then counts as done.
[[noreturn]] void RepeatForever(const char* job, DWORD pauseMs, const std::function<void()>& round);

// Called inside a catch block: reports the exception being handled, on one
// line naming `job`.
void ReportCurrentException(const char* job) noexcept;

} // namespace nuv::service
