#pragma once

#include "AdbMessage.h"
#include "LinkDelay.h"

#include <QByteArray>
#include <map>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class AdbPhone;
class AdbStream;
class PhoneSimulator;
class QTcpSocket;

// The device side of one adb transport connection: answers the server's
// CNXN with the phone's banner (or keeps asking for authorisation on an
// unauthorised phone), opens a stream for each OPEN, acknowledges each
// WRTE, and sends each stream's output in writes of at most the agreed
// size with one write in flight per stream, paced by the link's rate limit.
// The server's writes are paced too: each is acknowledged once the link's
// rate lets its bytes through, and the server sends no more on that stream
// before the acknowledgement.
// With a latency, every byte in either direction is held that long, in order
// (a cable's round trip), after the rate limit has let it go.
class AdbConnection : public QObject
{
    Q_OBJECT
public:
    AdbConnection(QTcpSocket *pSocket, PhoneSimulator *pSimulator);
    ~AdbConnection() override;

    int StreamCount() const { return int(m_mapStreams.size()); }
    // A RECV finished sending a file; true when the phone is unplugged after it.
    // True (and counted) when the phone is stalled: a request is left unanswered.
    bool WithholdsRequests();
    bool FileSent();
    PhoneSimulator *Simulator() const { return m_pSimulator; }
    // Sends what is queued, then closes the connection.
    void Unplug();
    // Drops the connection at once.
    void Abort();
    // The phone accepts the server's key: a connection kept waiting for it
    // goes online.
    void Allow();

signals:
    void Closed(AdbConnection *pConnection);

private:
    void OnReadyRead();
    void ProcessIncoming(const QByteArray &baData);
    // Moves what the latency has released in both directions, then waits for the next.
    void OnDelayElapsed();
    void ScheduleDelay();
    void WriteToSocket(const QByteArray &baData);
    void HandleMessage(const AdbMessage &message, const QByteArray &baPayload);
    void HandleConnect(const AdbMessage &message);
    void HandleOpen(const AdbMessage &message, const QByteArray &baPayload);
    void Send(uint32_t nCommand, uint32_t nArg0, uint32_t nArg1, const char *pPayload = nullptr, qsizetype nLength = 0);
    void SendAuthToken();
    void SendBanner(const AdbPhone &phone);
    void Pump();
    void SendQueued();
    // The streams' output, as far as the rate limit and the socket allow.
    void SendWrites();
    // Acknowledges the server's writes as far as the rate limit allows.
    void SendAcknowledgements();
    void CloseStream(uint32_t nLocalId, bool bTellServer);

    QTcpSocket *const m_pSocket;
    PhoneSimulator *const m_pSimulator;
    QByteArray m_baIn;
    bool m_bOnline = false;
    bool m_bAwaitingAllow = false;
    uint32_t m_nVersion = 0;
    bool m_bUnplugging = false;
    bool m_bChecksums = true;
    qsizetype m_nMaxPayload = 4096;
    uint32_t m_nNextLocalId = 1;
    uint32_t m_nLastServed = 0;
    std::map<uint32_t, std::unique_ptr<AdbStream>> m_mapStreams;
    struct Acknowledgement
    {
        uint32_t nLocalId;
        uint32_t nRemoteId;
        qint64 nBytes;
    };
    std::deque<Acknowledgement> m_listAcks; // the server's writes not yet acknowledged
    bool m_bAcksFirst = false;
    QTimer m_timerPace;
    LinkDelay m_delayIn;
    LinkDelay m_delayOut;
    QTimer m_timerDelay;
};
