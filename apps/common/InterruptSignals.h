#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that ask a program to stop (SIGINT from Ctrl-C, SIGTERM,
// and SIGHUP from a closed terminal) into one Qt signal delivered in the
// event loop, where a running backup can be cancelled cleanly. SIGPIPE is
// ignored from then on: a closed output (a pipe into `head`) makes writes
// fail instead of ending the program in the middle of its work or while it
// flushes its output at exit. The stop signals are routed while the object
// lives and get their default actions back when it goes. One instance at a
// time.
class InterruptSignals : public QObject
{
    Q_OBJECT
public:
    explicit InterruptSignals(QObject *pParent = nullptr);
    ~InterruptSignals() override;
    InterruptSignals(const InterruptSignals &) = delete;
    InterruptSignals &operator=(const InterruptSignals &) = delete;

    // False when the signals could not be routed (no socket pair).
    bool IsInstalled() const { return m_pNotifier != nullptr; }

signals:
    void signalInterrupted();

private:
    void slotReadable();

    QSocketNotifier *m_pNotifier = nullptr;
};
