#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test process when the scope has not been left in time, so that a deadlock
// fails the suite instead of hanging it.
class Watchdog {
public:
    explicit Watchdog(int ms)
        : m_thread([this, ms] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_left.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_done; })) {
                  std::fprintf(stderr, "watchdog: still running after %d ms, probably deadlocked\n", ms);
                  std::abort();
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_left.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_left;
    bool m_done = false;
    std::thread m_thread;
};
