// backuptool restore against the adb command-line client, both writing to
// the same device simulator through the same adb server.
//
//   bench_restore [--scale F] [--dir FOLDER]
//
// Generates the phone of bench_backup_e2e (at scale 1: 2,000 images of
// 200 KB, 20 videos of 20 MB) and backs up its media with the simulated
// SDK. Then serves empty phones with adb-phone-sim to a private adb server
// (a free port, never 5037) and times, each in a process of its own:
// "adb push DCIM Movies /sdcard/" of the phone's own folders onto one empty
// phone (the baseline: the real client) and "backuptool restore BACKUP
// --device adb:SERIAL --items media" onto another. Prints both wall times,
// their ratio (goal <= 1.0) and backuptool's peak memory (goal < 64 MiB),
// then times a second restore onto the phone that already holds everything
// against the first (goal <= 10 %).

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

bool MakeEmptyPhone(const QString &strDir)
{
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
    const QString strDest = strWork + "/backup";
    const Figures figures = BenchSupport::RunChild({strTool, "run", "--device", "sim", "--phone", strPhone, "--items",
                                                    "media", "--dest", strDest, "--full"},
                                                   BenchSupport::ToolIo(strWork));
    const QStringList listPackages = QDir(strDest).entryList({"backup_*.zip"}, QDir::Files);
    return figures.bOk && listPackages.size() == 1 ? QDir(strDest).filePath(listPackages.first()) : QString();
}

Figures RunRestore(const QString &strTool, const QString &strPackage, const QString &strSerial,
                   const QString &strWork, const AdbRig &rig)
{
    BenchSupport::ChildIo io = BenchSupport::ToolIo(strWork);
    io.listEnv = rig.Env() + io.listEnv;
    return BenchSupport::RunChild({strTool, "restore", strPackage, "--device", "adb:" + strSerial, "--items", "media"},
                                  io);
}

Figures RunPush(const QString &strPhone, const QString &strSerial, const AdbRig &rig)
{
    BenchSupport::ChildIo io;
    io.errorStream = BenchSupport::ErrorStream::Discard;
    io.listEnv = rig.Env();
    return BenchSupport::RunChild({"adb", "-P", QString::number(rig.Port()), "-s", strSerial, "push",
                                   strPhone + "/fs/sdcard/DCIM", strPhone + "/fs/sdcard/Movies", "/sdcard/"},
                                  io);
}

void PrintContents(const char *szWhat, const QString &strDir)
{
    const QPair<int, qint64> contents = Contents(strDir);
    std::printf("  %s: %d files, %.0f MB\n", szWhat, contents.first, double(contents.second) / 1e6);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> hashOptions;
    if (!BenchSupport::ReadOptions(app.arguments(), {"--scale", "--dir"}, "bench_restore [--scale F] [--dir FOLDER]",
                                   hashOptions))
        return 2;
    const double dScale = hashOptions.value("--scale", "1").toDouble();
    const QString strBin = BenchSupport::StageBin();
    const QString strTool = strBin + "/backuptool";
    const QString strSimulator = strBin + "/adb-phone-sim";
    if (dScale <= 0.0 || !QFileInfo(strTool).isExecutable() || !QFileInfo(strSimulator).isExecutable()) {
        std::fprintf(stderr, "bench_restore: bad scale, or no backuptool / adb-phone-sim in %s\n", qPrintable(strBin));
        return 2;
    }
    QTemporaryDir tmp(BenchSupport::WorkFolderTemplate(hashOptions.value("--dir"), "bench_restore"));
    BenchSupport::Phone phone;
    if (!tmp.isValid() || !BenchSupport::MakePhone(tmp.path() + "/phone", dScale, 1 << 20, phone)
        || !MakeEmptyPhone(tmp.path() + "/pushed") || !MakeEmptyPhone(tmp.path() + "/restored")) {
        std::fprintf(stderr, "bench_restore: cannot write the phones\n");
        return 1;
    }
    const QString strPackage = Backup(strTool, phone.strDir, tmp.path());
    if (strPackage.isEmpty()) {
        std::fprintf(stderr, "bench_restore: the backup of the generated phone failed\n");
        return 1;
    }
    std::printf("bench_restore: backuptool restore --device adb against adb push, through the same simulator "
                "(load average %s)\n",
                qPrintable(BenchSupport::LoadAverage()));
    std::printf("phone at scale %.3g: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media)\n\n", dScale,
                phone.nImages, phone.nVideos, double(phone.nMediaBytes) / 1e6);

    AdbRig rig(tmp.path(), strSimulator);
    QString strSerial = rig.StartSimulator(tmp.path() + "/pushed", 0);
    if (strSerial.isEmpty()) {
        std::fprintf(stderr, "bench_restore: the simulator did not become a device\n");
        return 1;
    }
    const Figures push = RunPush(phone.strDir, strSerial, rig);
    strSerial = rig.StartSimulator(tmp.path() + "/restored", 0);
    const Figures first = RunRestore(strTool, strPackage, strSerial, tmp.path(), rig);
    const Figures second = RunRestore(strTool, strPackage, strSerial, tmp.path(), rig);
    rig.StopSimulator();
    BenchSupport::PrintFigures("adb push (real client)", push, 36);
    BenchSupport::PrintFigures("backuptool restore --items media", first, 36);
    std::printf("  ratio backuptool / adb push: %.2f (goal <= 1.0)\n", first.dSeconds / qMax(push.dSeconds, 1e-9));
    std::printf("  peak memory of backuptool: %.1f MiB (goal < 64)\n", first.dPeakMiB);
    BenchSupport::PrintFigures("restore again, all on the phone", second, 36);
    std::printf("  ratio second / first: %.3f (goal <= 0.10)\n", second.dSeconds / qMax(first.dSeconds, 1e-9));
    PrintContents("pushed phone", tmp.path() + "/pushed/fs");
    PrintContents("restored phone", tmp.path() + "/restored/fs");
    QFile log(tmp.path() + "/run.log");
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &baLine : log.readAll().split('\n')) {
            if (baLine.startsWith("images") || baLine.startsWith("videos") || baLine.startsWith("Result"))
                std::printf("  backuptool: %s\n", baLine.constData());
        }
    }
    std::printf("load average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    const bool bOk = push.bOk && first.bOk && second.bOk;
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
