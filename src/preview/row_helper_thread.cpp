#include "row_helper_thread.h"

#include <opencv2/core/utility.hpp>

RowHelperThread::RowHelperThread() : m_thread([this] { loop(); }) {}

RowHelperThread::~RowHelperThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void RowHelperThread::loop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_body; });
        if (m_quit)
            return;
        const Body *body = m_body;
        const int first = m_first, end = m_end;
        lock.unlock();
        std::exception_ptr failure;
        try {
            (*body)(first, end);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_failure = failure;
        m_body = nullptr;
        m_done.notify_one();
    }
}

void RowHelperThread::run(int count, const Body &body) {
    if (count <= 0)
        return;
    static const bool twoProcessors = std::thread::hardware_concurrency() > 1;
    if (count == 1 || !twoProcessors || cv::getNumThreads() <= 1) {
        body(0, count);
        return;
    }
    static RowHelperThread helper;
    {
        std::lock_guard<std::mutex> lock(helper.m_mutex);
        if (helper.m_claimed) {
            body(0, count);
            return;
        }
        helper.m_claimed = true;
        helper.m_body = &body;
        helper.m_first = count / 2;
        helper.m_end = count;
    }
    helper.m_wake.notify_one();
    std::exception_ptr failure;
    try {
        body(0, count / 2);
    } catch (...) {
        failure = std::current_exception();
    }
    std::unique_lock<std::mutex> lock(helper.m_mutex);
    helper.m_done.wait(lock, [] { return !helper.m_body; });
    helper.m_claimed = false;
    if (!failure)
        failure = helper.m_failure;
    helper.m_failure = nullptr;
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
}
