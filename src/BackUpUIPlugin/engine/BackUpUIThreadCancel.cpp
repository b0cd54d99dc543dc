#include "BackUpUIThreadCancel.h"

#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "Factory.h"
#include "LogLine.h"

#include <host/CommonUtils.h>
#include <sdk/dvsk.h>

#include <QDeadlineTimer>
#include <QMutexLocker>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUIThreadCancel";

namespace
{
BackUpUIThreadCancel *g_pInstance = nullptr;
QMutex g_instanceMutex;
std::atomic<int> g_nSettleDelay{3000};

const char *const kCancelBroadcast =
    "zvtransport shell am broadcast -a com.orbeni.pelorix.intent.action.USER_CANCELED";
} // namespace

BackUpUIThreadCancel *BackUpUIThreadCancel::Instance()
{
    QMutexLocker locker(&g_instanceMutex);
    if (!g_pInstance)
        g_pInstance = new BackUpUIThreadCancel();
    return g_pInstance;
}

BackUpUIThreadCancel *BackUpUIThreadCancel::ExistingInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    return g_pInstance;
}

void BackUpUIThreadCancel::DestroyInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    qDebug("BackUpUIThreadCancel::DestroyInstance 0000");
    if (g_pInstance && g_pInstance->isRunning())
        g_pInstance->wait();
    qDebug("BackUpUIThreadCancel::DestroyInstance 1111");
    delete g_pInstance;
    g_pInstance = nullptr;
}

void BackUpUIThreadCancel::SetSettleDelay(int nMilliseconds)
{
    g_nSettleDelay.store(qMax(0, nMilliseconds));
}

int BackUpUIThreadCancel::SettleDelay()
{
    return g_nSettleDelay.load();
}

BackUpUIThreadCancel::BackUpUIThreadCancel() : QThread(nullptr)
{
    if (BackUpUILogic *pLogic = BackUpUILogic::Instance())
        connect(this, &BackUpUIThreadCancel::signalBackupCancel, pLogic, &BackUpUILogic::slotBackupCancel);
}

BackUpUIThreadCancel::~BackUpUIThreadCancel()
{
    wait();
}

void BackUpUIThreadCancel::SetFileItemSelected(bool bSelected)
{
    m_bFileItemSelected.store(bSelected);
}

bool BackUpUIThreadCancel::IsFileItemSelected() const
{
    return m_bFileItemSelected.load();
}

bool BackUpUIThreadCancel::IsAlreadyFinished() const
{
    return m_bAlreadyFinished.load();
}

void BackUpUIThreadCancel::EndSettle()
{
    QMutexLocker locker(&m_settleMutex);
    m_bSettleEnded = true;
    m_settleCondition.wakeAll();
}

void BackUpUIThreadCancel::ResetSettle()
{
    QMutexLocker locker(&m_settleMutex);
    m_bSettleEnded = false;
}

void BackUpUIThreadCancel::run()
{
    LOG_SCOPE("run");
    CommonUtils::ThreadCountInc();
    BackUpUILogic *pLogic = BackUpUILogic::ExistingInstance();
    Factory *pFactory = Factory::ExistingInstance();
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    if (pLogic) {
        bool bJobRunning = false;
        if (pWorker) {
            // Read under the lock the job decides under: either the job still
            // sees this cancel, or it was over before the cancel came.
            QMutexLocker locker(&pWorker->m_dataMutex);
            bJobRunning = !pWorker->m_bFinished;
        }
        if (bJobRunning) {
            m_bAlreadyFinished.store(false);
            if (pFactory)
                pFactory->StopFileModules(true);
            pLogic->SetBackupCancel(true);
            DVSK_Operation_Cancel(kCancelBroadcast);
        } else {
            m_bAlreadyFinished.store(true);
        }
    }
    emit signalBackupCancel();
    {
        QMutexLocker locker(&m_settleMutex);
        QDeadlineTimer deadline(g_nSettleDelay.load());
        while (!m_bSettleEnded && !deadline.hasExpired())
            m_settleCondition.wait(&m_settleMutex, deadline);
    }
    if (pWorker) {
        // A job that was over has delivered its package: it stays, and so
        // does the backup folder.
        if (m_bAlreadyFinished.load())
            pWorker->DeleteDataFolderTmpFiles();
        else
            pWorker->DeleteTmpFile();
    }
    CommonUtils::ThreadCountDec();
}
