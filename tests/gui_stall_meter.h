#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Measures how long the GUI thread was kept from its event loop: a 5 ms timer notes
// the gap between its runs, and the longest gap, less the interval, is the longest
// stall. A flow run straight from a test counts like a click handler would.
class GuiStallMeter : public QObject {
public:
    GuiStallMeter()
    {
        m_timer.setInterval(kIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] { note(); });
        m_clock.start();
        m_timer.start();
    }
    // The longest stall so far, including one still going on.
    qint64 longestMs()
    {
        note();
        return m_longest;
    }
    // All stalls of 100 ms or more, added up.
    qint64 totalMs()
    {
        note();
        return m_total;
    }

private:
    static constexpr int kIntervalMs = 5;
    void note()
    {
        const qint64 gap = m_clock.restart() - kIntervalMs;
        if (gap > m_longest)
            m_longest = gap;
        if (gap >= 100)
            m_total += gap;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
    qint64 m_total = 0;
};
