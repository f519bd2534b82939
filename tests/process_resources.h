#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

// What a long session holds of the process, for soak runs: resident memory and open
// file descriptors (Linux /proc; zero elsewhere), plus counts the caller fills in.
class ProcessResources {
public:
    struct Sample {
        int step = 0;
        qint64 residentKiB = 0;
        int fileDescriptors = 0;
        int timers = 0;
        int hidHandles = 0;
    };

    static Sample sample()
    {
        Sample s;
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (statm.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> fields = statm.readAll().split(' ');
            if (fields.size() > 1)
                s.residentKiB = fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
        }
        s.fileDescriptors = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
        return s;
    }

    static void print(const Sample &s)
    {
        std::printf("SOAK step %6d  rss %8lld KiB  fds %4d  timers %4d  hid handles %2d\n", s.step,
                    static_cast<long long>(s.residentKiB), s.fileDescriptors, s.timers, s.hidHandles);
        std::fflush(stdout);
    }

    // The first half of a session is where things level off; the end may not be
    // above that level by more than 10 % of memory, nor hold more handles or timers.
    static void checkNoGrowth(const QList<Sample> &samples)
    {
        QVERIFY(samples.size() >= 4);
        const Sample &end = samples.last();
        const int half = int(samples.size()) / 2;
        Sample level;
        for (int i = 1; i <= half; ++i) {
            level.residentKiB = std::max(level.residentKiB, samples[i].residentKiB);
            level.fileDescriptors = std::max(level.fileDescriptors, samples[i].fileDescriptors);
            level.timers = std::max(level.timers, samples[i].timers);
            level.hidHandles = std::max(level.hidHandles, samples[i].hidHandles);
        }
        std::printf("SOAK levelled off at rss %lld KiB, ended at %lld KiB (%+.1f %%)\n",
                    static_cast<long long>(level.residentKiB), static_cast<long long>(end.residentKiB),
                    level.residentKiB ? 100.0 * double(end.residentKiB - level.residentKiB) / double(level.residentKiB)
                                      : 0.0);
        QVERIFY(end.residentKiB <= level.residentKiB + level.residentKiB / 10);
        QVERIFY(end.fileDescriptors <= level.fileDescriptors);
        QVERIFY(end.timers <= level.timers);
        QVERIFY(end.hidHandles <= level.hidHandles);
    }
};
