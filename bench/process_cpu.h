#pragma once

// CPU time of the whole process (every thread), for figures that a busy machine
// distorts less than wall time.
#ifdef __linux__
#include <sys/resource.h>
#endif

inline double processCpuMs() {
#ifdef __linux__
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1e3 +
           (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e3;
#else
    return 0;
#endif
}
