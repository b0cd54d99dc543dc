#pragma once

#include "RestoreDevice.h"
#include "RestorePlan.h"
#include "RestoreSummary.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

class QThread;

// Runs a restore on a worker thread: opens and verifies the backup, plans
// what to do (RestorePlanner) and, unless it is a dry run, carries the plan
// out on the phone kind by kind, then asks the phone to index the restored
// media. Reports through queued signals; cancel from any thread. A phone
// that goes away (device events 6006, 6014, or a call that says so) ends the
// run as disconnected.
class RestoreRunner : public QObject
{
    Q_OBJECT
public:
    struct Progress
    {
        int nItemsDone = 0; // kinds with work done
        int nItems = 0;
        int nFilesDone = 0; // media files and applications
        int nFiles = 0;
        qint64 nBytesDone = 0;
        qint64 nBytes = 0;
    };

    // The device must outlive the runner.
    explicit RestoreRunner(RestoreDevice &device, QObject *pParent = nullptr);
    ~RestoreRunner() override;

    // strBackup: a package or a backup folder; listCodes: the kinds (codes of
    // the table of kinds) to restore, all the backup holds when empty. False
    // when a run is still going.
    bool Start(const QString &strBackup, const QList<int> &listCodes, bool bDryRun);
    void Cancel();
    // The phone went away: stops the run as disconnected.
    void PhoneRemoved();
    // True while a run works; false from the moment signalFinished is
    // emitted, though the worker thread may still be ending.
    bool IsRunning() const;
    void Wait();
    // The summary of the last run, once it has finished.
    RestoreSummary Summary() const { return m_summary; }

signals:
    void signalPlanned(const RestorePlan &plan);
    void signalProgress(const RestoreRunner::Progress &progress);
    void signalItemStarted(int nCode);
    void signalItemFinished(const RestoreSummary::KindResult &result);
    void signalFinished(const RestoreSummary &summary);

private:
    void Work();
    void Finish(int nStop);
    int RunKind(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result);
    int RunRecords(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result);
    int RunApps(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result);
    int RunMedia(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result);
    void ScanRestoredMedia();
    void EmitProgress(bool bForce);
    bool StopRequested() const;

    RestoreDevice &m_device;
    QThread *m_pThread = nullptr;
    std::atomic_bool m_bCancelled{false};
    std::atomic_bool m_bDisconnected{false};
    std::atomic_bool m_bFinished{true}; // the run has emitted signalFinished
    QString m_strBackup;
    QList<int> m_listCodes;
    bool m_bDryRun = false;
    Progress m_progress;
    qint64 m_nBytesEmitted = 0;
    RestoreSummary m_summary;
    QStringList m_listRestoredMedia;
};

Q_DECLARE_METATYPE(RestoreRunner::Progress)
