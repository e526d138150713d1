#include "finder/system/browser_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandCase {
    std::wstring command;
    std::wstring browser; // empty: nothing starts
};

class BrowserCommandCases : public testing::TestWithParam<CommandCase> {};

TEST_P(BrowserCommandCases, BrowserPathIsTheCommandCutAfterItsExe) {
    EXPECT_EQ(BrowserPathFromCommand(GetParam().command), GetParam().browser);
}

const std::wstring kLongFolder = L"C:\\Program Files\\" + std::wstring(150, L'b');

INSTANTIATE_TEST_SUITE_P(
    Registered, BrowserCommandCases,
    testing::Values(
        // the usual form: quoted path, then the registered arguments, which are dropped
        CommandCase{L"\"C:\\Program Files\\Web\\browser.exe\" -osint -url \"%1\"",
                    L"C:\\Program Files\\Web\\browser.exe"},
        CommandCase{L"C:\\Web\\browser.exe %1", L"C:\\Web\\browser.exe"},
        // unquoted with spaces: everything up to the cut is the path
        CommandCase{L"C:\\Program Files\\Web\\browser.exe \"%1\"", L"C:\\Program Files\\Web\\browser.exe"},
        CommandCase{L"\"C:\\WEB\\BROWSER.EXE\" \"%1\"", L"C:\\WEB\\BROWSER.EXE"},
        // only the two spellings count
        CommandCase{L"\"C:\\Web\\browser.Exe\" \"%1\"", L""}, CommandCase{L"C:\\Web\\browser.eXE", L""},
        CommandCase{L"", L""}, CommandCase{L"\"C:\\Web\\browser.com\" \"%1\"", L""},
        // ".exe" anywhere wins over an earlier ".EXE"
        CommandCase{L"\"C:\\OLD.EXE\\new.exe\" \"%1\"", L"C:\\OLD.EXE\\new.exe"},
        // even when it lies in the registered arguments
        CommandCase{L"\"C:\\A.EXE\" --with C:\\b.exe", L" --with C:\\b.exe"},
        // the first ".exe" ends the path, even inside a folder name
        CommandCase{L"\"C:\\tools.exed\\web.exe\" %1", L"C:\\tools.exe"},
        // a quote before the path's last folder: the text after it is taken
        CommandCase{L"start \"\" \"C:\\Web\\browser.exe\"", L"C:\\Web\\browser.exe"},
        // far longer than 128 characters, in the path and in the arguments
        CommandCase{L"\"" + kLongFolder + L"\\browser.exe\" " + std::wstring(200, L'x'),
                    kLongFolder + L"\\browser.exe"}));

} // namespace
