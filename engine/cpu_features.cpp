#include "engine/cpu_features.h"

#if defined(_MSC_VER) && !defined(__clang__) && (defined(_M_X64) || defined(_M_IX86))
#include <immintrin.h>
#include <intrin.h>
#endif

namespace nuv::engine {

#if defined(_MSC_VER) && !defined(__clang__) && (defined(_M_X64) || defined(_M_IX86))

bool CpuHasAvx2() {
    int regs[4];
    __cpuid(regs, 0);
    if (regs[0] < 7) return false;
    __cpuid(regs, 1);
    constexpr int kOsSavesState = 1 << 27, kAvx = 1 << 28;
    if ((regs[2] & kOsSavesState) == 0 || (regs[2] & kAvx) == 0) return false;
    // The system must save the SSE and AVX register halves on a thread switch.
    if ((_xgetbv(0) & 6) != 6) return false;
    __cpuidex(regs, 7, 0);
    return (regs[1] & (1 << 5)) != 0;
}

#elif defined(__x86_64__) || defined(__i386__)

// The compiler's check asks the system too (XGETBV), not the processor alone.
bool CpuHasAvx2() {
    return __builtin_cpu_supports("avx2");
}

#else

bool CpuHasAvx2() {
    return false;
}

#endif

} // namespace nuv::engine
