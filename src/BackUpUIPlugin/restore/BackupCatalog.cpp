#include "BackupCatalog.h"

#include "BackupKinds.h"
#include "InterruptedRun.h"
#include "PhoneIdentity.h"
#include "RestoreSource.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

QList<BackupCatalog::Entry> BackupCatalog::Scan(const QString &strFolder)
{
    QList<Entry> listEntries;
    const QFileInfoList listFiles = QDir(strFolder).entryInfoList({QStringLiteral("backup_*.zip")},
                                                                  QDir::Files | QDir::NoSymLinks | QDir::Readable);
    for (const QFileInfo &info : listFiles)
        listEntries.append(Read(info.absoluteFilePath()));
    const QFileInfoList listFolders =
            QDir(strFolder).entryInfoList({QStringLiteral("backup_*")}, QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : listFolders) {
        if (!InterruptedRun::FolderNamedBy(info.absoluteFilePath()).isEmpty())
            listEntries.append(ReadInterrupted(info.absoluteFilePath()));
    }
    std::stable_sort(listEntries.begin(), listEntries.end(),
                     [](const Entry &a, const Entry &b) { return a.dtMade > b.dtMade; });
    return listEntries;
}

BackupCatalog::Entry BackupCatalog::Read(const QString &strPackage)
{
    Entry entry;
    entry.strPackage = strPackage;
    const QFileInfo info(strPackage);
    entry.dtMade = info.lastModified();
    entry.nBytes = info.size();
    const QString strFolder = strPackage.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive) ? strPackage.chopped(4)
                                                                                              : QString();
    if (!strFolder.isEmpty() && QFileInfo(strFolder).isDir())
        TakeFolder(entry, strFolder);
    RestoreSource source;
    QString strError;
    entry.bSound = source.Open(strPackage, strError);
    if (!entry.bSound) {
        entry.strProblem = strError;
        return entry;
    }
    entry.strDeviceName = source.DeviceName();
    for (const BackupKind &kind : BackupKinds::All()) {
        const quint32 nCount = source.Count(kind);
        if (kind.bRuns && nCount > 0)
            entry.listCounts.append(qMakePair(kind.nCode, nCount));
    }
    return entry;
}

BackupCatalog::Entry BackupCatalog::ReadInterrupted(const QString &strFolder)
{
    Entry entry;
    entry.strFolder = strFolder;
    entry.strPackage = strFolder + QStringLiteral(".zip");
    entry.bInterrupted = true;
    entry.nKeptFiles = InterruptedRun::KeptFiles(strFolder);
    entry.strProblem = InterruptedRun::NotCompleteText(strFolder, strFolder);
    entry.dtMade = QFileInfo(strFolder).lastModified();
    TakeFolder(entry, strFolder);
    return entry;
}

void BackupCatalog::TakeFolder(Entry &entry, const QString &strFolder)
{
    entry.strFolder = strFolder;
    entry.nBytes += FolderBytes(strFolder);
    PhoneIdentity identity;
    if (PhoneIdentity::ReadFrom(strFolder, identity)) {
        entry.strSerial = identity.Serial();
        if (identity.Date().isValid())
            entry.dtMade = identity.Date();
    }
}

qint64 BackupCatalog::FolderBytes(const QString &strFolder)
{
    qint64 nBytes = 0;
    QDirIterator it(strFolder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        nBytes += it.fileInfo().size();
    }
    return nBytes;
}
