#include "RestoreRunner.h"

#include "BackUpUILogic.h"
#include "RestorePlanner.h"
#include "RestoreSource.h"
#include "RestoreTexts.h"

#include <sdk/dvsk_device.h>
#include <sdk/dvsk_restore.h>

#include <QHash>
#include <QThread>

namespace
{
using Action = RestorePlan::Action;

// Progress is reported at least every this many bytes of a file.
constexpr qint64 kProgressStep = 1024 * 1024;

bool StopsRun(int nResult)
{
    return nResult == DVSK_DEV_ERR_CANCELLED || nResult == DVSK_DEV_ERR_DISCONNECTED;
}
} // namespace

RestoreRunner::RestoreRunner(RestoreDevice &device, QObject *pParent) : QObject(pParent), m_device(device)
{
    qRegisterMetaType<RestorePlan>();
    qRegisterMetaType<RestoreSummary>();
    qRegisterMetaType<RestoreSummary::KindResult>();
    qRegisterMetaType<RestoreRunner::Progress>();
    // Direct: the phone's events arrive on an SDK thread while the worker
    // may be blocked in a call that only a cancel ends.
    connect(
        BackUpUILogic::Instance(), &BackUpUILogic::signalDeviceMgrEvent, this,
        [this](qint32 nEvent) {
            if (nEvent == 6006 || nEvent == 6014)
                PhoneRemoved();
        },
        Qt::DirectConnection);
}

RestoreRunner::~RestoreRunner()
{
    if (IsRunning())
        Cancel();
    Wait();
    delete m_pThread;
}

bool RestoreRunner::Start(const QString &strBackup, const QList<int> &listCodes, bool bDryRun)
{
    if (IsRunning())
        return false;
    // A finished run's thread may still be ending: the next run waits for it
    // rather than being refused (the items page's Restore may be pressed as
    // soon as the dry run's plan shows).
    Wait();
    delete m_pThread;
    m_bFinished = false;
    m_strBackup = strBackup;
    m_listCodes = listCodes;
    m_bDryRun = bDryRun;
    m_bCancelled = false;
    m_bDisconnected = false;
    m_progress = Progress();
    m_nBytesEmitted = 0;
    m_summary = RestoreSummary();
    m_listRestoredMedia.clear();
    m_device.ResetCancel();
    m_pThread = QThread::create([this] { Work(); });
    m_pThread->start();
    return true;
}

void RestoreRunner::Cancel()
{
    m_bCancelled = true;
    m_device.Cancel();
}

void RestoreRunner::PhoneRemoved()
{
    m_bDisconnected = true;
    m_device.Cancel();
}

bool RestoreRunner::IsRunning() const
{
    return m_pThread && m_pThread->isRunning() && !m_bFinished;
}

void RestoreRunner::Wait()
{
    if (m_pThread)
        m_pThread->wait();
}

bool RestoreRunner::StopRequested() const
{
    return m_bCancelled || m_bDisconnected;
}

void RestoreRunner::Work()
{
    RestoreSource source;
    QString strError;
    if (!source.Open(m_strBackup, strError)) {
        m_summary.end = RestoreSummary::End::NotStarted;
        m_summary.strError = strError;
        Finish(0);
        return;
    }
    RestorePlan plan;
    const int nPlan = RestorePlanner(m_device).Plan(source, m_listCodes, plan);
    m_summary = RestoreSummary::FromPlan(plan, m_bDryRun);
    if (nPlan != 0 || StopRequested() || m_bDryRun) {
        if (nPlan == 0)
            emit signalPlanned(plan);
        Finish(nPlan);
        return;
    }
    emit signalPlanned(plan);
    m_progress.nItems = plan.KindsWithWork();
    m_progress.nFiles = plan.FilesToSend();
    m_progress.nBytes = plan.BytesToSend();
    EmitProgress(true);
    int nStop = 0;
    for (const RestorePlan::Kind &kind : qAsConst(plan.kinds)) {
        if (!kind.HasWork())
            continue;
        RestoreSummary::KindResult *pResult = m_summary.Find(kind.nCode);
        if (nStop != 0 || StopRequested()) {
            pResult->bNotReached = true;
            continue;
        }
        emit signalItemStarted(kind.nCode);
        nStop = RunKind(kind, *pResult);
        ++m_progress.nItemsDone;
        EmitProgress(true);
        emit signalItemFinished(*pResult);
    }
    if (nStop == 0 && !StopRequested())
        ScanRestoredMedia();
    Finish(nStop);
}

void RestoreRunner::Finish(int nStop)
{
    // A cut cable may surface as a cancel (the event came first) or as a
    // failure of the call (the call noticed first).
    if (m_bDisconnected || nStop == DVSK_DEV_ERR_DISCONNECTED)
        m_summary.end = RestoreSummary::End::Disconnected;
    else if (m_bCancelled || nStop == DVSK_DEV_ERR_CANCELLED)
        m_summary.end = RestoreSummary::End::Cancelled;
    // Set first: whoever hears of the end may start the next run at once.
    m_bFinished = true;
    emit signalFinished(m_summary);
}

