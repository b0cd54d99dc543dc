#include "BackUpUIThread.h"

#include "BackUpUIConfigParse.h"
#include "BackUpUILogic.h"
#include "BackUpUIThreadCancel.h"
#include "BackupKinds.h"
#include "DataFolderLock.h"
#include "Factory.h"
#include "FileStepProgress.h"
#include "FolderRemoval.h"
#include "InterruptedRun.h"
#include "LogLine.h"
#include "RunState.h"

#include <host/CommonUtils.h>
#include <sdk/dvsk.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QtMath>

#include <limits>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUIThread";

namespace
{
BackUpUIThread *g_pInstance = nullptr;
QMutex g_instanceMutex;

const char *const kCountNotifyTarget = "F3389867-EA3E-420d-99A5-6568DB0A8A00";
constexpr qint64 kMinFreeBytes = 5242880;

// The line "GetCount XX return: %d %s: %s: %s %d".
void LogCount(const char *szWhat, int nResult, int nLine)
{
    qDebug().noquote() << QString::asprintf("GetCount %s return: %d %s: %s: %s %d", szWhat, nResult,
                                            qPrintable(LogLine::Now()), kLogSource, "procGetCount", nLine);
}

// Free bytes of one storage record; 0 for none or nonsense values.
qint64 FreeBytes(const MemInfoRecord *pRecord)
{
    if (!pRecord)
        return 0;
    const qint64 nFree = pRecord->nTotal - pRecord->nUsed;
    if (nFree <= 0 || pRecord->nUnit <= 0)
        return 0;
    qint64 nBytes = 0;
    if (__builtin_mul_overflow(nFree, pRecord->nUnit, &nBytes))
        return std::numeric_limits<qint64>::max();
    return nBytes;
}

// What counting the phone's items gives the progress and the pages.
struct CountResults
{
    QHash<int, structBackupID> hashCounts;
    QHash<int, qint64> hashFileSizeKB;
    float fWeights[ProgressWeights::W_COUNT] = {};
    bool bHasData[BackupItems::kSlots] = {};
};

structBackupID CountEntry(int nId, int nCount, int nValue, int nSize)
{
    structBackupID info;
    info.nModuleID = nId;
    info.nProNum = nCount;
    info.nAllNum = 0;
    info.bFlag = false;
    info.nValue = nValue;
    info.nState = 5;
    info.nValue2 = nSize;
    return info;
}

// Counts one configured tile, kind by kind. A kind with a sub-entry of its
// own is weighed and listed only when it could be counted.
void CountTile(Factory &factory, const BackupTile &tile, CountResults &counted)
{
    int nSum = 0;
    int nSizeSum = 0;
    int nFirstResult = 0;
    bool bFirst = true;
    for (const BackupKind *pKind : BackupKinds::OfTile(tile.nId)) {
        int nCount = 0;
        int nSize = 0;
        const int nResult = factory.GetCount(pKind->nCode, &nCount, pKind->nSizeSlot >= 0 ? &nSize : nullptr);
        if (bFirst) {
            nFirstResult = nResult;
            bFirst = false;
        }
        if (pKind->step == BackupKind::Step::Files && nResult == 0)
            counted.hashFileSizeKB.insert(pKind->nCode, nSize);
        if (pKind->nSubId < 0 || nResult == 0) {
            const int nBasis = pKind->step == BackupKind::Step::Record ? nCount : nSize;
            for (int i = 0; i < pKind->nWeightCount; ++i)
                counted.fWeights[pKind->nFirstWeight + i] = pKind->Weight(i, nBasis);
            if (pKind->nSubId >= 0)
                counted.hashCounts.insert(pKind->nSubId, CountEntry(pKind->nSubId, nCount, 0, nSize));
        }
        counted.bHasData[pKind->nItemSlot] = nCount >= 1;
        nSum += nCount;
        nSizeSum += nSize;
    }
    LogCount(tile.szCountLog, nFirstResult, __LINE__);
    counted.hashCounts.insert(tile.nId, CountEntry(tile.nId, nSum, nFirstResult, nSizeSum));
}
} // namespace

BackUpUIThread *BackUpUIThread::Instance()
{
    QMutexLocker locker(&g_instanceMutex);
    if (!g_pInstance)
        g_pInstance = new BackUpUIThread();
    return g_pInstance;
}

