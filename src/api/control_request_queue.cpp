#include "control_request_queue.h"

#include <algorithm>
#include <utility>
#include <vector>

ControlRequestQueue::ControlRequestQueue(std::unique_ptr<ControlApiBackend> backend, QObject *parent)
    : QObject(parent), m_backend(std::move(backend)), m_handler(m_backend.get())
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(50);
    m_handler.setEventSink([this](const QJsonObject &change) { emit event(change); });
    connect(&m_retry, &QTimer::timeout, this, &ControlRequestQueue::pump);
}

void ControlRequestQueue::setLimits(int maxWaitMs, int maxWaiting, int retryMs)
{
    m_maxWaitMs = maxWaitMs;
    m_maxWaiting = maxWaiting;
    m_retry.setInterval(retryMs);
}

ControlRequestQueue::Reply ControlRequestQueue::unavailable(const QString &message, int retrySeconds)
{
    Reply reply = ControlApiHandler::error(503, message);
    reply.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray::number(retrySeconds)));
    return reply;
}

void ControlRequestQueue::submit(Request request, Answer answer, Alive alive)
{
    if (const std::optional<Reply> reply = ControlApiHandler::immediate(request)) {
        answer(*reply);
        return;
    }
    const bool stop = ControlApiHandler::isStop(request);
    if (!stop && waiting() >= m_maxWaiting) {
        answer(unavailable(QStringLiteral("too many requests waiting"), kRetryBusySeconds));
        return;
    }
    Pending pending{std::move(request), std::move(answer), std::move(alive), QElapsedTimer()};
    pending.waited.start();
    // A stop goes ahead of every request that waits, after the stops before it.
    auto place = m_queue.end();
    if (stop)
        place = std::find_if(m_queue.begin(), m_queue.end(),
                             [](const Pending &p) { return !ControlApiHandler::isStop(p.request); });
    m_queue.insert(place, std::move(pending));
    QTimer::singleShot(0, this, &ControlRequestQueue::pump);
}

std::optional<ControlRequestQueue::Reply> ControlRequestQueue::refusal(const Pending &pending) const
{
    switch (m_backend->availability()) {
    case ControlApiBackend::Availability::Ready:
        return std::nullopt;
    case ControlApiBackend::Availability::Busy:
        if (pending.waited.elapsed() < m_maxWaitMs)
            return std::nullopt;
        return unavailable(QStringLiteral("the control panel is busy or not open; try again"), kRetryBusySeconds);
    case ControlApiBackend::Availability::Upgrading:
        if (!ControlApiHandler::reachesCamera(pending.request))
            return std::nullopt;
        return unavailable(QStringLiteral("a firmware upgrade is in progress; try again when it has ended"),
                           kRetryLaterSeconds);
    case ControlApiBackend::Availability::AwaitingSeries:
        return unavailable(QStringLiteral("waiting for the series selection in the window"), kRetryLaterSeconds);
    }
    return std::nullopt;
}

// One request per turn of the event loop, so that the panel stays responsive and its
// own timers (a refresh's end, debounced sends) run between requests.
void ControlRequestQueue::pump()
{
    if (m_pumping)
        return; // a request is being carried out (its activation may show a box)
    // Answered without the panel: what the backend refuses now, what has waited too
    // long; a request whose client left is dropped.
    std::vector<std::pair<Pending, Reply>> refused;
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        std::optional<Reply> reply;
        if (it->alive && !it->alive()) {
            it = m_queue.erase(it);
        } else if ((reply = refusal(*it))) {
            refused.emplace_back(std::move(*it), std::move(*reply));
            it = m_queue.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto &[pending, reply] : refused)
        pending.answer(reply);
    if (m_queue.empty())
        return;
    if (m_backend->availability() == ControlApiBackend::Availability::Busy) {
        m_retry.start();
        return;
    }
    Pending next = std::move(m_queue.front());
    m_queue.pop_front();
    m_pumping = true;
    const Reply reply = m_handler.handle(next.request);
    m_pumping = false;
    next.answer(reply); // also for a client that left meanwhile: its answer is logged
    if (!m_queue.empty())
        QTimer::singleShot(0, this, &ControlRequestQueue::pump);
}
