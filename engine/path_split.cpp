#include "engine/path_split.h"

namespace nuv::engine {

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    SplitPath(path, parts);
    return parts;
}

void SplitPath(std::string_view path, std::vector<std::string_view>& parts) {
    parts.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
}

} // namespace nuv::engine