BackUpUIThread *BackUpUIThread::ExistingInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    return g_pInstance;
}

void BackUpUIThread::DestroyInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    qDebug("BackUpUIThread::DestroyInstance 0000");
    if (g_pInstance && g_pInstance->isRunning()) {
        {
            QMutexLocker runningLocker(&g_pInstance->m_runningMutex);
            g_pInstance->m_bRunning = false;
        }
        DVSK_Reset();
        g_pInstance->wait();
    }
    qDebug("BackUpUIThread::DestroyInstance 1111");
    delete g_pInstance;
    g_pInstance = nullptr;
}

BackUpUIThread::BackUpUIThread() : QThread(nullptr)
{
    BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::Instance();
    Q_UNUSED(pCancel);
    Factory *pFactory = Factory::Instance();
    BackUpUILogic *pLogic = BackUpUILogic::Instance();
    BackupCodes::RegisterMetaTypes();

    // Progress events come by the thousand (one per record) from the SDK's
    // thread and the worker. Each reaches slotProBarTargetValue on this
    // object's thread in the order it was sent, as through a queued
    // connection, but as one small call instead of a copy of every argument.
    auto forwardProgress = [this](int nModule, int nType, int nNum, int nAll) {
        if (QThread::currentThread() == thread()) {
            slotProBarTargetValue(nModule, nType, nNum, nAll);
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, nModule, nType, nNum, nAll] { slotProBarTargetValue(nModule, nType, nNum, nAll); },
            Qt::QueuedConnection);
    };
    if (pLogic) {
        connect(pLogic, &BackUpUILogic::signalBackupPro, this, forwardProgress, Qt::DirectConnection);
        connect(this, &BackUpUIThread::signalBackupCancel, pLogic, &BackUpUILogic::slotBackupCancel);
        // Direct: the job must stop while the user-interface thread may be
        // busy, and whoever runs the engine (the wizard, the command-line
        // tool) gets the same outcome.
        connect(
            pLogic, &BackUpUILogic::signalDeviceMgrEvent, this,
            [this](qint32 nEvent) {
                if (nEvent == 6006 || nEvent == 6014)
                    OnPhoneRemoved();
            },
            Qt::DirectConnection);
    }
    if (pFactory) {
        connect(pFactory, &Factory::signalBackUpStart, this, &BackUpUIThread::slotsBackUpStart);
        connect(pFactory, &Factory::TransportFileSatus, this, &BackUpUIThread::slotsTransportFile);
        connect(pFactory, &Factory::signalsIsApkBackup, this, &BackUpUIThread::IsApkBackup);
        connect(pFactory, &Factory::signalsIsApkDataBackup, this, &BackUpUIThread::IsApkDataBackup);
        connect(pFactory, &Factory::signalsIsImageBackup, this, &BackUpUIThread::IsImageBackup);
        connect(pFactory, &Factory::signalsIsVideoBackup, this, &BackUpUIThread::IsVideoBackup);
        connect(pFactory, &Factory::signalsIsAudioBackup, this, &BackUpUIThread::IsAudioBackup);
        connect(pFactory, &Factory::signalBackupPro, this, forwardProgress, Qt::DirectConnection);
        // In order with the events above: the same queue.
        connect(
            pFactory, &Factory::signalFilesProgress, this,
            [this](int nModule, int nShare, qint64 nNewBytes) {
                if (QThread::currentThread() == thread()) {
                    slotFilesProgress(nModule, nShare, nNewBytes);
                    return;
                }
                QMetaObject::invokeMethod(
                    this, [this, nModule, nShare, nNewBytes] { slotFilesProgress(nModule, nShare, nNewBytes); },
                    Qt::QueuedConnection);
            },
            Qt::DirectConnection);
    }
}

BackUpUIThread::~BackUpUIThread()
{
    wait();
}

