#include "BackUpUILogic.h"

#include "BackupKinds.h"
#include "LogLine.h"
#include "PhoneInfo.h"

#include <host/CommonUtils.h>
#include <sdk/dvsk.h>
#include <sdk/dvsk_device.h>

#include <QAtomicPointer>
#include <QCoreApplication>
#include <QMutexLocker>

#include <cstdlib>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUILogic";

namespace
{
QAtomicPointer<BackUpUILogic> g_pInstance;
QMutex g_instanceMutex;

// The byte handler of the GetFile call running on this thread: the SDK calls
// back on the thread that copies.
thread_local const std::function<void(qint64)> *t_pBytesHandler = nullptr;

bool IsFileListType(int nType)
{
    const BackupKind *pKind = BackupKinds::ByCode(nType);
    return pKind && pKind->step == BackupKind::Step::Files;
}
} // namespace

BackUpUILogic *BackUpUILogic::Instance()
{
    BackUpUILogic *pLogic = g_pInstance.loadAcquire();
    if (pLogic)
        return pLogic;
    QMutexLocker locker(&g_instanceMutex);
    pLogic = g_pInstance.loadAcquire();
    if (!pLogic) {
        pLogic = new BackUpUILogic();
        // Its timer and slots belong to the application's main thread, also
        // when a worker or an SDK thread asked first.
        if (QCoreApplication::instance() && pLogic->thread() != QCoreApplication::instance()->thread())
            pLogic->moveToThread(QCoreApplication::instance()->thread());
        g_pInstance.storeRelease(pLogic);
    }
    return pLogic;
}

BackUpUILogic *BackUpUILogic::ExistingInstance()
{
    return g_pInstance.loadAcquire();
}

QString BackUpUILogic::GetUserDataDirectory()
{
    wchar_t *pDir = nullptr;
    QString strDir;
    if (DVSK_GetUserDataDirectory(&pDir) == 0 && pDir)
        strDir = QString::fromWCharArray(pDir);
    free(pDir);
    return strDir;
}

void BackUpUILogic::DestroyInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    BackUpUILogic *pLogic = g_pInstance.fetchAndStoreOrdered(nullptr);
    delete pLogic;
}

BackUpUILogic::BackUpUILogic() : QObject(nullptr)
{
    BackupCodes::RegisterMetaTypes();
    m_pTimer = new QTimer(this);
    regSDKCallback();
    DVSK_GetFile_RegProgressCallback(&BackUpUILogic::OnFileProgress);
    connect(this, &BackUpUILogic::signalsTimeOutStart, this, &BackUpUILogic::slotsTimeOutStart);
    connect(m_pTimer, &QTimer::timeout, this, &BackUpUILogic::slotBackUpTimeOut);
    connect(this, &BackUpUILogic::signalsTimeOutEnd, this, &BackUpUILogic::slotsTimeOutEnd);
}

BackUpUILogic::~BackUpUILogic()
{
    unRegSDKCallback();
    DVSK_GetFile_RegProgressCallback(nullptr);
    DVSK_Backup_UnRegCallBack(&BackUpUILogic::OnBackupCallBack);
}

void BackUpUILogic::regSDKCallback()
{
    LOG_SCOPE("regSDKCallback");
    DVSK_DevSrv_RegisterDevInitEventCallback(&BackUpUILogic::OnDevMgrEvent);
    connect(this, &BackUpUILogic::signalDeviceMgrEvent, this, &BackUpUILogic::slotDeviceEventHandler);
}

void BackUpUILogic::unRegSDKCallback()
{
    LOG_SCOPE("unRegSDKCallback");
}

int BackUpUILogic::OnDevMgrEvent(int nEvent)
{
    LogLine::Debug(kLogSource, "OnDevMgrEvent", QStringLiteral("event %1").arg(nEvent));
    if (nEvent == 6006 || nEvent == 6004 || nEvent == 6014)
        emit Instance()->signalDeviceMgrEvent(nEvent);
    return 1;
}

