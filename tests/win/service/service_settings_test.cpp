// What the service reads from its ini and how it treats roots and exclusions.
#include "exclusions.h"
#include "index_settings.h"
#include "service_paths.h"

#include <gtest/gtest.h>

namespace nuv::service {
namespace {

using Paths = std::vector<std::wstring>;

TEST(IndexSettings, ReadsTheIndexSection) {
    struct Case {
        const wchar_t* ini;
        Paths roots;
        Paths excludes;
        std::wstring indexFile;
    } const cases[] = {
        {L"[index]\r\nroots=C:\\Users;D:\\\r\nexclude=node_modules;C:\\Windows\\WinSxS\r\n",
         {L"C:\\Users", L"D:\\"},
         {L"node_modules", L"C:\\Windows\\WinSxS"},
         L""},
        {L"[INDEX]\n ROOTS = C:/Data/ ; ;E:\n; a comment\nindex= D:\\t\\i.dat \n",
         {L"C:\\Data", L"E:\\"},
         {},
         L"D:\\t\\i.dat"},
        {L"[other]\nroots=C:\\x\n[index]\nexclude=tmp\n",
         {},
         {L"tmp"},
         L""},                                          // keys of other sections ignored
        {L"roots=C:\\x\n", {}, {}, L""},                // no section at all
        {L"[index]\nroots\nexclude=;;\n", {}, {}, L""}, // malformed lines
        {L"", {}, {}, L""},
    };
    for (const Case& c : cases) {
        const IndexSettings settings = ParseIndexSettings(c.ini);
        EXPECT_EQ(settings.roots, c.roots) << c.ini;
        EXPECT_EQ(settings.excludes, c.excludes) << c.ini;
        EXPECT_EQ(settings.indexFile, c.indexFile) << c.ini;
    }
}

TEST(IndexSettings, NestedAndRepeatedRootsAreWalkedOnce) {
    struct Case {
        Paths roots;
        Paths distinct;
    } const cases[] = {
        {{L"C:\\", L"C:\\Users", L"D:\\"}, {L"C:\\", L"D:\\"}},
        {{L"C:\\Users\\me", L"c:\\users"}, {L"c:\\users"}},
        {{L"C:\\Users", L"C:\\Users2"}, {L"C:\\Users", L"C:\\Users2"}}, // a name prefix is not a parent
        {{L"C:\\Data", L"c:\\DATA"}, {L"C:\\Data"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DistinctRoots(c.roots), c.distinct);
}

TEST(Exclusions, MatchFolderNamesAnywhereAndFullPathsExactly) {
    const Exclusions exclusions({L"node_modules", L"C:\\Windows\\WinSxS"});
    struct Case {
        const wchar_t* path;
        const wchar_t* name;
        bool excluded;
    } const cases[] = {
        {L"C:\\src\\node_modules", L"node_modules", true},
        {L"D:\\a\\b\\Node_Modules", L"Node_Modules", true},
        {L"C:\\src\\node_modules2", L"node_modules2", false},
        {L"C:\\windows\\winsxs", L"winsxs", true},
        {L"C:\\Windows\\WinSxS\\x", L"x", false}, // below it is never reached by the walk
        {L"D:\\Windows\\WinSxS", L"WinSxS", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exclusions.Excludes(c.path, c.name), c.excluded) << c.path;
    EXPECT_TRUE(exclusions.ExcludesBelow(L"C:\\", L"Windows\\WinSxS\\deep\\file.txt"));
    EXPECT_TRUE(exclusions.ExcludesBelow(L"D:\\work", L"app\\node_modules\\pkg"));
    EXPECT_FALSE(exclusions.ExcludesBelow(L"D:\\work", L"app\\src\\main.cpp"));
}

} // namespace
} // namespace nuv::service
