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
        QList<QPair<int, quint32>> listCounts; // kind code, count; kinds with a count only
    };

    // Every "backup_*.zip" directly in strFolder, newest first.
    static QList<Entry> Scan(const QString &strFolder);
    // One package (its backup folder beside it).
    static Entry Read(const QString &strPackage);
    // Bytes of every regular file below strFolder (links are not followed).
    static qint64 FolderBytes(const QString &strFolder);
};
