#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Builds a fixture phone for the simulated device SDK in a folder: phone.ini
// plus the record files, the phone's files under fs/ and raw list overrides
// (format in docs/phone-format.md). Files are written at once; phone.ini is
// written by Save() or Use().
//
//   TestPhone phone(dir.filePath("phone"));
//   phone.SetRecords(0, 3);                       // three contacts
//   phone.AddFile("/sdcard/DCIM/Camera/a.jpg", 2048);
//   phone.AddApp("com.example.notes", 4096, {{"shared_prefs/p.xml", "<map/>"}});
//   phone.SetMissingFile("/sdcard/DCIM/Camera/a.jpg");
//   QVERIFY(phone.Use());                         // the SDK now serves it
//
// A new phone has a device ("Test Phone", firmware "V100R001C10B100", IMEI
// "350000000000001") and two storages with plenty of free memory; call
// ClearStorages() for a phone without memory records. Serving another folder
// starts a fresh, attached connection.
class TestPhone
{
public:
    explicit TestPhone(const QString &strDir);

    QString Dir() const { return m_strDir; }
    // The file on the PC that holds a phone path.
    QString HostPath(const QString &strPhonePath) const;

    void SetDevice(const QString &strName, const QString &strFirmware, const QString &strImei);
    // The phone's own serial number (ro.serialno); empty: made from name and IMEI.
    void SetSerial(const QString &strSerial);
    void ClearStorages();
    // nKind 1 internal, 2 external; free bytes = (nTotal - nUsed) * nUnit.
    // nTotal -1 means "the phone gave no value" (all bits set).
    void AddStorage(qint64 nKind, qint64 nTotal, qint64 nUsed, qint64 nUnit = 1);

    // A record type (0, 1, 2, 4, 5, 6, 19): nCount for the count call, the
    // result file's content (generated when empty) and, when not -1, a
    // different count reported by the phone-side backup.
    void SetRecords(int nType, int nCount, const QByteArray &baContent = QByteArray(), int nBackupCount = -1);
    // A record type whose backup runs but produces no result file.
    void SetRecordsWithoutFile(int nType, int nCount);
    void SetRecordPhonePath(int nType, const QString &strPhonePath);

    // A file at a phone path (media are recognised by extension). Returns the host path.
    QString AddFile(const QString &strPhonePath, const QByteArray &baContent);
    QString AddFile(const QString &strPhonePath, qint64 nSize);
    // An installed application: fs/data/app/<package>.apk of nApkSize bytes and
    // its data files (relative path -> content) under fs/data/data/<package>/.
    void AddApp(const QString &strPackage, qint64 nApkSize, const QMap<QString, QByteArray> &mapData = {});
    // The exact list text returned for a file type (9, 16, 17, 18).
    void SetRawList(int nType, const QByteArray &baList);
    // What the count call reports for a file type instead of the real files.
    void SetCountOverride(int nType, int nCount, int nSizeKB = -1);

    // Faults.
    void SetBackupError(int nType, int nCode);
    void SetErrorText(int nType);
    void SetNoResultPath(int nType);
    void SetCountError(int nType, int nCode);
    void SetMemInfoError(int nCode = -1);
    void SetMissingFile(const QString &strPhonePath);
    void SetGetFileError(const QString &strPhonePath, int nCode);
    void SetUnplugAfterFiles(int nFiles);
    void SetRateLimitKBps(int nKBps);
    void SetItemDelayMs(int nMs);

    // Writes phone.ini (replacing it).
    bool Save() const;
    // Save() and serve this phone (DVSK_Sim_SetPhoneDir).
    bool Use() const;
    // Serve the phone of $DVSK_SIM_PHONE, else the bundled sample phone.
    static void UseDefault();

    static QString SectionOf(int nType);

private:
    struct Storage
    {
        qint64 nKind;
        qint64 nTotal;
        qint64 nUsed;
        qint64 nUnit;
    };
    struct Records
    {
        bool bFile = true;
        int nCount = 0;
        int nBackupCount = -1;
        QString strPhonePath;
    };
    struct FileOverride
    {
        bool bRawList = false;
        int nCount = -1;
        int nSizeKB = -1;
    };

    bool WriteFile(const QString &strHostPath, const QByteArray &baContent) const;

    const QString m_strDir;
    QString m_strName;
    QString m_strFirmware;
    QString m_strImei;
    QString m_strSerial;
    QList<Storage> m_listStorages;
    QMap<int, Records> m_mapRecords;
    QMap<int, FileOverride> m_mapFiles;
    QStringList m_listBackupErrors;
    QStringList m_listErrorText;
    QStringList m_listNoResultPath;
    QStringList m_listCountErrors;
    int m_nMemInfoError = 0;
    QStringList m_listMissingFiles;
    QStringList m_listGetFileErrors;
    int m_nUnplugAfterFiles = 0;
    int m_nRateLimitKBps = 0;
    int m_nItemDelayMs = 0;
};
