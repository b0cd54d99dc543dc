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

void AdbTracker::Run()
{
    AdbSocket socket;
    {
        QMutexLocker locker(&m_mutex);
        if (m_bStopping.load())
            return;
        m_pSocket = &socket;
    }
    if (socket.Connect(m_nPort, nullptr, 0) && socket.Request("host:track-devices", nullptr)) {
        QByteArray baBlock;
        // Each block is the whole list of phones after a change.
        while (!m_bStopping.load() && socket.ReadHexBlock(baBlock)) {
            bool bPresent = false;
            for (const AdbParsers::Device &device : AdbParsers::Devices(baBlock)) {
                if (device.strSerial == m_strSerial)
                    bPresent = device.strState == QLatin1String("device");
            }
            Update(bPresent);
        }
    }
    // Without the server nothing reaches the phone any more.
    Update(false);
    QMutexLocker locker(&m_mutex);
    m_pSocket = nullptr;
}
