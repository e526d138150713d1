#include "finder/system/registry_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr RootKeyValue kClassesRoot = PredefinedRootKey(0x80000000);
constexpr RootKeyValue kCurrentUser = PredefinedRootKey(0x80000001);
constexpr RootKeyValue kLocalMachine = PredefinedRootKey(0x80000002);
constexpr RootKeyValue kUsers = PredefinedRootKey(0x80000003);
constexpr RootKeyValue kPerformanceData = PredefinedRootKey(0x80000004);
constexpr RootKeyValue kCurrentConfig = PredefinedRootKey(0x80000005);
constexpr RootKeyValue kDynData = PredefinedRootKey(0x80000006);

struct RootCase {
    std::wstring name;
    std::size_t slot;
    RootKeyValue root; // what the table gives for the name
};

class RootKeyNames : public testing::TestWithParam<RootCase> {};

TEST_P(RootKeyNames, NameHashesToItsSlotAndTheSlotsRoot) {
    EXPECT_EQ(RootKeyTable::SlotOf(GetParam().name), GetParam().slot);
    EXPECT_EQ(TheRootKeyTable().Lookup(GetParam().name), GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RootKeyNames,
    testing::Values(RootCase{L"HKEY_CLASSES_ROOT", 10, kClassesRoot},
                    RootCase{L"HKEY_CURRENT_CONFIG", 1, kCurrentConfig},
                    RootCase{L"HKEY_CURRENT_USER", 3, kCurrentUser},
                    RootCase{L"HKEY_LOCAL_MACHINE", 5, kLocalMachine}, RootCase{L"HKEY_USERS", 8, kUsers},
                    RootCase{L"HKEY_DYN_DATA", 13, kDynData},
                    RootCase{L"HKEY_PERFORMANCE_DATA", 4, kPerformanceData},
                    // names outside the seven: an empty slot gives no root, a taken one its root
                    RootCase{L"HKCU", 9, 0}, RootCase{L"", 0, 0}, RootCase{L"HKEY_NOPE", 3, kCurrentUser},
                    RootCase{L"X", 13, kDynData}));

TEST(RootKeyTable, HoldsTheSevenRootsAndNothingElse) {
    const RootKeyTable& table = TheRootKeyTable();
    int filled = 0;
    for (std::size_t slot = 0; slot < RootKeyTable::kSlotCount; ++slot)
        filled += table.Slot(slot) != 0;
    EXPECT_EQ(filled, 7);
}

// Figures worked out by hand, the longer names wrapping past 2^32.
TEST(RootKeyNameHash, MultipliesBy131AndWrapsAt32Bits) {
    EXPECT_EQ(RootKeyNameHash(L""), 0u);
    EXPECT_EQ(RootKeyNameHash(L"X"), 88u);
    EXPECT_EQ(RootKeyNameHash(L"HK"), 72u * 131u + 75u);
    EXPECT_EQ(RootKeyNameHash(L"HKEY_CURRENT_USER"), 249767553u);
    EXPECT_EQ(RootKeyNameHash(L"HKEY_CLASSES_ROOT"), 2862038095u);
}

TEST(ParseKeyPath, RunKeyPathGivesTheCurrentUserAndItsSubKey) {
    RootKeyValue root = 0;
    const auto subKey = ParseKeyPath(kRunKeyPath, root);
    ASSERT_TRUE(subKey.has_value());
    EXPECT_EQ(root, kCurrentUser);
    EXPECT_EQ(std::wstring(*subKey), L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    // The registry call reads the sub-key as a NUL-terminated text.
    EXPECT_EQ(subKey->data()[subKey->size()], L'\0');
}

struct PathCase {
    std::wstring path;
    bool hasSubKey;
    std::wstring subKey;
    RootKeyValue root;
};

class KeyPaths : public testing::TestWithParam<PathCase> {};

TEST_P(KeyPaths, SplitAtTheFirstBackslash) {
    RootKeyValue root = kUsers; // whatever the caller held
    const auto subKey = ParseKeyPath(GetParam().path, root);
    ASSERT_EQ(subKey.has_value(), GetParam().hasSubKey);
    if (subKey) EXPECT_EQ(std::wstring(*subKey), GetParam().subKey);
    EXPECT_EQ(root, GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyPaths,
                         testing::Values(PathCase{L"HKEY_LOCAL_MACHINE\\a\\b", true, L"a\\b", kLocalMachine},
                                         PathCase{L"HKEY_CURRENT_USER\\", true, L"", kCurrentUser},
                                         PathCase{L"HKEY_CURRENT_USER", false, L"", 0},
                                         PathCase{L"", false, L"", 0},
                                         PathCase{L"HKCU\\Software", true, L"Software", 0},
                                         PathCase{L"\\Software", true, L"Software", 0}));

TEST(RunKeyAccessMask, FullAccessInTheOtherViewOfA32BitProcessOn64BitWindows) {
    EXPECT_EQ(RunKeyAccessMask(true), 0xF013Fu);
    EXPECT_EQ(RunKeyAccessMask(false), 0xF023Fu);
}

} // namespace
