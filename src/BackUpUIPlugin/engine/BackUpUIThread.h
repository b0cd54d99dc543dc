#pragma once

#include "BackupRecords.h"
#include "ProgressWeights.h"
#include "RemainingTimeEstimate.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>

// The worker's parameters, set in one call before it is started.
struct BackUpThreadParam
{
    int nMode = 0; // 1 backup, 3 count (report 0), 4 cancel through the SDK, 5 count (report 1)
    BackupItems items;
    QString strPath; // destination folder of a backup
};

// The worker thread: one run() performs one job, counting the items on the
// phone or the whole backup (memory check, factory run). The object itself
// lives in the thread that created it (the user-interface thread), so its
// slots run there and turn the engine's progress events into one weighted
// progress value.
// The progress weights' slots (Weight, W_...) come from ProgressWeights.
struct BackupKind;

class BackUpUIThread : public QThread, public ProgressWeights
{
    Q_OBJECT
public:
    // Created on first use; the first call should come from the thread that
    // is to run the worker's slots (the user-interface thread).
    static BackUpUIThread *Instance();
    // The instance if it exists, without creating it.
    static BackUpUIThread *ExistingInstance();
    // Releases a running job through an SDK reset, waits for it and deletes
    // the worker.
    static void DestroyInstance();
    // The user's cancel: marks the run cancelled and starts the cancel
    // thread, unless a cancel job is already under way (it does the same
    // work). Never waits, so it may be called from any thread.
    static void ClickCancel();

    void SetParam(const BackUpThreadParam &param);
    BackUpThreadParam GetParam() const;
    // False while a backup job runs, true once it is over.
    bool IsFinished() const;
    // True when the phone went away during the current or last backup job,
    // which then ends with RUN_RESULT_PHONE_DISCONNECTED.
    bool IsPhoneLost() const;
    // The progress range of the current selection.
    int GetProgressTotal();
    // A copy of the count table filled by counting.
    QHash<int, structBackupID> GetModuleCounts() const;
    // True when the phone holds at least one item of the kind (BackupItems slot).
    bool HasData(int nSlot) const;
    float GetWeight(int nWeight) const;
    // Removes the run's package, result files and backup folder.
    void DeleteTmpFile();
    // Removes what a cancel may remove once the backup job was over: the
    // run's temporary files in the data folder, never the delivered package
    // or the backup folder.
    void DeleteDataFolderTmpFiles();
    // Removes a folder with its content. Links are removed as links and never
    // followed, so nothing outside the folder is touched.
    static bool DeleteDirectory(const QString &strPath);

signals:
    void signalsPluginCount(int nReport);
    void signalBackupCancelSuccess();
    void signalBackupCancel();
    void signalsFinish(int nResult);
    void signalsBackFinished(int nModule);
    void signalsModuleInfo(structBackupID info);
    void IsApkBackup(bool bRunning);
    void IsApkDataBackup(bool bRunning);
    void IsImageBackup(bool bRunning);
    void IsVideoBackup(bool bRunning);
    void IsAudioBackup(bool bRunning);
    void signalIncreaseValue(float fValue);
    // The backup's time left in seconds (RemainingTimeEstimate), -1 while
    // it is not known; sent when it changes.
    void signalTimeLeft(int nSeconds);

protected:
    void run() override;

private slots:
    void slotsBackUpStart(FILESTATUS status);
    void slotsTransportFile(FILESTATUS status);
    void slotsBackupCallBack(int nType, int nAll);
    void slotProBarTargetValue(int MoudleIndex, int ProType, int ProNum, int AllNum);
    // A file step's share and bytes (FileModule::signalFilesProgress): the
    // bar moves by the step's files weight, the estimate by the bytes.
    void slotFilesProgress(int nModule, int nShare, qint64 nNewBytes);

private:
    BackUpUIThread();
    ~BackUpUIThread() override;

    void procGetCount(int nReport);
    // Drops repeated and empty progress events; remembers the one taken.
    // *pbJump: the step jumped to its end (records read in one go).
    bool TakeProgressEvent(int nModule, int nProType, int nProNum, int nAllNum, bool *pbJump);
    // The bar's share a taken progress event adds (records, application data,
    // a file step's start); a step's own progress is sent on as module info.
    float ProgressIncrement(const BackupKind *pKind, int ProType, int ProNum, int AllNum, bool bJump);
    void EmitModuleProgress(int nId, int nProNum, int nAllNum);
    void procBackup();
    // Takes the run's items and folder and counts the items that will
    // run, under m_dataMutex.
    int TakeRunItems(BackupItems &items, QString &strPath);
    // Lets an earlier run's cancel job end and keeps this run's cancel
    // away from the earlier run's files.
    void PrepareRun();
    // Ends the run as finished or cancelled and says so.
    void FinishRun(int nResult);
    int procMemInfo(int nItems);
    // Device events 6006 / 6014 (any thread): a running backup job is
    // cancelled at once and reported as ended by the phone's removal.
    void OnPhoneRemoved();
    int dealWithMemoryInfo();
    // The bytes the selected file steps are to copy, from the counts.
    qint64 SelectedFileBytes() const;
    // Measures the run's throughput now and sends a changed time left.
    void UpdateTimeLeft();

    int m_nMode = 0;
    BackupItems m_items;
    QString m_strPath;
    float m_fProgressTotal = 0.0f;
    float m_fWeights[W_COUNT] = {};
    int m_nLastModule = -1;
    int m_nLastProType = -1;
    int m_nLastProNum = -1;
    int m_nLastAllNum = -1;
    QHash<int, structBackupID> m_hashCounts;
    // The counted size in kilobytes of each file kind (by code).
    QHash<int, qint64> m_hashFileSizeKB;
    // The file step whose share came last, and that share.
    int m_nShareModule = -1;
    int m_nShare = 0;
    // The bytes the run's file steps have done, the clock since its start
    // and the estimate (user-interface thread only).
    qint64 m_nRunBytes = 0;
    QElapsedTimer m_runClock;
    RemainingTimeEstimate m_estimate;
    int m_nSecondsLeft = -1;
    QList<MemInfoRecord> m_listMemInfo;
    bool m_bHasData[BackupItems::kSlots] = {};
    bool m_bFinished = true;
    // A cancel came for the backup set up last (see run()).
    bool m_bCancelPending = false;
    // The phone went away while the backup job ran (not after a user cancel).
    bool m_bPhoneLost = false;
    bool m_bRunning = false;
    QMutex m_runningMutex;
    // Guards the parameters, the count table, the weights and the data flags,
    // which the job writes and the user-interface thread reads.
    mutable QMutex m_dataMutex;

    friend class BackUpUIThreadCancel;
};
