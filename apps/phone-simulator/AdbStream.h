#pragma once

#include <QByteArray>

#include <cstdint>

class AdbConnection;

// One stream of an adb connection, opened by the server for a service. It
// queues the bytes it sends; the connection takes them out in writes no
// larger than the agreed maximum, one write in flight at a time.
class AdbStream
{
public:
    AdbStream(AdbConnection *pConnection, uint32_t nLocalId, uint32_t nRemoteId);
    virtual ~AdbStream();
    AdbStream(const AdbStream &) = delete;
    AdbStream &operator=(const AdbStream &) = delete;

    uint32_t LocalId() const { return m_nLocalId; }
    uint32_t RemoteId() const { return m_nRemoteId; }

    // Bytes the server wrote to this stream.
    virtual void Receive(const QByteArray &baData);
    // Called when fewer than nWanted bytes are queued: queue more if there are any.
    virtual void Produce(qsizetype nWanted);

    qsizetype Pending() const { return m_baOut.size() - m_nOutPos; }
    const char *PendingData() const { return m_baOut.constData() + m_nOutPos; }
    void Consume(qsizetype nBytes);

    bool IsAwaitingOkay() const { return m_bAwaitingOkay; }
    void SetAwaitingOkay(bool bAwaiting) { m_bAwaitingOkay = bAwaiting; }
    // Everything was sent and the service ended: the stream may be closed.
    bool IsFinished() const { return m_bFinishing && Pending() == 0; }

protected:
    void Append(const QByteArray &baData);
    void Append(const char *pData, qsizetype nBytes);
    // Room for nBytes at the end of the queue; Trim() gives back what was not used.
    char *Grow(qsizetype nBytes);
    void Trim(qsizetype nUnused);
    // No more output after what is queued.
    void Finish() { m_bFinishing = true; }
    bool IsFinishing() const { return m_bFinishing; }
    AdbConnection *Connection() const { return m_pConnection; }

private:
    AdbConnection *const m_pConnection;
    const uint32_t m_nLocalId;
    const uint32_t m_nRemoteId;
    QByteArray m_baOut;
    qsizetype m_nOutPos = 0;
    bool m_bAwaitingOkay = false;
    bool m_bFinishing = false;
};
