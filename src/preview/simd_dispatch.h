#pragma once

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
