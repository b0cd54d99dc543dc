// The real-phone back end against the adb command-line client, both talking to
// the same device simulator through the same adb server.
//
//   bench_adb_pull [--scale F] [--dir FOLDER] [--rate MBPS]
//
// Generates the phone of bench_backup_e2e (at scale 1: 2,000 images of
// 200 KB, 20 videos of 20 MB), serves it with adb-phone-sim to a private adb
// server (a free port, never 5037), then times, each in a process of its own:
// "adb pull /sdcard/DCIM /sdcard/Movies" (the baseline: the real client) and
// "backuptool run --device adb:SERIAL --items media" of the same files.
// Prints both wall times, their ratio (goal <= 1.0) and backuptool's peak
// memory (goal < 64 MiB). Then serves the phone over a link limited to MBPS
// megabytes per second (default 35, a USB 2 phone) and compares backuptool's
// wall time with bytes / rate (goal: within 5 %), then times a repeat backup
// of the unchanged phone into the same destination against that first one
// (goal <= 10 %).

#include "AdbRig.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace
{
using Figures = BenchSupport::ChildFigures;

Figures RunTool(const QString &strTool, const QString &strSerial, const QString &strWork, const AdbRig &rig,
                bool bRepeat = false, bool bKeep = false)
{
    const QString strBackup = strWork + "/backup";
    if (!bRepeat)
        QDir(strBackup).removeRecursively();
    BenchSupport::ChildIo io = BenchSupport::ToolIo(strWork);
    io.listEnv = rig.Env() + io.listEnv;
    const Figures figures = BenchSupport::RunChild(
        {strTool, "run", "--device", "adb:" + strSerial, "--items", "media", "--dest", strBackup}, io);
    if (!bKeep)
        QDir(strBackup).removeRecursively();
    return figures;
}

Figures RunPull(const QString &strSerial, const QString &strWork, const AdbRig &rig)
{
    const QString strPull = strWork + "/pull";
    QDir(strPull).removeRecursively();
    QDir().mkpath(strPull);
    BenchSupport::ChildIo io;
    io.errorStream = BenchSupport::ErrorStream::Discard;
    io.listEnv = rig.Env();
    const Figures figures = BenchSupport::RunChild(
        {"adb", "-P", QString::number(rig.Port()), "-s", strSerial, "pull", "/sdcard/DCIM", "/sdcard/Movies", strPull},
        io);
    QDir(strPull).removeRecursively();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> hashOptions;
    if (!BenchSupport::ReadOptions(app.arguments(), {"--scale", "--dir", "--rate"},
                                   "bench_adb_pull [--scale F] [--dir FOLDER] [--rate MBPS]", hashOptions))
        return 2;
    const double dScale = hashOptions.value("--scale", "1").toDouble();
    const double dRateMBps = hashOptions.value("--rate", "35").toDouble();
    const QString strDir = hashOptions.value("--dir");
    const QString strBin = BenchSupport::StageBin();
    const QString strTool = strBin + "/backuptool";
    const QString strSimulator = strBin + "/adb-phone-sim";
    if (dScale <= 0.0 || dRateMBps <= 0.0 || !QFileInfo(strTool).isExecutable()
        || !QFileInfo(strSimulator).isExecutable()) {
        std::fprintf(stderr, "bench_adb_pull: bad scale or rate, or no backuptool / adb-phone-sim in %s\n",
                     qPrintable(strBin));
        return 2;
    }
    QTemporaryDir tmp(BenchSupport::WorkFolderTemplate(strDir, "bench_adb_pull"));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "bench_adb_pull: cannot create a work folder\n");
        return 1;
    }
    BenchSupport::Phone phone;
    if (!BenchSupport::MakePhone(tmp.path() + "/phone", dScale, 1 << 20, phone)) {
        std::fprintf(stderr, "bench_adb_pull: cannot write the phone\n");
        return 1;
    }
    std::printf("bench_adb_pull: backuptool run --device adb against adb pull, through the same simulator "
                "(load average %s)\n",
                qPrintable(BenchSupport::LoadAverage()));
    std::printf("phone at scale %.3g: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media)\n\n", dScale,
                phone.nImages, phone.nVideos, double(phone.nMediaBytes) / 1e6);

    AdbRig rig(tmp.path(), strSimulator);
    bool bOk = true;
    QString strSerial = rig.StartSimulator(phone.strDir, 0);
    if (strSerial.isEmpty()) {
        std::fprintf(stderr, "bench_adb_pull: the simulator did not become a device\n");
        return 1;
    }
    const Figures pull = RunPull(strSerial, tmp.path(), rig);
    const Figures tool = RunTool(strTool, strSerial, tmp.path(), rig);
    bOk = pull.bOk && tool.bOk;
    BenchSupport::PrintFigures("adb pull (real client)", pull, 34);
    BenchSupport::PrintFigures("backuptool run --items media", tool, 34);
    std::printf("  ratio backuptool / adb pull: %.2f (goal <= 1.0)\n", tool.dSeconds / qMax(pull.dSeconds, 1e-9));
    std::printf("  peak memory of backuptool: %.1f MiB (goal < 64)\n", tool.dPeakMiB);

    const qint64 nRate = qint64(dRateMBps * 1e6);
    strSerial = rig.StartSimulator(phone.strDir, nRate);
    if (strSerial.isEmpty()) {
        std::fprintf(stderr, "bench_adb_pull: the rate-limited simulator did not become a device\n");
        return 1;
    }
    const Figures slow = RunTool(strTool, strSerial, tmp.path(), rig, false, true);
    bOk = bOk && slow.bOk;
    const double dIdeal = double(phone.nMediaBytes) / double(nRate);
    std::printf("\nlink limited to %.1f MB/s: %.0f MB take at least %.2f s\n", dRateMBps,
                double(phone.nMediaBytes) / 1e6, dIdeal);
    BenchSupport::PrintFigures("backuptool run --items media", slow, 34);
    std::printf("  ratio backuptool / (bytes / rate): %.3f (goal <= 1.05)\n", slow.dSeconds / dIdeal);
    // The same phone again into the same destination: unchanged files are
    // taken from the first backup, not over the link.
    const Figures repeat = RunTool(strTool, strSerial, tmp.path(), rig, true, false);
    bOk = bOk && repeat.bOk;
    BenchSupport::PrintFigures("repeat backup, nothing changed", repeat, 34);
    std::printf("  ratio repeat / first: %.3f (goal <= 0.10)\n", repeat.dSeconds / qMax(slow.dSeconds, 1e-9));
    QFile log(tmp.path() + "/run.log");
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &baLine : log.readAll().split('\n')) {
            if (baLine.startsWith("Files:"))
                std::printf("  backuptool: %s\n", baLine.constData());
        }
    }
    rig.StopSimulator();
    std::printf("load average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
