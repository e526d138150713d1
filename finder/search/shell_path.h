// Paths of any length in the form the shell takes them.
#pragma once

#include <string>

// The shell of Wine, like older shells of Windows, takes no path of MAX_PATH
// units or more, not even in its "\\?\" form. A longer path is given with its
// folders in their short (8.3) names, which keeps the item's own name and so
// the type the shell knows it by; where the volume has no short names, or the
// path is still too long, it is given in its "\\?\" form.
std::wstring ShellPath(const std::wstring& fullPath);
