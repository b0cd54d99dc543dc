#pragma once

#include <QMutex>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class AdbSocket;

// Watches the adb server's list of phones with "host:track-devices" on a
// thread of its own and calls fnChanged whenever the list may have changed:
// for every list the server sends (the first one when the connection opens),
// when the server goes away, and when it is back. While tracking is quiet
// it compares the server's list every few seconds, since the server's own
// tracking misses a phone on the network that dropped off. Without a server
// it tries to reach one again every few seconds; it never starts one itself.
class AdbListWatcher
{
public:
    AdbListWatcher(quint16 nPort, std::function<void()> fnChanged);
    ~AdbListWatcher();
    AdbListWatcher(const AdbListWatcher &) = delete;
    AdbListWatcher &operator=(const AdbListWatcher &) = delete;

    void Start();
    // Ends the thread; fnChanged is not called once this returns. Never call
    // it from fnChanged.
    void Stop();

private:
    void Run();
    // Follows one connection until it ends; false once stopping.
    bool Follow(AdbSocket &socket);
    // Waits nMs or until Stop(); false when stopping.
    bool Pause(int nMs);

    const quint16 m_nPort;
    const std::function<void()> m_fnChanged;
    std::mutex m_mutex; // guards m_bStopping and m_pSocket
    std::condition_variable m_wake;
    bool m_bStopping = false;
    AdbSocket *m_pSocket = nullptr;
    std::thread m_thread;
};
