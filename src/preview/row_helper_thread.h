#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// A second thread for the preview's per-frame row work. A frame's rows are split in
// two: the second half goes to one helper thread that sleeps between frames, the first
// runs on the calling thread. A general thread pool keeps its workers spinning for a
// while after every job in case another follows; at 30 frames a second that spinning
// cost about a tenth of the preview's CPU.
class RowHelperThread {
public:
    using Body = std::function<void(int first, int end)>;

    // Runs `body` over rows [0, count) and returns when all are done. Everything runs
    // on the calling thread where there is a single processor, where OpenCV is held to
    // one thread, for a single row, or while another caller has the helper.
    static void run(int count, const Body &body);

    ~RowHelperThread();
    RowHelperThread(const RowHelperThread &) = delete;
    RowHelperThread &operator=(const RowHelperThread &) = delete;

private:
    RowHelperThread();
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    const Body *m_body = nullptr; // the job in hand, or none
    int m_first = 0;
    int m_end = 0;
    bool m_claimed = false;
    bool m_quit = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};