void BackUpUIThread::SetParam(const BackUpThreadParam &param)
{
    {
        QMutexLocker locker(&m_dataMutex);
        m_nMode = param.nMode;
        m_items = param.items;
        m_strPath = param.strPath;
        if (param.nMode == 1) {
            // A new backup: its job is not over yet, and its progress starts
            // from nothing (an event equal to the last one of the previous
            // run counts).
            m_bFinished = false;
            m_bCancelPending = false;
            m_bPhoneLost = false;
            m_nLastModule = m_nLastProType = m_nLastProNum = m_nLastAllNum = -1;
            m_nShareModule = -1;
            m_nShare = 0;
            m_nRunBytes = 0;
            m_estimate = RemainingTimeEstimate();
            m_estimate.SetTotal(SelectedFileBytes());
            m_runClock.start();
            m_nSecondsLeft = -1;
        }
        // The files of the earlier run are a finished backup: a cancel of
        // the new one, even before its job starts, must never take them for
        // its own.
        if (param.nMode == 1) {
            if (Factory *pFactory = Factory::ExistingInstance())
                pFactory->ForgetRunFiles();
        }
    }
    if (param.nMode == 1)
        emit signalTimeLeft(-1);
}

BackUpThreadParam BackUpUIThread::GetParam() const
{
    QMutexLocker locker(&m_dataMutex);
    BackUpThreadParam param;
    param.nMode = m_nMode;
    param.items = m_items;
    param.strPath = m_strPath;
    return param;
}

bool BackUpUIThread::IsFinished() const
{
    QMutexLocker locker(&m_dataMutex);
    return m_bFinished;
}

bool BackUpUIThread::IsPhoneLost() const
{
    QMutexLocker locker(&m_dataMutex);
    return m_bPhoneLost;
}

void BackUpUIThread::OnPhoneRemoved()
{
    bool bJobRunning = false;
    bool bCancel = false;
    {
        QMutexLocker locker(&m_dataMutex);
        bJobRunning = m_nMode == 1 && !m_bFinished;
        // A run the user already cancelled stays a cancelled run.
        if (bJobRunning && !m_bPhoneLost && RunState::Get() >= 0) {
            m_bPhoneLost = true;
            bCancel = true;
        }
    }
    if (!bJobRunning)
        return;
    LogLine::Warning(kLogSource, "OnPhoneRemoved", QStringLiteral("the phone was disconnected during the backup"));
    if (bCancel)
        ClickCancel();
    // Nothing is left to wait for on a phone that is gone.
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->EndSettle();
}

QHash<int, structBackupID> BackUpUIThread::GetModuleCounts() const
{
    QMutexLocker locker(&m_dataMutex);
    return m_hashCounts;
}

bool BackUpUIThread::HasData(int nSlot) const
{
    QMutexLocker locker(&m_dataMutex);
    return nSlot >= 0 && nSlot < BackupItems::kSlots && m_bHasData[nSlot];
}

float BackUpUIThread::GetWeight(int nWeight) const
{
    QMutexLocker locker(&m_dataMutex);
    return nWeight >= 0 && nWeight < W_COUNT ? m_fWeights[nWeight] : 0.0f;
}

void BackUpUIThread::run()
{
    LOG_SCOPE("run");
    CommonUtils::ThreadCountInc();
    int nMode = 0;
    {
        // A cancel that came after the backup was set up but before the job
        // got here still counts.
        QMutexLocker locker(&m_dataMutex);
        nMode = m_nMode;
        RunState::Set(nMode == 1 && m_bCancelPending ? RunState::kCancelled : 0);
        m_bCancelPending = false;
    }
    {
        QMutexLocker locker(&m_runningMutex);
        m_bRunning = true;
    }
    switch (nMode) {
    case 1:
        procBackup();
        break;
    case 3:
    case 5:
        CommonUtils::SendNotify(QLatin1String(kCountNotifyTarget), 2386, 0, 1);
        procGetCount(nMode == 3 ? 0 : 1);
        CommonUtils::SendNotify(QLatin1String(kCountNotifyTarget), 2386, 0, 0);
        break;
    case 4:
        if (BackUpUILogic *pLogic = BackUpUILogic::ExistingInstance())
            pLogic->BackupCancel();
        break;
    default:
        break;
    }
    {
        QMutexLocker locker(&m_dataMutex);
        m_nMode = 0;
    }
    CommonUtils::ThreadCountDec();
}

