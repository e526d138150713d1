#include <gtest/gtest.h>

#include <string>

#include "engine/query.h"

namespace nuv::engine {
namespace {

// "n:" name contains, "p:" path contains, "w:" name wildcard, "W:" path wildcard; '!' negates;
// '|' joins a group's terms; " & " joins groups; "*" is the query that matches everything.
std::string Describe(const Query& query) {
    if (query.groups.empty()) return "*";
    std::string text;
    for (const auto& group : query.groups) {
        if (!text.empty()) text += " & ";
        for (std::size_t t = 0; t < group.size(); ++t) {
            if (t > 0) text += "|";
            const Term& term = group[t];
            if (term.negated) text += "!";
            const char* kinds[] = {"n:", "p:", "w:", "W:"};
            text += kinds[static_cast<int>(term.kind)];
            text += term.text;
        }
    }
    return text;
}

struct ParseCase {
    const char* query;
    const char* parsed;
};

TEST(QueryParse, GivesEveryInputOneMeaning) {
    const ParseCase cases[] = {
        {"Report", "n:report"},
        {"a b", "n:a & n:b"},
        {"  a   b  ", "n:a & n:b"},
        {"a\tb", "n:a & n:b"},
        {"a\xE3\x80\x80"
         "b",
         "n:a & n:b"},              // the ideographic space of Chinese input
        {"a|b c", "n:a|n:b & n:c"}, // '|' binds tighter than a space
        {"a | b", "n:a|n:b"},       // spaces around '|' do not split
        {"a|", "n:a"},
        {"|a", "n:a"},
        {"a||b", "n:a|n:b"},
        {"|", "*"},
        {"!a b", "!n:a & n:b"},
        {"!a|b", "!n:a|n:b"},
        {"!!a", "n:a"},
        {"a!b", "n:a!b"}, // '!' inside a term is text
        {"!", "*"},       // a lone '!' is ignored
        {"! a", "n:a"},
        {"\"a b\"", "n:a b"},
        {"\"a b\" c", "n:a b & n:c"},
        {"x\"a b\"y", "n:xa by"},
        {"\"!a|b\"", "n:!a|b"}, // quotes keep '!' and '|' as text
        {"!\"a b\"", "!n:a b"},
        {"\"unclosed text", "n:unclosed text"},
        {"\"\"", "*"},
        {"\"", "*"},
        {"", "*"},
        {"   ", "*"},
        {"*.TXT", "w:*.txt"},
        {"a**b", "w:a*b"},
        {"?", "w:?"},
        {"users\\anna", "p:users\\anna"},
        {"users/anna", "p:users\\anna"}, // '/' is a separator too
        {"c:\\*.txt", "W:c:\\*.txt"},
        {"Straße", "n:strasse"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(ParseQuery(c.query)), c.parsed) << c.query;
}

struct NarrowingCase {
    const char* narrower;
    const char* wider;
    bool narrowing;
};

TEST(QueryParse, RecognisesQueriesThatOnlyNarrow) {
    const NarrowingCase cases[] = {
        {"ab", "a", true},     {"abc", "ab", true},    {"a b", "a", true},
        {"ba", "a", true}, // not a prefix in text, still narrower
        {"a", "ab", false},    {"a|", "a", true},      {"a|b", "a", false}, // widens
        {"!ab", "!a", false},                                               // excluding less is wider
        {"!a", "!ab", true},   {"a*", "a", true},   // the whole name matches, so it contains "a"
        {"a?", "a", true},     {"a\\", "a", false}, // now the path, not the name
        {"a\\b", "a\\", true}, {"a\\", "a\\b", false}, {"a b", "a|c", true},
        {"", "a", false},      {"a", "", true},        {"\"a b\"", "a", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNarrowing(ParseQuery(c.narrower), ParseQuery(c.wider)), c.narrowing)
            << c.narrower << " vs " << c.wider;
}

} // namespace
} // namespace nuv::engine
