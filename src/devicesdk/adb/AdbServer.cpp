#include "AdbServer.h"

#include "sdk/dvsk_device.h"

#include <QProcess>
#include <QRegularExpression>

namespace
{
const quint16 kDefaultPort = 5037;
const int kStartTimeoutMs = 20000;
// The server answers host requests at once; a program on the port that
// accepts and stays silent is not waited for longer than this.
const int kHostAnswerSeconds = 10;
} // namespace

AdbServer::AdbServer(quint16 nPort) : m_nPort(nPort)
{
}

quint16 AdbServer::PortFromEnvironment()
{
    bool bOk = false;
    const int nPort = qEnvironmentVariableIntValue("ANDROID_ADB_SERVER_PORT", &bOk);
    return bOk && nPort > 0 && nPort < 65536 ? quint16(nPort) : kDefaultPort;
}

std::unique_ptr<AdbSocket> AdbServer::ConnectSocket(QString *pError, int nStallSeconds)
{
    auto pSocket = std::make_unique<AdbSocket>();
    const quint64 nAborts = m_nAborts.load();
    pSocket->SetGuard(
            [this, nAborts]() { return m_nAborts.load() != nAborts || (m_fnHalted && m_fnHalted()); },
            m_fnStalled);
    if (!pSocket->Connect(m_nPort, pError, nStallSeconds))
        return nullptr;
    return pSocket;
}

void AdbServer::SetGuard(std::function<bool()> fnHalted, std::function<void()> fnStalled)
{
    m_fnHalted = std::move(fnHalted);
    m_fnStalled = std::move(fnStalled);
}

void AdbServer::AbortOpen()
{
    ++m_nAborts;
}

bool AdbServer::IsRunning()
{
    return Probe(nullptr) == Answers;
}

AdbServer::State AdbServer::Probe(QString *pError)
{
    std::unique_ptr<AdbSocket> pSocket = ConnectSocket(pError, kHostAnswerSeconds);
    if (!pSocket)
        return NoServer;
    QByteArray baVersion;
    if (pSocket->Request("host:version", pError) && pSocket->ReadHexBlock(baVersion))
        return Answers;
    if (pError) {
        *pError = QStringLiteral("a program on port %1 accepted the connection but did not answer as an adb server "
                                 "within %2 s (another program may use the port; ANDROID_ADB_SERVER_PORT chooses another)")
                      .arg(m_nPort)
                      .arg(kHostAnswerSeconds);
    }
    return Silent;
}

bool AdbServer::EnsureRunning(QString *pError)
{
    // A silent program on the port is not replaced by starting adb, which
    // would wait for it too.
    const State state = Probe(pError);
    if (state != NoServer)
        return state == Answers;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("adb"), {QStringLiteral("-P"), QString::number(m_nPort), QStringLiteral("start-server")});
    if (!process.waitForStarted()) {
        if (pError)
            *pError = QStringLiteral("the adb program is not installed (apt-get install adb)");
        return false;
    }
    if (!process.waitForFinished(kStartTimeoutMs) || process.exitCode() != 0 || !IsRunning()) {
        if (pError) {
            *pError = QStringLiteral("the adb server did not start on port %1: %2")
                          .arg(m_nPort)
                          .arg(QString::fromLocal8Bit(process.readAll()).trimmed());
        }
        process.kill();
        process.waitForFinished();
        return false;
    }
    return true;
}

bool AdbServer::Query(const QByteArray &baService, QByteArray &baAnswer, QString *pError)
{
    std::unique_ptr<AdbSocket> pSocket = ConnectSocket(pError, kHostAnswerSeconds);
    if (!pSocket || !pSocket->Request(baService, pError))
        return false;
    if (!pSocket->ReadHexBlock(baAnswer)) {
        if (pError)
            *pError = QStringLiteral("the adb server's answer was cut short");
        return false;
    }
    return true;
}

std::unique_ptr<AdbSocket> AdbServer::OpenService(const QString &strSerial, const QByteArray &baService,
                                                  QString *pError)
{
    std::unique_ptr<AdbSocket> pSocket = ConnectSocket(pError);
    if (!pSocket)
        return nullptr;
    if (!pSocket->Request("host:transport:" + strSerial.toUtf8(), pError) || !pSocket->Request(baService, pError))
        return nullptr;
    return pSocket;
}

bool AdbServer::Shell(const QString &strSerial, const QString &strCommand, QByteArray &baOutput, QString *pError)
{
    baOutput.clear();
    std::unique_ptr<AdbSocket> pSocket = OpenService(strSerial, "shell:" + strCommand.toUtf8(), pError);
    if (!pSocket)
        return false;
    if (!pSocket->ReadToEnd(baOutput)) {
        if (pError)
            *pError = QStringLiteral("the phone stopped answering");
        return false;
    }
    return true;
}

int AdbServer::Devices(QList<AdbParsers::Device> &listDevices, QString *pError)
{
    listDevices.clear();
    if (!EnsureRunning(pError))
        return DVSK_DEV_ERR_NO_SERVER;
    QByteArray baDevices;
    if (!Query("host:devices-l", baDevices, pError))
        return DVSK_DEV_ERR_NO_PHONE;
    listDevices = AdbParsers::Devices(baDevices);
    return 0;
}

int AdbServer::ConnectWifi(const QString &strHostPort, QString *pAnswer)
{
    static const QRegularExpression reHostPort(QStringLiteral("^([^:\\s/]+|\\[[0-9a-fA-F:.]+\\]):(\\d{1,5})$"));
    const QRegularExpressionMatch match = reHostPort.match(strHostPort.trimmed());
    if (!match.hasMatch() || match.captured(2).toInt() < 1 || match.captured(2).toInt() > 65535) {
        if (pAnswer)
            *pAnswer = QStringLiteral("\"%1\" is not HOST:PORT (for example 192.168.1.20:37123)").arg(strHostPort);
        return DVSK_DEV_ERR_BAD_ARGUMENT;
    }
    QString strError;
    if (!EnsureRunning(&strError)) {
        if (pAnswer)
            *pAnswer = strError;
        return DVSK_DEV_ERR_NO_SERVER;
    }
    QByteArray baAnswer;
    if (!Query("host:connect:" + strHostPort.trimmed().toUtf8(), baAnswer, &strError)) {
        if (pAnswer)
            *pAnswer = strError;
        return DVSK_DEV_ERR_NO_PHONE;
    }
    const QString strAnswer = QString::fromUtf8(baAnswer).trimmed();
    if (pAnswer)
        *pAnswer = strAnswer;
    // "connected to H:P" or "already connected to H:P"; "failed to connect
    // to", "failed to authenticate to" and "cannot connect to" otherwise.
    const bool bConnected = strAnswer.startsWith(QLatin1String("connected to "))
            || strAnswer.startsWith(QLatin1String("already connected to "));
    return bConnected ? 0 : DVSK_DEV_ERR_NO_PHONE;
}
