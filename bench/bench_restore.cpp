// backuptool restore against the adb command-line client, both writing to
// the same device simulator through the same adb server.
//
//   bench_restore [--scale F] [--dir FOLDER] [--rate MBPS] [--latency MS] [--cases 1,2,3]
//
// Each phone is backed up with the simulated SDK first. Then empty phones
// are served with adb-phone-sim to a private adb server (a free port, never
// 5037) and, each in a process of its own, "adb push" of the phone's own
// folders onto one empty phone (the baseline: the real client) is timed
// against "backuptool restore BACKUP --device adb:SERIAL --items media"
// onto another. Prints, with the load average before and after:
// 1. no latency: the phone of bench_backup_e2e (at scale 1: 2,000 images of
//    200 KB, 20 videos of 20 MB): backuptool / adb push and backuptool's
//    peak memory (goal < 64 MiB), then a second restore onto the phone that
//    already holds everything against the first (goal <= 0.10);
// 2. a cable's latency (MS each way, default 1): 2,000 images of 100 KB:
//    backuptool / adb push (goal <= 0.5);
// 3. a link of MBPS megabytes per second (default 35) with that latency:
//    20 videos of 20 MB against bytes / rate (goal <= 1.05), and adb push.
// --cases runs only the cases named; DVSK_ADB_STREAMS in the environment
// reaches backuptool (the number of sync connections for small files).

#include "AdbBenchSettings.h"
#include "AdbRig.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
using Figures = BenchSupport::ChildFigures;

// One case: a phone, its backup and how the link is limited.
struct Case
{
    BenchSupport::Phone phone;
    QString strPackage;
    qint64 nRate = 0;
    int nLatencyMs = 0;
};

bool MakeEmptyPhone(const QString &strDir)
{
    QDir(strDir).removeRecursively();
    QDir().mkpath(strDir);
    QFile ini(strDir + "/phone.ini");
    return ini.open(QIODevice::WriteOnly)
           && ini.write("[device]\nname=Empty Phone\nfirmware=BENCH V100R001C10B100\nimei=350000000000010\n") > 0;
}

// Files and bytes under a folder.
QPair<int, qint64> Contents(const QString &strDir)
{
    QPair<int, qint64> contents{0, 0};
    QDirIterator it(strDir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        ++contents.first;
        contents.second += QFileInfo(it.next()).size();
    }
    return contents;
}

QString Backup(const QString &strTool, const QString &strPhone, const QString &strWork)
{
    const QString strDest = strWork + "/backup-" + QFileInfo(strPhone).fileName();
    const Figures figures = BenchSupport::RunChild({strTool, "run", "--device", "sim", "--phone", strPhone, "--items",
                                                    "media", "--dest", strDest, "--full"},
                                                   BenchSupport::ToolIo(strWork));
    const QStringList listPackages = QDir(strDest).entryList({"backup_*.zip"}, QDir::Files);
    return figures.bOk && listPackages.size() == 1 ? QDir(strDest).filePath(listPackages.first()) : QString();
}

Figures RunRestore(const AdbBenchSettings &settings, const QString &strPackage, const QString &strSerial, const AdbRig &rig)
{
    BenchSupport::ChildIo io = BenchSupport::ToolIo(settings.strWork);
    io.listEnv = rig.Env() + io.listEnv;
    return BenchSupport::RunChild(
        {settings.strTool, "restore", strPackage, "--device", "adb:" + strSerial, "--items", "media"}, io);
}

