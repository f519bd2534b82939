#pragma once

#include "control_api_handler.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

// The one way from outside into the panel, shared by every protocol the tool speaks
// (HTTP, VISCA, OSC): requests in the control API's form are carried out one at a
// time, in the order they arrive, on the GUI thread, each through the panel's send path
// between the panel's own exchanges. What the backend's availability() says decides
// whether a request runs now, waits (a busy panel, at most maxWaitMs) or is refused at
// once with 503 and Retry-After. A stop is never refused for the number of waiting
// requests and goes ahead of the requests that wait.
class ControlRequestQueue : public QObject {
    Q_OBJECT
public:
    using Request = ControlApiHandler::Request;
    using Reply = ControlApiHandler::Reply;
    using Answer = std::function<void(const Reply &reply)>;
    // False once the client that asked has gone: its request is dropped unanswered.
    using Alive = std::function<bool()>;

    // Seconds in Retry-After: a busy panel or a full queue; an upgrade or the series
    // selection, which take a person.
    static constexpr int kRetryBusySeconds = 1;
    static constexpr int kRetryLaterSeconds = 5;

    explicit ControlRequestQueue(std::unique_ptr<ControlApiBackend> backend, QObject *parent = nullptr);

    // A request waits this long for a busy panel; at most this many wait (stops aside).
    void setLimits(int maxWaitMs, int maxWaiting, int retryMs);

    // `answer` is called once, now or later, unless `alive` says the client left.
    void submit(Request request, Answer answer, Alive alive = {});
    int waiting() const { return int(m_queue.size()); }

    ControlApiBackend *backend() const { return m_backend.get(); }

    // 503 with Retry-After.
    static Reply unavailable(const QString &message, int retrySeconds);

signals:
    // A change a request made ({"event": "parameter", ...}).
    void event(const QJsonObject &event);

private:
    struct Pending {
        Request request;
        Answer answer;
        Alive alive;
        QElapsedTimer waited;
    };

    void pump();
    // The answer the backend's state gives a waiting request at once, if any.
    std::optional<Reply> refusal(const Pending &pending) const;

    std::unique_ptr<ControlApiBackend> m_backend;
    ControlApiHandler m_handler;
    std::deque<Pending> m_queue;
    QTimer m_retry;
    bool m_pumping = false;
    int m_maxWaitMs = 30000;
    int m_maxWaiting = 64;
};
