// How responsive the wizard stays while a large backup runs: the longest time
// the user-interface thread does not serve its event loop.
//
//   bench_ui_stall [--scale F] [--dir FOLDER] [--host PATH] [--repeat N] [--log FILE]
//
// Generates a phone (at scale 1: 2,000 images of 200 KB, 20 videos of 20 MB
// and a few thousand records) in a temporary folder and runs the host
// application's headless wizard on it (`backup-host --headless --items all
// --measure-stall`), which ticks a 10 ms timer on the user-interface thread
// from the press of "next" to the result page and reports the largest gap
// between two ticks, and the most processor time the thread itself used
// between two ticks (its own work, without the time it waited for a
// processor on a busy machine). Prints both, the number of ticks, the wall
// time of the run and whether the gap stays under the 50 ms goal. --log keeps the
// host's log (of the last run) for a look at what the thread did.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
constexpr qint64 kGoalMs = 50;

struct XorShift
{
    quint64 nState;
    quint64 Next()
    {
        nState ^= nState << 13;
        nState ^= nState >> 7;
        nState ^= nState << 17;
        return nState;
    }
};

// Incompressible bytes, like a phone's pictures and films.
bool WriteRandom(const QString &strPath, qint64 nBytes, quint64 nSeed)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    XorShift rng{nSeed * 0x9e3779b97f4a7c15ull + 1};
    QByteArray baBlock(int(qMin<qint64>(nBytes, 1 << 20)), '\0');
    for (qint64 nDone = 0; nDone < nBytes; nDone += baBlock.size()) {
        auto *pWords = reinterpret_cast<quint64 *>(baBlock.data());
        for (int i = 0; i < baBlock.size() / 8; ++i)
            pWords[i] = rng.Next();
        const qint64 nChunk = qMin<qint64>(baBlock.size(), nBytes - nDone);
        if (file.write(baBlock.constData(), nChunk) != nChunk)
            return false;
    }
    return true;
}

bool WriteText(const QString &strPath, const QByteArray &baText)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baText) == baText.size();
}

// A phone in the simulated SDK's folder format.
bool MakePhone(const QString &strDir, double dScale, int &nImages, int &nVideos, qint64 &nBytes)
{
    nImages = qMax(1, int(2000 * dScale));
    nVideos = qMax(1, int(20 * dScale));
    nBytes = 0;
    QByteArray baIni = "[device]\nname=Stall Phone\nfirmware=BENCH V100R001C10B100\nimei=350000000000010\n"
                       "[memory]\nstorage1=1, 16777216, 1048576, 4096\nstorage2=2, 16777216, 1048576, 4096\n";
    const struct
    {
        const char *szSection;
        int nCount;
    } records[] = {{"contacts", 2000}, {"sms", 5000}, {"calllog", 3000}, {"calendar", 300}, {"email", 500}};
    for (const auto &record : records) {
        const int nCount = qMax(1, int(record.nCount * dScale));
        QByteArray baText;
        for (int i = 0; i < nCount; ++i)
            baText += "<Record id=\"" + QByteArray::number(i) + "\"><Body>record text of the bench phone</Body></Record>\r\n";
        const QByteArray baFile = "records/" + QByteArray(record.szSection) + ".xml";
        if (!WriteText(strDir + QLatin1Char('/') + QString::fromLatin1(baFile), baText))
            return false;
        baIni += "[" + QByteArray(record.szSection) + "]\nfile=" + baFile + "\ncount=" + QByteArray::number(nCount) + "\n";
    }
    for (int i = 0; i < nImages; ++i) {
        const qint64 nSize = 200 * 1024;
        if (!WriteRandom(strDir + QStringLiteral("/fs/sdcard/DCIM/Camera/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')),
                         nSize, 1000 + quint64(i)))
            return false;
        nBytes += nSize;
    }
    for (int i = 0; i < nVideos; ++i) {
        const qint64 nSize = 20LL * 1024 * 1024;
        if (!WriteRandom(strDir + QStringLiteral("/fs/sdcard/Movies/VID_%1.mp4").arg(i, 3, 10, QLatin1Char('0')),
                         nSize, 5000 + quint64(i)))
            return false;
        nBytes += nSize;
    }
    return WriteText(strDir + QStringLiteral("/phone.ini"), baIni);
}

QString LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2);
}

struct Figures
{
    bool bOk = false;
    qint64 nStallMs = -1;
    qint64 nBusyMs = -1;
    qint64 nStallEndMs = -1;
    int nTicks = 0;
    double dSeconds = 0;
    QString strOutput;
};

