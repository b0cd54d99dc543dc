#include "PhoneSimulator.h"

#include "AdbConnection.h"

#include <QSettings>
#include <QTcpSocket>

#include <cstdio>

namespace
{
qint64 RateOf(const SimulatorOptions &options)
{
    if (options.nBytesPerSecond >= 0)
        return options.nBytesPerSecond;
    AdbPhone phone;
    return phone.Load(options.strPhoneDir) ? qint64(phone.Config().RateLimitKBps()) * 1024 : 0;
}
} // namespace

PhoneSimulator::PhoneSimulator(const SimulatorOptions &options, QObject *pParent)
    : QObject(pParent)
    , m_options(options)
    , m_limiter(RateOf(options))
{
    m_clock.start();
    AdbPhone phone;
    m_nUnplugAfterFiles = options.nUnplugAfterFiles >= 0 ? options.nUnplugAfterFiles
                        : phone.Load(options.strPhoneDir) ? phone.Config().UnplugAfterFiles() : 0;
    const int nLatencyMs = options.nLatencyMs >= 0 ? options.nLatencyMs
                         : phone.Load(options.strPhoneDir) ? phone.LatencyMs() : 0;
    m_nLatencyNs = qint64(nLatencyMs) * 1000000;
    connect(&m_server, &QTcpServer::newConnection, this, &PhoneSimulator::OnNewConnection);
}

PhoneSimulator::~PhoneSimulator() = default;

bool PhoneSimulator::Listen(QString *pError)
{
    if (!m_server.listen(QHostAddress::LocalHost, m_nPort ? m_nPort : m_options.nPort)) {
        *pError = m_server.errorString();
        return false;
    }
    m_nPort = m_server.serverPort();
    return true;
}

bool PhoneSimulator::LoadPhone(AdbPhone *pPhone) const
{
    if (!pPhone->Load(m_options.strPhoneDir))
        return false;
    pPhone->ApplyOptions(m_options.bUnauthorized, m_options.listDeniedFiles, m_options.bNoListV2);
    if (m_bAllowed)
        pPhone->Allow();
    return true;
}

void PhoneSimulator::Allow()
{
    m_bAllowed = true;
    Log(QStringLiteral("allowed"));
    const QList<AdbConnection *> listConnections = m_listConnections;
    for (AdbConnection *pConnection : listConnections)
        pConnection->Allow();
}

bool PhoneSimulator::FileSent()
{
    ++m_nFilesSent;
    return m_nUnplugAfterFiles > 0 && m_nFilesSent == m_nUnplugAfterFiles;
}

bool PhoneSimulator::PushStarted(const AdbPhone &phone)
{
    const QSettings ini(phone.Config().Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    const int nUnplugDuring = ini.value(QStringLiteral("faults/unplugDuringPushedFile")).toInt();
    return nUnplugDuring > 0 && ++m_nFilesPushed == nUnplugDuring;
}

bool PhoneSimulator::TakePushSpace(const AdbPhone &phone, qint64 nBytes)
{
    const QSettings ini(phone.Config().Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    bool bLimited = false;
    const qint64 nFreeKB = ini.value(QStringLiteral("faults/restoreFreeKB")).toLongLong(&bLimited);
    if (bLimited && nFreeKB >= 0 && m_nBytesPushed + nBytes > nFreeKB * 1024)
        return false;
    m_nBytesPushed += nBytes;
    return true;
}

void PhoneSimulator::Stall()
{
    if (!m_bStalled)
        Log(QStringLiteral("stalled: nothing more is answered"));
    m_bStalled = true;
}

bool PhoneSimulator::IsStalled() const
{
    return m_bStalled || (m_options.nStallAfterFiles > 0 && m_nFilesSent >= m_options.nStallAfterFiles);
}

void PhoneSimulator::Unplug()
{
    m_server.close();
    Log(QStringLiteral("unplugged"));
    const QList<AdbConnection *> listConnections = m_listConnections;
    for (AdbConnection *pConnection : listConnections)
        pConnection->Unplug();
}

bool PhoneSimulator::Plug(QString *pError)
{
    if (m_server.isListening())
        return true;
    Log(QStringLiteral("plugged in"));
    return Listen(pError);
}

QString PhoneSimulator::Status() const
{
    int nStreams = 0;
    for (const AdbConnection *pConnection : m_listConnections)
        nStreams += pConnection->StreamCount();
    return QStringLiteral("connections=%1 streams=%2 withheld=%3 files=%4 plugged=%5")
        .arg(m_listConnections.size()).arg(nStreams).arg(m_nWithheld).arg(m_nFilesSent)
        .arg(IsPlugged() ? QStringLiteral("yes") : QStringLiteral("no"));
}

void PhoneSimulator::Log(const QString &strLine) const
{
    fprintf(stderr, "adb-phone-sim: %s\n", qPrintable(strLine));
}

void PhoneSimulator::OnNewConnection()
{
    while (QTcpSocket *pSocket = m_server.nextPendingConnection()) {
        auto *pConnection = new AdbConnection(pSocket, this);
        connect(pConnection, &AdbConnection::Closed, this, &PhoneSimulator::OnClosed);
        m_listConnections.append(pConnection);
        Log(QStringLiteral("server connection from port %1").arg(pSocket->peerPort()));
    }
}

void PhoneSimulator::OnClosed(AdbConnection *pConnection)
{
    if (!m_listConnections.removeOne(pConnection))
        return;
    Log(QStringLiteral("server connection closed"));
    pConnection->deleteLater();
}
