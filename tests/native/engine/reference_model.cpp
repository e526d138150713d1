#include "reference_model.h"

#include <algorithm>
#include <tuple>

#include "engine/case_fold.h"

namespace nuv::engine::testing {
namespace {

bool StartsWith(const ReferenceCatalog::Path& path, const ReferenceCatalog::Path& prefix) {
    return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A lead byte and the continuation bytes after it, as many as it announces; any other byte,
// a stray continuation byte included, is a character of its own.
std::size_t CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t n = std::min<std::size_t>(lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4, text.size());
    std::size_t length = 1;
    while (length < n && IsContinuation(text[length]))
        ++length;
    return length;
}

// Recursive and exponential at worst: fine for the short names of these tests.
bool Wildcard(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return text.empty();
    if (pattern[0] == '*') {
        for (std::size_t skip = 0;; skip += CharacterLength(text.substr(skip))) {
            if (Wildcard(text.substr(skip), pattern.substr(1))) return true;
            if (skip >= text.size()) return false;
        }
    }
    if (text.empty()) return false;
    if (pattern[0] == '?') return Wildcard(text.substr(CharacterLength(text)), pattern.substr(1));
    return pattern[0] == text[0] && Wildcard(text.substr(1), pattern.substr(1));
}

} // namespace

ReferenceCatalog::Path ReferenceCatalog::Split(std::string_view path) {
    Path parts;
    std::string part;
    for (char c : std::string(path) + "\\") {
        if (c == '\\' || c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

std::string ReferenceCatalog::Join(const Path& path) {
    std::string text;
    for (const auto& part : path) {
        if (!text.empty()) text += '\\';
        text += part;
    }
    return text;
}

void ReferenceCatalog::EnsureFolders(const Path& path, std::size_t count) {
    for (std::size_t n = 2; n <= count; ++n) {
        const Path prefix(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(n));
        auto found = entries_.find(prefix);
        if (found == entries_.end())
            entries_[prefix] = true;
        else
            found->second = true; // a file in the way has no contents to lose
    }
}

// Paths under a prefix sort right after it, so the subtree is one run of the map.
void ReferenceCatalog::EraseSubtree(const Path& path) {
    auto end = entries_.lower_bound(path);
    while (end != entries_.end() && StartsWith(end->first, path))
        ++end;
    entries_.erase(entries_.lower_bound(path), end);
}

void ReferenceCatalog::AddPath(const Path& path, bool isFolder) {
    if (path.size() < 2) return;
    EnsureFolders(path, path.size() - 1);
    auto found = entries_.find(path);
    if (found != entries_.end() && found->second != isFolder) EraseSubtree(path);
    entries_[path] = isFolder;
}

void ReferenceCatalog::RemovePath(const Path& path) {
    if (!path.empty()) EraseSubtree(path);
}

void ReferenceCatalog::RenamePath(const Path& from, const Path& to) {
    if (from.size() < 2 || to.size() < 2 || !entries_.count(from)) return;
    for (std::size_t n = 1; n < to.size(); ++n)
        if (Path(to.begin(), to.begin() + static_cast<std::ptrdiff_t>(n)) == from) return;
    if (from == to || StartsWith(from, to)) return; // over a folder that holds the source: refused
    EnsureFolders(to, to.size() - 1);
    EraseSubtree(to);
    std::map<Path, bool> moved;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (StartsWith(it->first, from)) {
            Path renamed = to;
            renamed.insert(renamed.end(), it->first.begin() + static_cast<std::ptrdiff_t>(from.size()),
                           it->first.end());
            moved[renamed] = it->second;
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    entries_.insert(moved.begin(), moved.end());
}

bool ReferenceCatalog::Matches(const Path& path, const engine::Query& query) const {
    const std::string name = Fold(path.back());
    const std::string full = Fold(Join(path));
    for (const auto& group : query.groups) {
        bool any = false;
        for (const Term& term : group) {
            bool hit = false;
            switch (term.kind) {
            case TermKind::kNameContains: hit = name.find(term.text) != std::string::npos; break;
            case TermKind::kPathContains: hit = full.find(term.text) != std::string::npos; break;
            case TermKind::kNameWildcard: hit = Wildcard(name, term.text); break;
            case TermKind::kPathWildcard: hit = Wildcard(full, term.text); break;
            }
            any = any || hit != term.negated;
        }
        if (!any) return false;
    }
    return true;
}

std::vector<std::string> ReferenceCatalog::Run(std::string_view text) const {
    const engine::Query query = ParseQuery(text);
    using Component = std::pair<std::string, std::string>; // folded, exact
    struct Keyed {
        std::string foldedName;
        std::vector<Component> folder;
        std::string name;
        std::string row;
    };
    std::vector<Keyed> hits;
    for (const auto& [path, isFolder] : entries_) {
        if (!Matches(path, query)) continue;
        Keyed k{Fold(path.back()), {}, path.back(), Join(path) + (isFolder ? "\\" : "")};
        for (std::size_t i = 0; i + 1 < path.size(); ++i)
            k.folder.emplace_back(Fold(path[i]), path[i]);
        hits.push_back(std::move(k));
    }
    std::sort(hits.begin(), hits.end(), [](const Keyed& a, const Keyed& b) {
        return std::tie(a.foldedName, a.folder, a.name) < std::tie(b.foldedName, b.folder, b.name);
    });
    std::vector<std::string> rows;
    for (auto& h : hits)
        rows.push_back(std::move(h.row));
    return rows;
}

} // namespace nuv::engine::testing