void BackUpUIThread::procGetCount(int nReport)
{
    CountResults counted;
    Factory *pFactory = Factory::Instance();
    BackUpUIConfigParse *pConfig = BackUpUIConfigParse::GetInstance();
    if (pFactory && pConfig) {
        const PluginInfoTable common = pConfig->GetCommonItems();
        for (const BackupTile &tile : BackupKinds::Tiles()) {
            if (common.contains(tile.nId))
                CountTile(*pFactory, tile, counted);
        }
    }
    {
        QMutexLocker locker(&m_dataMutex);
        m_hashCounts = counted.hashCounts;
        m_hashFileSizeKB = counted.hashFileSizeKB;
        std::copy(std::begin(counted.fWeights), std::end(counted.fWeights), std::begin(m_fWeights));
        std::copy(std::begin(counted.bHasData), std::end(counted.bHasData), std::begin(m_bHasData));
    }
    emit signalsPluginCount(nReport);
}

int BackUpUIThread::GetProgressTotal()
{
    QMutexLocker locker(&m_dataMutex);
    const int nSelected = BackupKinds::SelectedMask(m_items);
    float fTotal = 1.0f;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (!(nSelected & kind.nWeighWith))
            continue;
        float fKind = m_fWeights[kind.nFirstWeight];
        for (int i = 1; i < kind.nWeightCount; ++i)
            fKind += m_fWeights[kind.nFirstWeight + i];
        fTotal += fKind;
    }
    m_fProgressTotal = fTotal;
    return qRound(1.03 * static_cast<double>(fTotal) * 20.0);
}

void BackUpUIThread::slotProBarTargetValue(int MoudleIndex, int ProType, int ProNum, int AllNum)
{
    UpdateTimeLeft();
    // Progress events arrive by the thousand: the line is formatted only when
    // debug lines are on.
    if (QLoggingCategory::defaultCategory()->isDebugEnabled())
        qDebug("MoudleIndex:%d, ProType:%d, ProNum:%d, AllNum:%d", MoudleIndex, ProType, ProNum, AllNum);
    const BackupKind *pKind = BackupKinds::ByCode(MoudleIndex);
    if (ProNum == -1 && pKind && pKind->step == BackupKind::Step::AppData && AllNum == m_nLastAllNum)
        ProType = 3;
    bool bJump = false;
    if (!TakeProgressEvent(MoudleIndex, ProType, ProNum, AllNum, &bJump))
        return;
    emit signalIncreaseValue(ProgressIncrement(pKind, ProType, ProNum, AllNum, bJump) * 20.0f);
}

bool BackUpUIThread::TakeProgressEvent(int nModule, int nProType, int nProNum, int nAllNum, bool *pbJump)
{
    if (nProNum == 0 || nAllNum == 0)
        return false;
    if (nModule == m_nLastModule && nProType == m_nLastProType && nProNum == m_nLastProNum
        && nAllNum == m_nLastAllNum)
        return false;
    // A step's start comes from the factory and, for applications, again
    // from the module: the step starts once.
    if (nProType == 0 && nModule == m_nLastModule && m_nLastProType == 0)
        return false;
    *pbJump = (m_nLastProNum + 1 < nProNum) && (nProNum == nAllNum) && (nModule == m_nLastModule);
    m_nLastModule = nModule;
    m_nLastProType = nProType;
    m_nLastProNum = nProNum;
    m_nLastAllNum = nAllNum;
    return true;
}

float BackUpUIThread::ProgressIncrement(const BackupKind *pKind, int ProType, int ProNum, int AllNum, bool bJump)
{
    if (!pKind)
        return 0.0f;
    float w[W_COUNT];
    {
        QMutexLocker locker(&m_dataMutex);
        std::copy(std::begin(m_fWeights), std::end(m_fWeights), std::begin(w));
    }
    const float *pKindWeights = w + pKind->nFirstWeight;
    const float fAll = static_cast<float>(AllNum);
    switch (pKind->step) {
    case BackupKind::Step::Record:
        if (ProType == 1)
            return bJump ? pKindWeights[0] : pKindWeights[0] / fAll;
        return ProType == 2 ? pKindWeights[1] : 0.0f;
    case BackupKind::Step::Files:
        if (ProType == 0)
            return pKindWeights[0];
        // The bar follows the step's share (slotFilesProgress).
        if (ProType == 2)
            EmitModuleProgress(pKind->ProgressId(), ProNum, AllNum);
        return 0.0f;
    case BackupKind::Step::AppData:
        if (ProType == 1) {
            EmitModuleProgress(pKind->ProgressId(), ProNum, AllNum);
            return pKindWeights[0] / fAll;
        }
        if (ProType == 3)
            return pKindWeights[1];
        return ProType == 2 ? pKindWeights[2] : 0.0f;
    }
    return 0.0f;
}

