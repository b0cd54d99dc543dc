#include "AdbTestRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

AdbTestRig::AdbTestRig(const QString &strWorkDir)
    : m_strWorkDir(strWorkDir)
{
}

AdbTestRig::~AdbTestRig()
{
    Stop();
}

QString AdbTestRig::AdbPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("adb"));
}

bool AdbTestRig::ServerAnswers() const
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_nServerPort);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("000chost:version");
    while (socket.bytesAvailable() < 4 && socket.waitForReadyRead(1000)) {
    }
    return socket.read(4) == "OKAY";
}

quint16 AdbTestRig::FreePort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

bool AdbTestRig::Start(QString *pError)
{
    if (AdbPath().isEmpty()) {
        *pError = QStringLiteral("adb is not installed");
        return false;
    }
    const QString strHome = QDir(m_strWorkDir).filePath(QStringLiteral("adb-home"));
    QDir().mkpath(strHome);
    do
        m_nServerPort = FreePort();
    while (m_nServerPort == 5037);
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("HOME"), strHome);
    m_env.insert(QStringLiteral("ANDROID_ADB_SERVER_PORT"), QString::number(m_nServerPort));
    m_env.remove(QStringLiteral("ANDROID_SERIAL"));
    // The server would otherwise take anything listening on the emulator
    // ports 5555-5585 (or announced over mDNS) for a phone, and the tests
    // expect to see only the simulators they start. A server the code under
    // test starts itself inherits this process's environment, so set it here too.
    for (const char *szName : {"ADB_EMU", "ADB_MDNS"}) {
        m_env.insert(QString::fromLatin1(szName), QStringLiteral("0"));
        qputenv(szName, "0");
    }
    m_server.setProcessEnvironment(m_env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.setStandardOutputFile(QDir(m_strWorkDir).filePath(QStringLiteral("adb-server.log")));
    m_server.start(AdbPath(), {QStringLiteral("-P"), QString::number(m_nServerPort), QStringLiteral("nodaemon"), QStringLiteral("server")});
    if (!m_server.waitForStarted()) {
        *pError = QStringLiteral("adb server: ") + m_server.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    // "adb version" answers without a server: ask the server itself, or the
    // code under test could find no server yet and start a second one.
    while (!ServerAnswers()) {
        if (m_server.state() != QProcess::Running || timer.hasExpired(20000)) {
            *pError = QStringLiteral("the adb server on port %1 does not answer").arg(m_nServerPort);
            return false;
        }
        QTest::qWait(20);
    }
    return true;
}

AdbTestRig::Run AdbTestRig::Adb(const QStringList &listArgs, int nTimeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.start(AdbPath(), QStringList{QStringLiteral("-P"), QString::number(m_nServerPort)} + listArgs);
    Run run;
    if (!process.waitForFinished(nTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.strErr = QStringLiteral("adb %1 did not finish").arg(listArgs.join(QLatin1Char(' ')));
        return run;
    }
    run.nStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString AdbTestRig::StartSimulator(const QString &strPhone, const QStringList &listArgs, bool bExpectDevice)
{
    auto pSimulator = std::make_unique<QProcess>();
    pSimulator->setStandardErrorFile(QDir(m_strWorkDir).filePath(QStringLiteral("simulator.log")), QIODevice::Append);
    pSimulator->start(QStringLiteral(BACKUP_STAGE_DIR "/bin/adb-phone-sim"), QStringList{QStringLiteral("--phone"), strPhone} + listArgs);
    if (!pSimulator->waitForStarted())
        return QString();
    const QRegularExpression re(QStringLiteral("serving .* on (127\\.0\\.0\\.1:\\d+)\n"));
    QRegularExpressionMatch match;
    QByteArray baOut;
    while (!(match = re.match(QString::fromUtf8(baOut))).hasMatch()) {
        if (!pSimulator->waitForReadyRead(20000))
            return QString();
        baOut += pSimulator->readAllStandardOutput();
    }
    const QString strSerial = match.captured(1);
    m_mapSimulators[strSerial] = std::move(pSimulator);
    const Run run = Adb({QStringLiteral("connect"), strSerial});
    // An unauthorised phone is connected but refuses the key.
    const QString strExpected = bExpectDevice ? QStringLiteral("connected to ") : QStringLiteral("failed to authenticate to ");
    if (!run.strOut.contains(strExpected + strSerial)) {
        qWarning() << "adb connect:" << run.strOut << run.strErr;
        return QString();
    }
    if (!bExpectDevice)
        return strSerial;
    // The handshake follows the TCP connection: wait until the server calls it a device.
    QElapsedTimer timer;
    timer.start();
    while (Adb({QStringLiteral("-s"), strSerial, QStringLiteral("get-state")}).strOut.trimmed() != QLatin1String("device")) {
        if (timer.hasExpired(20000))
            return QString();
        QTest::qWait(50);
    }
    return strSerial;
}

QString AdbTestRig::SimulatorCommand(const QString &strSerial, const QByteArray &baCommand)
{
    const auto it = m_mapSimulators.find(strSerial);
    if (it == m_mapSimulators.end())
        return QString();
    QProcess *pSimulator = it->second.get();
    pSimulator->readAllStandardOutput();
    pSimulator->write(baCommand + '\n');
    QByteArray baLine;
    while (!baLine.endsWith('\n') && pSimulator->waitForReadyRead(10000))
        baLine += pSimulator->readAllStandardOutput();
    return QString::fromUtf8(baLine).trimmed();
}

bool AdbTestRig::Stop(QString *pProblems)
{
    QStringList listProblems;
    if (m_server.state() != QProcess::NotRunning) {
        Adb({QStringLiteral("kill-server")});
        if (!m_server.waitForFinished(10000))
            m_server.kill();
        m_server.waitForFinished();
    }
    for (auto &entry : m_mapSimulators) {
        QProcess *pSimulator = entry.second.get();
        if (pSimulator->state() != QProcess::NotRunning) {
            pSimulator->write("quit\n");
            if (!pSimulator->waitForFinished(10000)) {
                pSimulator->kill();
                pSimulator->waitForFinished();
                listProblems.append(entry.first + QStringLiteral(": did not quit"));
                continue;
            }
        }
        if (pSimulator->exitStatus() != QProcess::NormalExit || pSimulator->exitCode() != 0)
            listProblems.append(QStringLiteral("%1: ended with status %2 (see simulator.log)").arg(entry.first).arg(pSimulator->exitCode()));
    }
    m_mapSimulators.clear();
    if (pProblems)
        *pProblems = listProblems.join(QLatin1Char('\n'));
    return listProblems.isEmpty();
}
