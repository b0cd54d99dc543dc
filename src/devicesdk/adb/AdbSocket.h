#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <functional>

#include <sys/types.h>

// One TCP connection to the adb server, spoken to with blocking reads and
// writes from the thread that owns it. Abort() may be called from any other
// thread: it shuts the connection down, so that a read or write blocked in
// the owner's thread returns at once with a failure. Only the owner closes.
//
// A read or write waits in short slices: between them it asks the guard
// whether to give up (a cancel), and it fails when nothing moved for the
// stall time (a phone that stopped answering without being unplugged).
class AdbSocket
{
public:
    // A silent server or phone must not hang a backup for ever; a live
    // transfer never pauses this long. DVSK_ADB_STALL_SECONDS sets another.
    static constexpr int kDefaultStallSeconds = 20;
    static int StallSecondsFromEnvironment();

    AdbSocket() = default;
    ~AdbSocket();
    AdbSocket(const AdbSocket &) = delete;
    AdbSocket &operator=(const AdbSocket &) = delete;

    // Connects to 127.0.0.1:nPort. A read or write that makes no progress
    // for nStallSeconds fails (0: waits for ever).
    bool Connect(quint16 nPort, QString *pError, int nStallSeconds = StallSecondsFromEnvironment());
    // fnInterrupted is asked a few times a second while a read or write
    // waits: true ends it as Abort() would. fnStalled is called when one
    // fails for want of progress.
    void SetGuard(std::function<bool()> fnInterrupted, std::function<void()> fnStalled);
    bool IsOpen() const { return m_nFd.load() >= 0; }
    // True once Abort() was called, the guard interrupted, a stall or the
    // peer closed the connection.
    bool IsBroken() const { return m_bBroken.load(); }
    // True once a read or write failed because nothing moved for the stall time.
    bool IsStalled() const { return m_bStalled.load(); }
    // Sends one smart-socket request ("%04x" length + text) and reads the
    // answer: true on "OKAY"; on "FAIL" the server's message goes to *pError.
    bool Request(const QByteArray &baService, QString *pError);
    // Reads a block of 4 hex digits of length followed by that many bytes.
    bool ReadHexBlock(QByteArray &baBlock);
    // Reads until the peer closes the connection.
    bool ReadToEnd(QByteArray &baData);
    // Reads what has arrived, at most nMax bytes, waiting for at least one:
    // the number read, 0 when the peer closed the connection, -1 on failure.
    qint64 ReadSome(char *pData, qint64 nMax);

    bool WriteAll(const char *pData, qint64 nSize);
    bool WriteAll(const QByteArray &ba) { return WriteAll(ba.constData(), ba.size()); }
    bool ReadExact(char *pData, qint64 nSize);
    // Waits until something can be read: 1 readable (or closed), 0 timed
    // out, -1 failed (also when interrupted, or when nothing arrived for the
    // stall time since the last byte moved).
    int WaitReadable(int nTimeoutMs);

    void Abort();
    void Close();

    // The request text with its length prefix, as sent on the wire.
    static QByteArray Frame(const QByteArray &baService);

private:
    // Sends or receives nSize bytes in steps of fnStep (a send or a recv of
    // at most nLeft bytes at offset nDone, not waiting); false, with the
    // socket marked broken, when a step fails, the peer closed, the guard
    // interrupted or nothing moved for the stall time.
    bool Transfer(qint64 nSize, short nEvents,
                  const std::function<ssize_t(int nFd, qint64 nDone, size_t nLeft)> &fnStep);
    // Waits until the socket is ready for nEvents; false (socket broken)
    // when interrupted, stalled or failed.
    bool WaitReady(short nEvents);
    // Marks the socket broken by a stall and says so.
    void Stalled();

    std::atomic<int> m_nFd {-1};
    std::atomic<bool> m_bBroken {false};
    std::atomic<bool> m_bStalled {false};
    qint64 m_nStallMs = 0;
    std::function<bool()> m_fnInterrupted;
    std::function<void()> m_fnStalled;
    QElapsedTimer m_sinceProgress; // since the last byte moved
};