int RestoreRunner::RunKind(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result)
{
    if (!kind.strRecordFile.isEmpty())
        return RunRecords(kind, result);
    if (kind.nCode == MODULE_APK)
        return RunApps(kind, result);
    return RunMedia(kind, result);
}

int RestoreRunner::RunRecords(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result)
{
    RestoreDevice::RecordCounts counts;
    QString strMessage;
    const int nResult = m_device.Records(kind.nCode, kind.strRecordFile, counts, strMessage);
    // Counts come from the phone, also for a call that stopped half way.
    result.nRestored += counts.nRestored;
    result.nSkipped += counts.nSkipped;
    result.nFailed += counts.nFailed;
    if (counts.nFailed > 0) {
        result.listFailures << QStringLiteral("%1 records: %2")
                                   .arg(counts.nFailed)
                                   .arg(RestoreTexts::PhoneFailure(DVSK_DEV_ERR_PHONE_IO, strMessage));
    }
    if (StopsRun(nResult))
        return nResult;
    if (nResult != 0) {
        result.bFailed = true;
        result.strWhy = RestoreTexts::PhoneFailure(nResult, strMessage);
    }
    return 0;
}

int RestoreRunner::RunApps(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result)
{
    for (const RestorePlan::Item &item : kind.items) {
        if (item.action != Action::Restore)
            continue;
        if (StopRequested())
            return DVSK_DEV_ERR_CANCELLED;
        QString strMessage;
        const int nResult = m_device.InstallApp(item.listLocal, strMessage);
        if (StopsRun(nResult))
            return nResult;
        if (nResult == 0) {
            ++result.nRestored;
        } else {
            ++result.nFailed;
            result.listFailures << QStringLiteral("%1: %2").arg(item.strName,
                                                                RestoreTexts::PhoneFailure(nResult, strMessage));
        }
        ++m_progress.nFilesDone;
        m_progress.nBytesDone += item.nSize;
        EmitProgress(true);
    }
    return 0;
}

int RestoreRunner::RunMedia(const RestorePlan::Kind &kind, RestoreSummary::KindResult &result)
{
    QList<RestoreDevice::Job> listJobs;
    QList<const RestorePlan::Item *> listItems;
    for (const RestorePlan::Item &item : kind.items) {
        if (item.action != Action::Restore)
            continue;
        listJobs.append({item.listLocal.value(0), item.strTarget, item.nModified});
        listItems.append(&item);
    }
    QList<qint64> listSent(listJobs.size(), 0);
    QList<bool> listEnded(listJobs.size(), false);
    const qint64 nBytesBefore = m_progress.nBytesDone;
    auto onFile = [&](int nIndex, int nResult, qint64 nBytes, const QString &strMessage) {
        if (nIndex < 0 || nIndex >= listJobs.size() || listEnded.at(nIndex))
            return;
        const RestorePlan::Item &item = *listItems.at(nIndex);
        if (nResult == -1) {
            m_progress.nBytesDone += qBound<qint64>(0, nBytes, item.nSize) - listSent.at(nIndex);
            listSent[nIndex] = qBound<qint64>(0, nBytes, item.nSize);
            EmitProgress(false);
            return;
        }
        listEnded[nIndex] = true;
        m_progress.nBytesDone += item.nSize - listSent.at(nIndex);
        ++m_progress.nFilesDone;
        if (nResult == 0) {
            ++result.nRestored;
            m_listRestoredMedia << item.strTarget;
            if (item.strTarget != item.strName)
                result.listRenamed << QStringLiteral("%1 -> %2").arg(item.strName, item.strTarget);
        } else {
            ++result.nFailed;
            result.listFailures << QStringLiteral("%1: %2").arg(item.strName, RestoreTexts::PhoneFailure(nResult, strMessage));
        }
        EmitProgress(true);
    };
    const int nResult = m_device.PutFiles(listJobs, onFile);
    if (StopsRun(nResult))
        return nResult;
    // Files the call never came to: a full phone stops the item.
    for (int i = 0; i < listJobs.size(); ++i) {
        if (listEnded.at(i))
            continue;
        ++result.nFailed;
        result.listFailures << QStringLiteral("%1: %2").arg(listItems.at(i)->strName,
                                                            RestoreTexts::NotAttempted(RestoreTexts::PhoneFailure(nResult, QString())));
        ++m_progress.nFilesDone;
    }
    m_progress.nBytesDone = nBytesBefore + kind.BytesToSend();
    return 0;
}

void RestoreRunner::ScanRestoredMedia()
{
    if (m_listRestoredMedia.isEmpty())
        return;
    const int nResult = m_device.ScanMedia(m_listRestoredMedia);
    if (nResult != 0)
        m_summary.strScanProblem = RestoreTexts::PhoneFailure(nResult, QString());
}

void RestoreRunner::EmitProgress(bool bForce)
{
    if (!bForce && m_progress.nBytesDone - m_nBytesEmitted < kProgressStep)
        return;
    m_nBytesEmitted = m_progress.nBytesDone;
    emit signalProgress(m_progress);
}
