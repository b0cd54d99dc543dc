#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// A fast generator: the same bytes on every run.
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

bool Redirect(const QByteArray &baPath, int nFlags, int nTarget)
{
    const int fd = open(baPath.constData(), nFlags, 0644);
    return fd >= 0 && dup2(fd, nTarget) >= 0;
}
} // namespace

double BenchSupport::Now()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QString BenchSupport::LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2);
}

BenchSupport::ChildFigures BenchSupport::RunChild(const QStringList &listArgs)
{
    return RunChild(listArgs, ChildIo());
}

BenchSupport::ChildFigures BenchSupport::RunChild(const QStringList &listArgs, const ChildIo &io)
{
    ChildFigures figures;
    if (listArgs.isEmpty())
        return figures;
    // Everything the child needs is prepared before fork: it only redirects
    // and executes.
    QList<QByteArray> listBytes;
    for (const QString &strArg : listArgs)
        listBytes << QFile::encodeName(strArg);
    std::vector<char *> argv;
    for (QByteArray &baArg : listBytes)
        argv.push_back(baArg.data());
    argv.push_back(nullptr);
    QList<QByteArray> listEnvBytes;
    for (const QString &strVar : io.listEnv)
        listEnvBytes << strVar.toLocal8Bit();
    const QByteArray baIn = QFile::encodeName(io.strStdin);
    const QByteArray baOut = io.strStdout.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(io.strStdout);

    // Data an earlier step left to write out would slow this one down while
    // the kernel writes it; it goes to disk before the clock starts.
    ::sync();
    const double dStart = Now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (QByteArray &baVar : listEnvBytes)
            putenv(baVar.data());
        if (!baIn.isEmpty() && !Redirect(baIn, O_RDONLY, 0))
            _exit(126);
        if (!Redirect(baOut, O_WRONLY | O_CREAT | O_TRUNC, 1))
            _exit(126);
        if (io.errorStream == ErrorStream::Discard && !Redirect("/dev/null", O_WRONLY, 2))
            _exit(126);
        if (io.errorStream == ErrorStream::ToOutput && dup2(1, 2) < 0)
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

bool BenchSupport::WriteRandom(const QString &strPath, qint64 nBytes, quint64 nSeed)
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

bool BenchSupport::WriteRecords(const QString &strPath, qint64 nBytes, quint64 nSeed, int *pnRecords)
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
    if (pnRecords)
        *pnRecords = nRecord;
    return true;
}

bool BenchSupport::MakePhone(const QString &strDir, double dScale, qint64 nRecordBytes, Phone &phone)
{
    phone = Phone();
    phone.strDir = strDir;
    phone.nImages = qMax(1, int(2000 * dScale));
    phone.nVideos = qMax(1, int(20 * dScale));
    const qint64 nAllRecordBytes = qMax<qint64>(1 << 20, qint64(double(nRecordBytes) * dScale));

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
        const QString strPath = strDir + QLatin1Char('/') + strFile;
        int nCount = 0;
        if (!WriteRecords(strPath, qint64(double(nAllRecordBytes) * record.dShare), nSeed++, &nCount))
            return false;
        phone.listRecordFiles << strPath;
        phone.nRecordBytes += QFileInfo(strPath).size();
        strIni += QStringLiteral("[%1]\nfile=%2\ncount=%3\n").arg(QLatin1String(record.szSection), strFile).arg(nCount);
    }
    for (int i = 0; i < phone.nImages; ++i) {
        const qint64 nSize = 200 * 1024;
        if (!WriteRandom(strDir + QStringLiteral("/fs/sdcard/DCIM/Camera/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')),
                         nSize, 1000 + quint64(i)))
            return false;
        phone.nMediaBytes += nSize;
    }
    for (int i = 0; i < phone.nVideos; ++i) {
        const qint64 nSize = 20LL * 1024 * 1024;
        if (!WriteRandom(strDir + QStringLiteral("/fs/sdcard/Movies/VID_%1.mp4").arg(i, 3, 10, QLatin1Char('0')), nSize,
                         5000 + quint64(i)))
            return false;
        phone.nMediaBytes += nSize;
    }
    QFile ini(strDir + QStringLiteral("/phone.ini"));
    return ini.open(QIODevice::WriteOnly) && ini.write(strIni.toUtf8()) > 0;
}

bool BenchSupport::MakeMediaPhone(const QString &strDir, const QString &strFolder, int nFolders, int nFiles,
                                  qint64 nBytes, bool bVideos, Phone &phone)
{
    phone = Phone();
    phone.strDir = strDir;
    const QString strPattern = bVideos ? QStringLiteral("VID_%1.mp4") : QStringLiteral("IMG_%1.jpg");
    quint64 nSeed = 7000;
    for (int nFolder = 0; nFolder < nFolders; ++nFolder) {
        QString strParent = strDir + QStringLiteral("/fs/sdcard/") + strFolder;
        if (nFolders > 1)
            strParent += QStringLiteral("/F%1").arg(nFolder, 5, 10, QLatin1Char('0'));
        for (int i = 0; i < nFiles; ++i) {
            if (!WriteRandom(strParent + QLatin1Char('/') + strPattern.arg(i, 5, 10, QLatin1Char('0')), nBytes, nSeed++))
                return false;
            phone.nMediaBytes += nBytes;
        }
    }
    (bVideos ? phone.nVideos : phone.nImages) = nFolders * nFiles;
    QFile ini(strDir + QStringLiteral("/phone.ini"));
    return ini.open(QIODevice::WriteOnly)
           && ini.write("[device]\nname=Bench Phone\nfirmware=BENCH V100R001C10B100\nimei=350000000000009\n"
                        "[memory]\nstorage1=1, 16777216, 1048576, 4096\nstorage2=2, 16777216, 1048576, 4096\n")
                  > 0;
}

QString BenchSupport::StageBin()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../stage/bin"));
}

QString BenchSupport::WorkFolderTemplate(const QString &strDir, const char *szBench)
{
    return (strDir.isEmpty() ? QDir::tempPath() : strDir) + QLatin1Char('/') + QLatin1String(szBench)
           + QStringLiteral("-XXXXXX");
}

BenchSupport::ChildIo BenchSupport::ToolIo(const QString &strWork)
{
    QDir().mkpath(strWork + QStringLiteral("/userdata"));
    ChildIo io;
    io.strStdout = strWork + QStringLiteral("/run.log");
    io.errorStream = ErrorStream::Discard;
    io.listEnv = {QStringLiteral("PELORIX_HOST_SETTINGS=") + strWork + QStringLiteral("/host.ini"),
                  QStringLiteral("DVSK_SIM_USERDATA=") + strWork + QStringLiteral("/userdata/")};
    return io;
}

void BenchSupport::PrintFigures(const char *szTitle, const ChildFigures &figures, int nTitleWidth)
{
    std::printf("  %-*s %8.2f s   peak %7.1f MiB%s\n", nTitleWidth, szTitle, figures.dSeconds, figures.dPeakMiB,
                figures.bOk ? "" : "   FAILED");
}

bool BenchSupport::ReadOptions(const QStringList &listArgs, const QStringList &listNames, const char *szUsage,
                               QHash<QString, QString> &hashValues)
{
    for (int i = 1; i < listArgs.size(); i += 2) {
        if (!listNames.contains(listArgs.at(i)) || i + 1 >= listArgs.size()) {
            std::fprintf(stderr, "usage: %s\n", szUsage);
            return false;
        }
        hashValues.insert(listArgs.at(i), listArgs.at(i + 1));
    }
    return true;
}
