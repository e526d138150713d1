#include "engine/text_match.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NUV_HAVE_SSE2 1
#endif

namespace nuv::engine {
namespace {

const char* FindNeedleScalar(const char* begin, const char* end, std::string_view needle) {
    const std::size_t m = needle.size();
    for (const char* p = begin; end - p >= static_cast<std::ptrdiff_t>(m);) {
        p = static_cast<const char*>(std::memchr(p, needle[0], static_cast<std::size_t>(end - p) - m + 1));
        if (!p) break;
        if (std::memcmp(p + 1, needle.data() + 1, m - 1) == 0) return p;
        ++p;
    }
    return end;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Where the character at `at` ends. A sequence takes only the continuation bytes that follow its
// lead, so in names that are not valid UTF-8 every byte that is not a continuation byte still
// starts a character, and a literal found there by a byte scan is where a '*' can stop.
std::size_t NextCharacter(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0xC0 ? 1 : (lead < 0xE0 ? 2 : (lead < 0xF0 ? 3 : 4));
    const std::size_t limit = std::min(at + length, text.size());
    std::size_t end = at + 1;
    while (end < limit && IsContinuationByte(text[end]))
        ++end;
    return end;
}

} // namespace

const char* FindNeedle(const char* begin, const char* end, std::string_view needle) {
    const std::size_t m = needle.size();
    if (m == 0) return begin;
    if (static_cast<std::size_t>(end - begin) < m) return end;
    if (m == 1) {
        const void* hit = std::memchr(begin, needle[0], static_cast<std::size_t>(end - begin));
        return hit ? static_cast<const char*>(hit) : end;
    }
#ifdef NUV_HAVE_SSE2
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[m - 1]);
    const char* p = begin;
    // Both loads stay inside the buffer: the last one ends at p + m - 1 + 16 <= end.
    for (; end - p >= static_cast<std::ptrdiff_t>(m - 1 + 16); p += 16) {
        const __m128i atFirst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i atLast = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(atFirst, first), _mm_cmpeq_epi8(atLast, last))));
        while (mask != 0) {
            const int bit = std::countr_zero(mask);
            if (std::memcmp(p + bit + 1, needle.data() + 1, m - 2) == 0) return p + bit;
            mask &= mask - 1;
        }
    }
    return FindNeedleScalar(p, end, needle);
#else
    return FindNeedleScalar(begin, end, needle);
#endif
}

bool StartsAtCharacter(std::string_view literal) {
    return literal.empty() || !IsContinuationByte(literal.front());
}

// Two pointers with one remembered star: on a mismatch, the last star takes one more character.
// Linear in practice and never worse than text size times pattern size.
bool WildcardMatch(std::string_view text, std::string_view pattern) {
    std::size_t t = 0, p = 0;
    std::size_t starPattern = std::string_view::npos, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            t = NextCharacter(text, t);
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starText = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++t, ++p;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            starText = NextCharacter(text, starText);
            t = starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace nuv::engine