void BackUpUIThread::EmitModuleProgress(int nId, int nProNum, int nAllNum)
{
    structBackupID info;
    info.nModuleID = nId;
    info.nProNum = nProNum;
    info.nAllNum = nAllNum;
    info.bFlag = false;
    info.nValue = 0;
    info.nState = 1;
    info.nValue2 = 0;
    emit signalsModuleInfo(info);
}

void BackUpUIThread::slotFilesProgress(int nModule, int nShare, qint64 nNewBytes)
{
    if (nNewBytes > 0)
        m_nRunBytes += nNewBytes;
    UpdateTimeLeft();
    const BackupKind *pKind = BackupKinds::ByCode(nModule);
    if (!pKind || pKind->step != BackupKind::Step::Files)
        return;
    if (nModule != m_nShareModule) {
        m_nShareModule = nModule;
        m_nShare = 0;
    }
    if (nShare <= m_nShare)
        return;
    float fFilesWeight = 0.0f;
    {
        QMutexLocker locker(&m_dataMutex);
        fFilesWeight = m_fWeights[pKind->nFirstWeight + 1];
    }
    const float fIncrement = fFilesWeight * float(nShare - m_nShare) / float(FileStepProgress::kParts);
    m_nShare = nShare;
    emit signalIncreaseValue(fIncrement * 20.0f);
}

qint64 BackUpUIThread::SelectedFileBytes() const
{
    const int nSelected = BackupKinds::SelectedMask(m_items);
    qint64 nBytes = 0;
    for (const BackupKind &kind : BackupKinds::All()) {
        if (kind.step == BackupKind::Step::Files && (nSelected & kind.nWeighWith))
            nBytes += m_hashFileSizeKB.value(kind.nCode) * 1024;
    }
    return nBytes;
}

void BackUpUIThread::UpdateTimeLeft()
{
    if (!m_runClock.isValid())
        return;
    m_estimate.Update(m_runClock.elapsed(), m_nRunBytes);
    const int nSeconds = m_estimate.SecondsLeft();
    if (nSeconds == m_nSecondsLeft)
        return;
    m_nSecondsLeft = nSeconds;
    emit signalTimeLeft(nSeconds);
}

void BackUpUIThread::slotsBackUpStart(FILESTATUS status)
{
    const int nId = BackupCodes::DisplayIdFromStatus(status);
    if (nId < 0)
        return;
    structBackupID info;
    info.nModuleID = nId;
    info.nProNum = 0;
    info.nAllNum = 0;
    info.bFlag = false;
    info.nValue = 0;
    info.nState = 0;
    info.nValue2 = 0;
    emit signalsModuleInfo(info);
}

void BackUpUIThread::slotsTransportFile(FILESTATUS status)
{
    Q_UNUSED(status);
    if (RunState::Get() < 0)
        return;
    emit signalsModuleInfo(structBackupID());
}

void BackUpUIThread::slotsBackupCallBack(int nType, int nAll)
{
    Q_UNUSED(nType);
    Q_UNUSED(nAll);
    QMutexLocker locker(&RunState::Mutex());
}

