// Which program the "http" protocol's registered open command starts.
#pragma once

#include <string>
#include <string_view>

// The browser's executable path in a registered command line: the command is
// cut just after ".exe" (or, when there is none, ".EXE"; no other spelling
// counts), and the path is what follows the last double quote of that cut, or
// all of it when it holds no quote. The registered arguments, the address
// placeholder among them, are dropped. Empty when neither spelling occurs.
std::wstring BrowserPathFromCommand(std::wstring_view registeredCommand);
