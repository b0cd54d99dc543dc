#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// The backups found in a folder, as a restore offers them: each package with
// its backup folder, the phone it came from, when it was made, how large it
// is, what it holds and whether the package verifies. Newest first.
class BackupCatalog
{
public:
    struct Entry
    {
        QString strPackage;
        QString strFolder;     // empty when the backup folder is missing
        QString strDeviceName; // as the package names the phone
        QString strSerial;     // the phone's own serial from the device file; may be empty
        QDateTime dtMade;
        qint64 nBytes = 0;     // package and backup folder together
        bool bSound = false;
        QString strProblem;    // why the package cannot be used, when not sound
        // A run the phone cut off: a backup folder with the files copied so
        // far and no package (strPackage names the one it would have
        // written). Never sound; the next backup run finishes it.
        bool bInterrupted = false;
        int nKeptFiles = 0;
        QList<QPair<int, quint32>> listCounts; // kind code, count; kinds with a count only
    };

    // Every "backup_*.zip" directly in strFolder, and every interrupted
    // backup folder there, newest first.
    static QList<Entry> Scan(const QString &strFolder);
    // One package (its backup folder beside it).
    static Entry Read(const QString &strPackage);
    // An interrupted backup's folder.
    static Entry ReadInterrupted(const QString &strFolder);
    // Bytes of every regular file below strFolder (links are not followed).
    static qint64 FolderBytes(const QString &strFolder);

private:
    // The backup folder's size, phone serial and date go into entry.
    static void TakeFolder(Entry &entry, const QString &strFolder);
};
