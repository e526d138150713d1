#include <gtest/gtest.h>

#include <random>

#include "engine/parallel_chunks.h"
#include "engine_test_support.h"
#include "reference_model.h"

namespace nuv::engine {
namespace {

using testing::ReferenceCatalog;

// Names that never fold alike, so the reference may key paths exactly; folding still changes
// several of them ("Xa", "ß", "Σ"). Two are not valid UTF-8: a stray continuation byte, and a
// lead byte whose sequence is cut short by an ASCII letter.
const char* const kNames[] = {"a", "b", "ab", "Xa", "中", "a.b", "c-c", "ß", "Σ", "ba", "\x83", "\xE4" "b"};
const char* const kVolumes[] = {"C:", "D:"};
const char* const kQueries[] = {
    "",         "a",         "b",         "x",          "ss",        "σ",
    "ab|中",    "!a",        "a !b",      "*.b",        "?",         "??",
    "a\\b",     "\\a",       "c:\\a\\*",  "*a*",        "ba|c-c !b", "\"a.b\"",
    "中",       "b\\",       "d:\\",      "!*",         "x*|!ß",     "*a",
    "b*",       "ß*",        "\\",        "c:\\a\\b",   "a\\ab\\",   "a\\b|\\ba",
    "c:\\a b",  "c:\\a\\*b", "*\\a\\*.b", "d:\\b*\\*a", "c:\\?\\*",  "c:\\a\\*|d:\\*ß",
    "c:\\ab*b", "*",         "* !*|a",    "*\\a\\*",    "**\\b\\*a", "*a\\ab*ab",
    "*\\",      "*a\\b",    "*\x83*",    "*\x83",     "*b",        "?b",
    "*\\\x83\\*", "c:\\*\x83", "c:\\*",     "c:\\"};

class RandomTree {
public:
    explicit RandomTree(unsigned start, std::size_t volumes = std::size(kVolumes))
        : random_(start), volumes_(volumes) {}

