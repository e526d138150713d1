#include "engine/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace nuv::engine {
namespace {

struct Folding {
    std::uint32_t codePoint;
    const char* folded;
};

constexpr Folding kFoldings[] = {
#include "engine/case_fold_table.inc"
};

struct Decoded {
    std::uint32_t codePoint;
    std::size_t length; // 0: not a valid sequence
};

// Accepts what WTF-8 allows (surrogate code points included); rejects overlong forms and
// truncated sequences, whose bytes then pass through one at a time.
Decoded DecodeUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    std::uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return {0, 0};
    }
    if (at + length > text.size()) return {0, 0};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {0, 0};
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF) return {0, 0};
    return {codePoint, length};
}

const char* FindFolding(std::uint32_t codePoint) {
    const auto* end = std::end(kFoldings);
    const auto* it = std::lower_bound(std::begin(kFoldings), end, codePoint,
                                      [](const Folding& f, std::uint32_t cp) { return f.codePoint < cp; });
    return it != end && it->codePoint == codePoint ? it->folded : nullptr;
}

} // namespace

void AppendFolded(std::string_view text, std::string& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c));
            ++i;
            continue;
        }
        const Decoded d = DecodeUtf8(text, i);
        if (d.length == 0) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (const char* folded = FindFolding(d.codePoint)) {
            out.append(folded);
        } else {
            out.append(text.substr(i, d.length));
        }
        i += d.length;
    }
}

std::string Fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(text, out);
    return out;
}

} // namespace nuv::engine
