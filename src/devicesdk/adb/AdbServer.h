#pragma once

#include "AdbParsers.h"
#include "AdbSocket.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

// The adb server on this machine, reached on 127.0.0.1 at the port of
// ANDROID_ADB_SERVER_PORT (5037 without it). It owns USB, the phones' keys
// and the list of phones; every request is a fresh connection.
class AdbServer
{
public:
    explicit AdbServer(quint16 nPort = PortFromEnvironment());

    static quint16 PortFromEnvironment();
    quint16 Port() const { return m_nPort; }

    enum State { Answers, NoServer, Silent };
    // Whether a server answers "host:version" (within a bounded time), no
    // program listens on the port, or one listens and does not answer
    // (*pError says so).
    State Probe(QString *pError);
    // True when a server answers "host:version".
    bool IsRunning();
    // Starts one with "adb start-server" when no program listens on the
    // port; fails at once when one listens and stays silent.
    bool EnsureRunning(QString *pError);

    // Every phone the server knows (host:devices-l), starting the server
    // when none runs: 0, DVSK_DEV_ERR_NO_SERVER when none answers and none
    // can be started, or DVSK_DEV_ERR_NO_PHONE when it gave no list.
    int Devices(QList<AdbParsers::Device> &listDevices, QString *pError);
    // Asks the server to connect to a phone listening at "HOST:PORT"
    // (host:connect:). 0 when it says it is connected; otherwise
    // DVSK_DEV_ERR_BAD_ARGUMENT (not HOST:PORT), DVSK_DEV_ERR_NO_SERVER or
    // DVSK_DEV_ERR_NO_PHONE. *pAnswer gets the server's words or why it failed.
    int ConnectWifi(const QString &strHostPort, QString *pAnswer);

    // A host request whose answer is one length-prefixed block
    // ("host:devices-l", "host-serial:SERIAL:features").
    bool Query(const QByteArray &baService, QByteArray &baAnswer, QString *pError);
    // Opens a connection switched to the phone with this serial and to the
    // device service (for example "sync:" or "shell:CMD"). Null on failure.
    std::unique_ptr<AdbSocket> OpenService(const QString &strSerial, const QByteArray &baService, QString *pError);
    // Runs a command with "shell:" and returns everything it printed.
    bool Shell(const QString &strSerial, const QString &strCommand, QByteArray &baOutput, QString *pError);

    // Every connection made from now on gives up while fnHalted() is true
    // and calls fnStalled() when the phone stopped answering (see AdbSocket).
    // Set before the first connection.
    void SetGuard(std::function<bool()> fnHalted, std::function<void()> fnStalled);
    // Ends every read or write waiting on a connection made before this
    // call, within a fraction of a second; later connections are not touched.
    void AbortOpen();

private:
    std::unique_ptr<AdbSocket> ConnectSocket(QString *pError,
                                             int nStallSeconds = AdbSocket::StallSecondsFromEnvironment());

    const quint16 m_nPort;
    std::function<bool()> m_fnHalted;
    std::function<void()> m_fnStalled;
    std::atomic<quint64> m_nAborts {0};
};
