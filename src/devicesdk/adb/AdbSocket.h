#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

#include <sys/types.h>

// One TCP connection to the adb server, spoken to with blocking reads and
// writes from the thread that owns it. Abort() may be called from any other
// thread: it shuts the connection down, so that a read or write blocked in
// the owner's thread returns at once with a failure. Only the owner closes.
class AdbSocket
{
public:
    // A silent server or phone must not hang a backup for ever; a live
    // transfer never pauses this long.
    static const int kDefaultReceiveTimeoutSeconds = 120;

    AdbSocket() = default;
    ~AdbSocket();
    AdbSocket(const AdbSocket &) = delete;
    AdbSocket &operator=(const AdbSocket &) = delete;

    // Connects to 127.0.0.1:nPort. A read that waits longer than
    // nReceiveTimeoutSeconds fails (0: waits for ever).
    bool Connect(quint16 nPort, QString *pError, int nReceiveTimeoutSeconds = kDefaultReceiveTimeoutSeconds);
    bool IsOpen() const { return m_nFd.load() >= 0; }
    // True once Abort() was called or the peer closed the connection.
    bool IsBroken() const { return m_bBroken.load(); }

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
    // out, -1 failed.
    int WaitReadable(int nTimeoutMs);

    void Abort();
    void Close();

    // The request text with its length prefix, as sent on the wire.
    static QByteArray Frame(const QByteArray &baService);

private:
    // Sends or receives nSize bytes in steps of fnStep (a send or a recv of
    // at most nLeft bytes at offset nDone); false, with the socket marked
    // broken, when a step fails or the peer closed.
    bool Transfer(qint64 nSize, const std::function<ssize_t(int nFd, qint64 nDone, size_t nLeft)> &fnStep);

    std::atomic<int> m_nFd {-1};
    std::atomic<bool> m_bBroken {false};
};
