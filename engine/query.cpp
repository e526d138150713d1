#include "engine/query.h"

#include <algorithm>

#include "engine/case_fold.h"

namespace nuv::engine {
namespace {

// U+3000, the space a Chinese input method types; it separates terms like an ASCII space.
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

Term MakeTerm(std::string_view raw, bool negated) {
    Term term;
    term.negated = negated;
    term.text = Fold(raw);
    std::replace(term.text.begin(), term.text.end(), '/', '\\');
    const bool wildcard = term.text.find_first_of("*?") != std::string::npos;
    const bool path = term.text.find('\\') != std::string::npos;
    if (wildcard) {
        // "**" means what "*" means; collapsing keeps the matcher's backtracking short.
        term.text.erase(std::unique(term.text.begin(), term.text.end(),
                                    [](char a, char b) { return a == '*' && b == '*'; }),
                        term.text.end());
        term.kind = path ? TermKind::kPathWildcard : TermKind::kNameWildcard;
    } else {
        term.kind = path ? TermKind::kPathContains : TermKind::kNameContains;
    }
    return term;
}

class Parser {
public:
    Query Parse(std::string_view text);

private:
    void Separate() {
        EndTerm();
        afterSpace_ = true;
    }
    void StartTermIfNeeded();
    void EndTerm();
    void EndGroup();

    Query query_;
    std::vector<Term> group_;
    std::string raw_;
    bool termStarted_ = false;
    bool termHasText_ = false; // text or a quote seen: a '!' from here on is literal
    bool negated_ = false;
    bool afterSpace_ = false;
    bool joinNext_ = false; // a '|' was seen: the next term joins the current group
};

void Parser::StartTermIfNeeded() {
    if (termStarted_) return;
    if (afterSpace_ && !joinNext_) EndGroup();
    afterSpace_ = joinNext_ = false;
    termStarted_ = true;
}

void Parser::EndTerm() {
    if (!raw_.empty()) group_.push_back(MakeTerm(raw_, negated_));
    raw_.clear();
    termStarted_ = termHasText_ = negated_ = false;
}

void Parser::EndGroup() {
    if (!group_.empty()) query_.groups.push_back(std::move(group_));
    group_.clear();
}

Query Parser::Parse(std::string_view text) {
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"')
                inQuotes = false;
            else
                raw_.push_back(c);
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            Separate();
        } else if (text.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
            Separate();
            i += kIdeographicSpace.size() - 1;
        } else if (c == '|') {
            EndTerm();
            joinNext_ = true;
        } else {
            StartTermIfNeeded();
            if (c == '!' && !termHasText_) {
                negated_ = !negated_;
            } else if (c == '"') {
                inQuotes = termHasText_ = true;
            } else {
                raw_.push_back(c);
                termHasText_ = true;
            }
        }
    }
    EndTerm();
    EndGroup();
    return std::move(query_);
}

// Every entry `narrower` matches is matched by `wider`.
bool TermImplies(const Term& narrower, const Term& wider) {
    if (narrower == wider) return true;
    if (narrower.negated != wider.negated) return false;
    if (narrower.negated) {
        Term a = narrower, b = wider;
        a.negated = b.negated = false;
        return TermImplies(b, a);
    }
    const auto contains = [](std::string_view haystack, std::string_view needle) {
        return haystack.find(needle) != std::string_view::npos;
    };
    switch (wider.kind) {
    case TermKind::kNameContains:
        if (narrower.kind == TermKind::kNameContains) return contains(narrower.text, wider.text);
        if (narrower.kind == TermKind::kNameWildcard)
            return contains(LongestLiteralRun(narrower.text), wider.text);
        return false;
    case TermKind::kPathContains:
        return narrower.kind == TermKind::kPathContains && contains(narrower.text, wider.text);
    default: return false;
    }
}

// Every term of the narrower group implies some term of the wider one.
bool GroupImplies(const std::vector<Term>& narrower, const std::vector<Term>& wider) {
    return std::all_of(narrower.begin(), narrower.end(), [&](const Term& n) {
        return std::any_of(wider.begin(), wider.end(), [&](const Term& w) { return TermImplies(n, w); });
    });
}

} // namespace

Query ParseQuery(std::string_view text) {
    return Parser().Parse(text);
}

bool IsNarrowing(const Query& narrower, const Query& wider) {
    return std::all_of(wider.groups.begin(), wider.groups.end(), [&](const auto& w) {
        return std::any_of(narrower.groups.begin(), narrower.groups.end(),
                           [&](const auto& n) { return GroupImplies(n, w); });
    });
}

std::string_view LongestLiteralRun(std::string_view pattern) {
    std::string_view best;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= pattern.size(); ++i) {
        if (i == pattern.size() || pattern[i] == '*' || pattern[i] == '?') {
            if (i - start > best.size()) best = pattern.substr(start, i - start);
            start = i + 1;
        }
    }
    return best;
}

} // namespace nuv::engine
