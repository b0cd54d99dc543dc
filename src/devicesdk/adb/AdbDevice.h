#pragma once

#include "../DeviceBackend.h"
#include "AdbLongPaths.h"
#include "AdbPhoneFiles.h"
#include "AdbPrefetcher.h"
#include "AdbRecordShell.h"
#include "AdbServer.h"
#include "AdbSync.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QHash>
#include <QSet>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class AdbRestore;
class AdbTracker;

// The real-phone back end: an Android phone reached through the adb server.
// Device information comes from getprop, free space from df, media from a
// walk of the shared storage and every removable volume with the sync
// service's LIST (LIS2 on phones with ls_v2, several folders at a time),
// applications from pm; files are pulled with RECV: large ones over one sync
// connection per run, small ones fetched ahead over several (AdbPrefetcher).
class AdbDevice : public DeviceBackend
{
public:
    // strSerial empty: the one phone the server knows.
    AdbDevice(const QString &strSerial, quint16 nPort);
    ~AdbDevice() override;

    int BackUp(int nType, const char *szName, char **ppText) override;
    int GetFile(const char *szLocalPath, const char *szRemotePath, int nMode) override;
    int GetBackUpCount(int nType, int *pCount, int *pSize) override;
    int MemInfo(DVSK_MemInfo **ppList) override;

    void SetBackupCancel(unsigned char bCancel) override;
    void BackupCancel() override;
    void OperationCancel(const char *szShellCommand) override;
    void Reset() override;

    int Open(QString &strMessage) override;
    QString DeviceInfo() override;
    bool IsAttached() override;
    QString Identity() override;
    // Lets the phone go (device tracking, the sync connection); a later call
    // opens it again.
    void Close();

    // The phone to serve among those the server lists: strWanted, or the one
    // usable phone when strWanted is empty. 0, or DVSK_DEV_ERR_NO_PHONE with
    // the reason (none, several usable, none usable and why) in strMessage.
    static int ChoosePhone(const QList<AdbParsers::Device> &listDevices, const QString &strWanted,
                           AdbParsers::Device &chosen, QString &strMessage);

    // Where the phone's shared storage is walked from, and what is left out
    // of it and of every removable volume (/storage/XXXX-XXXX).
    static const char kSharedStorage[];
    static bool IsSkippedFolder(const QString &strPhonePath, const QString &strVolume = QLatin1String(kSharedStorage));
    // Sync connections for small files: DVSK_ADB_STREAMS (1 to 8; 1 fetches
    // nothing ahead), else kDefaultStreams.
    static const int kDefaultStreams;
    static int StreamsFromEnvironment();
    // Whether records of a type can be read from a phone at all: contacts,
    // messages, call log and calendar come from the phone's content
    // providers; e-mail and bookmarks have no provider to read.
    bool RecordsAvailable(int nType) const;

    // For the restore calls beside this back end (AdbRestore): the phone
    // opened on first use, its serial and properties, the features its
    // handshake announced, and what a connection that ended means.
    int Connect();
    AdbServer &Server() { return m_server; }
    QString Serial();
    QString Property(const QString &strKey);
    bool HasFeature(const QString &strFeature);
    // DVSK_DEV_ERR_DISCONNECTED, with the device events raised, when the
    // phone is gone; 0 while it is still there.
    int GoneCode();
    // The restore calls onto this phone; they live as long as it does.
    AdbRestore &Restore();

private:
    // A walked path whose request is not simply its text (few on any phone,
    // so kept apart from the lists): the phone's bytes when they are not the
    // text's UTF-8, and whether it stands for a volume or folder the phone
    // would not list. Paths too long for a sync request are among them.
    struct Unusual
    {
        QByteArray baRaw;
        qint64 nSize = 0;
        bool bUnreadable = false;
    };
    using UnusualPaths = QHash<QString, Unusual>;
    struct App
    {
        QString strPackage;
        QString strApkPath;
        qint64 nSize = 0;
        qint64 nMtime = 0; // seconds since 1970, UTC; 0: unknown
    };