int BackUpUILogic::OnBackupCallBack(int nType, int nPlugin, int nCount, intptr_t nAll)
{
    BackUpUILogic *pLogic = Instance();
    if (!pLogic)
        return 1;
    int nCurrentType = 0;
    {
        QMutexLocker locker(&pLogic->m_mutex);
        // UTC: the local time would consult the time zone on every record.
        pLogic->m_dtLastCallback = QDateTime::currentDateTimeUtc();
        nCurrentType = pLogic->m_nCurrentType;
    }
    if (nType != -1)
        pLogic->m_waitCondition.wakeAll();
    if (nCount == -1111) {
        if (nAll != 0) {
            QMutexLocker locker(&pLogic->m_mutex);
            pLogic->m_baResultPath = QByteArray(reinterpret_cast<const char *>(nAll));
            pLogic->m_waitCondition.wakeAll();
        }
        return 1;
    }
    emit pLogic->signalBackupCallBack(nType, nPlugin, nCount, static_cast<int>(nAll));
    if (nAll > 0 && nCount != 0)
        emit pLogic->signalBackupPro(nCurrentType, 1, nCount, static_cast<int>(nAll));
    if (nCount != -1) {
        QMutexLocker locker(&pLogic->m_mutex);
        pLogic->m_nLastCount = nCount;
    }
    return 1;
}

void BackUpUILogic::OnFileProgress(const char *szRemotePath, int64_t nBytes)
{
    Q_UNUSED(szRemotePath);
    if (t_pBytesHandler && *t_pBytesHandler)
        (*t_pBytesHandler)(nBytes);
}

int BackUpUILogic::BackUp(int nType, QString &strPath, int *pCount)
{
    QByteArray baText;
    const int nResult = BackUpText(nType, baText, pCount);
    if (nResult == 0)
        strPath = QString::fromUtf8(baText);
    return nResult;
}

int BackUpUILogic::BackUpText(int nType, QByteArray &baText, int *pCount)
{
    LOG_SCOPE("BackUp");
    emit signalsTimeOutStart();
    DVSK_Backup_RegCallBack(&BackUpUILogic::OnBackupCallBack);
    {
        QMutexLocker locker(&m_mutex);
        m_nCurrentType = nType;
        m_baResultPath.clear();
        // A phone that reports no count must not get the previous module's.
        m_nLastCount = -1;
    }
    char *pText = nullptr;
    const int nResult = DVSK_BackUp(nType, "phone book", &pText);
    if (nResult != 0) {
        emit signalsTimeOutEnd();
        return nResult;
    }
    if (pText && qstrcmp(pText, "error") == 0) {
        emit signalsTimeOutEnd();
        return 1;
    }
    if (IsFileListType(nType)) {
        baText = pText ? QByteArray(pText) : QByteArray();
        free(pText);
    } else {
        QByteArray baResultPath;
        int nLastCount = 0;
        {
            QMutexLocker locker(&m_mutex);
            m_dtLastCallback = QDateTime::currentDateTimeUtc();
            m_bBackupTimeOut = false;
            m_bArmed = false;
            baResultPath = m_baResultPath;
            nLastCount = m_nLastCount;
        }
        if (baResultPath.isEmpty()) {
            emit signalsTimeOutEnd();
            qDebug("BackUpUILogic::BackUp m_bBackupTimeOut = true");
            return 1;
        }
        baText = baResultPath;
        // Without a count from the phone the caller's count stands.
        if (pCount && nLastCount >= 0)
            *pCount = nLastCount;
    }
    emit signalsTimeOutEnd();
    return 0;
}

int BackUpUILogic::GetFile(const QString &strLocal, const QString &strRemote, int nMode,
                           const std::function<void(qint64)> &fnBytes)
{
    LOG_SCOPE("GetFile");
    const QByteArray baLocal = strLocal.toUtf8();
    const QByteArray baRemote = strRemote.toUtf8();
    t_pBytesHandler = fnBytes ? &fnBytes : nullptr;
    const int nResult = DVSK_GetFile(baLocal.constData(), baRemote.constData(), nMode);
    t_pBytesHandler = nullptr;
    if (nResult == 0) {
        LOG_INFO("GetFile", QStringLiteral("logic get file successed"));
        return GETFILE_OK;
    }
    if (nResult == DVSK_ERR_BUSY) {
        LOG_INFO("GetFile", QStringLiteral("logic get file failed"));
        return GETFILE_BUSY;
    }
    if (nResult == DVSK_ERR_FILE_NOT_EXIST) {
        LOG_INFO("GetFile", QStringLiteral("logic get file failed [not exist]"));
        return GETFILE_NOT_EXIST;
    }
    LOG_INFO("GetFile", QStringLiteral("logic get file failed1"));
    return GETFILE_FAILED;
}

