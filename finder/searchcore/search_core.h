#pragma once
// The companion search service: where the program's own files lie, and
// starting and ending the service process that the search library talks to.
#include <windows.h>

// The full path of name in the program's own folder, in one process-wide
// buffer of MAX_PATH characters that the next call overwrites. A result that
// would not fit is refused: the text is then empty and the buffer untouched.
const wchar_t* GetAppFolderFile(const wchar_t* name);

// Ends any running search service, then starts "NuvFileSearch.dat -startup"
// hidden. Non-zero when the new process was created.
BOOL StartSearchCore();

// Ends every process of this session whose executable name contains
// "NuvFileSearch.dat" (case-sensitive) and waits for each to end; other
// users' services are left alone. Tells the user about each one it could not
// end. Returns 1.
int StopSearchCore();
