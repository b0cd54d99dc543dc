#include "AdbServer.h"

#include <QProcess>

namespace
{
const quint16 kDefaultPort = 5037;
const int kStartTimeoutMs = 20000;
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

std::unique_ptr<AdbSocket> AdbServer::ConnectSocket(QString *pError)
{
    auto pSocket = std::make_unique<AdbSocket>();
    if (!pSocket->Connect(m_nPort, pError))
        return nullptr;
    return pSocket;
}

bool AdbServer::IsRunning()
{
    QByteArray baVersion;
    return Query("host:version", baVersion, nullptr);
}

bool AdbServer::EnsureRunning(QString *pError)
{
    if (IsRunning())
        return true;
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
    std::unique_ptr<AdbSocket> pSocket = ConnectSocket(pError);
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
