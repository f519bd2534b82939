#pragma once

// Where the compiler builds copies of a function for AVX2 (GCC and Clang on x86-64),
// KESTRANE_AVX2_COPIES is defined and the AVX2 intrinsics are at hand. The shared body
// of both copies is always inlined, so that each copy compiles it for its own target.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#define KESTRANE_AVX2_COPIES 1
#define KESTRANE_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define KESTRANE_ALWAYS_INLINE inline
#endif

// SSE2, which every x86-64 processor has.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KESTRANE_SSE2 1
#endif

// Which optional instruction sets the preview's heaviest loops may use. Those loops
// carry a second copy built for AVX2, chosen at run time where the processor has it;
// both copies give the same bytes, which the tests check by turning the faster one off.
class SimdDispatch {
public:
    // Whether the processor has AVX2 and its use is allowed.
    static bool avx2();
    // Allows or forbids the AVX2 copies (allowed by default).
    static void allowAvx2(bool allow);
};
