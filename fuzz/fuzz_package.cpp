// Fuzz target: the package readers and extractors on arbitrary files.
//
// The input is the package file as it stands, or, after the marker "GZ!",
// the decompressed content, which the target compresses first, so that
// mutations reach the header fields instead of breaking the gzip stream.
// A crash, a sanitizer report or a file written outside the output folder
// fails the run.

#include "InfoHander.h"
#include "PackageFixture.h"
#include "PackageTraversal.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include <zlib.h>

namespace
{
// Inputs that inflate to more than this are skipped: a gzip bomb only
// measures the disk, not the readers.
const qint64 kMaxInflated = 8 * 1024 * 1024;

QTemporaryDir *g_pSandbox = nullptr;

void Silent(QtMsgType, const QMessageLogContext &, const QString &) {}

qint64 InflatedSize(const QByteArray &baData)
{
    z_stream stream = {};
    if (inflateInit2(&stream, 15 + 32) != Z_OK)
        return 0;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(baData.constData()));
    stream.avail_in = uInt(baData.size());
    static char buffer[65536];
    qint64 nTotal = 0;
    int nResult = Z_OK;
    while (nResult == Z_OK && nTotal <= kMaxInflated) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof(buffer);
        nResult = inflate(&stream, Z_NO_FLUSH);
        nTotal += qint64(sizeof(buffer) - stream.avail_out);
        // Concatenated gzip members are read on as one stream.
        if (nResult == Z_STREAM_END && stream.avail_in > 0) {
            inflateReset(&stream);
            nResult = Z_OK;
        }
    }
    inflateEnd(&stream);
    return nTotal;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(Silent);
    g_pSandbox = new QTemporaryDir;
    std::atexit([] { delete g_pSandbox; });
    if (!g_pSandbox->isValid()) {
        std::fprintf(stderr, "fuzz_package: no temporary folder\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    QByteArray baInput(reinterpret_cast<const char *>(pData), int(nSize));
    if (baInput.startsWith("GZ!"))
        baInput = PackageFixture::Gzip(baInput.mid(3));
    else if (InflatedSize(baInput) > kMaxInflated)
        return 0;

    InfoHander handler;
    handler.Parse(baInput.left(4096));

    const QString strRoot = g_pSandbox->path();
    const QString strPackage = strRoot + QStringLiteral("/backup.zip");
    // Deep below the sandbox, so that a name climbing out of the output
    // folder still lands where the walk below finds it.
    const QString strOut = strRoot + QStringLiteral("/1/2/3/4/5/6/7/8/out");
    QDir(strOut).removeRecursively();
    QDir().mkpath(strOut);
    if (!PackageFixture::WriteFile(strPackage, baInput))
        std::abort();

    const PackageTraversal::Outcome outcome = PackageTraversal::RunAll(strPackage, strOut);
    if (!outcome.listOutside.isEmpty()) {
        std::fprintf(stderr, "fuzz_package: extracted outside the output folder: %s\n",
                     qPrintable(outcome.listOutside.join(QLatin1Char(' '))));
        std::abort();
    }

    QStringList listExpected = {QStringLiteral("backup.zip")};
    for (const QString &strLevel : QStringList{"1", "2", "3", "4", "5", "6", "7", "8"})
        listExpected << (listExpected.size() == 1 ? strLevel : listExpected.last() + QLatin1Char('/') + strLevel);
    const QStringList listStrays = PackageTraversal::Strays(strRoot, strOut, listExpected);
    if (!listStrays.isEmpty()) {
        std::fprintf(stderr, "fuzz_package: written outside the output folder: %s\n",
                     qPrintable(listStrays.join(QLatin1Char(' '))));
        std::abort();
    }
    return 0;
}