    int OpenLocked(QString &strMessage);
    int EnsureOpen();
    // Runs fnRequest on the run's sync connection, opening one when there is
    // none or the last one ended.
    AdbSync::Result WithSync(const std::function<AdbSync::Result(AdbSync &)> &fnRequest, QString *pError);
    // A new sync connection to the phone; null when it cannot be opened.
    std::unique_ptr<AdbSync> OpenSync(QString *pError);
    // The run's sync connection, opened when there is none or the last one
    // ended; call with m_syncMutex held.
    AdbSync *SyncLocked(QString *pError);
    // Closes the sync connection (with any answer still unread on it).
    void DropSyncLocked();
    // Copies one file (baRequest: its path's bytes on the phone); the request
    // for the file the engine will ask for next goes out before this one is read.
    // fnProgress (may be empty) gets the bytes copied so far.
    AdbSync::Result Pull(const QString &strRemote, const QByteArray &baRequest, const QString &strLocal,
                         QString *pError, const std::function<void(qint64)> &fnProgress);
    // Copies a file whose path is too long for a sync request through the shell.
    AdbSync::Result PullByShell(const QByteArray &baPath, qint64 nListedSize, const QString &strLocal,
                                QString *pError, const std::function<void(qint64)> &fnProgress);
    // Lists and reads paths too long for a sync request on the served phone.
    AdbLongPaths LongPaths();
    // A small file fetched ahead goes to strLocal; NotHere leaves the copy to Pull().
    AdbPrefetcher::Outcome TakeFetched(const QString &strRemote, const QString &strLocal, AdbSync::Result *pResult,
                                       QString *pError);
    void PlanCopies(AdbPhoneFiles files, const AdbPrefetcher::Requests &hashRequests = {});
    void AbortSync();
    // What a broken request means: a cancel, or the phone going away.
    int BrokenCode();
    bool IsCancelled(quint64 nGeneration) const;

    struct WalkFolder
    {
        QString strPath;  // as the engine sees it
        QByteArray baRaw; // the path's bytes on the phone when they are not strPath's UTF-8
    };
    struct WalkListing
    {
        QList<AdbSync::Entry> listEntries;
        bool bOpened = false;  // the phone could open the folder
        bool bComplete = true; // and listed every entry of it
    };
    // The volumes to walk: the shared storage, then each removable volume
    // found by listing /storage, each storage once (AdbVolumes).
    int StorageVolumes(QStringList &listRoots);
    // Adds the images, videos and audio of one volume to lists[0..2];
    // *pbReadable false when the volume itself cannot be read.
    int WalkVolume(const QString &strRoot, AdbPhoneFiles (&lists)[3], UnusualPaths &hashUnusual,
                   bool *pbReadable);
    int WalkMedia(AdbPhoneFiles (&lists)[3], UnusualPaths &hashUnusual);
    // The walked file (or unreadable volume or folder) behind an engine path
    // whose request is not simply its text; false for any other path.
    bool WalkedFile(const QString &strPhonePath, Unusual *pFile);
    // The requests of the last walk's unusual paths, for the copies planned.
    AdbPrefetcher::Requests WalkRequests();
    // A path's bytes on the phone (baRaw: kept only when they are not strPath's UTF-8).
    static QByteArray PhoneBytes(const QString &strPath, const QByteArray &baRaw)
    {
        return baRaw.isEmpty() ? strPath.toUtf8() : baRaw;
    }
    // The next folders to list at once: several that fit a sync request, or
    // several that do not.
    static QList<WalkFolder> TakeBatch(QList<WalkFolder> &listPending);
    // Lists the folders of a batch, through sync or the shell.
    AdbSync::Result ListFolders(const QList<WalkFolder> &listBatch, QList<WalkListing> &listAnswers, int *pnAnswered,
                                QString *pError);
    // Sends a listing request for every folder of listBatch, then reads the
    // answers in order; *pnAnswered counts the ones read in full.
    static AdbSync::Result ListBatch(AdbSync &sync, const QList<WalkFolder> &listBatch,
                                     QList<WalkListing> &listAnswers, int *pnAnswered, QString *pError);
    // Lists folders too long for a sync request through the phone's shell, several at once.
    AdbSync::Result ListByShell(const QList<WalkFolder> &listBatch, QList<WalkListing> &listAnswers, QString *pError);
    // Gives names that are not UTF-8 a text no other entry of the folder has.
    static void NameEntries(QList<AdbSync::Entry> &listEntries);
    // The media files and the subfolders to walk of one listed folder of the
    // volume strRoot (pLists: images, videos, audio).
    static void AddWalked(const WalkFolder &folder, const QList<AdbSync::Entry> &listEntries, const QString &strRoot,
                          QList<WalkFolder> &listPending, AdbPhoneFiles *pLists, UnusualPaths &hashUnusual);
    // A folder the phone would not list stands in every media list as an
    // entry whose copy fails: never left out silently.
    static void AddUnreadable(const WalkFolder &folder, AdbPhoneFiles *pLists, UnusualPaths &hashUnusual);
    AdbRecordShell ShellFor(quint64 nGeneration);
    // The walked files of a media type; bTake: the backup of that type takes
    // them, and a later call walks again rather than keep them all the run.
    int MediaOfType(int nType, AdbPhoneFiles &files, bool bTake = false);
    int ListApps(QList<App> &listApps, bool bLogSplits);
    bool HasRoot();
    bool AppDataAvailable();
    int Shell(const QString &strCommand, QByteArray &baOutput);
    // Records read from the content providers and written as a file (vCard,
    // iCalendar, XML) in a folder of this SDK, handed over through the result path.
    int RecordCount(int nType, int *pCount);
    int BackUpRecords(int nType, char **ppText);
    // 0 and the result file on the PC when strPhonePath names one.
    bool ResultFile(const QString &strPhonePath, QString *pLocalPath);
    void RaiseEvent(int nEvent);
    void OnStalled();
    // Tells the engine the phone is gone (device events 6006, 6014) unless
    // it knows already; returns DVSK_DEV_ERR_DISCONNECTED.
    int MarkGone();