Figures RunHost(const QString &strHost, const QString &strWork, const QString &strPhone, int nRun,
                const QString &strLog)
{
    Figures figures;
    const QString strRun = strWork + QStringLiteral("/run%1").arg(nRun);
    QDir().mkpath(strRun + QStringLiteral("/UserData"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELORIX_HOST_SETTINGS"), strRun + QStringLiteral("/host.ini"));
    env.insert(QStringLiteral("PELORIX_HOST_DOCUMENTS"), strRun + QStringLiteral("/Documents"));
    env.insert(QStringLiteral("DVSK_SIM_USERDATA"), strRun + QStringLiteral("/UserData/"));
    env.insert(QStringLiteral("PELORIX_HOST_LOG"), strLog.isEmpty() ? strRun + QStringLiteral("/host.log") : strLog);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(strHost, {QStringLiteral("--headless"), QStringLiteral("--measure-stall"), QStringLiteral("--items"),
                            QStringLiteral("all"), QStringLiteral("--phone"), strPhone, QStringLiteral("--dest"),
                            strRun + QStringLiteral("/dest"), QStringLiteral("--timeout"), QStringLiteral("3600")});
    if (!process.waitForStarted(30000) || !process.waitForFinished(-1))
        return figures;
    figures.dSeconds = double(timer.elapsed()) / 1000.0;
    figures.strOutput = QString::fromLocal8Bit(process.readAll());
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
    figures.bOk = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && match.hasMatch();
    // The copies are large; only the figures are kept.
    QDir(strRun).removeRecursively();
    return figures;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    double dScale = 1.0;
    int nRepeat = 1;
    QString strDir;
    QString strLog;
    QString strHost = QCoreApplication::applicationDirPath() + QStringLiteral("/../stage/bin/backup-host");
    const QStringList listArgs = app.arguments().mid(1);
    for (int i = 0; i < listArgs.size(); ++i) {
        const QString &strArg = listArgs.at(i);
        const bool bValue = i + 1 < listArgs.size();
        if (strArg == QLatin1String("--scale") && bValue) {
            dScale = listArgs.at(++i).toDouble();
        } else if (strArg == QLatin1String("--dir") && bValue) {
            strDir = listArgs.at(++i);
        } else if (strArg == QLatin1String("--host") && bValue) {
            strHost = listArgs.at(++i);
        } else if (strArg == QLatin1String("--log") && bValue) {
            strLog = QFileInfo(listArgs.at(++i)).absoluteFilePath();
        } else if (strArg == QLatin1String("--repeat") && bValue) {
            nRepeat = qMax(1, listArgs.at(++i).toInt());
        } else {
            std::fprintf(stderr,
                         "usage: bench_ui_stall [--scale F] [--dir FOLDER] [--host PATH] [--repeat N] [--log FILE]\n");
            return 2;
        }
    }
    if (dScale <= 0 || !QFileInfo(strHost).isExecutable()) {
        std::fprintf(stderr, "bench_ui_stall: a positive scale and the backup-host program are needed (%s)\n",
                     qPrintable(strHost));
        return 2;
    }

    QTemporaryDir tempDir(strDir.isEmpty() ? QDir::tempPath() + QStringLiteral("/bench_ui_stall-XXXXXX")
                                           : strDir + QStringLiteral("/bench_ui_stall-XXXXXX"));
    if (!tempDir.isValid()) {
        std::fprintf(stderr, "bench_ui_stall: no temporary folder\n");
        return 2;
    }
    const QString strPhone = tempDir.filePath(QStringLiteral("phone"));
    int nImages = 0;
    int nVideos = 0;
    qint64 nBytes = 0;
    std::printf("Generating the phone (scale %.2f)...\n", dScale);
    std::fflush(stdout);
    if (!MakePhone(strPhone, dScale, nImages, nVideos, nBytes)) {
        std::fprintf(stderr, "bench_ui_stall: cannot write the phone\n");
        return 1;
    }
    std::printf("Phone: %d images, %d videos, %.0f MB of media\n", nImages, nVideos, double(nBytes) / 1e6);

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
                    "(%.0f MB/s)\n",
                    nRun, static_cast<long long>(figures.nStallMs), static_cast<long long>(figures.nStallEndMs),
                    figures.nTicks, static_cast<long long>(figures.nBusyMs), figures.dSeconds,
                    double(nBytes) / 1e6 / figures.dSeconds);
    }
    if (!bAllOk)
        return 1;
    std::printf("Longest UI stall: %lld ms (goal: under %lld ms) -> %s; the UI thread's own work between two ticks: "
                "at most %lld ms\n",
                static_cast<long long>(nWorst), static_cast<long long>(kGoalMs), nWorst < kGoalMs ? "met" : "NOT met",
                static_cast<long long>(nWorstBusy));
    std::printf("(A busy machine lengthens the gaps by the time the thread waits for a processor; load average "
                "now: %s)\n",
                qPrintable(LoadAverage()));
    return 0;
}
