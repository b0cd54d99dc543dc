#pragma once

#include "BackupRecords.h"
#include "PhoneIdentity.h"
#include "PhoneInfo.h"
#include "TransferCounts.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

class BackUpRestoreInterface;
class MyZip;
class ParseInfo;
struct BackupKind;

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
    // The modules whose last count call said the phone does not give that
    // kind of data at all; a run leaves them out without failing them.
    int GetNotAvailableMask() const;

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
    void signalsIsApkBackup(bool bRunning);
    void signalsIsApkDataBackup(bool bRunning);
    void signalsIsImageBackup(bool bRunning);
    void signalsIsVideoBackup(bool bRunning);
    void signalsIsAudioBackup(bool bRunning);
    void signalError(int nError, int nModule);
    void signalsBackFinished(int nModule);
    // The run's selection, requested counts and backed-up counts, as copies.
    void signalBackupCount(BackupItems items, BackupCounts requested, BackupCounts backedUp);
    void signalBackupPro(int MoudleIndex, int ProType, int ProNum, int AllNum);
    // A file module's share of its step and new bytes (FileModule).
    void signalFilesProgress(int nModule, int nShare, qint64 nNewBytes);

private:
    Factory();
    ~Factory() override;

    // The kind's module, null when it was not created.
    BackUpRestoreInterface *Module(const BackupKind &kind) const;
    void CreateModule(const BackupKind &kind);
    // The steps of BackUp: results of the last run cleared; every selected
    // module failed when there is no data folder (the failed mask); the run
    // named (its folder and package path set, its time returned); every
    // selected step run; the backup folder removed when it holds nothing.
    void ResetRunResults();
    int FailEveryStep();
    QDateTime NameRun(const QString &strDestination);
    void RunSteps();
    void FinishBackupFolder(const QDateTime &dtRun);
    // Reads the phone's information, writes Info.xml with the counts asked
    // for and opens the package with it; the path of Info.xml.
    QString StartPackage();
    // Writes Info.xml with the counts backed up and makes the package (or
    // fails what should have gone into it).
    void FinishPackage(const QString &strInfoFile);
    int RecordStep(const BackupKind &kind);
    // After a record module ran: packages its result file or fails the step.
    void FinishRecordStep(const BackupKind &kind, const QString &strFile, int nError, int nCount, int nRequested);
    int FileStep(const BackupKind &kind);
    // What a file step's folder held before it ran, so that a failed step
    // removes only what it added itself.
    struct FolderBefore
    {
        QString strFolder;
        bool bExisted = false;
        QSet<QString> setEntries;
    };
    // After a file module ran: packages what it copied (all or part) or
    // removes it and fails the step.
    void FinishFileStep(const BackupKind &kind, const BackUpRestoreInterface *pModule, int nError, int nCount,
                        const FolderBefore &before);
    // The phone paths a list-driven module could not copy, kept and logged.
    QStringList NoteFailedFiles(const BackupKind &kind, const BackUpRestoreInterface *pModule, int nCount);
    // Counts the step's nCount files and puts its placeholder file into the
    // package; false when the placeholder could not be written or added.
    bool PackageFileStep(const BackupKind &kind, int nCount);
    // Tells the progress page which kind of file is copied (null: none).
    void EmitFileFlags(const BackupKind *pRunning);
    void SetPackageCount(const BackupKind &kind, int nCount);
    void StepFailed(const BackupKind &kind, int nError);
    bool WritePlaceholder(const BackupKind &kind, const QString &strPath);
    // Whether the files packaged are removed once the package is delivered
    // (the setting, written as "1" when absent).
    static bool DeleteSourcesSetting();
    bool MakeAndDeliverPackage();
    // Tells the file modules which earlier backups of this phone in the
    // destination may lend them unchanged files (none for a full copy).
    void UseEarlierBackups(const QString &strDestination, const QString &strFolder);
    void FailPackagedModules();
    void RemoveBackupFolder();

    // The modules created so far, by module type code.
    QHash<int, BackUpRestoreInterface *> m_hashModules;

    ParseInfo *m_pParseInfo = nullptr;
    MyZip *m_pMyZip = nullptr;
    PhoneInfo m_phoneInfo;
    PhoneIdentity m_phoneIdentity; // the phone's own identity, for its device file
    QStringList m_listEarlier;     // the earlier run folders this run takes files from
    BackupItems m_items;
    BackupCounts m_countsRequested;
    BackupCounts m_countsBackedUp;
    QStringList m_listFiles;
    QString m_strBackupFolder;
    QString m_strDataFolder;
    int m_nFailedMask = 0;
    int m_nAttemptedMask = 0;
    int m_nCountFailedMask = 0;
    int m_nNotAvailableMask = 0;
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
