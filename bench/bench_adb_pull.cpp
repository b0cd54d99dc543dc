// The real-phone back end against the adb command-line client, both talking to
// the same device simulator through the same adb server.
//
//   bench_adb_pull [--scale F] [--dir FOLDER] [--rate MBPS] [--latency MS] [--cases 1,2,3,4,5]
//
// Each run is a process of its own; "adb pull" of the same folders is the
// baseline (the real client). Prints, with the load average before and after:
// 1. no latency: the phone of bench_backup_e2e (at scale 1: 2,000 images of
//    200 KB, 20 videos of 20 MB): backuptool / adb pull (goal <= 0.68) and
//    backuptool's peak memory (goal < 64 MiB);
// 2. a cable's latency (MS each way, default 1): 2,000 images of 100 KB:
//    backuptool / adb pull (goal <= 0.5);
// 3. a link of MBPS megabytes per second (default 35, a USB 2 phone) with
//    that latency: 20 videos of 20 MB, then the 2,000 images of 100 KB,
//    each against bytes / rate (goal <= 1.05);
//    the first phone at that rate, and a repeat backup of it into the same
//    destination against the first (goal <= 0.10);
// 4. flat memory: 20,000 files in one folder and 2,000 folders of 10 files,
//    each against a tenth of it (peak memory ratio close to 1), and what
//    each file beyond the tenth added to the peak;
// 5. a folder too long for a sync request (its files are read through the
//    phone's shell), with that latency: 500 images of 100 KB there against
//    the same in a normal folder, read several at once (goal: close to 1)
//    and one at a time (DVSK_ADB_STREAMS=1, as before they were fetched ahead);
//    then 40 photos of 2 MB (read one at a time either way) at MBPS, and
//    200 folders of 5 images of 10 KB (the long ones listed several at once).
// --cases runs only the cases named; DVSK_ADB_STREAMS in the environment
// reaches backuptool (the number of sync connections for small files).

#include "AdbBenchSettings.h"
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
                bool bRepeat = false, bool bKeep = false, const QStringList &listEnv = {})
{
    const QString strBackup = strWork + "/backup";
    if (!bRepeat)
        QDir(strBackup).removeRecursively();
    BenchSupport::ChildIo io = BenchSupport::ToolIo(strWork);
    io.listEnv = rig.Env() + io.listEnv + listEnv;
    const Figures figures = BenchSupport::RunChild(
        {strTool, "run", "--device", "adb:" + strSerial, "--items", "media", "--dest", strBackup}, io);
    if (!bKeep)
        QDir(strBackup).removeRecursively();
    return figures;
}

Figures RunPull(const QString &strSerial, const QString &strWork, const AdbRig &rig, const QStringList &listFolders)
{
    const QString strPull = strWork + "/pull";
    QDir(strPull).removeRecursively();
    QDir().mkpath(strPull);
    BenchSupport::ChildIo io;
    io.errorStream = BenchSupport::ErrorStream::Discard;
    io.listEnv = rig.Env();
    const QStringList listArgs = QStringList {"adb", "-P", QString::number(rig.Port()), "-s", strSerial, "pull"}
                                 + listFolders + QStringList {strPull};
    const Figures figures = BenchSupport::RunChild(listArgs, io);
    QDir(strPull).removeRecursively();
    return figures;
}

// backuptool against adb pull of listFolders on one simulator.
bool ComparePull(const AdbBenchSettings &settings, AdbRig &rig, const QString &strPhone, int nLatencyMs,
                 const QStringList &listFolders, const char *szGoal)
{
    const QString strSerial = rig.StartSimulator(strPhone, 0, nLatencyMs);
    if (strSerial.isEmpty()) {
        std::printf("  the simulator did not become a device: FAILED\n");
        return false;
    }
    const Figures pull = RunPull(strSerial, settings.strWork, rig, listFolders);
    const Figures tool = RunTool(settings.strTool, strSerial, settings.strWork, rig);
    BenchSupport::PrintFigures("adb pull (real client)", pull, 34);
    BenchSupport::PrintFigures("backuptool run --items media", tool, 34);
    std::printf("  ratio backuptool / adb pull: %.2f (goal %s)\n", tool.dSeconds / qMax(pull.dSeconds, 1e-9), szGoal);
    std::printf("  peak memory of backuptool: %.1f MiB (goal < 64)\n", tool.dPeakMiB);
    return pull.bOk && tool.bOk;
}