bool BackUpUILogic::GetMemValue()
{
    LOG_SCOPE("GetMemValue");
    DVSK_MemInfo *pList = nullptr;
    const int nResult = DVSK_Mobile_MemInfo(&pList);
    if (nResult < 0 || !pList) {
        free(pList);
        return false;
    }
    QList<MemInfoRecord> listRecords;
    for (int i = 0; i < nResult; ++i)
        listRecords.append({pList[i].nType, pList[i].nTotal, pList[i].nUsed, pList[i].nUnit});
    free(pList);
    QMutexLocker locker(&m_mutex);
    m_listMemInfo = listRecords;
    return true;
}

bool BackUpUILogic::IsPhoneAttached() const
{
    return DVSK_Device_IsAttached() == 1;
}

QList<MemInfoRecord> BackUpUILogic::GetMemList() const
{
    QMutexLocker locker(&m_mutex);
    return m_listMemInfo;
}

int BackUpUILogic::GetPhoneInfo(PhoneInfo *pInfo)
{
    LOG_SCOPE("GetPhoneInfo");
    if (!pInfo) {
        LOG_ARG_NULL("GetPhoneInfo");
        return -1;
    }
    const QStringList listDevice = CommonUtils::GetDeviceInfo();
    const QString strName = listDevice.value(0);
    const QString strFirmware = listDevice.value(1);
    pInfo->FirmWare = strFirmware;
    pInfo->DeviceName = strName + QChar(0x10) + QStringLiteral("350000000000017");
    pInfo->DashBoard = CommonUtils::GetSettings(QStringLiteral("version"), QStringLiteral("version"));
    const int nC = strFirmware.lastIndexOf(QLatin1Char('C'));
    pInfo->CVersion = nC >= 0 ? strFirmware.mid(nC, 3) : strFirmware.left(3);
    return 0;
}

int BackUpUILogic::GetBackUpCount(int nType, int *pCount, int *pSize)
{
    LOG_SCOPE("GetBackUpCount");
    return DVSK_GetBackUpCount(nType, pCount, pSize);
}

void BackUpUILogic::SetBackupCancel(bool bCancel)
{
    LOG_SCOPE("SetBackupCancel");
    DVSK_SetBackup_Cancel(bCancel ? 1 : 0);
}

void BackUpUILogic::BackupCancel()
{
    LOG_SCOPE("BackupCancel");
    DVSK_Backup_Cancel();
}

QByteArray BackUpUILogic::GetResultPath() const
{
    QMutexLocker locker(&m_mutex);
    return m_baResultPath;
}

int BackUpUILogic::GetLastCount() const
{
    QMutexLocker locker(&m_mutex);
    return m_nLastCount;
}

QDateTime BackUpUILogic::GetLastCallbackTime() const
{
    QMutexLocker locker(&m_mutex);
    return m_dtLastCallback;
}

void BackUpUILogic::slotDeviceEventHandler(qint32 enEventType)
{
    emit signalDeviceAcitve(enEventType == 6004);
}

void BackUpUILogic::slotBackupCancel()
{
    {
        QMutexLocker locker(&m_mutex);
        m_baResultPath.clear();
    }
    m_waitCondition.wakeAll();
}

void BackUpUILogic::slotsTimeOutStart()
{
    m_pTimer->start(1000);
}

void BackUpUILogic::slotsTimeOutEnd()
{
    m_pTimer->stop();
}

// The watchdog: a phone that has not called back for 30 seconds is marked as
// timed out. Armed by nothing in the current flow; kept for the SDK's sake.
void BackUpUILogic::slotBackUpTimeOut()
{
    QMutexLocker locker(&m_mutex);
    if (!m_bArmed)
        return;
    if (m_dtLastCallback.secsTo(QDateTime::currentDateTimeUtc()) > 30) {
        m_bBackupTimeOut = true;
        m_waitCondition.wakeAll();
    }
}
