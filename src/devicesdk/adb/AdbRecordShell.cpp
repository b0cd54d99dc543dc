#include "AdbRecordShell.h"

#include "AdbServer.h"
#include "AdbSocket.h"

#include <QDebug>

namespace
{
// How often a running command looks for a cancel while the phone is quiet.
const int kCancelPollMs = 100;
} // namespace

AdbRecordShell::AdbRecordShell(AdbServer &server, const QString &strSerial, std::function<bool()> fnCancelled,
                               std::function<int()> fnBroken)
    : m_server(server)
    , m_strSerial(strSerial)
    , m_fnCancelled(std::move(fnCancelled))
    , m_fnBroken(std::move(fnBroken))
{
}

int AdbRecordShell::Run(const QByteArray &baCommand, const OutputHandler &fnOutput)
{
    QString strError;
    std::unique_ptr<AdbSocket> pSocket = m_server.OpenService(m_strSerial, "exec:" + baCommand, &strError);
    if (!pSocket) {
        qInfo().noquote() << "adb:" << QStringLiteral("\"%1\" failed: %2").arg(QString::fromUtf8(baCommand), strError);
        return m_fnBroken();
    }
    QByteArray baBuffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        if (m_fnCancelled()) {
            pSocket->Abort();
            return m_fnBroken();
        }
        const int nReady = pSocket->WaitReadable(kCancelPollMs);
        if (nReady == 0)
            continue;
        const qint64 n = nReady < 0 ? -1 : pSocket->ReadSome(baBuffer.data(), baBuffer.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            qInfo().noquote() << "adb:" << QStringLiteral("\"%1\" ended early").arg(QString::fromUtf8(baCommand));
            return m_fnBroken();
        }
        fnOutput(QByteArray::fromRawData(baBuffer.constData(), n));
    }
}
