#include "InterruptSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
int g_fds[2] = {-1, -1};
const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only what is safe in a signal handler: one byte into the socket.
void OnStopSignal(int)
{
    const char ch = 1;
    if (g_fds[1] >= 0) {
        const ssize_t nWritten = ::write(g_fds[1], &ch, 1);
        (void)nWritten;
    }
}
} // namespace

InterruptSignals::InterruptSignals(QObject *pParent) : QObject(pParent)
{
    std::signal(SIGPIPE, SIG_IGN);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0) {
        g_fds[0] = g_fds[1] = -1;
        return;
    }
    m_pNotifier = new QSocketNotifier(g_fds[0], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &InterruptSignals::slotReadable);
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int nSignal : kStopSignals)
        sigaction(nSignal, &action, nullptr);
}

InterruptSignals::~InterruptSignals()
{
    for (int nSignal : kStopSignals)
        std::signal(nSignal, SIG_DFL);
    delete m_pNotifier;
    m_pNotifier = nullptr;
    for (int &fd : g_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void InterruptSignals::slotReadable()
{
    char buffer[16];
    const ssize_t nRead = ::read(g_fds[0], buffer, sizeof(buffer));
    (void)nRead;
    emit signalInterrupted();
}
