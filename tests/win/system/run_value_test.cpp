// The start-with-Windows value against the test prefix's own Run key, which
// each test leaves as it found it.
#include "finder/system/run_value.h"
#include "saved_run_value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RunValueTest : public testing::Test {
protected:
    SavedRunValue saved;
};

std::vector<BYTE> BytesOf(const std::wstring& text, std::size_t units) {
    const auto* first = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(first, first + units * sizeof(wchar_t));
}

struct StoredCase {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    std::wstring read;
};

TEST_F(RunValueTest, ReadGivesTheStringUpToItsFirstNulAndNothingForOtherValues) {
    const std::wstring path = L"C:\\Tools\\orvelSokra.exe";
    const StoredCase cases[] = {
        {"a string with its NUL", REG_SZ, BytesOf(path, path.size() + 1), path},
        {"a string stored without its NUL", REG_SZ, BytesOf(path, path.size()), path},
        {"a NUL inside", REG_SZ, BytesOf(std::wstring(L"ab\0cd", 6), 6), L"ab"},
        {"only the NUL", REG_SZ, BytesOf(L"", 1), L""},
        {"no bytes", REG_SZ, {}, L""},
        {"an odd byte count", REG_SZ, {'a', 0, 'b'}, L"a"},
        {"an expandable string", REG_EXPAND_SZ, BytesOf(path, path.size() + 1), L""},
        {"a number", REG_DWORD, {1, 0, 0, 0}, L""},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteRawRunValue(c.type, c.data.data(), static_cast<DWORD>(c.data.size())));
        ScopedRegKey key;
        ASSERT_TRUE(OpenRegKey(key));
        EXPECT_EQ(ReadRunValue(key.Get()), c.read);
    }
    DeleteRawRunValue();
    ScopedRegKey key;
    ASSERT_TRUE(OpenRegKey(key));
    EXPECT_EQ(ReadRunValue(key.Get()), L"") << "a missing value";
    EXPECT_EQ(ReadRunValue(nullptr), L"");
}

TEST_F(RunValueTest, WriteStoresAStringWithItsNul) {
    ScopedRegKey key;
    ASSERT_TRUE(OpenRegKey(key));
    EXPECT_EQ(WriteRunValue(key.Get(), L"abc"), 1);
    const auto stored = ReadRawRunValue();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->data, BytesOf(L"abc", 4)) << "8 bytes: three characters and the NUL";
    EXPECT_EQ(ReadRunValue(key.Get()), L"abc");

    const std::wstring spaced = L"C:\\Program Files\\nuv\\orvelSokra.exe";
    EXPECT_EQ(WriteRunValue(key.Get(), spaced.c_str()), 1);
    EXPECT_EQ(RunValueText(), spaced);
    EXPECT_EQ(WriteRunValue(nullptr, L"abc"), 0);
}

TEST_F(RunValueTest, FailedOpenKeepsTheHeldKeyAndASuccessfulOneClosesIt) {
    ScopedRegKey key;
    ASSERT_TRUE(OpenRegKey(key));
    const HKEY first = key.Get();
    ASSERT_NE(first, nullptr);
    for (const wchar_t* path : {L"HKEY_CURRENT_USER\\Software\\nuv-test-no-such-key", // the open fails
                                L"HKCU\\Software",       // a root name whose slot is empty
                                L"HKEY_CURRENT_USER"}) { // no sub-key at all
        SCOPED_TRACE(testing::PrintToString(std::wstring(path)));
        EXPECT_FALSE(OpenRegKey(key, path));
        EXPECT_EQ(key.Get(), first);
    }
    EXPECT_EQ(WriteRunValue(key.Get(), L"still open"), 1) << "the held key was closed";

    ASSERT_TRUE(OpenRegKey(key));
    EXPECT_NE(key.Get(), first);
    EXPECT_EQ(ReadRunValue(key.Get()), L"still open");
    DWORD type = 0;
    EXPECT_NE(::RegQueryValueExW(first, kRunValueName, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS)
        << "the replaced key is still open";

    CloseRegKey(key);
    EXPECT_EQ(key.Get(), nullptr);
}

} // namespace
