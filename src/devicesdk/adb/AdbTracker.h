#pragma once

#include "AdbServer.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// Follows one phone through the adb server's "host:track-devices" on a thread
// of its own and reports its arrivals and departures: fnEvent(6004) when the
// phone reaches the state "device", fnEvent(6006) and then fnEvent(6014) when
// it leaves it (unplugged, offline, or the server itself went away).
class AdbTracker
{
public:
    AdbTracker(quint16 nPort, const QString &strSerial, std::function<void(int)> fnEvent);
    ~AdbTracker();
    AdbTracker(const AdbTracker &) = delete;
    AdbTracker &operator=(const AdbTracker &) = delete;

    // Starts following; the first list the server sends sets the initial
    // state without an event when the phone is already there.
    void Start(bool bPresentNow);
    void Stop();
    bool IsPresent() const { return m_bPresent.load(); }
    // The phone was found gone by other means (a copy cut off): raises the
    // departure now, on a thread of the tracker's, unless already raised.
    void MarkGone();

private:
    void Run();
    void Update(bool bPresent);

    const quint16 m_nPort;
    const QString m_strSerial;
    const std::function<void(int)> m_fnEvent;
    std::atomic<bool> m_bPresent {false};
    std::atomic<bool> m_bStopping {false};
    QMutex m_mutex; // guards m_pSocket against Stop() while Run() replaces it
    AdbSocket *m_pSocket = nullptr;
    std::thread m_thread;
};
