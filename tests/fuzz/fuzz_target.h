#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// One fuzz target per parser. Under libFuzzer (KESTRANE_LIBFUZZER) a target file is
// the whole program's entry point; in the ordinary build every target registers
// itself by name, and the corpus replay test feeds it the committed corpus files.
using FuzzEntry = int (*)(const uint8_t *data, size_t size);

struct FuzzTargetRegistration {
    FuzzTargetRegistration(const char *name, FuzzEntry entry);
    const char *name;
    FuzzEntry entry;
    const FuzzTargetRegistration *next;

    static const FuzzTargetRegistration *first();
};

// Aborts (and so fails the run under either driver) when an invariant of a parser
// does not hold, with the reason on standard error.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

#ifdef KESTRANE_LIBFUZZER
#define KESTRANE_FUZZ_ENTRY(name)                                                               \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                    \
    {                                                                                           \
        return kestraneFuzz_##name(data, size);                                                 \
    }
#else
#define KESTRANE_FUZZ_ENTRY(name) static const FuzzTargetRegistration kestraneFuzzRegistration_##name(#name, &kestraneFuzz_##name);
#endif

#define KESTRANE_FUZZ_TARGET(name)                                                               \
    static int kestraneFuzz_##name(const uint8_t *data, size_t size);                            \
    KESTRANE_FUZZ_ENTRY(name)                                                                    \
    static int kestraneFuzz_##name(const uint8_t *data, size_t size)
