#include "simd_dispatch.h"

#include <atomic>

namespace {
std::atomic<bool> g_avx2Allowed{true};
} // namespace

bool SimdDispatch::avx2() {
#ifdef KESTRANE_AVX2_COPIES
    static const bool present = __builtin_cpu_supports("avx2");
    return present && g_avx2Allowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void SimdDispatch::allowAvx2(bool allow) {
    g_avx2Allowed = allow;
}
