#include "engine/name_blocks.h"

#include "engine/cpu_features.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <immintrin.h>
#define NUV_HAVE_SSE2 1
// The AVX2 version is compiled for that instruction set alone, whatever the build's baseline, and
// only runs where the processor has it. MSVC compiles its intrinsics without asking.
#if defined(__GNUC__) || defined(__clang__)
#define NUV_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define NUV_TARGET_AVX2
#endif
#endif

namespace nuv::engine {
namespace {

#ifdef NUV_HAVE_SSE2

// Bit k is set when p[k] == byte, for k in [0, 64).
std::uint64_t Sse2Mask(const char* p, __m128i byte) {
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        mask |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, byte)))}
                << (16 * k);
    }
    return mask;
}

std::size_t ScanSse2(const char* p, const char* end, const BlockNeedle& needle, CandidateBlock* out,
                     std::size_t capacity, const char** resume) {
    const std::string_view text = needle.text;
    const std::size_t m = text.size();
    const __m128i first = _mm_set1_epi8(text.front());
    const __m128i second = _mm_set1_epi8(m >= 3 ? text[1] : 0);
    const __m128i last = _mm_set1_epi8(text.back());
    const __m128i zero = _mm_setzero_si128();
    const std::ptrdiff_t reach = needle.Reach();
    std::size_t found = 0;
    for (; end - p >= kNameBlock + reach - 1; p += kNameBlock) {
        // One mask test for the whole block first: most blocks hold no candidate at all.
        __m128i any = zero;
        for (int k = 0; k < 4; ++k) {
            const __m128i atFirst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            const __m128i atLast = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k + m - 1));
            any = _mm_or_si128(any,
                               _mm_and_si128(_mm_cmpeq_epi8(atFirst, first), _mm_cmpeq_epi8(atLast, last)));
        }
        if (_mm_movemask_epi8(any) == 0) continue;
        std::uint64_t candidates = Sse2Mask(p, first) & Sse2Mask(p + m - 1, last);
        if (m >= 3) candidates &= Sse2Mask(p + 1, second);
        if (needle.atEnd) candidates &= Sse2Mask(p + m, zero);
        if (candidates == 0) continue;
        out[found++] = {p, candidates, Sse2Mask(p, zero)};
        if (found == capacity) {
            *resume = p + kNameBlock;
            return found;
        }
    }
    *resume = p;
    return found;
}

NUV_TARGET_AVX2 inline __m256i Avx2Load(const char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Bit k is set when p[k] == byte, for k in [0, 64).
NUV_TARGET_AVX2 inline std::uint64_t Avx2Mask(const char* p, __m256i byte) {
    const __m256i low = Avx2Load(p);
    const __m256i high = Avx2Load(p + 32);
    return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, byte)))} |
           std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, byte)))}
               << 32;
}

NUV_TARGET_AVX2 std::size_t ScanAvx2(const char* p, const char* end, const BlockNeedle& needle,
                                     CandidateBlock* out, std::size_t capacity, const char** resume) {
    const std::string_view text = needle.text;
    const std::size_t m = text.size();
    const __m256i first = _mm256_set1_epi8(text.front());
    const __m256i second = _mm256_set1_epi8(m >= 3 ? text[1] : 0);
    const __m256i last = _mm256_set1_epi8(text.back());
    const __m256i zero = _mm256_setzero_si256();
    const std::ptrdiff_t reach = needle.Reach();
    std::size_t found = 0;
    for (; end - p >= kNameBlock + reach - 1; p += kNameBlock) {
        const __m256i low = _mm256_and_si256(_mm256_cmpeq_epi8(Avx2Load(p), first),
                                             _mm256_cmpeq_epi8(Avx2Load(p + m - 1), last));
        const __m256i high = _mm256_and_si256(_mm256_cmpeq_epi8(Avx2Load(p + 32), first),
                                              _mm256_cmpeq_epi8(Avx2Load(p + m + 31), last));
        const __m256i any = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(any, any)) continue;
        std::uint64_t candidates = std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(low))} |
                                   std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(high))}
                                       << 32;
        if (m >= 3) candidates &= Avx2Mask(p + 1, second);
        if (needle.atEnd) candidates &= Avx2Mask(p + m, zero);
        if (candidates == 0) continue;
        out[found++] = {p, candidates, Avx2Mask(p, zero)};
        if (found == capacity) {
            *resume = p + kNameBlock;
            return found;
        }
    }
    *resume = p;
    return found;
}

#endif

} // namespace

BlockScanner Sse2BlockScanner() {
#ifdef NUV_HAVE_SSE2
    return &ScanSse2;
#else
    return nullptr;
#endif
}

BlockScanner Avx2BlockScanner() {
#ifdef NUV_HAVE_SSE2
    if (CpuHasAvx2()) return &ScanAvx2;
#endif
    return nullptr;
}

BlockScanner BestBlockScanner() {
    static const BlockScanner best = Avx2BlockScanner() ? Avx2BlockScanner() : Sse2BlockScanner();
    return best;
}

} // namespace nuv::engine
