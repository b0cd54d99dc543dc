#include "AdbSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace
{
const int kMaxHexBlock = 0xffff;
// How often a waiting read or write asks its guard: a cancel acts well
// within a second.
const int kSliceMs = 200;

bool ParseHex4(const char *p, int &nValue)
{
    bool bOk = false;
    nValue = QByteArray(p, 4).toInt(&bOk, 16);
    return bOk && nValue >= 0;
}
} // namespace

AdbSocket::~AdbSocket()
{
    Close();
}

int AdbSocket::StallSecondsFromEnvironment()
{
    bool bOk = false;
    const int nSeconds = qEnvironmentVariableIntValue("DVSK_ADB_STALL_SECONDS", &bOk);
    return bOk && nSeconds > 0 ? nSeconds : kDefaultStallSeconds;
}

void AdbSocket::SetGuard(std::function<bool()> fnInterrupted, std::function<void()> fnStalled)
{
    m_fnInterrupted = std::move(fnInterrupted);
    m_fnStalled = std::move(fnStalled);
}

bool AdbSocket::Connect(quint16 nPort, QString *pError, int nStallSeconds)
{
    Close();
    m_bBroken = false;
    m_bStalled = false;
    const int nFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (nFd < 0) {
        if (pError)
            *pError = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(nPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(nFd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        if (pError)
            *pError = QString::fromLocal8Bit(strerror(errno));
        ::close(nFd);
        return false;
    }
    const int nOne = 1;
    ::setsockopt(nFd, IPPROTO_TCP, TCP_NODELAY, &nOne, sizeof(nOne));
    m_nStallMs = qMax(0, nStallSeconds) * qint64(1000);
    m_sinceProgress.start();
    m_nFd = nFd;
    return true;
}

QByteArray AdbSocket::Frame(const QByteArray &baService)
{
    char szLength[8];
    std::snprintf(szLength, sizeof(szLength), "%04x", unsigned(baService.size()) & 0xffffu);
    return QByteArray(szLength, 4) + baService;
}

bool AdbSocket::Request(const QByteArray &baService, QString *pError)
{
    if (baService.size() > kMaxHexBlock) {
        if (pError)
            *pError = QStringLiteral("request too long");
        return false;
    }
    if (!WriteAll(Frame(baService))) {
        if (pError)
            *pError = QStringLiteral("the adb server closed the connection");
        return false;
    }
    char status[4];
    if (!ReadExact(status, 4)) {
        if (pError)
            *pError = QStringLiteral("no answer from the adb server");
        return false;
    }
    if (memcmp(status, "OKAY", 4) == 0)
        return true;
    QByteArray baMessage;
    if (memcmp(status, "FAIL", 4) == 0 && ReadHexBlock(baMessage)) {
        if (pError)
            *pError = QString::fromUtf8(baMessage);
    } else if (pError) {
        *pError = QStringLiteral("unexpected answer from the adb server");
    }
    return false;
}

bool AdbSocket::ReadHexBlock(QByteArray &baBlock)
{
    char szLength[4];
    int nLength = 0;
    if (!ReadExact(szLength, 4) || !ParseHex4(szLength, nLength))
        return false;
    baBlock.resize(nLength);
    return ReadExact(baBlock.data(), nLength);
}

bool AdbSocket::ReadToEnd(QByteArray &baData)
{
    char buffer[16384];
    for (;;) {
        const qint64 n = ReadSome(buffer, sizeof(buffer));
        if (n == 0)
            return true;
        if (n < 0)
            return false;
        baData.append(buffer, n);
    }
}

qint64 AdbSocket::ReadSome(char *pData, qint64 nMax)
{
    const int nFd = m_nFd.load();
    if (nFd < 0 || !WaitReady(POLLIN))
        return -1;
    for (;;) {
        const ssize_t n = ::recv(nFd, pData, size_t(nMax), MSG_DONTWAIT);
        if (n == 0)
            return m_bBroken.load() ? -1 : 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitReady(POLLIN))
                continue;
            m_bBroken = true;
            return -1;
        }
        m_sinceProgress.start();
        return n;
    }
}

void AdbSocket::Stalled()
{
    m_bStalled = true;
    m_bBroken = true;
    if (m_fnStalled)
        m_fnStalled();
}

bool AdbSocket::WaitReady(short nEvents)
{
    const int nFd = m_nFd.load();
    QElapsedTimer waiting;
    waiting.start();
    for (;;) {
        if (nFd < 0 || m_bBroken.load())
            return false;
        if (m_fnInterrupted && m_fnInterrupted()) {
            m_bBroken = true;
            return false;
        }
        qint64 nWaitMs = kSliceMs;
        if (m_nStallMs > 0) {
            const qint64 nLeft = m_nStallMs - waiting.elapsed();
            if (nLeft <= 0) {
                Stalled();
                return false;
            }
            nWaitMs = qMin(nWaitMs, nLeft);
        }
        pollfd fd = {nFd, nEvents, 0};
        const int n = ::poll(&fd, 1, int(nWaitMs));
        if (n < 0 && errno != EINTR) {
            m_bBroken = true;
            return false;
        }
        if (n > 0)
            return !m_bBroken.load();
    }
}

bool AdbSocket::Transfer(qint64 nSize, short nEvents,
                         const std::function<ssize_t(int nFd, qint64 nDone, size_t nLeft)> &fnStep)
{
    const int nFd = m_nFd.load();
    if (nFd < 0 || m_bBroken.load())
        return false;
    qint64 nDone = 0;
    while (nDone < nSize) {
        const ssize_t n = fnStep(nFd, nDone, size_t(nSize - nDone));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitReady(nEvents))
                return false;
            continue;
        }
        if (n <= 0) {
            m_bBroken = true;
            return false;
        }
        nDone += n;
        m_sinceProgress.start();
    }
    return true;
}

bool AdbSocket::WriteAll(const char *pData, qint64 nSize)
{
    return Transfer(nSize, POLLOUT, [pData](int nFd, qint64 nDone, size_t nLeft) {
        return ::send(nFd, pData + nDone, nLeft, MSG_NOSIGNAL | MSG_DONTWAIT);
    });
}

bool AdbSocket::ReadExact(char *pData, qint64 nSize)
{
    return Transfer(nSize, POLLIN,
                    [pData](int nFd, qint64 nDone, size_t nLeft) {
                        return ::recv(nFd, pData + nDone, nLeft, MSG_DONTWAIT);
                    })
           && !m_bBroken.load();
}

int AdbSocket::WaitReadable(int nTimeoutMs)
{
    const int nFd = m_nFd.load();
    if (nFd < 0 || m_bBroken.load())
        return -1;
    if (m_fnInterrupted && m_fnInterrupted()) {
        m_bBroken = true;
        return -1;
    }
    if (m_nStallMs > 0 && m_sinceProgress.elapsed() >= m_nStallMs) {
        Stalled();
        return -1;
    }
    pollfd fd = {nFd, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&fd, 1, nTimeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        if (m_bBroken.load())
            return -1;
        return n < 0 ? -1 : (n > 0 ? 1 : 0);
    }
}

void AdbSocket::Abort()
{
    m_bBroken = true;
    const int nFd = m_nFd.load();
    if (nFd >= 0)
        ::shutdown(nFd, SHUT_RDWR);
}

void AdbSocket::Close()
{
    const int nFd = m_nFd.exchange(-1);
    if (nFd >= 0)
        ::close(nFd);
}