bool CompareRate(const AdbBenchSettings &settings, AdbRig &rig, const BenchSupport::Phone &phone, int nLatencyMs,
                 bool bRepeat)
{
    const QString strSerial = rig.StartSimulator(phone.strDir, settings.nRate, nLatencyMs);
    if (strSerial.isEmpty()) {
        std::printf("  the rate-limited simulator did not become a device: FAILED\n");
        return false;
    }
    const Figures slow = RunTool(settings.strTool, strSerial, settings.strWork, rig, false, bRepeat);
    const double dIdeal = double(phone.nMediaBytes) / double(settings.nRate);
    std::printf("  %.0f MB take at least %.2f s\n", double(phone.nMediaBytes) / 1e6, dIdeal);
    BenchSupport::PrintFigures("backuptool run --items media", slow, 34);
    std::printf("  ratio backuptool / (bytes / rate): %.3f (goal <= 1.05)\n", slow.dSeconds / dIdeal);
    std::printf("  peak memory of backuptool: %.1f MiB (goal < 64)\n", slow.dPeakMiB);
    if (!bRepeat)
        return slow.bOk;
    // The same phone again into the same destination: unchanged files are
    // taken from the first backup, not over the link.
    const Figures repeat = RunTool(settings.strTool, strSerial, settings.strWork, rig, true, false);
    BenchSupport::PrintFigures("repeat backup, nothing changed", repeat, 34);
    std::printf("  ratio repeat / first: %.3f (goal <= 0.10)\n", repeat.dSeconds / qMax(slow.dSeconds, 1e-9));
    QFile log(settings.strWork + "/run.log");
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &baLine : log.readAll().split('\n')) {
            if (baLine.startsWith("Files:"))
                std::printf("  backuptool: %s\n", baLine.constData());
        }
    }
    return slow.bOk && repeat.bOk;
}

// Peak memory of a backup of nFolders x nFiles small files against a tenth of them.
bool CompareMemory(const AdbBenchSettings &settings, AdbRig &rig, const char *szTitle, int nFolders, int nFiles)
{
    double adPeak[2] = {0, 0};
    int anFiles[2] = {0, 0};
    bool bOk = true;
    for (int i = 0; i < 2; ++i) {
        const int nThisFolders = nFolders > 1 && i == 0 ? qMax(1, nFolders / 10) : nFolders;
        const int nThisFiles = nFolders == 1 && i == 0 ? qMax(1, nFiles / 10) : nFiles;
        const QString strPhone = settings.strWork + QStringLiteral("/flat%1").arg(i);
        BenchSupport::Phone phone;
        if (!BenchSupport::MakeMediaPhone(strPhone, "DCIM/Flat", nThisFolders, nThisFiles, 4096, false, phone))
            return false;
        const QString strSerial = rig.StartSimulator(strPhone, 0, 0);
        const Figures tool = strSerial.isEmpty() ? Figures() : RunTool(settings.strTool, strSerial, settings.strWork, rig);
        QDir(strPhone).removeRecursively();
        const QString strTitle = QStringLiteral("%1 folder(s) of %2 files").arg(nThisFolders).arg(nThisFiles);
        BenchSupport::PrintFigures(qPrintable(strTitle), tool, 34);
        adPeak[i] = tool.dPeakMiB;
        anFiles[i] = nThisFolders * nThisFiles;
        bOk = bOk && tool.bOk;
    }
    std::printf("  %s: peak memory ratio full / tenth: %.2f (flat: close to 1; goal < 64 MiB)\n", szTitle,
                adPeak[1] / qMax(adPeak[0], 1e-9));
    // What each file beyond the tenth added to the peak.
    std::printf("  %s: peak memory per file: %.0f bytes\n", szTitle,
                (adPeak[1] - adPeak[0]) * 1024 * 1024 / qMax(1, anFiles[1] - anFiles[0]));
    return bOk;
}

