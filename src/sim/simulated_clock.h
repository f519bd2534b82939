#pragma once

#include <QtGlobal>

// The time base of the simulated cameras: a monotonic millisecond count. Everything
// that happens "over time" on a camera (moves, reboots, upgrades, training) is
// computed from it on each call, never by a thread. Tests may push it forward to
// skip waits that only the camera's own clock can see.
class SimulatedClock {
public:
    static qint64 nowMs();
    static void advance(qint64 ms);
};
