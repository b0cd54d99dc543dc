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

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
struct Figures
{
    bool bOk = false;
    double dSeconds = 0;
    double dPeakMiB = 0;
};

double Now()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs a program in a child process (stdout to a file when given, else
// discarded) and measures its wall time and peak memory.
Figures RunChild(const QStringList &listArgs, const QString &strStdout = QString(),
                 const QStringList &listEnv = QStringList())
{
    Figures figures;
    QList<QByteArray> listBytes;
    for (const QString &strArg : listArgs)
        listBytes << QFile::encodeName(strArg);
    std::vector<char *> argv;
    for (QByteArray &baArg : listBytes)
        argv.push_back(baArg.data());
    argv.push_back(nullptr);
    QList<QByteArray> listEnvBytes;
    for (const QString &strVar : listEnv)
        listEnvBytes << strVar.toLocal8Bit();
    const QByteArray baOut = strStdout.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(strStdout);

    const double dStart = Now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (QByteArray &baVar : listEnvBytes)
            putenv(baVar.data());
        const int fdOut = open(baOut.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int fdNull = open("/dev/null", O_WRONLY);
        if (fdOut < 0 || dup2(fdOut, 1) < 0 || fdNull < 0 || dup2(fdNull, 2) < 0)
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int nStatus = 0;
    rusage usage = {};
    if (pid < 0 || wait4(pid, &nStatus, 0, &usage) != pid)
        return figures;
    figures.dSeconds = Now() - dStart;
    figures.dPeakMiB = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    figures.bOk = WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
    return figures;
}

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

// Incompressible bytes, like the pictures and films of a phone.
bool WriteRandom(const QString &strPath, qint64 nBytes, quint64 nSeed)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    XorShift rng{nSeed * 0x9e3779b97f4a7c15ull + 1};
    QByteArray baBlock(qMin<qint64>(nBytes, 1 << 20), '\0');
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

// Record-like text as a phone exports it.
bool WriteRecords(const QString &strPath, qint64 nBytes, quint64 nSeed, int *pnRecords)
{
    static const char *const aszNames[] = {"Anna", "Boris", "Chen", "Dana", "Emil", "Fatima", "Goran", "Hana",
                                           "Ivan", "Julia", "Karim", "Lena", "Marek", "Nina", "Oleg", "Petra"};
    static const char *const aszWords[] = {"see you", "at home", "call me", "tomorrow", "ok", "thanks", "meeting",
                                           "on my way", "lunch?", "yes", "no", "later", "done", "love", "sorry"};
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    XorShift rng{nSeed * 2654435761u + 1};
    QByteArray baBlock;
    qint64 nWritten = 0;
    int nRecord = 0;
    while (nWritten < nBytes) {
        baBlock.clear();
        while (baBlock.size() < 1 << 20 && nWritten + baBlock.size() < nBytes) {
            const quint64 r = rng.Next();
            baBlock += "<Record id=\"" + QByteArray::number(++nRecord) + "\"><Name>" + aszNames[r % 16] + ' '
                       + aszNames[(r >> 8) % 16] + "</Name><Number>+49" + QByteArray::number((r >> 16) % 1000000000)
                       + "</Number><Time>" + QByteArray::number(1600000000 + (r >> 24) % 100000000)
                       + "</Time><Body>" + aszWords[(r >> 40) % 15] + ' ' + aszWords[(r >> 48) % 15]
                       + "</Body></Record>\r\n";
        }
        if (file.write(baBlock) != baBlock.size())
            return false;
        nWritten += baBlock.size();
    }
    *pnRecords = nRecord;
    return true;
}

struct Phone
{
    QString strDir;
    QStringList listRecordFiles;
    qint64 nMediaBytes = 0;
    qint64 nRecordBytes = 0;
    int nImages = 0;
    int nVideos = 0;
};

// A phone in the simulated SDK's folder format.
bool MakePhone(const QString &strDir, double dScale, Phone &phone)
{
    phone.strDir = strDir;
    phone.nImages = qMax(1, int(2000 * dScale));
    phone.nVideos = qMax(1, int(20 * dScale));
    const qint64 nRecordBytes = qMax<qint64>(1 << 20, qint64(50e6 * dScale));

    QString strIni = QStringLiteral("[device]\nname=Bench Phone\nfirmware=BENCH V100R001C10B100\nimei=350000000000009\n"
                                    "[memory]\nstorage1=1, 16777216, 1048576, 4096\nstorage2=2, 16777216, 1048576, 4096\n");
    const struct
    {
        const char *szSection;
        double dShare;
    } records[] = {{"contacts", 0.15}, {"sms", 0.35}, {"mms", 0.1}, {"calllog", 0.2}, {"calendar", 0.1}, {"email", 0.1}};
    quint64 nSeed = 1;
    for (const auto &record : records) {
        const QString strFile = QStringLiteral("records/%1.xml").arg(QLatin1String(record.szSection));
        int nCount = 0;
        if (!WriteRecords(strDir + '/' + strFile, qint64(nRecordBytes * record.dShare), nSeed++, &nCount))
            return false;
        phone.listRecordFiles << strDir + '/' + strFile;
        phone.nRecordBytes += QFileInfo(strDir + '/' + strFile).size();
        strIni += QStringLiteral("[%1]\nfile=%2\ncount=%3\n").arg(QLatin1String(record.szSection), strFile).arg(nCount);
    }
    for (int i = 0; i < phone.nImages; ++i) {
        const qint64 nSize = 200 * 1024;
        if (!WriteRandom(strDir + QStringLiteral("/fs/sdcard/DCIM/Camera/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')),
                         nSize, 1000 + i))
            return false;
        phone.nMediaBytes += nSize;
    }
    for (int i = 0; i < phone.nVideos; ++i) {
        const qint64 nSize = 20LL * 1024 * 1024;
        if (!WriteRandom(strDir + QStringLiteral("/fs/sdcard/Movies/VID_%1.mp4").arg(i, 3, 10, QLatin1Char('0')), nSize,
                         5000 + i))
            return false;
        phone.nMediaBytes += nSize;
    }
    QFile ini(strDir + QStringLiteral("/phone.ini"));
    return ini.open(QIODevice::WriteOnly) && ini.write(strIni.toUtf8()) > 0;
}

struct RunFigures
{
    Figures baseline;
    Figures copy;
    Figures gzip;
    Figures tool;
};

bool RunOnce(const Phone &phone, const QString &strWork, const QString &strTool, RunFigures &figures)
{
    const QString strCopy = strWork + QStringLiteral("/cp");
    const QString strBackup = strWork + QStringLiteral("/backup");
    QDir(strCopy).removeRecursively();
    QDir(strBackup).removeRecursively();
    QDir().mkpath(strCopy);

    figures.copy = RunChild({"cp", "-r", phone.strDir + "/fs/sdcard", strCopy + "/sdcard"});
    figures.gzip = RunChild(QStringList{"gzip", "-6", "-c"} + phone.listRecordFiles, strWork + "/records.gz");
    figures.baseline.bOk = figures.copy.bOk && figures.gzip.bOk;
    figures.baseline.dSeconds = figures.copy.dSeconds + figures.gzip.dSeconds;
    figures.baseline.dPeakMiB = qMax(figures.copy.dPeakMiB, figures.gzip.dPeakMiB);
    QDir(strCopy).removeRecursively();

    QDir().mkpath(strWork + "/userdata");
    const QStringList listEnv = {"PELORIX_HOST_SETTINGS=" + strWork + "/host.ini",
                                 "DVSK_SIM_USERDATA=" + strWork + "/userdata/"};
    figures.tool = RunChild({strTool, "run", "--phone", phone.strDir, "--dest", strBackup, "--items", "all"},
                            strWork + "/run.log", listEnv);
    QDir(strBackup).removeRecursively();
    return figures.baseline.bOk && figures.tool.bOk;
}

void PrintFigures(const char *szTitle, const Figures &figures)
{
    std::printf("  %-26s %8.2f s   peak %7.1f MiB%s\n", szTitle, figures.dSeconds, figures.dPeakMiB,
                figures.bOk ? "" : "   FAILED");
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    double dScale = 1.0;
    int nRepeat = 1;
    QString strDir;
    QString strTool = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../stage/bin/backuptool");
    const QStringList listArgs = app.arguments();
    for (int i = 1; i < listArgs.size(); ++i) {
        const QString &strArg = listArgs.at(i);
        const bool bHasValue = i + 1 < listArgs.size();
        if (strArg == "--scale" && bHasValue) {
            dScale = listArgs.at(++i).toDouble();
        } else if (strArg == "--dir" && bHasValue) {
            strDir = listArgs.at(++i);
        } else if (strArg == "--tool" && bHasValue) {
            strTool = listArgs.at(++i);
        } else if (strArg == "--repeat" && bHasValue) {
            nRepeat = qMax(1, listArgs.at(++i).toInt());
        } else {
            std::fprintf(stderr, "usage: bench_backup_e2e [--scale F] [--dir FOLDER] [--tool PATH] [--repeat N]\n");
            return 2;
        }
    }
    if (dScale <= 0.0 || !QFileInfo(strTool).isExecutable()) {
        std::fprintf(stderr, "bench_backup_e2e: bad scale or no backuptool at %s\n", qPrintable(strTool));
        return 2;
    }

    QTemporaryDir tmp(strDir.isEmpty() ? QDir::tempPath() + "/bench_backup_e2e-XXXXXX"
                                       : strDir + "/bench_backup_e2e-XXXXXX");
    if (!tmp.isValid()) {
        std::fprintf(stderr, "bench_backup_e2e: cannot create a work folder\n");
        return 1;
    }

    std::printf("bench_backup_e2e: backuptool run --items all against cp -r + gzip -6\n");
    bool bOk = true;
    double dPeaks[2] = {0, 0};
    const double dScales[2] = {dScale, dScale / 10.0};
    for (int nCase = 0; nCase < 2; ++nCase) {
        Phone phone;
        const QString strWork = tmp.path() + QStringLiteral("/case%1").arg(nCase);
        const double dStart = Now();
        if (!MakePhone(strWork + "/phone", dScales[nCase], phone)) {
            std::fprintf(stderr, "bench_backup_e2e: cannot write the phone\n");
            return 1;
        }
        std::printf("\nphone at scale %.3g: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media), "
                    "%.1f MB of records (generated in %.1f s)\n",
                    dScales[nCase], phone.nImages, phone.nVideos, double(phone.nMediaBytes) / 1e6,
                    double(phone.nRecordBytes) / 1e6, Now() - dStart);
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
        PrintFigures("cp -r (media)", best.copy);
        PrintFigures("gzip -6 (records)", best.gzip);
        PrintFigures("baseline (sum)", best.baseline);
        PrintFigures("backuptool run", best.tool);
        std::printf("  ratio backuptool / baseline: %.2f (goal <= 1.2)\n",
                    best.tool.dSeconds / qMax(best.baseline.dSeconds, 1e-9));
        dPeaks[nCase] = best.tool.dPeakMiB;
        QDir(strWork).removeRecursively();
    }
    std::printf("\npeak memory of backuptool: %.1f MiB at scale %.3g, %.1f MiB at scale %.3g\n", dPeaks[0],
                dScales[0], dPeaks[1], dScales[1]);
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
