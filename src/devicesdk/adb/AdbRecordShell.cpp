#include "AdbRecordShell.h"

#include "AdbServer.h"
#include "AdbSocket.h"
#include "ShellPackets.h"

#include <QDebug>

namespace
{
// How often a running command looks for a cancel while the phone is quiet.
const int kCancelPollMs = 100;
} // namespace

AdbRecordShell::AdbRecordShell(AdbServer &server, const QString &strSerial, bool bShellV2,
                               std::function<bool()> fnCancelled, std::function<int()> fnBroken)
    : m_server(server)
    , m_strSerial(strSerial)
    , m_bShellV2(bShellV2)
    , m_fnCancelled(std::move(fnCancelled))
    , m_fnBroken(std::move(fnBroken))
{
}

int AdbRecordShell::Run(const QByteArray &baCommand, const OutputHandler &fnOutput)
{
    return RunApart(baCommand, fnOutput, fnOutput);
}

int AdbRecordShell::RunApart(const QByteArray &baCommand, const OutputHandler &fnOutput, const OutputHandler &fnError)
{
    m_nExitStatus = -1;
    QString strError;
    std::unique_ptr<AdbSocket> pSocket
        = m_server.OpenService(m_strSerial, (m_bShellV2 ? "shell,v2,raw:" : "exec:") + baCommand, &strError);
    if (!pSocket) {
        qInfo().noquote() << "adb:" << QStringLiteral("\"%1\" failed: %2").arg(QString::fromUtf8(baCommand), strError);
        return m_fnBroken();
    }
    if (!m_bShellV2)
        return Pump(*pSocket, baCommand, fnOutput);
    ShellPackets packets(fnOutput, fnError);
    const int nCode = Pump(*pSocket, baCommand, [&packets](const QByteArray &baData) { packets.Feed(baData); });
    if (nCode == 0 && !packets.HasExited()) {
        qInfo().noquote() << "adb:" << QStringLiteral("\"%1\" ended without its exit status").arg(QString::fromUtf8(baCommand));
        return m_fnBroken();
    }
    m_nExitStatus = packets.ExitStatus();
    return nCode;
}

int AdbRecordShell::Pump(AdbSocket &socket, const QByteArray &baCommand, const OutputHandler &fnData)
{
    QByteArray baBuffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        if (m_fnCancelled()) {
            socket.Abort();
            return m_fnBroken();
        }
        const int nReady = socket.WaitReadable(kCancelPollMs);
        if (nReady == 0)
            continue;
        const qint64 n = nReady < 0 ? -1 : socket.ReadSome(baBuffer.data(), baBuffer.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            qInfo().noquote() << "adb:" << QStringLiteral("\"%1\" ended early").arg(QString::fromUtf8(baCommand));
            return m_fnBroken();
        }
        fnData(QByteArray::fromRawData(baBuffer.constData(), n));
    }
}
