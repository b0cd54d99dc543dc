#include "PhoneWaiter.h"

#include "InterruptSignals.h"

#include <sdk/dvsk_device.h>

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cstdlib>

namespace
{
enum LoopResult
{
    kTryAgain = 0,
    kTimedOut = 1,
    kInterrupted = 2
};

// The waiter the SDK's callback reaches; one at a time.
std::atomic<PhoneWaiter *> g_pWaiter {nullptr};
} // namespace

PhoneWaiter::PhoneWaiter() : QObject(nullptr)
{
}

PhoneWaiter::~PhoneWaiter()
{
    // No callback runs once the watch has ended.
    DVSK_Device_WatchList(nullptr);
    g_pWaiter = nullptr;
}

bool PhoneWaiter::TryOpen(QString &strReason)
{
    char *szMessage = nullptr;
    const int nResult = DVSK_Device_Open(&szMessage);
    strReason = szMessage ? QString::fromUtf8(szMessage).trimmed() : QString();
    std::free(szMessage);
    if (nResult != 0 && strReason.isEmpty())
        strReason = QStringLiteral("no phone (error %1)").arg(nResult);
    return nResult == 0;
}

void PhoneWaiter::OnListChanged()
{
    // On an SDK thread: only hand the news over to the waiter's thread.
    if (PhoneWaiter *pWaiter = g_pWaiter.load())
        QMetaObject::invokeMethod(pWaiter, &PhoneWaiter::slotListChanged, Qt::QueuedConnection);
}

void PhoneWaiter::slotListChanged()
{
    if (m_pLoop)
        m_pLoop->exit(kTryAgain);
}

PhoneWaiter::Outcome PhoneWaiter::Open(int nWaitSeconds, const std::function<void(const QString &)> &fnWaiting,
                                       QString &strReason)
{
    if (TryOpen(strReason))
        return Outcome::Ready;
    if (nWaitSeconds <= 0)
        return Outcome::NoPhone;
    g_pWaiter = this;
    DVSK_Device_WatchList(&PhoneWaiter::OnListChanged);
    QEventLoop loop;
    m_pLoop = &loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&loop]() { loop.exit(kTimedOut); });
    deadline.start(nWaitSeconds * 1000);
    InterruptSignals interrupts;
    connect(&interrupts, &InterruptSignals::signalInterrupted, &loop, [&loop]() { loop.exit(kInterrupted); });
    QString strSaid;
    Outcome outcome = Outcome::NoPhone;
    for (;;) {
        if (strReason != strSaid && fnWaiting) {
            fnWaiting(strReason);
            strSaid = strReason;
        }
        const int nLoop = loop.exec();
        if (nLoop == kInterrupted) {
            outcome = Outcome::Interrupted;
            break;
        }
        // A change may have come with the deadline: one last look.
        if (TryOpen(strReason)) {
            outcome = Outcome::Ready;
            break;
        }
        if (nLoop == kTimedOut)
            break;
    }
    m_pLoop = nullptr;
    DVSK_Device_WatchList(nullptr);
    g_pWaiter = nullptr;
    return outcome;
}
