#include "browser_command.h"

std::wstring BrowserPathFromCommand(std::wstring_view registeredCommand) {
    constexpr std::wstring_view kExtension = L".exe";
    std::size_t found = registeredCommand.find(kExtension);
    if (found == std::wstring_view::npos) found = registeredCommand.find(L".EXE");
    if (found == std::wstring_view::npos) return {};

    const std::wstring_view cut = registeredCommand.substr(0, found + kExtension.size());
    // A quoted path loses its opening quote this way.
    const std::size_t lastQuote = cut.rfind(L'"');
    return std::wstring(lastQuote == std::wstring_view::npos ? cut : cut.substr(lastQuote + 1));
}
