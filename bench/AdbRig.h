#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A private adb server (on a free port, never 5037, with its own HOME for
// its key) and the device simulator connected to it, for the benchmarks
// that go through adb. Stops both when destroyed.
class AdbRig
{
public:
    AdbRig(const QString &strWork, const QString &strSimulator);
    ~AdbRig();
    AdbRig(const AdbRig &) = delete;
    AdbRig &operator=(const AdbRig &) = delete;

    // NAME=value entries a child needs to reach this server.
    const QStringList &Env() const { return m_listEnv; }
    quint16 Port() const { return m_nPort; }

    // Runs the adb client against this server; its exit status.
    int Adb(const QStringList &listArgs, QString *pOutput = nullptr);
    // Serves strPhone (nRate bytes per second, 0 unlimited; every message
    // delayed by nLatencyMs in each direction); returns its serial.
    QString StartSimulator(const QString &strPhone, qint64 nRate, int nLatencyMs = 0);
    void StopSimulator();
    // Processor seconds the running simulator has used so far (-1: none
    // running); near the wall time of a run, the simulator was the bottleneck.
    double SimulatorCpuSeconds() const;

    // A TCP port of 127.0.0.1 that is free now.
    static quint16 FreePort();

private:
    QProcessEnvironment Environment() const;

    const QString m_strWork;
    const QString m_strSimulator;
    quint16 m_nPort = 0;
    QStringList m_listEnv;
    QProcess *m_pSimulator = nullptr;
    QString m_strSerial;
};
