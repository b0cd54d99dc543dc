#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;
struct BackupKind;

// One backup as a restore reads it: the package (`backup_….zip`) and the
// backup folder beside it. Opening verifies the whole package first and
// copies its record files (contacts, calendar, call log, ...) into a
// temporary folder that lives as long as the source; media and applications
// are read from the backup folder.
class RestoreSource
{
public:
    // A media file the backup holds: its file in the backup folder (empty
    // when the list names no usable file there) and its path on the phone.
    struct MediaFile
    {
        QString strLocal;
        QString strPhonePath;
    };

    RestoreSource();
    ~RestoreSource();
    RestoreSource(const RestoreSource &) = delete;
    RestoreSource &operator=(const RestoreSource &) = delete;

    // strBackup: a package or a backup folder. False with the reason when no
    // package is found or the package is not sound.
    bool Open(const QString &strBackup, QString &strError);
    // The package and folder that belong to strBackup (the folder may not
    // exist). False when strBackup is neither.
    static bool Locate(const QString &strBackup, QString &strPackage, QString &strFolder, QString &strError);

    QString PackagePath() const { return m_strPackage; }
    // Empty when the backup folder is missing.
    QString FolderPath() const { return m_strFolder; }
    QString DeviceName() const { return m_strDeviceName; }

    // The kind's count in the package's table of contents.
    quint32 Count(const BackupKind &kind) const;
    // Whether the package holds the kind's entry.
    bool Holds(const BackupKind &kind) const;
    // A record kind's file as the phone wrote it; empty when not in the package.
    QString RecordFile(const BackupKind &kind) const;
    // A media kind's list; false with the reason when it cannot be read.
    bool ReadMediaList(const BackupKind &kind, QList<MediaFile> &listFiles, QString &strError) const;
    // The applications' APK files, by package name.
    QHash<QString, QString> ApkFiles() const;

private:
    bool ExtractRecords(QString &strError);

    QString m_strPackage;
    QString m_strFolder;
    QString m_strDeviceName;
    QList<quint32> m_listCounts;
    QStringList m_listEntryNames;
    QHash<int, QString> m_hashRecordFiles;
    std::unique_ptr<QTemporaryDir> m_pTempDir;
};
