// The texts the results popup makes from a query and its rows: the searched
// text it shows in quotes, a row's full path, and the key under which a row's
// icon is cached.
#pragma once

#include <string>
#include <string_view>

// The searched text in ASCII double quotes. A text of more than 17 UTF-16
// units shows its first 17 and "..." inside the quotes; 16 when the 17th
// would leave the high half of a surrogate pair without its low half.
std::wstring QuotedSearchText(std::wstring_view text);

// folder + "\" + name, of any length: the service also indexes paths that
// only a "\\?\" prefix can reach.
std::wstring ResultFullPath(std::wstring_view folder, std::wstring_view name);

// The text after the last '.' of a full path. The dot may lie in a folder's
// name, so a file README in the folder C:\x.y has the extension "y\README";
// the shell is asked for a file of that name and answers by its own rules.
// False, with extension left alone, when the path has no '.'.
bool FindExtension(std::wstring_view fullPath, std::wstring_view& extension);

// Icons are shared by extension, which is compared with its letter case; a
// program carries its own icon, so an item whose extension is "exe" in any
// letter case is cached under its full path instead.
std::wstring IconCacheKey(std::wstring_view fullPath, std::wstring_view extension);
