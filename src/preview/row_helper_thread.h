#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// A second thread for the preview's per-frame row work. The rows are handed out in
// chunks to the calling thread and to one helper thread that sleeps between frames. A
// general thread pool keeps its workers spinning for a while after every job in case
// another follows; at 30 frames a second that spinning cost about a tenth of the
// preview's CPU. Chunks are taken in turn, so a helper that wakes late only takes
// fewer: a frame never waits for it to wake.
class RowHelperThread {
public:
    // Rows [first, end) for worker 0 (the calling thread) or 1 (the helper). Each worker
    // gets ascending chunks and runs one at a time.
    using Body = std::function<void(int worker, int first, int end)>;

    // Runs `body` over rows [0, count) in chunks of `chunk` rows and returns when all are
    // done. Everything runs on the calling thread where there is a single processor,
    // where OpenCV is held to one thread, for a single chunk, or while another caller
    // has the helper. A failure in either worker stops the handing out and is thrown
    // here once both have stopped.
    static void run(int count, int chunk, const Body &body);

    ~RowHelperThread();
    RowHelperThread(const RowHelperThread &) = delete;
    RowHelperThread &operator=(const RowHelperThread &) = delete;

private:
    RowHelperThread();
    void loop();
    // Runs chunks until none are left; returns the failure, if any.
    std::exception_ptr work(int worker);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    // The job in hand: its body, size and the next chunk to hand out.
    const Body *m_body = nullptr;
    int m_count = 0;
    int m_chunk = 1;
    std::atomic<int> m_next{0};
    bool m_claimed = false; // a caller has the helper
    bool m_pending = false; // a job waits for the helper to take it
    bool m_working = false; // the helper works on the job
    bool m_quit = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};
