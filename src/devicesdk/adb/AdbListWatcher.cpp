#include "AdbListWatcher.h"

#include "AdbParsers.h"
#include "AdbServer.h"
#include "AdbSocket.h"

#include <chrono>

namespace
{
// How often a server that went away is looked for again.
const int kRetryMs = 2000;
// The server's tracking misses some changes (a phone on the network that
// drops off stays "device" there for a minute, while its own list already
// says "offline"): when tracking is quiet this long the list is compared.
const int kQuietMs = 2000;

// The phones and their states, in a form two lists can be compared by.
QStringList States(const QByteArray &baList)
{
    QStringList list;
    for (const AdbParsers::Device &device : AdbParsers::Devices(baList))
        list << device.strSerial + QLatin1Char('\t') + device.strState;
    list.sort();
    return list;
}
} // namespace

AdbListWatcher::AdbListWatcher(quint16 nPort, std::function<void()> fnChanged)
    : m_nPort(nPort), m_fnChanged(std::move(fnChanged))
{
}

AdbListWatcher::~AdbListWatcher()
{
    Stop();
}

void AdbListWatcher::Start()
{
    if (m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_bStopping = false;
    }
    m_thread = std::thread([this]() { Run(); });
}

void AdbListWatcher::Stop()
{
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_bStopping = true;
        if (m_pSocket)
            m_pSocket->Abort();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool AdbListWatcher::Pause(int nMs)
{
    std::unique_lock<std::mutex> locker(m_mutex);
    return !m_wake.wait_for(locker, std::chrono::milliseconds(nMs), [this]() { return m_bStopping; });
}

bool AdbListWatcher::Follow(AdbSocket &socket)
{
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        if (m_bStopping)
            return false;
        m_pSocket = &socket;
    }
    bool bFollowed = false;
    if (socket.Connect(m_nPort, nullptr, 0) && socket.Request("host:track-devices", nullptr)) {
        AdbServer server(m_nPort);
        QByteArray baList;
        QStringList listStates;
        for (;;) {
            const int nReady = socket.WaitReadable(kQuietMs);
            if (nReady < 0)
                break;
            // Each block is the whole list after a change; its content is
            // read again by whoever is told.
            if (nReady > 0 ? !socket.ReadHexBlock(baList) : !server.Query("host:devices", baList, nullptr))
                break;
            const QStringList listNow = States(baList);
            if (nReady > 0 || listNow != listStates) {
                bFollowed = true;
                m_fnChanged();
            }
            listStates = listNow;
        }
    }
    bool bStopping = false;
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_pSocket = nullptr;
        bStopping = m_bStopping;
    }
    // A connection that carried lists and ended: the server went away.
    if (bFollowed && !bStopping)
        m_fnChanged();
    return !bStopping;
}

void AdbListWatcher::Run()
{
    for (;;) {
        AdbSocket socket;
        if (!Follow(socket) || !Pause(kRetryMs))
            return;
    }
}
