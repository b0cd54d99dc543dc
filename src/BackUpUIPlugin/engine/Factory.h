#pragma once

#include "BackupRecords.h"
#include "PhoneInfo.h"
#include "TransferCounts.h"

#include <QDateTime>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSemaphore>
#include <QString>
#include <QStringList>

class AddrBook;
class APK;
class APKData;
class Audio;
class BackUpRestoreInterface;
class Bookmark;
class Calendar;
class CallLog;
class Email;
class FileModule;
class Image;
class MMS;
class MyZip;
class ParseInfo;
class SMS;
class Video;

// Runs one backup from start to end on the worker thread: creates the data
// modules of the selection, runs their steps in a fixed order, gathers their
// result files with the device information file into one package and
// delivers it to the destination under the run's name. The result is the
// mask of the modules that failed.
class Factory : public QObject
{
    Q_OBJECT
public:
    static Factory *Instance();
    // The instance if it exists, without creating it.
    static Factory *ExistingInstance();
    // Deletes the instance with its modules and writers.
    static void DestroyInstance();

    // Counts one module type through the device information writer and keeps
    // the result as the requested count of that type.
    int GetCount(int nType, int *pCount, int *pSize);
    // Creates the modules of the selection that do not exist yet.
    void CreateObject(const BackupItems &items);
    // Runs one backup into the destination folder; returns the failed mask.
    int BackUp(const QString &strDestination);
    // Stops (or releases) the copy loops of the file modules.
    void StopFileModules(bool bStop);
    // Forgets the files of the last run (its package, backup folder and
    // result files), so that nothing removes them once a new run begins.
    void ForgetRunFiles();

    // The run's backup folder in the destination (empty before a run).
    QString GetBackupFolder() const;
    // The final package path and the record modules' result files of the run.
    QStringList GetFileList() const;
    // The package path in the destination of the current run.
    QString GetPackagePath() const;
    // True when the last run delivered its package to the destination.
    bool IsPackageDelivered() const;
    // The folder the SDK keeps the user's data in; module result files and
    // the temporary package are written there. Ends with a separator.
    QString GetDataFolder() const;
    QString GetTempPackagePath() const;
    // The names of the files a backup writes into the data folder besides
    // Info.xml: the module files, the file steps' placeholders and the
    // temporary package. Whoever ends a run (the wizard, the command-line
    // tool) removes these.
    static QStringList TempFileNames();

    BackupItems GetSelection() const;
    BackupCounts GetRequestedCounts() const;
    BackupCounts GetBackedUpCounts() const;
    int GetFailedMask() const;
    int GetAttemptedMask() const;
    // The modules whose file the package holds (also those partly backed up).
    int GetPackagedMask() const;
    // Per module type code, the phone paths of the files the last run could
    // not copy (modules that copy file by file).
    QMap<int, QStringList> GetFailedFiles() const;
    // The modules whose last count call failed; a run fails them.
    int GetCountFailedMask() const;

    // Fixes the time used to name runs (an invalid time restores the clock).
    static void SetRunTimeOverride(const QDateTime &dtTime);
    // true: later runs copy every file from the phone, ignoring earlier
    // backups of the phone in the destination (false by default).
    static void SetFullCopy(bool bFull);
    static bool IsFullCopy();

    // Where the application and media files of the last run came from.
    TransferCounts GetTransferCounts() const;

signals:
    void signalBackUpStart(FILESTATUS status);
    void TransportFileSatus(FILESTATUS status);
    void PackageStatus(bool bPackaging);
    void signalGrayCancelButton(bool bGray);
    void BackupCallBack(int nType, int nPlugin, int nCount, int nAll);
    void signalsIsApkBackup(bool bRunning);
    void signalsIsApkDataBackup(bool bRunning);
    void signalsIsImageBackup(bool bRunning);
    void signalsIsVideoBackup(bool bRunning);
    void signalsIsAudioBackup(bool bRunning);
    void signalsImageCount(int nCount, int nValue1, int nValue2);
    void signalsVideoCount(int nCount, int nValue1, int nValue2);
    void signalsAudioCount(int nCount, int nValue1, int nValue2);
    void signalError(int nError, int nModule);
    void signalsBackFinished(int nModule);
    void signalsAPKCount(int nCount, int nValue1, int nValue2);
    void signalBackupCount(void *pItems, void *pRequested, void *pBackedUp);
    void signalBackupPro(int MoudleIndex, int ProType, int ProNum, int AllNum);

private:
    Factory();
    ~Factory() override;

    struct StepInfo;
    enum class FileFlag { None, Apk, ApkData, Image, Video, Audio };

    int BackUpPB();
    int BackUpSMS();
    int BackUpMMS();
    int BackUpCallog();
    int BackUpCal();
    int BackUpEmail();
    int BackUpBookmark();
    int BackUpAPP();
    int BackUpAPPData();
    int BackUpImage();
    int BackUpVidio();
    int BackUpAudio();

    int RecordStep(const StepInfo &step);
    int FileStep(const StepInfo &step);
    void EmitFileFlags(FileFlag flag);
    void SetPackageCount(int nCode, int nCount);
    void StepFailed(const StepInfo &step, int nError);
    bool WritePlaceholder(const StepInfo &step, const QString &strPath);
    bool MakeAndDeliverPackage();
    void FailPackagedModules();
    void RemoveBackupFolder();
    template <typename T> T *CreateModule(T *&pModule);

    AddrBook *m_pAddrBook = nullptr;
    SMS *m_pSMS = nullptr;
    MMS *m_pMMS = nullptr;
    APK *m_pAPK = nullptr;
    APKData *m_pAPKData = nullptr;
    CallLog *m_pCallLog = nullptr;
    Calendar *m_pCalendar = nullptr;
    Email *m_pEmail = nullptr;
    Bookmark *m_pBookmark = nullptr;
    Image *m_pImage = nullptr;
    Video *m_pVideo = nullptr;
    Audio *m_pAudio = nullptr;

    ParseInfo *m_pParseInfo = nullptr;
    MyZip *m_pMyZip = nullptr;
    PhoneInfo m_phoneInfo;
    BackupItems m_items;
    BackupCounts m_countsRequested;
    BackupCounts m_countsBackedUp;
    QStringList m_listFiles;
    QString m_strBackupFolder;
    bool m_bCancel = false;
    QString m_strDataFolder;
    QSemaphore m_semaphore;
    int m_nFailedMask = 0;
    int m_nAttemptedMask = 0;
    int m_nCountFailedMask = 0;
    bool m_bNothingPackaged = true;

    // Bits of the modules whose file went into the package of this run.
    int m_nPackagedMask = 0;
    QMap<int, QStringList> m_mapFailedFiles;
    QString m_strPackagePath;
    bool m_bDelivered = false;
    TransferCounts m_transfer;
    // Guards what other threads read while a run goes on (file list, backup
    // folder, masks, counts).
    mutable QMutex m_mutex;
};
