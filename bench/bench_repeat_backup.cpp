// Repeat backups of one phone into one destination with `backuptool run`:
// the first backup copies everything over a link limited to 35 MB/s, the
// second (nothing changed) and the third (5 % new images) should move only
// what is new.
//
//   bench_repeat_backup [--scale F] [--dir FOLDER] [--tool PATH]
//
// Generates a phone (at scale 1: 2,000 images of 200 KB and 20 videos of
// 20 MB) in a temporary folder and times, each in a process of its own:
//   1. the first backup of images and videos (the baseline);
//   2. a second backup of the unchanged phone;
//   3. a third backup after 5 % more images were added on the phone;
//   4. a backup with --full, for comparison with the first.
// The media bytes that crossed the link are counted independently of what
// the tool reports: every file of a backup that is not a hard link to a file
// of the backup before it was copied from the phone. Prints the times, the
// ratios against the first backup and the tool's own "Files:" line.

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/stat.h>

namespace
{
// 35 MB/s in the simulated phone's kilobytes (1,024 bytes) per second.
constexpr int kLinkKBps = 35000000 / 1024;

struct Media
{
    QSet<quint64> setInodes;
    qint64 nBytes = 0;
    int nFiles = 0;
};

// The images and videos of a backup folder.
Media ReadMedia(const QString &strFolder)
{
    Media media;
    for (const char *szSub : {"/Image", "/Video"}) {
        QDirIterator it(strFolder + QLatin1String(szSub), {"*.jpg", "*.mp4"}, QDir::Files);
        while (it.hasNext()) {
            struct stat st = {};
            if (::stat(QFile::encodeName(it.next()).constData(), &st) != 0)
                continue;
            media.setInodes.insert(quint64(st.st_ino));
            media.nBytes += st.st_size;
            ++media.nFiles;
        }
    }
    return media;
}

// Bytes of the files in `after` that are not hard links to files in `before`.
qint64 MovedBytes(const QString &strAfter, const Media &before)
{
    qint64 nMoved = 0;
    for (const char *szSub : {"/Image", "/Video"}) {
        QDirIterator it(strAfter + QLatin1String(szSub), {"*.jpg", "*.mp4"}, QDir::Files);
        while (it.hasNext()) {
            struct stat st = {};
            if (::stat(QFile::encodeName(it.next()).constData(), &st) == 0
                && !before.setInodes.contains(quint64(st.st_ino)))
                nMoved += st.st_size;
        }
    }
    return nMoved;
}

QString Field(const QString &strLog, const QString &strLabel)
{
    QFile file(strLog);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    for (const QString &strLine : QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'))) {
        if (strLine.startsWith(strLabel))
            return strLine.mid(strLabel.size()).trimmed();
    }
    return QString();
}

struct Step
{
    BenchSupport::ChildFigures figures;
    QString strFolder;
    QString strFiles;
};

Step Backup(const QString &strTool, const QString &strWork, const QString &strPhone, const QStringList &listExtra)
{
    const BenchSupport::ChildIo io = BenchSupport::ToolIo(strWork);
    Step step;
    step.figures = BenchSupport::RunChild(
        QStringList{strTool, "run", "--device", "sim", "--phone", strPhone, "--dest", strWork + "/dest", "--items", "media"} + listExtra,
        io);
    step.strFolder = Field(io.strStdout, "Backup folder:");
    step.strFiles = Field(io.strStdout, "Files:");
    return step;
}

void Print(const char *szTitle, const Step &step, const Step &first, qint64 nMoved)
{
    std::printf("  %-30s %8.2f s  ratio to first %5.3f  media over the link %8.1f MB%s\n", szTitle,
                step.figures.dSeconds, step.figures.dSeconds / qMax(first.figures.dSeconds, 1e-9),
                double(nMoved) / 1e6, step.figures.bOk ? "" : "   FAILED");
    std::printf("  %-30s tool: %s\n", "", qPrintable(step.strFiles));
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QHash<QString, QString> hashOptions;
    if (!BenchSupport::ReadOptions(app.arguments(), {"--scale", "--dir", "--tool"},
                                   "bench_repeat_backup [--scale F] [--dir FOLDER] [--tool PATH]", hashOptions))
        return 2;
    const double dScale = hashOptions.value("--scale", "1").toDouble();
    const QString strDir = hashOptions.value("--dir");
    const QString strTool = hashOptions.value("--tool", BenchSupport::StageBin() + "/backuptool");
    if (dScale <= 0.0 || !QFileInfo(strTool).isExecutable()) {
        std::fprintf(stderr, "bench_repeat_backup: bad scale or no backuptool at %s\n", qPrintable(strTool));
        return 2;
    }
    QTemporaryDir tmp(BenchSupport::WorkFolderTemplate(strDir, "bench_repeat_backup"));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "bench_repeat_backup: cannot create a work folder\n");
        return 1;
    }
    const QString strWork = tmp.path();
    BenchSupport::Phone phone;
    if (!BenchSupport::MakePhone(strWork + "/phone", dScale, 0, phone)) {
        std::fprintf(stderr, "bench_repeat_backup: cannot write the phone\n");
        return 1;
    }
    QFile ini(phone.strDir + "/phone.ini");
    if (!ini.open(QIODevice::Append) || ini.write(QByteArray("[faults]\nrateLimitKBps=") + QByteArray::number(kLinkKBps)
                                                  + "\n") <= 0) {
        std::fprintf(stderr, "bench_repeat_backup: cannot limit the link\n");
        return 1;
    }
    ini.close();
    QDir().mkpath(strWork + "/userdata");

    std::printf("bench_repeat_backup: backuptool run --items media, link limited to 35 MB/s (load average %s)\n",
                qPrintable(BenchSupport::LoadAverage()));
    std::printf("phone at scale %.3g: %d images of 200 KB, %d videos of 20 MB (%.0f MB of media)\n\n", dScale,
                phone.nImages, phone.nVideos, double(phone.nMediaBytes) / 1e6);

    const Step first = Backup(strTool, strWork, phone.strDir, {});
    const Media firstMedia = ReadMedia(first.strFolder);
    Print("first backup", first, first, MovedBytes(first.strFolder, Media()));

    const Step second = Backup(strTool, strWork, phone.strDir, {});
    const qint64 nSecondMoved = MovedBytes(second.strFolder, firstMedia);
    Print("second, nothing changed", second, first, nSecondMoved);

    const int nNew = qMax(1, phone.nImages / 20);
    qint64 nNewBytes = 0;
    for (int i = 0; i < nNew; ++i) {
        const qint64 nSize = 200 * 1024;
        BenchSupport::WriteRandom(phone.strDir + QStringLiteral("/fs/sdcard/DCIM/Camera/NEW_%1.jpg").arg(i, 5, 10, QLatin1Char('0')),
                                  nSize, 90000 + quint64(i));
        nNewBytes += nSize;
    }
    const Media secondMedia = ReadMedia(second.strFolder);
    const Step third = Backup(strTool, strWork, phone.strDir, {});
    const qint64 nThirdMoved = MovedBytes(third.strFolder, secondMedia);
    Print("third, 5 % new images", third, first, nThirdMoved);
    std::printf("  %-30s %d new images, %.1f MB new\n", "", nNew, double(nNewBytes) / 1e6);

    const Step full = Backup(strTool, strWork, phone.strDir, {"--full"});
    Print("--full", full, first, MovedBytes(full.strFolder, Media()));

    const bool bOk = first.figures.bOk && second.figures.bOk && third.figures.bOk && full.figures.bOk
                     && firstMedia.nFiles == phone.nImages + phone.nVideos;
    const double dRatio = second.figures.dSeconds / qMax(first.figures.dSeconds, 1e-9);
    std::printf("\nsecond / first: %.3f (goal <= 0.10), media bytes over the link: %lld (goal 0)\n", dRatio,
                static_cast<long long>(nSecondMoved));
    std::printf("third: %lld bytes over the link for %lld new bytes (goal: equal)\n",
                static_cast<long long>(nThirdMoved), static_cast<long long>(nNewBytes));
    std::printf("load average now: %s\n", qPrintable(BenchSupport::LoadAverage()));
    if (!bOk)
        std::printf("some runs FAILED\n");
    return bOk ? 0 : 1;
}