// A folder path longer than a sync request takes, below /sdcard.
QString LongFolderPath()
{
    QString strLong = QStringLiteral("DCIM/Long");
    for (int i = 0; i < 5; ++i)
        strLong += QLatin1Char('/') + QString(220, QChar('a' + i));
    return strLong;
}

// nFiles images of nBytes in a normal folder and in a long one, at nRate
// bytes per second (0 unlimited): the run times, the long folder's also
// with one file at a time when bOneAtATime.
bool CompareFolders(const AdbBenchSettings &settings, AdbRig &rig, int nLatencyMs, qint64 nRate, int nFolders,
                    int nFiles, qint64 nBytes, bool bOneAtATime)
{
    BenchSupport::Phone normal;
    BenchSupport::Phone deep;
    if (!BenchSupport::MakeMediaPhone(settings.strWork + "/normal", "DCIM/Camera", nFolders, nFiles, nBytes, false,
                                      normal)
        || !BenchSupport::MakeMediaPhone(settings.strWork + "/deep", LongFolderPath(), nFolders, nFiles, nBytes, false,
                                         deep))
        return false;
    const QString strNormal = rig.StartSimulator(normal.strDir, nRate, nLatencyMs);
    const Figures figNormal = RunTool(settings.strTool, strNormal, settings.strWork, rig);
    const QString strDeep = rig.StartSimulator(deep.strDir, nRate, nLatencyMs);
    Figures figOne;
    if (bOneAtATime)
        figOne = RunTool(settings.strTool, strDeep, settings.strWork, rig, false, false, {"DVSK_ADB_STREAMS=1"});
    const Figures figAhead = RunTool(settings.strTool, strDeep, settings.strWork, rig);
    BenchSupport::PrintFigures("normal folder", figNormal, 34);
    if (bOneAtATime)
        BenchSupport::PrintFigures("long folder, one file at a time", figOne, 34);
    BenchSupport::PrintFigures("long folder", figAhead, 34);
    const double dNormal = qMax(figNormal.dSeconds, 1e-9);
    if (bOneAtATime)
        std::printf("  ratio long / normal folder, one file at a time: %.2f\n", figOne.dSeconds / dNormal);
    std::printf("  ratio long / normal folder: %.2f (goal: close to 1)\n", figAhead.dSeconds / dNormal);
    QDir(normal.strDir).removeRecursively();
    QDir(deep.strDir).removeRecursively();
    return figNormal.bOk && (!bOneAtATime || figOne.bOk) && figAhead.bOk;
}

bool CompareLongFolder(const AdbBenchSettings &settings, AdbRig &rig, int nLatencyMs)
{
    const int nSmall = qMax(10, int(500 * settings.dScale));
    std::printf("\n5. latency %d ms each way: %d images of 100 KB in a folder of %d bytes\n", nLatencyMs, nSmall,
                int(QByteArray("/sdcard/" + LongFolderPath().toUtf8()).size()));
    bool bOk = CompareFolders(settings, rig, nLatencyMs, 0, 1, nSmall, 100 * 1000, true);
    const int nLarge = qMax(4, int(40 * settings.dScale));
    std::printf("   %d photos of 2 MB at %.1f MB/s, latency %d ms\n", nLarge, double(settings.nRate) / 1e6, nLatencyMs);
    bOk = CompareFolders(settings, rig, nLatencyMs, settings.nRate, 1, nLarge, 2 * 1000 * 1000, false) && bOk;
    const int nFolders = qMax(4, int(200 * settings.dScale));
    std::printf("   %d long folders of 5 images of 10 KB, latency %d ms\n", nFolders, nLatencyMs);
    bOk = CompareFolders(settings, rig, nLatencyMs, 0, nFolders, 5, 10 * 1000, false) && bOk;
    return bOk;
}

