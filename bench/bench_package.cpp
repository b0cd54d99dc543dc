// Package writing and extraction against gzip on the same bytes.
//
//   bench_package [--big] [--dir FOLDER]
//
// (a) ten compressible record files of about 50 MB in all; with --big also
// (b) one incompressible entry of 1 GiB. Each step runs in a process of its
// own, so that its wall time and peak memory (the maximum resident set size
// reported by wait4) are its own: writing the package with MyZip, extracting
// it, and "gzip -6" / "gzip -d" on the concatenated bytes.

#include "BenchSupport.h"

#include <MyZip.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
using Figures = BenchSupport::ChildFigures;

// Runs a program with its standard input and output redirected to files
// when given (output otherwise discarded).
Figures RunChild(const QStringList &listArgs, const QString &strStdin = QString(), const QString &strStdout = QString())
{
    BenchSupport::ChildIo io;
    io.strStdin = strStdin;
    io.strStdout = strStdout;
    return BenchSupport::RunChild(listArgs, io);
}

bool Concatenate(const QStringList &listFiles, const QString &strTarget)
{
    QFile target(strTarget);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    for (const QString &strFile : listFiles) {
        QFile source(strFile);
        if (!source.open(QIODevice::ReadOnly))
            return false;
        while (!source.atEnd())
            target.write(source.read(1 << 20));
    }
    return true;
}

qint64 TotalSize(const QStringList &listFiles)
{
    qint64 nTotal = 0;
    for (const QString &strFile : listFiles)
        nTotal += QFileInfo(strFile).size();
    return nTotal;
}

// Child steps: one operation each, in a fresh process.
int PhaseWrite(const QString &strPackage, const QStringList &listFiles)
{
    MyZip zip;
    zip.SetDeviceName("Bench Phone");
    for (const QString &strFile : listFiles) {
        if (!zip.AddFile(QFile::encodeName(strFile)))
            return 1;
    }
    zip.SetSMSCount(1);
    return zip.SetOutPutFile(QFile::encodeName(strPackage)) && zip.DoMakeZip(false) ? 0 : 1;
}

int PhaseExtract(const QString &strPackage, const QString &strFolder)
{
    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[20] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead(QFile::encodeName(strPackage), listNames, anCounts, baDevice);
    return zip.UnZipPkg(QFile::encodeName(strPackage), QFile::encodeName(strFolder)) ? 0 : 1;
}

void PrintRow(const char *szName, const Figures &figures, qint64 nBytes)
{
    std::printf("  %-14s %8.2f s %9.1f MB/s %9.1f MiB%s\n", szName, figures.dSeconds,
                double(nBytes) / 1e6 / qMax(figures.dSeconds, 1e-9), figures.dPeakMiB, figures.bOk ? "" : "  FAILED");
}

