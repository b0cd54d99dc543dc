#pragma once

#include "BackUpHead.h"
#include "PackageLayout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class PackageReader;
class QDir;

// Writes a backup package (one gzip stream: a fixed header, then the
// entries' contents) and reads the six header layouts back.
//
// Paths and texts are 8-bit strings in the local encoding. The writer always
// writes the MMS layout under the host's version text. Failures are log lines
// and return values. Entries are copied in bounded chunks both ways, so the
// memory used does not depend on entry sizes.
//
// Not for use by two threads at once.
class MyZip
{
public:
    static constexpr int kVersionSize = BackUpHead::kVersionSize;
    // The writer's table holds at most this many entries.
    static constexpr int kMaxWriteEntries = BackUpHead::kMaxEntries - 1;
    // Paths and names must fit their 260-byte fields with a terminator.
    static constexpr int kMaxPathLength = BackUpHead::kNameSize - 1;

    MyZip();
    ~MyZip();
    MyZip(const MyZip &) = delete;
    MyZip &operator=(const MyZip &) = delete;

    // --- writing, in the order the factory calls it ---

    // Empties the entry table, the counts and the device name.
    void ClearFh();
    // Stores the phone's name, cut at a character boundary to fit its field.
    void SetDeviceName(const char *szName);
    // Appends an entry. False (and a warning) when the table is full or the
    // path is empty or 260 bytes or longer; the entry is then not added.
    bool AddFile(const char *szPath);
    void SetSMSCount(quint32 nCount);
    void SetPBCount(quint32 nCount);
    void SetCalendarCount(quint32 nCount);
    void SetAPPCount(quint32 nCount);
    void SetCallLogCount(quint32 nCount);
    void SetEmailCount(quint32 nCount);
    void SetBookmarkCount(quint32 nCount);
    void SetAPPDataCount(quint32 nCount);
    void SetImageCount(quint32 nCount);
    void SetVideoCount(quint32 nCount);
    void SetAudioCount(quint32 nCount);
    void SetMMSCount(quint32 nCount);
    // Sets the package path. False when it is 260 bytes or longer; the output
    // path is then empty and DoMakeZip refuses to run.
    bool SetOutPutFile(const char *szPath);
    // Writes the package. True on success: the entry table is emptied and,
    // with bDeleteSources, the source files are deleted. On failure nothing
    // is deleted, the table stays, and no incomplete package is left behind.
    bool DoMakeZip(bool bDeleteSources);

    // The writer's table as it stands (entries, counts, device name).
    const BackUpHead &WriterHead() const { return *m_pWriteHead; }
    QByteArray OutPutFile() const { return m_baOutPutFile; }

    // --- reading ---

    // Reads the first 64 decompressed bytes into szVersion (zero-filled
    // first). 0, -1 cannot open, -2 read failed.
    int GetPkgVersion(const char *szPath, char *szVersion);
    static bool IsVersionedPkg(const char *szVersion);
    static bool IsSupportMMS(const char *szVersion);
    static bool IsSupportMutiMedia(const char *szVersion);

    // Reads the header of any layout; records whether the package is
    // versioned. pnCounts receives 20 counts: PBCount, SMSCount, then
    // CalendarCount onwards in index order.
    void UnZipPkgHead(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName);
    // Header readers of the versioned layouts (20, 19 and 16 counts).
    // 0 success, -1 cannot open, -2 header unreadable (failed, truncated or
    // FileCount above capacity), -3 every count is zero.
    int UnZipPkgHead_MMS(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName);
    int UnZipPkgHead_B610(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName);
    int UnZipPkgHead_B400(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName);
    // Header reader of the unversioned layouts (11 counts).
    void DoUnZipHead(const char *szPath, QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName);

    // Extracts every entry into szFolder (with or without a trailing
    // separator). True when every entry was written. An entry is written
    // under its stored name behind the last '/' or '\\'; names that are
    // then empty, "." or ".." are skipped. Nothing is written elsewhere.
    // Entries take their names only once the whole stream was read, nothing
    // followed the last entry and the gzip checksum matched. Otherwise the
    // result is false, an entry the package holds only in part is not
    // written, and entries read in full are kept as "<name>.unconfirmed".
    bool UnZipPkg(const char *szPath, const char *szFolder);
    bool UnZipPkg_MMS(const char *szPath, const char *szFolder);
    bool UnZipPkg_B610(const char *szPath, const char *szFolder);
    bool UnZipPkg_B400(const char *szPath, const char *szFolder);
    bool DoUnZip(const char *szPath, const char *szFolder);
    bool DoUnZipfh(const char *szPath, const char *szFolder);
    bool DoUnZipfh1(const char *szPath, const char *szFolder);
    bool DoUnZipfh2(const char *szPath, const char *szFolder);

    // Whether the last UnZipPkgHead saw a versioned package (true until then).
    bool IsVersioned() const { return m_bVersioned; }
    // Why the last failed operation failed, in words.
    QString LastError() const { return m_strLastError; }
    // The files the last extraction wrote, and the entries it skipped
    // because their names were unusable.
    QStringList LastExtracted() const { return m_listExtracted; }
    // The files the last failed extraction kept as "<name>.unconfirmed".
    QStringList LastUnconfirmed() const { return m_listUnconfirmed; }
    QList<int> LastSkipped() const { return m_listSkipped; }

private:
    int ReadVersionedHead(const char *szPath, PackageLayout::Id layout, const char *szZeroText,
                          QList<QByteArray> &listNames, quint32 *pnCounts, QByteArray &baDeviceName);
    // An entry read in full into its part file, waiting for its name.
    struct ArrivedEntry
    {
        QString strPart;
        QString strTarget;
    };
    bool Extract(const char *szPath, const char *szFolder, PackageLayout::Id layout, const char *szFunction);
    bool ReadEntries(PackageReader &reader, const QDir &folder, const char *szFunction, const char *szReadError,
                     QList<ArrivedEntry> &listArrived);
    bool ReadEntry(PackageReader &reader, const QString &strTarget, const QDir &folder, const char *szFunction,
                   const char *szReadError, QList<ArrivedEntry> &listArrived);
    bool CheckRest(PackageReader &reader, const char *szFunction, const char *szReadError);
    bool NameArrived(const QList<ArrivedEntry> &listArrived, bool bOk, const char *szFunction);
    bool WritePackage();
    bool Fail(const char *szFunction, const QString &strText);
    void SetCount(int nIndex, quint32 nCount);
    BackUpHead &ReadHead(PackageLayout::Id layout) { return *m_pReadHeads[layout]; }

    // The writer's table, and one record per layout for the readers; kept
    // apart so that reading a package never discards a table being built.
    std::unique_ptr<BackUpHead> m_pWriteHead;
    std::unique_ptr<BackUpHead> m_pReadHeads[PackageLayout::kLayoutCount];
    bool m_bVersioned = true;
    QByteArray m_baOutPutFile;
    QString m_strLastError;
    QStringList m_listExtracted;
    QStringList m_listUnconfirmed;
    QList<int> m_listSkipped;
};
