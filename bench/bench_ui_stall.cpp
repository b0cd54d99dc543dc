// How responsive the wizard stays while a large backup runs: the longest time
// the user-interface thread does not serve its event loop.
//
//   bench_ui_stall [--scale F] [--dir FOLDER] [--host PATH] [--repeat N] [--log FILE]
//
// Generates a phone (at scale 1: 2,000 images of 200 KB, 20 videos of 20 MB
// and about 1 MB of records) in a temporary folder and runs the host
// application's headless wizard on it (`backup-host --headless --items all
// --measure-stall`), which ticks a 10 ms timer on the user-interface thread
// from the press of "next" to the result page and reports the largest gap
// between two ticks, and the most processor time the thread itself used
// between two ticks (its own work, without the time it waited for a
// processor on a busy machine). Prints both, the number of ticks, the wall
// time of the run and whether the gap stays under the 50 ms goal. --log keeps the
// host's log (of the last run) for a look at what the thread did.

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
constexpr qint64 kGoalMs = 50;
// The records of the phone at scale 1: a few thousand.
constexpr qint64 kRecordBytes = 1000000;

struct Figures
{
    bool bOk = false;
    qint64 nStallMs = -1;
    qint64 nBusyMs = -1;
    qint64 nStallEndMs = -1;
    int nTicks = 0;
    double dSeconds = 0;
    double dPeakMiB = 0;
    QString strOutput;
};

Figures RunHost(const QString &strHost, const QString &strWork, const QString &strPhone, int nRun,
                const QString &strLog)
{
    Figures figures;
    const QString strRun = strWork + QStringLiteral("/run%1").arg(nRun);
    QDir().mkpath(strRun + QStringLiteral("/UserData"));
    BenchSupport::ChildIo io;
    io.strStdout = strRun + QStringLiteral("/output.txt");
    io.errorStream = BenchSupport::ErrorStream::ToOutput;
    io.listEnv = {QStringLiteral("PELORIX_HOST_SETTINGS=") + strRun + QStringLiteral("/host.ini"),
                  QStringLiteral("PELORIX_HOST_DOCUMENTS=") + strRun + QStringLiteral("/Documents"),
                  QStringLiteral("DVSK_SIM_USERDATA=") + strRun + QStringLiteral("/UserData/"),
                  QStringLiteral("PELORIX_HOST_LOG=") + (strLog.isEmpty() ? strRun + QStringLiteral("/host.log") : strLog)};
    const BenchSupport::ChildFigures child = BenchSupport::RunChild(
        {strHost, QStringLiteral("--headless"), QStringLiteral("--measure-stall"), QStringLiteral("--items"),
         QStringLiteral("all"), QStringLiteral("--device"), QStringLiteral("sim"), QStringLiteral("--phone"), strPhone, QStringLiteral("--dest"),
         strRun + QStringLiteral("/dest"), QStringLiteral("--timeout"), QStringLiteral("3600")},
        io);
    figures.dSeconds = child.dSeconds;
    figures.dPeakMiB = child.dPeakMiB;
    QFile output(io.strStdout);
    if (output.open(QIODevice::ReadOnly))
        figures.strOutput = QString::fromLocal8Bit(output.readAll());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("UI thread longest stall: (\\d+) ms \\((\\d+) ticks.*ended (\\d+) ms after "
                                          "next.*between two ticks: (-?\\d+) ms"))
            .match(figures.strOutput);
    if (match.hasMatch()) {
        figures.nStallMs = match.captured(1).toLongLong();
        figures.nTicks = match.captured(2).toInt();
        figures.nStallEndMs = match.captured(3).toLongLong();
        figures.nBusyMs = match.captured(4).toLongLong();
    }
    figures.bOk = child.bOk && match.hasMatch();
    // The copies are large; only the figures are kept.
    QDir(strRun).removeRecursively();
    return figures;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> hashOptions;
    if (!BenchSupport::ReadOptions(app.arguments(), {"--scale", "--dir", "--host", "--log", "--repeat"},
                                   "bench_ui_stall [--scale F] [--dir FOLDER] [--host PATH] [--repeat N] [--log FILE]",
                                   hashOptions))
        return 2;
    const double dScale = hashOptions.value("--scale", "1").toDouble();
    const int nRepeat = qMax(1, hashOptions.value("--repeat", "1").toInt());
    const QString strDir = hashOptions.value("--dir");
    const QString strHost = hashOptions.value("--host", BenchSupport::StageBin() + QStringLiteral("/backup-host"));
    const QString strLog =
        hashOptions.contains("--log") ? QFileInfo(hashOptions.value("--log")).absoluteFilePath() : QString();
    if (dScale <= 0 || !QFileInfo(strHost).isExecutable()) {
        std::fprintf(stderr, "bench_ui_stall: a positive scale and the backup-host program are needed (%s)\n",
                     qPrintable(strHost));
        return 2;
    }

    QTemporaryDir tempDir(BenchSupport::WorkFolderTemplate(strDir, "bench_ui_stall"));
    if (!tempDir.isValid()) {
        std::fprintf(stderr, "bench_ui_stall: no temporary folder\n");
        return 2;
    }
    const QString strPhone = tempDir.filePath(QStringLiteral("phone"));
    std::printf("Generating the phone (scale %.2f)...\n", dScale);
    std::fflush(stdout);
    BenchSupport::Phone phone;
    if (!BenchSupport::MakePhone(strPhone, dScale, kRecordBytes, phone)) {
        std::fprintf(stderr, "bench_ui_stall: cannot write the phone\n");
        return 1;
    }
    const qint64 nBytes = phone.nMediaBytes;
    std::printf("Phone: %d images, %d videos, %.0f MB of media, %.1f MB of records\n", phone.nImages, phone.nVideos,
                double(nBytes) / 1e6, double(phone.nRecordBytes) / 1e6);

    qint64 nWorst = 0;
    qint64 nWorstBusy = -1;
    bool bAllOk = true;
    for (int nRun = 1; nRun <= nRepeat; ++nRun) {
        const Figures figures = RunHost(strHost, tempDir.path(), strPhone, nRun, strLog);
        if (!figures.bOk) {
            std::fprintf(stderr, "bench_ui_stall: run %d failed:\n%s\n", nRun, qPrintable(figures.strOutput));
            bAllOk = false;
            continue;
        }
        nWorst = qMax(nWorst, figures.nStallMs);
        nWorstBusy = qMax(nWorstBusy, figures.nBusyMs);
        std::printf("Run %d: longest UI stall %lld ms (ended %lld ms after next) over %d ticks of 10 ms; at most %lld ms "
                    "of the UI thread's own processor time between two ticks; backup through the wizard %.1f s "
                    "(%.0f MB/s, peak memory %.1f MiB)\n",
                    nRun, static_cast<long long>(figures.nStallMs), static_cast<long long>(figures.nStallEndMs),
                    figures.nTicks, static_cast<long long>(figures.nBusyMs), figures.dSeconds,
                    double(nBytes) / 1e6 / figures.dSeconds, figures.dPeakMiB);
    }
    if (!bAllOk)
        return 1;
    std::printf("Longest UI stall: %lld ms (goal: under %lld ms) -> %s; the UI thread's own work between two ticks: "
                "at most %lld ms\n",
                static_cast<long long>(nWorst), static_cast<long long>(kGoalMs), nWorst < kGoalMs ? "met" : "NOT met",
                static_cast<long long>(nWorstBusy));
    std::printf("(A busy machine lengthens the gaps by the time the thread waits for a processor; load average "
                "now: %s)\n",
                qPrintable(BenchSupport::LoadAverage()));
    return 0;
}
