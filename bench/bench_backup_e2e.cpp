// A whole backup with `backuptool run` against the plain baseline of copying
// the same media with "cp -r" and compressing the same records with
// "gzip -6".
//
//   bench_backup_e2e [--scale F] [--dir FOLDER] [--tool PATH] [--repeat N]
//
// Generates a phone (at scale 1: 2,000 images of 200 KB, 20 videos of 20 MB
// and 50 MB of records) in a temporary folder, then times, each in a process
// of its own: the baseline (cp -r of the media folder, then gzip -6 of the
// record files) and `backuptool run --items all` of the phone. Prints both
// wall times, their ratio and the peak memory of the backuptool process
// (maximum resident set size from wait4). A second, ten times smaller phone
// shows whether the peak memory depends on the phone's size.

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
using Figures = BenchSupport::ChildFigures;

// The records of the phone at scale 1.
constexpr qint64 kRecordBytes = 50000000;

struct RunFigures
{
    Figures baseline;
    Figures copy;
    Figures gzip;
    Figures tool;
};

bool RunOnce(const BenchSupport::Phone &phone, const QString &strWork, const QString &strTool, RunFigures &figures)
{
    const QString strCopy = strWork + QStringLiteral("/cp");
    const QString strBackup = strWork + QStringLiteral("/backup");
    QDir(strCopy).removeRecursively();
    QDir(strBackup).removeRecursively();
    QDir().mkpath(strCopy);

    figures.copy = BenchSupport::RunChild({"cp", "-r", phone.strDir + "/fs/sdcard", strCopy + "/sdcard"});
    BenchSupport::ChildIo gzipIo;
    gzipIo.strStdout = strWork + "/records.gz";
    figures.gzip = BenchSupport::RunChild(QStringList{"gzip", "-6", "-c"} + phone.listRecordFiles, gzipIo);
    figures.baseline.bOk = figures.copy.bOk && figures.gzip.bOk;
    figures.baseline.dSeconds = figures.copy.dSeconds + figures.gzip.dSeconds;
    figures.baseline.dPeakMiB = qMax(figures.copy.dPeakMiB, figures.gzip.dPeakMiB);
    QDir(strCopy).removeRecursively();

    const BenchSupport::ChildIo toolIo = BenchSupport::ToolIo(strWork);
    figures.tool = BenchSupport::RunChild(
        {strTool, "run", "--device", "sim", "--phone", phone.strDir, "--dest", strBackup, "--items", "all"}, toolIo);
    QDir(strBackup).removeRecursively();
    return figures.baseline.bOk && figures.tool.bOk;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> hashOptions;
    if (!BenchSupport::ReadOptions(app.arguments(), {"--scale", "--dir", "--tool", "--repeat"},
                                   "bench_backup_e2e [--scale F] [--dir FOLDER] [--tool PATH] [--repeat N]",
                                   hashOptions))
        return 2;
    const double dScale = hashOptions.value("--scale", "1").toDouble();
    const int nRepeat = qMax(1, hashOptions.value("--repeat", "1").toInt());
    const QString strDir = hashOptions.value("--dir");
    const QString strTool = hashOptions.value("--tool", BenchSupport::StageBin() + "/backuptool");
    if (dScale <= 0.0 || !QFileInfo(strTool).isExecutable()) {
        std::fprintf(stderr, "bench_backup_e2e: bad scale or no backuptool at %s\n", qPrintable(strTool));
        return 2;
    }

    QTemporaryDir tmp(BenchSupport::WorkFolderTemplate(strDir, "bench_backup_e2e"));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "bench_backup_e2e: cannot create a work folder\n");
        return 1;
    }

    std::printf("bench_backup_e2e: backuptool run --items all against cp -r + gzip -6 (load average %s)\n",
                qPrintable(BenchSupport::LoadAverage()));
    bool bOk = true;
    double dPeaks[2] = {0, 0};
    const double dScales[2] = {dScale, dScale / 10.0};
    for (int nCase = 0; nCase < 2; ++nCase) {
        BenchSupport::Phone phone;
        const QString strWork = tmp.path() + QStringLiteral("/case%1").arg(nCase);
        const double dStart = BenchSupport::Now();
        if (!BenchSupport::MakePhone(strWork + "/phone", dScales[nCase], kRecordBytes, phone)) {
            std::fprintf(stderr, "bench_backup_e2e: cannot write the phone\n");
            return 1;
        }
        std::printf("\nphone at scale %.3g: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media), "
                    "%.1f MB of records (generated in %.1f s)\n",
                    dScales[nCase], phone.nImages, phone.nVideos, double(phone.nMediaBytes) / 1e6,
                    double(phone.nRecordBytes) / 1e6, BenchSupport::Now() - dStart);
        RunFigures best;
        for (int nRun = 0; nRun < nRepeat; ++nRun) {
            RunFigures figures;
            bOk = RunOnce(phone, strWork, strTool, figures) && bOk;
            if (nRun == 0 || figures.baseline.dSeconds < best.baseline.dSeconds) {
                best.baseline = figures.baseline;
                best.copy = figures.copy;
                best.gzip = figures.gzip;
            }
            if (nRun == 0 || figures.tool.dSeconds < best.tool.dSeconds)
                best.tool = figures.tool;
        }
        BenchSupport::PrintFigures("cp -r (media)", best.copy);
        BenchSupport::PrintFigures("gzip -6 (records)", best.gzip);
        BenchSupport::PrintFigures("baseline (sum)", best.baseline);
        BenchSupport::PrintFigures("backuptool run", best.tool);
        std::printf("  ratio backuptool / baseline: %.2f (goal <= 1.2)\n",
                    best.tool.dSeconds / qMax(best.baseline.dSeconds, 1e-9));
        dPeaks[nCase] = best.tool.dPeakMiB;
        QDir(strWork).removeRecursively();
    }
    std::printf("\npeak memory of backuptool: %.1f MiB at scale %.3g, %.1f MiB at scale %.3g\n", dPeaks[0],
                dScales[0], dPeaks[1], dScales[1]);
    std::printf("load average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
