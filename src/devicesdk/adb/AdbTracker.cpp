#include "AdbTracker.h"

#include "AdbParsers.h"
#include "sdk/dvsk.h"

AdbTracker::AdbTracker(quint16 nPort, const QString &strSerial, std::function<void(int)> fnEvent)
    : m_nPort(nPort), m_strSerial(strSerial), m_fnEvent(std::move(fnEvent))
{
}

AdbTracker::~AdbTracker()
{
    Stop();
}

void AdbTracker::Start(bool bPresentNow)
{
    if (m_thread.joinable())
        return;
    m_bPresent = bPresentNow;
    m_bStopping = false;
    m_thread = std::thread([this]() { Run(); });
}

void AdbTracker::Stop()
{
    m_bStopping = true;
    {
        QMutexLocker locker(&m_mutex);
        if (m_pSocket)
            m_pSocket->Abort();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void AdbTracker::MarkGone()
{
    if (!m_bPresent.load())
        return;
    std::thread thread([this]() { Update(false); });
    thread.join();
}

void AdbTracker::Update(bool bPresent)
{
    if (m_bStopping.load())
        return;
    const bool bWasPresent = m_bPresent.exchange(bPresent);
    if (bPresent == bWasPresent || !m_fnEvent)
        return;
    if (bPresent) {
        m_fnEvent(DVSK_EVENT_DEVICE_ACTIVE);
    } else {
        m_fnEvent(DVSK_EVENT_DEVICE_REMOVED);
        m_fnEvent(DVSK_EVENT_SERVICE_LOST);
    }
}

namespace
{
// The server's track-devices does not report every change (a phone on the
// network that turns offline stays "device" there for a minute): when it
// is quiet this long, the list is asked for directly.
const int kQuietMs = 1000;

bool IsReady(const QByteArray &baList, const QString &strSerial)
{
    for (const AdbParsers::Device &device : AdbParsers::Devices(baList)) {
        if (device.strSerial == strSerial)
            return device.strState == QLatin1String("device");
    }
    return false;
}
} // namespace

void AdbTracker::Run()
{
    AdbSocket socket;
    {
        QMutexLocker locker(&m_mutex);
        if (m_bStopping.load())
            return;
        m_pSocket = &socket;
    }
    AdbServer server(m_nPort);
    if (socket.Connect(m_nPort, nullptr, 0) && socket.Request("host:track-devices", nullptr)) {
        QByteArray baList;
        while (!m_bStopping.load()) {
            const int nReady = socket.WaitReadable(kQuietMs);
            if (nReady < 0)
                break;
            // Each block is the whole list of phones after a change.
            if (nReady > 0 ? !socket.ReadHexBlock(baList) : !server.Query("host:devices", baList, nullptr))
                break;
            Update(IsReady(baList, m_strSerial));
        }
    }
    // Without the server nothing reaches the phone any more.
    Update(false);
    QMutexLocker locker(&m_mutex);
    m_pSocket = nullptr;
}
