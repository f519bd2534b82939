#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the event loop (Unix; elsewhere nothing),
// so that a program asked to end ends as when its window is closed: what it
// announced is taken back, its files are closed. The handler stays for one signal:
// a second one ends the program at once even when its event loop is stuck.
// One instance at a time; the previous handlers come back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject *parent = nullptr);
    ~TerminationSignals() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
    int m_pipe[2] = {-1, -1};
};