    AdbServer m_server;
    const QString m_strWanted;

    QMutex m_mutex; // the connection state and the callbacks
    bool m_bOpen = false;
    QString m_strSerial;
    QHash<QString, QString> m_hashProperties;
    bool m_bListV2 = false; // the phone lists folders with 64-bit sizes (ls_v2)
    bool m_bShellV2 = false; // the phone keeps a command's error stream apart (shell_v2)
    QStringList m_listFeatures;
    int m_nRoot = -1; // -1 not asked yet, 0 no, 1 yes
    std::unique_ptr<AdbTracker> m_pTracker;

    QMutex m_syncMutex;  // one request at a time on the sync connection
    QMutex m_abortMutex; // held while m_pSync is replaced or aborted
    std::unique_ptr<AdbSync> m_pSync;
    // Guarded by m_syncMutex: the file whose RECV was sent ahead and whose
    // answer is still unread on m_pSync.
    QString m_strPending;
    // The files of the last list handed to the engine, in the order it
    // copies them (the plan); the small ones are fetched ahead over
    // connections of their own.
    std::unique_ptr<AdbPrefetcher> m_pPrefetcher;

    // The last walk of the shared storage, reused by the calls that follow
    // it closely (the three media counts, then the three media steps).
    QMutex m_walkMutex;
    QElapsedTimer m_walkAge;
    AdbPhoneFiles m_listWalk[3];
    bool m_abWalkTaken[3] = {false, false, false};
    // Engine path -> walked file, for the unreadable volumes and folders of
    // the last walk and the files whose request is not simply their path's
    // text (names that are not UTF-8, paths too long for a sync request).
    UnusualPaths m_hashUnusual;

    // Result files of record backups: phone-side name -> file on the PC.
    QMutex m_resultMutex;
    std::unique_ptr<QTemporaryDir> m_pResultDir;
    QHash<QString, QString> m_hashResults;

    QMutex m_restoreMutex;
    std::unique_ptr<AdbRestore> m_pRestore;

    std::atomic<bool> m_bCancel {false};
    // The phone stopped answering (no byte for the stall time) while still
    // listed by the server: it counts as gone until the next run starts.
    std::atomic<bool> m_bStalled {false};
    std::atomic<quint64> m_nGeneration {0};
};
