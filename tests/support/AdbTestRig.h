#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

// The real adb path for tests: a private adb server (on a free port, never
// the default 5037, with its own HOME so the user's key stays untouched) and
// device simulators (adb-phone-sim) connected to it. Logs go to files in the
// work folder.
//
//   AdbTestRig rig(dir.path());
//   if (AdbTestRig::AdbPath().isEmpty()) QSKIP("adb is not installed");
//   QVERIFY2(rig.Start(&strError), qPrintable(strError));
//   const QString strSerial = rig.StartSimulator(phone.Dir());
//   QCOMPARE(rig.Adb({"-s", strSerial, "shell", "echo hi"}).strOut, "hi\n");
class AdbTestRig
{
public:
    struct Run
    {
        int nStatus = -1; // -1: did not finish or crashed
        QString strOut;
        QString strErr;
    };

    explicit AdbTestRig(const QString &strWorkDir);
    ~AdbTestRig();
    AdbTestRig(const AdbTestRig &) = delete;
    AdbTestRig &operator=(const AdbTestRig &) = delete;

    // The adb program, empty when it is not installed.
    static QString AdbPath();
    static quint16 FreePort();
    // Whether the server on ServerPort() answers a request.
    bool ServerAnswers() const;

    // Starts the server and waits until it answers.
    bool Start(QString *pError);
    quint16 ServerPort() const { return m_nServerPort; }
    // The environment for programs that talk to this server (HOME, ANDROID_ADB_SERVER_PORT).
    QProcessEnvironment Environment() const { return m_env; }

    // Runs the adb client against this server.
    Run Adb(const QStringList &listArgs, int nTimeoutMs = 60000) const;

    // Starts a simulator serving strPhone and connects the server to it.
    // Returns its serial ("127.0.0.1:PORT") once the server calls it a device
    // (or, with bExpectDevice false, once connected), empty on failure.
    QString StartSimulator(const QString &strPhone, const QStringList &listArgs = {}, bool bExpectDevice = true);
    // Sends a console command (status, unplug, plug) to a simulator; returns its answer line.
    QString SimulatorCommand(const QString &strSerial, const QByteArray &baCommand);

    // Stops the simulators and the server. False, with the reasons, when a
    // simulator did not end cleanly (a crash or a sanitizer report).
    bool Stop(QString *pProblems = nullptr);

private:
    const QString m_strWorkDir;
    quint16 m_nServerPort = 0;
    QProcessEnvironment m_env;
    QProcess m_server;
    std::map<QString, std::unique_ptr<QProcess>> m_mapSimulators;
};