void BackUpUIThread::procBackup()
{
    LOG_SCOPE("procBackup");
    BackupItems items;
    QString strPath;
    const int nItems = TakeRunItems(items, strPath);

    // One backup at a time in the SDK's data folder: the module files there
    // have fixed names, and two runs would mix their phones.
    const QString strDataFolder = BackUpUILogic::GetUserDataDirectory();
    QString strOwner;
    if (!strDataFolder.isEmpty() && !DataFolderLock::Acquire(strDataFolder, &strOwner)) {
        LogLine::Warning(kLogSource, "procBackup", strOwner);
        {
            QMutexLocker locker(&m_dataMutex);
            m_bFinished = true;
        }
        emit signalsFinish(RUN_RESULT_DATA_FOLDER_BUSY);
        return;
    }
    struct LockHolder
    {
        bool bHeld;
        ~LockHolder()
        {
            if (bHeld)
                DataFolderLock::Release();
        }
    } lockHolder{!strDataFolder.isEmpty()};

    PrepareRun();

    const int nMem = procMemInfo(nItems);
    if (nMem < 0) {
        // A phone that went away before this job (while the items were
        // counted) raised its event when no job was there to hear it.
        BackUpUILogic *pLogic = BackUpUILogic::ExistingInstance();
        const bool bGone = IsPhoneLost() || (pLogic && !pLogic->IsPhoneAttached());
        emit signalsFinish(bGone ? int(RUN_RESULT_PHONE_DISCONNECTED) : nMem);
        return;
    }

    int nResult = 0;
    Factory *pFactory = Factory::Instance();
    if (pFactory && RunState::Get() >= 0) {
        pFactory->CreateObject(items);
        nResult = pFactory->BackUp(strPath);
    }
    if (BackUpUILogic *pLogic = BackUpUILogic::ExistingInstance())
        pLogic->SetBackupCancel(false);

    FinishRun(nResult);
}

int BackUpUIThread::TakeRunItems(BackupItems &items, QString &strPath)
{
    int nItems = 0;
    QMutexLocker locker(&m_dataMutex);
    m_bFinished = false;
    items = m_items;
    strPath = m_strPath;
    // A tile's kinds count only when the whole tile is selected; kinds
    // that never run do not count.
    for (const BackupKind &kind : BackupKinds::All())
        m_bHasData[kind.nItemSlot] = m_bHasData[kind.nItemSlot] && kind.bRuns;
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        const bool bTile = BackupKinds::HoldsWholeTile(items, tile.nId);
        for (const BackupKind *pKind : BackupKinds::OfTile(tile.nId))
            m_bHasData[pKind->nItemSlot] = m_bHasData[pKind->nItemSlot] && bTile;
    }
    for (int i = 0; i < BackupItems::kSlots; ++i)
        nItems += m_bHasData[i] ? 1 : 0;
    return nItems;
}

void BackUpUIThread::PrepareRun()
{
    // A cancel job of an earlier run may still be waiting for its phone: it
    // removes the files the factory lists and may still raise the SDK's
    // cancel flag, so it ends before this run names its files and clears
    // that flag. A cancel of this run that came before the job started is
    // kept (the run state says so).
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->wait();
    if (RunState::Get() >= 0) {
        if (BackUpUILogic *pLogic = BackUpUILogic::ExistingInstance())
            pLogic->SetBackupCancel(false);
    }

    // The files of an earlier run are a finished backup: a cancel of this
    // job must never reach them, even before this run has named its own.
    if (Factory *pFactory = Factory::ExistingInstance())
        pFactory->ForgetRunFiles();
}

void BackUpUIThread::FinishRun(int nResult)
{
    // Decide between a finished and a cancelled job once, so that a cancel
    // arriving now either still counts (the job removes its files) or finds
    // the job over (its package stays).
    bool bCancelled = false;
    bool bPhoneLost = false;
    {
        QMutexLocker locker(&m_dataMutex);
        bCancelled = RunState::Get() < 0;
        bPhoneLost = m_bPhoneLost;
        if (!bCancelled)
            m_bFinished = true;
    }
    if (bCancelled) {
        // Nothing half-done is kept, whether the user cancelled or the phone
        // went away; the latter is a failed run the user must learn about.
        DeleteTmpFile();
        if (bPhoneLost)
            emit signalsFinish(RUN_RESULT_PHONE_DISCONNECTED);
        else
            emit signalBackupCancelSuccess();
    } else {
        emit signalsFinish(nResult);
    }
    QMutexLocker locker(&m_dataMutex);
    m_bFinished = true;
}

int BackUpUIThread::procMemInfo(int nItems)
{
    LogLine::Debug(kLogSource, "procMemInfo", QStringLiteral("%1 nCount %2").arg(__LINE__).arg(nItems));
    BackUpUILogic *pLogic = BackUpUILogic::Instance();
    if (!pLogic || !pLogic->GetMemValue())
        return RUN_RESULT_NO_MEMINFO;
    LogLine::Debug(kLogSource, "procMemInfo", QStringLiteral("%1 GetMemValue success").arg(__LINE__));
    m_listMemInfo = pLogic->GetMemList();
    return dealWithMemoryInfo();
}

