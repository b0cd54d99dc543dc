#include "PackageTraversal.h"

#include <MyZip.h>
#include <PackageVerifier.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace
{
// Records what the last extraction wrote outside strOutDir.
void CheckWritten(const MyZip &zip, const QString &strOutDir, QStringList &listOutside)
{
    const QString strOut = QDir::cleanPath(QDir(strOutDir).absolutePath());
    for (const QString &strFile : zip.LastExtracted() + zip.LastUnconfirmed()) {
        const QString strClean = QDir::cleanPath(QFileInfo(strFile).absoluteFilePath());
        if (QFileInfo(strClean).path() != strOut)
            listOutside << strFile;
    }
}
} // namespace

PackageTraversal::Outcome PackageTraversal::RunAll(const QString &strPackage, const QString &strOutDir)
{
    Outcome outcome;
    const QByteArray baPackage = QFile::encodeName(strPackage);
    const QByteArray baOut = QFile::encodeName(QDir::cleanPath(strOutDir));
    const QByteArray baOutSlash = baOut + '/';

    MyZip zip;
    char szVersion[MyZip::kVersionSize];
    zip.GetPkgVersion(baPackage, szVersion);
    MyZip::IsVersionedPkg(szVersion);
    MyZip::IsSupportMMS(szVersion);
    MyZip::IsSupportMutiMedia(szVersion);

    QList<QByteArray> listNames;
    quint32 anCounts[20] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead_MMS(baPackage, listNames, anCounts, baDevice);
    zip.UnZipPkgHead_B610(baPackage, listNames, anCounts, baDevice);
    zip.UnZipPkgHead_B400(baPackage, listNames, anCounts, baDevice);
    zip.DoUnZipHead(baPackage, listNames, anCounts, baDevice);
    zip.UnZipPkgHead(baPackage, listNames, anCounts, baDevice);
    outcome.bUnZipPkg = zip.UnZipPkg(baPackage, baOut);
    CheckWritten(zip, strOutDir, outcome.listOutside);

    bool (MyZip::*const apExtract[6])(const char *, const char *) = {
        &MyZip::UnZipPkg_MMS, &MyZip::UnZipPkg_B610, &MyZip::UnZipPkg_B400,
        &MyZip::DoUnZipfh,    &MyZip::DoUnZipfh1,    &MyZip::DoUnZipfh2};
    for (int i = 0; i < 6; ++i) {
        outcome.bLayoutExtract[i] = (zip.*apExtract[i])(baPackage, i % 2 ? baOut : baOutSlash);
        CheckWritten(zip, strOutDir, outcome.listOutside);
    }
    zip.DoUnZip(baPackage, baOutSlash);
    CheckWritten(zip, strOutDir, outcome.listOutside);

    PackageVerifier verifier;
    outcome.bSound = verifier.Verify(baPackage);
    return outcome;
}

QStringList PackageTraversal::Walk(const QString &strRoot)
{
    QStringList listFound;
    const QDir root(strRoot);
    QDirIterator it(strRoot, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        listFound << root.relativeFilePath(it.next());
    listFound.sort();
    return listFound;
}

QStringList PackageTraversal::Strays(const QString &strRoot, const QString &strOutDir, const QStringList &listExpected)
{
    const QString strOut = QDir(strRoot).relativeFilePath(QDir::cleanPath(strOutDir));
    QStringList listStrays;
    for (const QString &strPath : Walk(strRoot)) {
        // Extractors write files directly into the output folder, never
        // into a folder below it.
        const bool bInOut = strPath.startsWith(strOut + QLatin1Char('/'))
                            && !strPath.mid(strOut.size() + 1).contains(QLatin1Char('/'));
        if (strPath == strOut || bInOut || listExpected.contains(strPath))
            continue;
        listStrays << strPath;
    }
    return listStrays;
}
