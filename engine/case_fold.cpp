#include "engine/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = kEveryByte * 0x80;

std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof(word));
    return word;
}

// Names are mostly ASCII; taking eight bytes a step keeps folding near memory speed.
std::size_t AsciiRunLength(std::string_view text) {
    std::size_t n = 0;
    while (n + 8 <= text.size() && (LoadWord(text.data() + n) & kHighBits) == 0)
        n += 8;
    while (n < text.size() && static_cast<unsigned char>(text[n]) < 0x80)
        ++n;
    return n;
}

// For eight ASCII bytes: adding 0x80 - 'A' sets a byte's top bit from 'A' up, adding
// 0x80 - '[' from just past 'Z' up, and no sum carries into the next byte, so the two top
// bits differ exactly on 'A'..'Z', which gain 0x20.
std::uint64_t LowerAsciiWord(std::uint64_t word) {
    const std::uint64_t fromA = word + kEveryByte * (0x80 - 'A');
    const std::uint64_t pastZ = word + kEveryByte * (0x80 - 'Z' - 1);
    return word | ((fromA & ~pastZ & kHighBits) >> 2);
}

void AppendLowerAscii(std::string_view ascii, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + ascii.size());
    char* dest = out.data() + at;
    std::size_t n = 0;
    for (; n + 8 <= ascii.size(); n += 8) {
        const std::uint64_t lowered = LowerAsciiWord(LoadWord(ascii.data() + n));
        std::memcpy(dest + n, &lowered, sizeof(lowered));
    }
    for (; n < ascii.size(); ++n) {
        const char c = ascii[n];
        dest[n] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
}

} // namespace

void AppendFolded(std::string_view text, std::string& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t ascii = AsciiRunLength(text.substr(i));
        if (ascii > 0) {
            AppendLowerAscii(text.substr(i, ascii), out);
            i += ascii;
            continue;
        }
        const Decoded d = DecodeUtf8(text, i);
        if (d.length == 0) {
            out.push_back(text[i]);
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
