#include "AdbRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

quint16 AdbRig::FreePort()
{
    const int nFd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t nLength = sizeof(address);
    quint16 nPort = 0;
    if (::bind(nFd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0
        && ::getsockname(nFd, reinterpret_cast<sockaddr *>(&address), &nLength) == 0)
        nPort = ntohs(address.sin_port);
    ::close(nFd);
    return nPort;
}

AdbRig::AdbRig(const QString &strWork, const QString &strSimulator)
    : m_strWork(strWork), m_strSimulator(strSimulator)
{
    QDir().mkpath(strWork + "/home");
    m_nPort = FreePort();
    m_listEnv = {"HOME=" + strWork + "/home", "ANDROID_ADB_SERVER_PORT=" + QString::number(m_nPort),
                 // no emulator-port or mDNS scan: only the simulator is a phone
                 "ADB_EMU=0", "ADB_MDNS=0"};
}

AdbRig::~AdbRig()
{
    Adb({"kill-server"});
    StopSimulator();
}

int AdbRig::Adb(const QStringList &listArgs, QString *pOutput)
{
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("adb", QStringList {"-P", QString::number(m_nPort)} + listArgs);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (pOutput)
        *pOutput = QString::fromUtf8(process.readAll());
    return process.exitCode();
}

QString AdbRig::StartSimulator(const QString &strPhone, qint64 nRate, int nLatencyMs)
{
    StopSimulator();
    if (Adb({"start-server"}) != 0)
        return QString();
    m_pSimulator = new QProcess;
    m_pSimulator->setStandardErrorFile(m_strWork + "/simulator.log", QIODevice::Append);
    m_pSimulator->start(m_strSimulator,
                        {"--phone", strPhone, "--port", "0", "--rate", QString::number(nRate), "--latency",
                         QString::number(nLatencyMs)});
    if (!m_pSimulator->waitForStarted())
        return QString();
    const QRegularExpression re(QStringLiteral("serving .* on (127\\.0\\.0\\.1:\\d+)\n"));
    QByteArray baOut;
    QRegularExpressionMatch match;
    while (!(match = re.match(QString::fromUtf8(baOut))).hasMatch()) {
        if (!m_pSimulator->waitForReadyRead(20000))
            return QString();
        baOut += m_pSimulator->readAllStandardOutput();
    }
    const QString strSerial = match.captured(1);
    Adb({"connect", strSerial});
    QElapsedTimer timer;
    timer.start();
    QString strState;
    while (Adb({"-s", strSerial, "get-state"}, &strState) != 0 || strState.trimmed() != "device") {
        if (timer.hasExpired(20000))
            return QString();
        QThread::msleep(50);
    }
    m_strSerial = strSerial;
    return strSerial;
}

void AdbRig::StopSimulator()
{
    if (!m_pSimulator)
        return;
    Adb({"disconnect", m_strSerial});
    m_pSimulator->write("quit\n");
    if (!m_pSimulator->waitForFinished(10000))
        m_pSimulator->kill();
    m_pSimulator->waitForFinished();
    delete m_pSimulator;
    m_pSimulator = nullptr;
}

double AdbRig::SimulatorCpuSeconds() const
{
    if (!m_pSimulator || m_pSimulator->processId() <= 0)
        return -1;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pSimulator->processId()));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command's name in parentheses: utime and stime
    // are the 12th and 13th of them, in clock ticks.
    const QByteArray baStat = stat.readAll();
    const QList<QByteArray> listFields = baStat.mid(baStat.lastIndexOf(')') + 2).split(' ');
    if (listFields.size() < 13)
        return -1;
    return double(listFields.at(11).toLongLong() + listFields.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

QProcessEnvironment AdbRig::Environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &strEntry : m_listEnv)
        env.insert(strEntry.section('=', 0, 0), strEntry.section('=', 1));
    env.remove("ANDROID_SERIAL");
    return env;
}
