#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <stdint.h>

class QSettings;

// One simulated phone as described by the phone.ini of its folder (format in
// docs/phone-format.md). A plain value: loaded afresh for every SDK call that
// reads it, so that a test can edit the file between calls.
class PhoneConfig
{
public:
    struct Storage
    {
        int64_t nKind = 0;
        int64_t nTotal = 0;
        int64_t nUsed = 0;
        int64_t nUnit = 1;
    };

    struct RecordSet
    {
        QString strFile;      // relative to the phone folder; empty: no result file
        QString strPhonePath; // where the phone puts its result file
        int nCount = 0;       // what the count call reports
        int nBackupCount = 0; // what the phone-side backup reports
    };

    // One file of the phone: its path on the phone and where it is kept on the PC.
    struct PhoneFile
    {
        QString strPhonePath;
        QString strHostPath;
        qint64 nSize = 0;
        qint64 nModified = 0; // seconds since 1970-01-01 UTC
    };

    struct FileSet
    {
        QString strRawList;   // relative path of a raw list override; empty: none
        int nCountOverride = -1;
        int nSizeOverride = -1; // kilobytes
    };

    // Reads strDir/phone.ini. False when the file is missing, unreadable or
    // not well-formed; the configuration is then empty.
    bool Load(const QString &strDir);

    bool IsValid() const { return m_bValid; }
    // After a failed Load: true when phone.ini exists but is not well-formed.
    bool IsMalformed() const { return m_bMalformed; }
    QString Dir() const { return m_strDir; }
    QString FsRoot() const; // <dir>/fs

    QString DeviceName() const { return m_strName; }
    QString Firmware() const { return m_strFirmware; }
    QString Imei() const { return m_strImei; }
    // The phone's own serial number ([device] serial), manufacturer, model
    // and Android version, with defaults made from the name when not given.
    QString Serial() const { return m_strSerial; }
    QString Manufacturer() const { return m_strManufacturer; }
    QString Model() const { return m_strModel; }
    QString Android() const { return m_strAndroid; }

    QList<Storage> Storages() const { return m_listStorages; }

    bool HasRecordSet(int nType) const { return m_hashRecords.contains(nType); }
    RecordSet Records(int nType) const { return m_hashRecords.value(nType); }
    FileSet Files(int nType) const { return m_hashFiles.value(nType); }

    // Fault knobs.
    int BackupError(int nType) const { return m_hashBackupErrors.value(nType, 0); }
    bool ErrorText(int nType) const { return m_setErrorText.contains(nType); }
    bool NoResultPath(int nType) const { return m_setNoResultPath.contains(nType); }
    int CountError(int nType) const { return m_hashCountErrors.value(nType, 0); }
    int MemInfoError() const { return m_nMemInfoError; }
    bool IsMissing(const QString &strPhonePath) const { return m_setMissingFiles.contains(strPhonePath); }
    int GetFileError(const QString &strPhonePath) const { return m_hashGetFileErrors.value(strPhonePath, 0); }
    int UnplugAfterFiles() const { return m_nUnplugAfterFiles; }
    int RateLimitKBps() const { return m_nRateLimitKBps; }
    int ItemDelayMs() const { return m_nItemDelayMs; }

    // The phone's media files of one kind (16, 17, 18), ascending by phone path.
    QList<PhoneFile> MediaFiles(int nType) const;
    // Installed applications: package name -> the .apk under fs/data/app.
    QList<PhoneFile> Apps() const;
    // The application data folder of a package (fs/data/data/<package>), may not exist.
    QString AppDataDir(const QString &strPackage) const;

    // Maps a phone path to the file that holds it inside fs/. Empty when the
    // path is not absolute, names "." or "..", or leaves fs/ through a link.
    QString HostPathOf(const QString &strPhonePath) const;
    // HostPathOf() for a file about to be written: also empty when the
    // nearest folder that exists leads out of fs/ through a link.
    QString NewHostPathOf(const QString &strPhonePath) const;
    // A file phone.ini names (a result file, a raw list), relative to the
    // phone folder. Empty when the name is absolute, has a ".." segment or
    // leads out of the phone folder through a link.
    QString FileInPhone(const QString &strRelative) const;
    // True when the file lies inside the phone folder once links are followed.
    bool IsInsidePhone(const QString &strHostPath) const;

    // The section name of a data type in phone.ini, empty for unknown types.
    static QString SectionOf(int nType);
    static bool IsRecordType(int nType);
    static bool IsFileListType(int nType);
    static int MediaTypeOfSuffix(const QString &strSuffix);

private:
    // The steps of Load, one section of phone.ini each.
    void LoadDevice(QSettings &settings);
    void LoadStorages(QSettings &settings);
    void LoadDataSections(QSettings &settings);
    void LoadFaults(QSettings &settings);

    bool m_bValid = false;
    bool m_bMalformed = false;
    QString m_strDir;
    QString m_strName;
    QString m_strFirmware;
    QString m_strImei;
    QString m_strSerial;
    QString m_strManufacturer;
    QString m_strModel;
    QString m_strAndroid;
    QList<Storage> m_listStorages;
    QHash<int, RecordSet> m_hashRecords;
    QHash<int, FileSet> m_hashFiles;
    QHash<int, int> m_hashBackupErrors;
    QSet<int> m_setErrorText;
    QSet<int> m_setNoResultPath;
    QHash<int, int> m_hashCountErrors;
    int m_nMemInfoError = 0;
    QSet<QString> m_setMissingFiles;
    QHash<QString, int> m_hashGetFileErrors;
    int m_nUnplugAfterFiles = 0;
    int m_nRateLimitKBps = 0;
    int m_nItemDelayMs = 0;
};
