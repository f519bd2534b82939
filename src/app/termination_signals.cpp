#include "termination_signals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kSignals[] = {SIGTERM, SIGINT};
volatile sig_atomic_t g_writeEnd = -1;
struct sigaction g_previous[std::size(kSignals)];

// Only async-signal-safe calls: one byte into the pipe, errno kept.
void onSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    if (g_writeEnd >= 0 && ::write(g_writeEnd, &byte, 1) < 0) {
        // a full pipe already holds a byte that wakes the event loop
    }
    errno = saved;
}
} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignalCall, QObject *parent)
    : QObject(parent), m_onSignal(std::move(onSignalCall))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, m_pipe) != 0)
        return;
    for (const int fd : m_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    g_writeEnd = m_pipe[0];
    m_notifier = new QSocketNotifier(m_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(m_pipe[1], bytes, sizeof bytes) > 0) {
        }
        if (m_onSignal)
            m_onSignal();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (m_pipe[0] < 0)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    g_writeEnd = -1;
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

#else

TerminationSignals::TerminationSignals(std::function<void()> onSignalCall, QObject *parent)
    : QObject(parent), m_onSignal(std::move(onSignalCall))
{
}

TerminationSignals::~TerminationSignals() = default;

#endif