    std::string Path() {
        std::string path = kVolumes[Pick(volumes_)];
        const std::size_t depth = 1 + Pick(4);
        for (std::size_t d = 0; d < depth; ++d)
            path += std::string("\\") + kNames[Pick(std::size(kNames))];
        return path;
    }
    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

private:
    std::mt19937 random_;
    std::size_t volumes_;
};

void ExpectSameAnswers(const Catalog& catalog, const ReferenceCatalog& reference, const std::string& when) {
    ASSERT_EQ(catalog.Size(), reference.Size()) << when;
    for (const char* query : kQueries)
        EXPECT_EQ(testing::Query(catalog, query), reference.Run(query)) << when << ": " << query;
}

// The engine against the slow reference on random trees, through every kind of change: built
// from a list, then added to, removed from and renamed in at random.
TEST(ReferenceComparison, RandomTreesAndChangesGiveTheSameRows) {
    for (unsigned start = 1; start <= 4; ++start) {
        RandomTree tree(start, start == 4 ? 1 : 2); // the last on one volume, as many machines are
        ReferenceCatalog reference;
        for (int i = 0; i < 120; ++i)
            reference.AddPath(ReferenceCatalog::Split(tree.Path()), tree.Pick(3) == 0);
        std::string list;
        for (const auto& row : reference.Run(""))
            list += row + "\n";
        Catalog catalog;
        testing::AddPathList(catalog, list);
        ExpectSameAnswers(catalog, reference, "after the list, start " + std::to_string(start));

        for (int step = 0; step < 300; ++step) {
            const std::string a = tree.Path(), b = tree.Path();
            switch (tree.Pick(4)) {
            case 0:
            case 1: {
                const bool isFolder = tree.Pick(2) == 0;
                catalog.AddPath(a, isFolder);
                reference.AddPath(ReferenceCatalog::Split(a), isFolder);
                break;
            }
            case 2:
                catalog.RemovePath(a);
                reference.RemovePath(ReferenceCatalog::Split(a));
                break;
            default:
                catalog.RenamePath(a, b);
                reference.RenamePath(ReferenceCatalog::Split(a), ReferenceCatalog::Split(b));
            }
            if (step % 20 == 19) {
                ExpectSameAnswers(catalog, reference,
                                  "start " + std::to_string(start) + " step " + std::to_string(step));
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

// Enough single additions to pass the point where changes are folded into a new base.
TEST(ReferenceComparison, ManyChangesFoldIntoANewBaseWithoutChangingAnswers) {
    Catalog catalog;
    ReferenceCatalog reference;
    for (int i = 0; i < 17000; ++i) {
        const std::string path =
            "C:\\f" + std::to_string(i % 97) + "\\n" + std::to_string(i) + (i % 3 ? ".b" : "a");
        catalog.AddPath(path, false);
        reference.AddPath(ReferenceCatalog::Split(path), false);
    }
    for (int i = 0; i < 17000; i += 7) {
        const std::string path =
            "C:\\f" + std::to_string(i % 97) + "\\n" + std::to_string(i) + (i % 3 ? ".b" : "a");
        catalog.RemovePath(path);
        reference.RemovePath(ReferenceCatalog::Split(path));
    }
    catalog.RenamePath("C:\\f5", "D:\\moved\\f5");
    reference.RenamePath(ReferenceCatalog::Split("C:\\f5"), ReferenceCatalog::Split("D:\\moved\\f5"));
    ASSERT_EQ(catalog.Size(), reference.Size());
    for (const char* query : {"n1", "f5", "*.b", "d:\\", "!a", "n16999"})
        EXPECT_EQ(testing::Query(catalog, query), reference.Run(query)) << query;
}

// A base large enough that scans and filters are cut into chunks shared by two threads, with
// removals inside it and additions beside it: the chunks' answers must join into exactly the whole
// answer, whether it is kept as a list or, past a list's size, as a bit per entry.
TEST(ReferenceComparison, LargeIndexSharedAcrossThreadsGivesTheSameRows) {
    RandomTree tree(99);
    ReferenceCatalog reference;
    for (int i = 0; i < 130000; ++i)
        reference.AddPath(ReferenceCatalog::Split(tree.Path() + "\\n" + std::to_string(i)),
                          tree.Pick(4) == 0);
    std::string list;
    for (const auto& row : reference.Run(""))
        list += row + "\n";
    Catalog catalog;
    testing::AddPathList(catalog, list);
    for (int i = 0; i < 40; ++i) {
        const std::string path = tree.Path();
        catalog.RemovePath(path);
        reference.RemovePath(ReferenceCatalog::Split(path));
    }
    for (int i = 0; i < 40; ++i) {
        const std::string path = tree.Path() + "\\n" + std::to_string(200000 + i);
        catalog.AddPath(path, false);
        reference.AddPath(ReferenceCatalog::Split(path), false);
    }
    ASSERT_EQ(catalog.Size(), reference.Size());
    ASSERT_GT(ChunkCountFor(catalog.Size()), 1u) << "too small to be shared";
    for (const char* query : {"", "n", "!n1", "n1", "*1", "n4*", "a\\b", "\\a", "c:\\a\\b", "a\\ab\\", "n2 !a.b", "n|ß",
                              "c:\\a n1", "c:\\a n1234", "\\b n4321|n77", "c:\\*\\n77*", "c:\\a\\b n2|ß", "c:\\a\\*1", "*\\ab\\*2", "c:\\*", "d:\\b*\\n*3"})
        EXPECT_EQ(testing::Query(catalog, query), reference.Run(query)) << query;

    Search search(catalog);
    for (const char* typed : {"n", "n1", "n12", "n123"}) {
        search.Run(typed);
        EXPECT_EQ(testing::AllRows(search), reference.Run(typed)) << typed;
    }
    EXPECT_TRUE(search.LastRunRefined());
}

} // namespace
} // namespace nuv::engine