struct Phones
{
    BenchSupport::Phone mixed;  // the phone of bench_backup_e2e
    BenchSupport::Phone small;  // 2,000 images of 100 KB
    BenchSupport::Phone videos; // 20 videos of 20 MB
};

bool MakePhones(const QString &strWork, double dScale, Phones &phones)
{
    return BenchSupport::MakePhone(strWork + "/phone", dScale, 1 << 20, phones.mixed)
           && BenchSupport::MakeMediaPhone(strWork + "/small", "DCIM/Camera", 1, qMax(1, int(2000 * dScale)),
                                           100 * 1000, false, phones.small)
           && BenchSupport::MakeMediaPhone(strWork + "/videos", "Movies", 1, qMax(1, int(20 * dScale)),
                                           20LL * 1024 * 1024, true, phones.videos);
}

bool RunCases(const AdbBenchSettings &settings, AdbRig &rig, const Phones &phones)
{
    const int nLatencyMs = settings.nLatencyMs;
    const double dRateMBps = double(settings.nRate) / 1e6;
    bool bOk = true;
    if (settings.listCases.contains("1")) {
        std::printf("1. no latency: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media)\n",
                    phones.mixed.nImages, phones.mixed.nVideos, double(phones.mixed.nMediaBytes) / 1e6);
        bOk = ComparePull(settings, rig, phones.mixed.strDir, 0, {"/sdcard/DCIM", "/sdcard/Movies"}, "<= 0.68") && bOk;
    }
    if (settings.listCases.contains("2")) {
        std::printf("\n2. latency %d ms each way: %d images of 100 KB\n", nLatencyMs, phones.small.nImages);
        bOk = ComparePull(settings, rig, phones.small.strDir, nLatencyMs, {"/sdcard/DCIM"}, "<= 0.5") && bOk;
    }
    if (settings.listCases.contains("3")) {
        std::printf("\n3. link limited to %.1f MB/s, latency %d ms: %d videos of 20 MB\n", dRateMBps, nLatencyMs,
                    phones.videos.nVideos);
        bOk = CompareRate(settings, rig, phones.videos, nLatencyMs, false) && bOk;
        std::printf("   %d images of 100 KB at %.1f MB/s, latency %d ms\n", phones.small.nImages, dRateMBps,
                    nLatencyMs);
        bOk = CompareRate(settings, rig, phones.small, nLatencyMs, false) && bOk;
        std::printf("   the first phone at %.1f MB/s, no latency, then a repeat backup\n", dRateMBps);
        bOk = CompareRate(settings, rig, phones.mixed, 0, true) && bOk;
    }
    if (settings.listCases.contains("4")) {
        std::printf("\n4. flat memory, files of 4 KB, no latency\n");
        bOk = CompareMemory(settings, rig, "one folder", 1, qMax(10, int(20000 * settings.dScale))) && bOk;
        bOk = CompareMemory(settings, rig, "many folders", qMax(10, int(2000 * settings.dScale)), 10) && bOk;
    }
    if (settings.listCases.contains("5"))
        bOk = CompareLongFolder(settings, rig, nLatencyMs) && bOk;
    return bOk;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AdbBenchSettings settings;
    if (const int nStatus = settings.Read(app.arguments(), "bench_adb_pull", "1,2,3,4,5"))
        return nStatus;
    QTemporaryDir tmp(BenchSupport::WorkFolderTemplate(settings.strDir, "bench_adb_pull"));
    settings.strWork = tmp.path();
    Phones phones;
    // Case 5 makes phones of its own.
    const bool bSharedPhones = settings.listCases != QStringList {QStringLiteral("5")};
    if (!tmp.isValid() || (bSharedPhones && !MakePhones(tmp.path(), settings.dScale, phones))) {
        std::fprintf(stderr, "bench_adb_pull: cannot write the phones in a work folder\n");
        return 1;
    }
    AdbBenchSettings::PrintHeading("bench_adb_pull", "backuptool run --device adb against adb pull");
    AdbRig rig(tmp.path(), settings.strSimulator);
    const bool bOk = RunCases(settings, rig, phones);
    rig.StopSimulator();
    std::printf("\nload average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