bool RunCase(const char *szTitle, const QString &strSelf, const QString &strWork, const QStringList &listFiles)
{
    const qint64 nBytes = TotalSize(listFiles);
    const QString strPackage = strWork + QStringLiteral("/package.zip");
    const QString strOut = strWork + QStringLiteral("/out");
    const QString strConcat = strWork + QStringLiteral("/concat.bin");
    const QString strGz = strWork + QStringLiteral("/concat.bin.gz");
    const QString strGunzipped = strWork + QStringLiteral("/concat.out");
    QDir(strOut).removeRecursively();
    QDir().mkpath(strOut);
    if (!Concatenate(listFiles, strConcat))
        return false;

    QStringList listWrite = {strSelf, QStringLiteral("--phase-write"), strPackage};
    listWrite += listFiles;
    const Figures ourWrite = RunChild(listWrite);
    const Figures gzipWrite = RunChild({QStringLiteral("gzip"), QStringLiteral("-6"), QStringLiteral("-c")}, strConcat, strGz);
    const Figures ourExtract = RunChild({strSelf, QStringLiteral("--phase-extract"), strPackage, strOut});
    const Figures gzipExtract = RunChild({QStringLiteral("gzip"), QStringLiteral("-d"), QStringLiteral("-c")}, strGz, strGunzipped);

    QStringList listOut;
    for (const QFileInfo &info : QDir(strOut).entryInfoList(QDir::Files))
        listOut << info.filePath();
    bool bSame = TotalSize(listOut) == nBytes;
    bSame = bSame && QFileInfo(strGunzipped).size() == nBytes;

    std::printf("\n%s: %d file(s), %.1f MB; package %.1f MB, gzip %.1f MB\n", szTitle, int(listFiles.size()),
                double(nBytes) / 1e6, double(QFileInfo(strPackage).size()) / 1e6, double(QFileInfo(strGz).size()) / 1e6);
    std::printf("  %-14s %10s %14s %13s\n", "step", "wall", "throughput", "peak RSS");
    PrintRow("MyZip write", ourWrite, nBytes);
    PrintRow("gzip -6", gzipWrite, nBytes);
    PrintRow("MyZip extract", ourExtract, nBytes);
    PrintRow("gzip -d", gzipExtract, nBytes);
    std::printf("  ratios (ours / gzip): write %.3f, extract %.3f, both %.3f; peak memory %.1f MiB at most%s\n",
                ourWrite.dSeconds / gzipWrite.dSeconds, ourExtract.dSeconds / gzipExtract.dSeconds,
                (ourWrite.dSeconds + ourExtract.dSeconds) / (gzipWrite.dSeconds + gzipExtract.dSeconds),
                qMax(ourWrite.dPeakMiB, ourExtract.dPeakMiB), bSame ? "" : "  (OUTPUT SIZE MISMATCH)");
    QFile::remove(strConcat);
    QFile::remove(strGz);
    QFile::remove(strGunzipped);
    QFile::remove(strPackage);
    QDir(strOut).removeRecursively();
    return ourWrite.bOk && ourExtract.bOk && gzipWrite.bOk && gzipExtract.bOk && bSame;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QStringList listArgs = app.arguments();
    if (listArgs.value(1) == QLatin1String("--phase-write"))
        return PhaseWrite(listArgs.value(2), listArgs.mid(3));
    if (listArgs.value(1) == QLatin1String("--phase-extract"))
        return PhaseExtract(listArgs.value(2), listArgs.value(3));

    const bool bBig = listArgs.removeAll(QStringLiteral("--big")) > 0;
    QString strBase = QDir::tempPath();
    const int nDir = listArgs.indexOf(QStringLiteral("--dir"));
    if (nDir > 0 && nDir + 1 < listArgs.size())
        strBase = listArgs.at(nDir + 1);
    QTemporaryDir work(strBase + QStringLiteral("/bench_package-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "bench_package: cannot create a folder in %s\n", qPrintable(strBase));
        return 1;
    }
    // The writer reads the host's version text; keep the user's settings out.
    qputenv("PELORIX_HOST_SETTINGS", QFile::encodeName(work.filePath(QStringLiteral("host.ini"))));
    const QString strSelf = QCoreApplication::applicationFilePath();
    const QString strSource = work.filePath(QStringLiteral("src"));
    QDir().mkpath(strSource);
    std::printf("bench_package: MyZip against gzip (%s), in %s (load average %s)\n", "gzip -6 / gzip -d",
                qPrintable(work.path()), qPrintable(BenchSupport::LoadAverage()));

    QStringList listRecords;
    static const char *const aszNames[] = {"PB.zip",      "SMS.zip",    "MMS.zip",   "CALLLOG.zip", "CALENDAR.zip",
                                           "EMAIL.zip",   "BOOKMARK.zip", "APK.zip", "IMAGE.zip",   "VIDEO.zip"};
    for (int i = 0; i < 10; ++i) {
        listRecords << strSource + QLatin1Char('/') + QLatin1String(aszNames[i]);
        if (!BenchSupport::WriteRecords(listRecords.last(), 5 * 1000 * 1000 + i * 37, quint64(i)))
            return 1;
    }
    bool bOk = RunCase("(a) record files", strSelf, work.path(), listRecords);
    for (const QString &strFile : listRecords)
        QFile::remove(strFile);

    if (bBig) {
        const QString strBig = strSource + QStringLiteral("/VIDEO.zip");
        if (!BenchSupport::WriteRandom(strBig, Q_INT64_C(1) << 30, 0))
            return 1;
        bOk = RunCase("(b) one incompressible entry of 1 GiB", strSelf, work.path(), {strBig}) && bOk;
    }
    return bOk ? 0 : 1;
}
