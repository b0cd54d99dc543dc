#include "InterruptedRun.h"

#include "FolderRemoval.h"
#include "LogLine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <functional>

#include <sys/stat.h>

namespace
{
const char kSource[] = "InterruptedRun";

// Device and inode of a file, links not followed; empty when it has none.
QByteArray FileKey(const QString &strPath)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(strPath).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QByteArray();
    return QByteArray::number(qulonglong(st.st_dev)) + ':' + QByteArray::number(qulonglong(st.st_ino));
}

// Calls fnFile with each copied file (applications and media) below a run
// folder, as the folder is read: no list of them all is held.
void ForEachCopiedFile(const QString &strRunFolder, const std::function<void(const QString &)> &fnFile)
{
    for (const char *szFolder : {"APK", "Image", "Video", "Audio"}) {
        QDirIterator it(strRunFolder + QLatin1Char('/') + QLatin1String(szFolder), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString strPath = it.next();
            if (!strPath.endsWith(QLatin1String(".xml")) && !strPath.endsWith(QLatin1String(".zip")))
                fnFile(strPath);
        }
    }
}
} // namespace

const char InterruptedRun::kMarker[] = "INTERRUPTED.txt";

int InterruptedRun::Keep(const QString &strRunFolder)
{
    if (strRunFolder.isEmpty() || !QFileInfo(strRunFolder).isDir())
        return 0;
    int nFiles = 0;
    ForEachCopiedFile(strRunFolder, [&nFiles](const QString &) { ++nFiles; });
    QSaveFile marker(strRunFolder + QLatin1Char('/') + QLatin1String(kMarker));
    const QByteArray baText = "This backup was interrupted: the phone was disconnected after " + QByteArray::number(nFiles)
            + " files were copied. It has no package and is not a complete backup.\r\n"
              "Back up the same phone again into the folder that holds this one (not into this folder): the "
              "files here are taken over and this folder is removed.\r\n";
    if (nFiles == 0 || !marker.open(QIODevice::WriteOnly) || marker.write(baText) != baText.size() || !marker.commit()) {
        // Nothing to keep, or a folder that could not be marked: it must not
        // look like a backup.
        FolderRemoval::DeleteDirectory(strRunFolder);
        return 0;
    }
    LogLine::Info(kSource, "Keep", QStringLiteral("%1 files kept in %2").arg(nFiles).arg(strRunFolder));
    return nFiles;
}

bool InterruptedRun::IsInterrupted(const QString &strRunFolder)
{
    return QFileInfo(strRunFolder + QLatin1Char('/') + QLatin1String(kMarker)).isFile();
}

int InterruptedRun::KeptFiles(const QString &strRunFolder)
{
    int nFiles = 0;
    if (!strRunFolder.isEmpty() && IsInterrupted(strRunFolder))
        ForEachCopiedFile(strRunFolder, [&nFiles](const QString &) { ++nFiles; });
    return nFiles;
}

QString InterruptedRun::FolderNamedBy(const QString &strPath)
{
    if (strPath.isEmpty())
        return QString();
    const QFileInfo info(strPath);
    QString strFolder;
    if (info.isDir())
        strFolder = QDir::cleanPath(info.absoluteFilePath());
    else if (!info.exists() && !info.isSymLink() && strPath.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        strFolder = QDir::cleanPath(info.absoluteFilePath()).chopped(4);
    // An interrupted run never has a package; a folder beside one is that
    // package's, whatever it holds.
    const QFileInfo package(strFolder + QStringLiteral(".zip"));
    if (strFolder.isEmpty() || package.exists() || package.isSymLink() || !IsInterrupted(strFolder))
        return QString();
    return strFolder;
}

QString InterruptedRun::NotCompleteText(const QString &strPath, const QString &strRunFolder)
{
    return QStringLiteral("%1 is an interrupted backup, not a complete backup: %2 files kept in %3, no package. "
                          "Back up the same phone into the same destination again to finish it.")
        .arg(strPath)
        .arg(KeptFiles(strRunFolder))
        .arg(strRunFolder);
}

QStringList InterruptedRun::RemoveFinished(const QStringList &listEarlier, const QString &strNewFolder)
{
    QStringList listInterrupted;
    for (const QString &strFolder : listEarlier) {
        if (IsInterrupted(strFolder))
            listInterrupted << strFolder;
    }
    QStringList listRemoved;
    // The new backup's files are looked at only when there is something to
    // compare them with.
    if (listInterrupted.isEmpty())
        return listRemoved;
    QSet<QByteArray> setNew;
    ForEachCopiedFile(strNewFolder, [&setNew](const QString &strPath) { setNew.insert(FileKey(strPath)); });
    for (const QString &strFolder : qAsConst(listInterrupted)) {
        bool bAllLinked = true;
        ForEachCopiedFile(strFolder, [&](const QString &strPath) {
            bAllLinked = bAllLinked && setNew.contains(FileKey(strPath));
        });
        if (bAllLinked && FolderRemoval::DeleteDirectory(strFolder)) {
            LogLine::Info(kSource, "RemoveFinished", QStringLiteral("every file is in the new backup; removed ") + strFolder);
            listRemoved << strFolder;
        }
    }
    return listRemoved;
}
