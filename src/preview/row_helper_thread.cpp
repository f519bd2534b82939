#include "row_helper_thread.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <climits>

RowHelperThread::RowHelperThread() : m_thread([this] { loop(); }) {}

RowHelperThread::~RowHelperThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::exception_ptr RowHelperThread::work(int worker) {
    try {
        for (int c = m_next.fetch_add(1); c < (m_count + m_chunk - 1) / m_chunk; c = m_next.fetch_add(1))
            (*m_body)(worker, c * m_chunk, std::min(m_count, (c + 1) * m_chunk));
    } catch (...) {
        m_next = INT_MAX / 2; // hands out nothing more
        return std::current_exception();
    }
    return nullptr;
}

void RowHelperThread::loop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_pending; });
        if (m_quit)
            return;
        m_pending = false;
        m_working = true;
        lock.unlock();
        std::exception_ptr failure = work(1);
        lock.lock();
        m_failure = failure;
        m_working = false;
        m_done.notify_one();
    }
}

void RowHelperThread::run(int count, int chunk, const Body &body) {
    if (count <= 0)
        return;
    chunk = std::max(1, chunk);
    static const bool twoProcessors = std::thread::hardware_concurrency() > 1;
    if (count <= chunk || !twoProcessors || cv::getNumThreads() <= 1) {
        body(0, 0, count);
        return;
    }
    static RowHelperThread helper;
    {
        std::lock_guard<std::mutex> lock(helper.m_mutex);
        if (helper.m_claimed) {
            body(0, 0, count);
            return;
        }
        helper.m_claimed = true;
        helper.m_body = &body;
        helper.m_count = count;
        helper.m_chunk = chunk;
        helper.m_next = 0;
        helper.m_failure = nullptr;
        helper.m_pending = true;
    }
    helper.m_wake.notify_one();
    std::exception_ptr failure = helper.work(0);
    std::unique_lock<std::mutex> lock(helper.m_mutex);
    // A helper that has not woken yet is not waited for: the job is taken back.
    helper.m_pending = false;
    helper.m_done.wait(lock, [] { return !helper.m_working; });
    if (!failure)
        failure = helper.m_failure;
    helper.m_body = nullptr;
    helper.m_claimed = false;
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
}
