// The start-with-Windows value: the program's entry "orvelSokra" in the
// current user's Run key, opened by its full textual path.
#pragma once

#include "registry_path.h"
#include "scoped_reg_key.h"

#include <windows.h>

#include <string>

// Opens keyPath (the Run key unless a caller names another) with
// RunKeyAccessMask. true when it opened: the key that `key` held is closed and
// `key` holds the new one. false, with `key` as it was, when the path names no
// root key or the open fails.
bool OpenRegKey(ScopedRegKey& key, const wchar_t* keyPath = kRunKeyPath);

// The text of "orvelSokra" in the open key up to its first NUL; empty when
// key is null or the value is missing, not REG_SZ, or of size 0.
std::wstring ReadRunValue(HKEY key);

// Writes text as "orvelSokra", REG_SZ, its terminating NUL included. 1 when
// written, 0 when key is null or the write fails.
int WriteRunValue(HKEY key, const wchar_t* text);

// Closes the key now rather than at the end of the guard's scope.
void CloseRegKey(ScopedRegKey& key);