int BackUpUIThread::dealWithMemoryInfo()
{
    // A phone that names no storage at all has not told its memory; that is
    // not a full phone.
    if (m_listMemInfo.isEmpty())
        return RUN_RESULT_NO_MEMINFO;
    // A storage whose total is unknown (all bits set), such as a card the
    // phone cannot read, is left out; only when no storage gives a value is
    // the phone's memory unknown.
    const MemInfoRecord *pKind2 = nullptr;
    const MemInfoRecord *pKind1 = nullptr;
    for (const MemInfoRecord &record : std::as_const(m_listMemInfo)) {
        if (record.nTotal == -1)
            continue;
        if (record.nType == 2)
            pKind2 = &record;
        else if (record.nType == 1)
            pKind1 = &record;
    }
    if (!m_listMemInfo.isEmpty() && !pKind2 && !pKind1)
        return RUN_RESULT_NO_MEMINFO;
    if (FreeBytes(pKind2) > kMinFreeBytes || FreeBytes(pKind1) > kMinFreeBytes) {
        LogLine::Debug(kLogSource, "dealWithMemoryInfo", QStringLiteral("%1 freeMem more than 10M").arg(__LINE__));
        return 0;
    }
    LogLine::Debug(kLogSource, "dealWithMemoryInfo", QStringLiteral("%1 freeMem is full").arg(__LINE__));
    return RUN_RESULT_NO_FREE_MEMORY;
}

void BackUpUIThread::DeleteTmpFile()
{
    LOG_SCOPE("DeleteTmpFile");
    Factory *pFactory = Factory::ExistingInstance();
    if (!pFactory)
        return;
    const QStringList listFiles = pFactory->GetFileList();
    for (const QString &strFile : listFiles) {
        if (!QFileInfo::exists(strFile) && !QFileInfo(strFile).isSymLink())
            continue;
        if (!QFile::remove(strFile)) {
            QThread::msleep(20);
            QFile::remove(strFile);
        }
    }
    const QString strFolder = pFactory->GetBackupFolder();
    // A run the phone cut off keeps what it copied, marked as incomplete,
    // for the next run to finish; a run the user cancelled keeps nothing.
    if (IsPhoneLost())
        InterruptedRun::Keep(strFolder);
    else if (!strFolder.isEmpty())
        DeleteDirectory(strFolder);
    const QString strTemp = pFactory->GetTempPackagePath();
    if (QFileInfo::exists(strTemp))
        QFile::remove(strTemp);
}

void BackUpUIThread::DeleteDataFolderTmpFiles()
{
    LOG_SCOPE("DeleteDataFolderTmpFiles");
    Factory *pFactory = Factory::ExistingInstance();
    if (!pFactory)
        return;
    const QString strPackage = pFactory->GetPackagePath();
    const QString strFolder = pFactory->GetBackupFolder();
    const QStringList listFiles = pFactory->GetFileList();
    for (const QString &strFile : listFiles) {
        if (strFile == strPackage || (!strFolder.isEmpty() && strFile.startsWith(strFolder)))
            continue;
        if (QFileInfo::exists(strFile))
            QFile::remove(strFile);
    }
}

bool BackUpUIThread::DeleteDirectory(const QString &strPath)
{
    return FolderRemoval::DeleteDirectory(strPath);
}

void BackUpUIThread::ClickCancel()
{
    LogLine::Scope scope(kLogSource, "ClickCancel");
    BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::Instance();
    if (!pCancel)
        return;
    if (BackUpUIThread *pWorker = ExistingInstance()) {
        QMutexLocker locker(&pWorker->m_dataMutex);
        pWorker->m_bCancelPending = true;
        RunState::Set(RunState::kCancelled);
    } else {
        RunState::Set(RunState::kCancelled);
    }
    // A cancel job under way belongs to this run (a backup job waits for an
    // earlier one before it starts) and does all a second one would; waiting
    // for it here would block the caller for its wait for the phone.
    static QMutex s_startMutex;
    QMutexLocker locker(&s_startMutex);
    if (pCancel->isRunning())
        return;
    pCancel->ResetSettle();
    pCancel->start();
}
