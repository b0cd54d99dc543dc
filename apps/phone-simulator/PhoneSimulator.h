#pragma once

#include "AdbPhone.h"
#include "LinkRateLimiter.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class AdbConnection;

// What the simulator serves and how; values below 0 take the phone.ini's.
struct SimulatorOptions
{
    QString strPhoneDir;
    quint16 nPort = 0;                  // 0: any free port
    qint64 nMaxData = 1024 * 1024;      // the largest payload offered in CNXN
    qint64 nBytesPerSecond = -1;        // link rate; 0: unlimited
    int nLatencyMs = -1;                // each message's delay in each direction; 0: none
    int nUnplugAfterFiles = -1;         // 0: never
    int nStallAfterFiles = 0;           // 0: never
    QString strStallOn;                 // stall when a service containing this is opened
    QString strUnplugOn;                // unplug when a service containing this is opened
    bool bUnauthorized = false;
    bool bNoListV2 = false;             // an old phone: folders listed with LIST only
    QStringList listDeniedFiles;
    bool bVerbose = false;
};

// A phone on 127.0.0.1 that the adb server reaches with "adb connect":
// accepts any number of transport connections, shares one link rate among
// them, counts the files sent and unplugs (closes every connection and
// stops listening) after the configured number.
class PhoneSimulator : public QObject
{
    Q_OBJECT
public:
    explicit PhoneSimulator(const SimulatorOptions &options, QObject *pParent = nullptr);
    ~PhoneSimulator() override;

    bool Listen(QString *pError);
    quint16 Port() const { return m_nPort; }
    const SimulatorOptions &Options() const { return m_options; }

    // The phone as it is now (phone.ini is read again), with the options' faults.
    bool LoadPhone(AdbPhone *pPhone) const;
    LinkRateLimiter &Limiter() { return m_limiter; }
    // How long every byte takes in each direction, in nanoseconds.
    qint64 LatencyNs() const { return m_nLatencyNs; }
    // The link's clock, shared by every connection.
    qint64 NowNs() const { return m_clock.nsecsElapsed(); }

    bool FileSent();
    // A file pushed with SEND begins: true when the cable is to be pulled
    // half-way through it (phone.ini unplugDuringPushedFile = its number).
    bool PushStarted(const AdbPhone &phone);
    // Takes room for nBytes more of pushed data; false when the phone is
    // full (phone.ini restoreFreeKB, counted over everything pushed).
    bool TakePushSpace(const AdbPhone &phone, qint64 nBytes);
    // The phone stops answering but stays connected: no service opens, no
    // sync request is answered; what was queued before still goes out.
    void Stall();
    bool IsStalled() const;
    // A request was left unanswered because of a stall.
    void Withheld() { ++m_nWithheld; }
    // Pulls the cable: queued data is sent, then every connection closes and
    // no new one is accepted until Plug().
    void Unplug();
    bool Plug(QString *pError);
    bool IsPlugged() const { return m_server.isListening(); }
    // The user taps Allow on an unauthorised phone: it accepts the server's
    // key from now on, and connections waiting for it go online.
    void Allow();

    // "connections=N streams=N withheld=N files=N plugged=yes|no"
    QString Status() const;
    void Log(const QString &strLine) const;

private:
    void OnNewConnection();
    void OnClosed(AdbConnection *pConnection);

    const SimulatorOptions m_options;
    QTcpServer m_server;
    quint16 m_nPort = 0;
    QList<AdbConnection *> m_listConnections;
    LinkRateLimiter m_limiter;
    QElapsedTimer m_clock;
    int m_nUnplugAfterFiles = 0;
    qint64 m_nLatencyNs = 0;
    int m_nFilesSent = 0;
    int m_nFilesPushed = 0;
    qint64 m_nBytesPushed = 0;
    bool m_bAllowed = false;
    bool m_bStalled = false;
    int m_nWithheld = 0;
};
