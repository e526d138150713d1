#pragma once
// How the client library finds the search service of its own user session,
// and how each side makes sure the other is that same user.
#include <windows.h>

#include <string>

namespace nuv::session {

// "\\.\pipe\NuvFileSearch-<session id>-<user SID>"; empty when the current
// user cannot be determined.
std::wstring ServicePipeName();

// The name of the mutex that admits one service per user session.
std::wstring ServiceMutexName();

// The current process's user SID in text form ("S-1-5-21-..."); empty on failure.
std::wstring CurrentUserSidText();

// True when the process at the far end of a connected pipe runs as the
// current user. A pipe squatter running as someone else fails this.
bool PipeServerIsCurrentUser(HANDLE pipe);

} // namespace nuv::session
