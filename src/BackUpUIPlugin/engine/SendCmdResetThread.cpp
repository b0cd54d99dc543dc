#include "SendCmdResetThread.h"

#include "LogLine.h"

#include <host/CommonUtils.h>
#include <sdk/dvsk.h>

#include <QMutex>
#include <QMutexLocker>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\SendCmdResetThread";

namespace
{
SendCmdResetThread *g_pInstance = nullptr;
QMutex g_instanceMutex;

const char *const kResetBroadcast =
    "zvtransport shell am broadcast -a com.orbeni.pelorix.intent.action.RESET_USER_CANCELED_STATE";
} // namespace

SendCmdResetThread *SendCmdResetThread::Instance()
{
    QMutexLocker locker(&g_instanceMutex);
    if (!g_pInstance)
        g_pInstance = new SendCmdResetThread();
    return g_pInstance;
}

SendCmdResetThread *SendCmdResetThread::ExistingInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    return g_pInstance;
}

void SendCmdResetThread::DestroyInstance()
{
    QMutexLocker locker(&g_instanceMutex);
    if (g_pInstance && g_pInstance->isRunning())
        g_pInstance->wait();
    delete g_pInstance;
    g_pInstance = nullptr;
}

SendCmdResetThread::SendCmdResetThread() : QThread(nullptr)
{
}

SendCmdResetThread::~SendCmdResetThread()
{
    wait();
}

void SendCmdResetThread::run()
{
    LOG_SCOPE("run");
    CommonUtils::ThreadCountInc();
    DVSK_Reset();
    const QByteArray baCommand(kResetBroadcast);
    if (!baCommand.isEmpty())
        DVSK_Operation_Cancel(baCommand.constData());
    CommonUtils::ThreadCountDec();
}