// "adb push" of the phone's top folders of shared storage.
Figures RunPush(const QString &strPhone, const QString &strSerial, const AdbRig &rig)
{
    BenchSupport::ChildIo io;
    io.errorStream = BenchSupport::ErrorStream::Discard;
    io.listEnv = rig.Env();
    QStringList listArgs {"adb", "-P", QString::number(rig.Port()), "-s", strSerial, "push"};
    const QDir shared(strPhone + "/fs/sdcard");
    for (const QString &strFolder : shared.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        listArgs << shared.filePath(strFolder);
    return BenchSupport::RunChild(listArgs << "/sdcard/", io);
}

void PrintContents(const char *szWhat, const QString &strDir)
{
    const QPair<int, qint64> contents = Contents(strDir);
    std::printf("  %s: %d files, %.0f MB\n", szWhat, contents.first, double(contents.second) / 1e6);
}

void PrintToolLog(const QString &strWork)
{
    QFile log(strWork + "/run.log");
    if (!log.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &baLine : log.readAll().split('\n')) {
        if (baLine.startsWith("images") || baLine.startsWith("videos") || baLine.startsWith("Result"))
            std::printf("  backuptool: %s\n", baLine.constData());
    }
}

// adb push onto one empty phone, backuptool restore onto another; with
// bAgain a second restore onto the phone that holds everything.
bool Compare(const AdbBenchSettings &settings, AdbRig &rig, const Case &test, const char *szGoal, bool bAgain)
{
    const QString strPushed = settings.strWork + "/pushed";
    const QString strRestored = settings.strWork + "/restored";
    if (!MakeEmptyPhone(strPushed) || !MakeEmptyPhone(strRestored))
        return false;
    QString strSerial = rig.StartSimulator(strPushed, test.nRate, test.nLatencyMs);
    const Figures push = strSerial.isEmpty() ? Figures() : RunPush(test.phone.strDir, strSerial, rig);
    const double dPushCpu = rig.SimulatorCpuSeconds();
    strSerial = rig.StartSimulator(strRestored, test.nRate, test.nLatencyMs);
    const Figures first = strSerial.isEmpty() ? Figures() : RunRestore(settings, test.strPackage, strSerial, rig);
    const double dRestoreCpu = rig.SimulatorCpuSeconds();
    PrintToolLog(settings.strWork);
    const Figures second = bAgain && !strSerial.isEmpty() ? RunRestore(settings, test.strPackage, strSerial, rig)
                                                          : Figures();
    rig.StopSimulator();
    BenchSupport::PrintFigures("adb push (real client)", push, 36);
    BenchSupport::PrintFigures("backuptool restore --items media", first, 36);
    std::printf("  ratio backuptool / adb push: %.2f (goal %s)\n", first.dSeconds / qMax(push.dSeconds, 1e-9), szGoal);
    std::printf("  peak memory of backuptool: %.1f MiB (goal < 64)\n", first.dPeakMiB);
    // Near the wall time, the simulator (one thread) was the bottleneck.
    std::printf("  the simulator's processor time: %.2f s during adb push, %.2f s during the restore\n", dPushCpu,
                dRestoreCpu);
    if (test.nRate > 0) {
        const double dIdeal = double(test.phone.nMediaBytes) / double(test.nRate);
        std::printf("  %.0f MB take at least %.2f s; ratio backuptool / (bytes / rate): %.3f (goal <= 1.05)\n",
                    double(test.phone.nMediaBytes) / 1e6, dIdeal, first.dSeconds / dIdeal);
    }
    if (bAgain) {
        BenchSupport::PrintFigures("restore again, all on the phone", second, 36);
        std::printf("  ratio second / first: %.3f (goal <= 0.10)\n", second.dSeconds / qMax(first.dSeconds, 1e-9));
    }
    PrintContents("pushed phone", strPushed + "/fs");
    PrintContents("restored phone", strRestored + "/fs");
    QDir(strPushed).removeRecursively();
    QDir(strRestored).removeRecursively();
    return push.bOk && first.bOk && (!bAgain || second.bOk);
}

bool MakeCase(const AdbBenchSettings &settings, const QString &strName, int nCase, Case &test)
{
    const QString strDir = settings.strWork + "/" + strName;
    const double dScale = settings.dScale;
    bool bMade = false;
    if (nCase == 1)
        bMade = BenchSupport::MakePhone(strDir, dScale, 1 << 20, test.phone);
    else if (nCase == 2)
        bMade = BenchSupport::MakeMediaPhone(strDir, "DCIM/Camera", 1, qMax(1, int(2000 * dScale)), 100 * 1000,
                                             false, test.phone);
    else
        bMade = BenchSupport::MakeMediaPhone(strDir, "Movies", 1, qMax(1, int(20 * dScale)), 20LL * 1024 * 1024,
                                             true, test.phone);
    test.strPackage = bMade ? Backup(settings.strTool, strDir, settings.strWork) : QString();
    test.nLatencyMs = nCase == 1 ? 0 : settings.nLatencyMs;
    test.nRate = nCase == 3 ? settings.nRate : 0;
    if (test.strPackage.isEmpty())
        std::printf("  the phone or its backup could not be made: FAILED\n");
    return !test.strPackage.isEmpty();
}

bool RunCases(const AdbBenchSettings &settings, AdbRig &rig)
{
    bool bOk = true;
    Case test;
    if (settings.listCases.contains("1") && MakeCase(settings, "phone", 1, test)) {
        std::printf("1. no latency: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media)\n",
                    test.phone.nImages, test.phone.nVideos, double(test.phone.nMediaBytes) / 1e6);
        bOk = Compare(settings, rig, test, "<= 1.0", true) && bOk;
    }
    if (settings.listCases.contains("2") && MakeCase(settings, "small", 2, test)) {
        std::printf("\n2. latency %d ms each way: %d images of 100 KB\n", test.nLatencyMs, test.phone.nImages);
        bOk = Compare(settings, rig, test, "<= 0.5", false) && bOk;
    }
    if (settings.listCases.contains("3") && MakeCase(settings, "videos", 3, test)) {
        std::printf("\n3. link limited to %.1f MB/s, latency %d ms: %d videos of 20 MB\n", double(test.nRate) / 1e6,
                    test.nLatencyMs, test.phone.nVideos);
        bOk = Compare(settings, rig, test, "about 1", false) && bOk;
    }
    return bOk;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AdbBenchSettings settings;
    if (const int nStatus = settings.Read(app.arguments(), "bench_restore", "1,2,3"))
        return nStatus;
    QTemporaryDir tmp(BenchSupport::WorkFolderTemplate(settings.strDir, "bench_restore"));
    settings.strWork = tmp.path();
    if (!tmp.isValid()) {
        std::fprintf(stderr, "bench_restore: no work folder\n");
        return 1;
    }
    AdbBenchSettings::PrintHeading("bench_restore", "backuptool restore --device adb against adb push");
    AdbRig rig(tmp.path(), settings.strSimulator);
    const bool bOk = RunCases(settings, rig);
    std::printf("\nload average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
