#include "BackUpUIPlugin.h"

#include "BackUpMainWindow.h"
#include "BackUpRunReport.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "Factory.h"
#include "LogLine.h"
#include "PrepareWizardWidget.h"
#include "SendCmdResetThread.h"

#include <QDebug>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpUIPlugin";

extern "C" Q_DECL_EXPORT const char *qt_plugin_query_verification_data()
{
    return BackUpUIPlugin::kVerificationData;
}

BackUpUIPlugin::BackUpUIPlugin(QObject *pParent) : QObject(pParent)
{
}

BackUpUIPlugin::~BackUpUIPlugin() = default;

bool BackUpUIPlugin::Init()
{
    LogLine::Called(kLogSource, "Init");
    m_pMainWindow = BackUpMainWindow::GetInstance();
    if (m_pMainWindow && !findChild<BackUpRunReport *>(QString(), Qt::FindDirectChildrenOnly))
        new BackUpRunReport(this);
    return !m_pMainWindow.isNull();
}

QString BackUpUIPlugin::GetPluginId()
{
    return QString::fromLatin1(kPluginId);
}

QString BackUpUIPlugin::GetPluginName()
{
    return QString::fromLatin1(kPluginName);
}

bool BackUpUIPlugin::ShowWindow(QWidget *pParent, QRect &rect)
{
    qDebug() << "this is BackUpUIPlugin::ShowWindow " << rect;
    if (!pParent) {
        LOG_ARG_NULL("ShowWindow");
        return false;
    }
    if (!m_pMainWindow) {
        LOG_ARG_NULL("ShowWindow");
        return false;
    }
    m_pMainWindow->ShowWindow(pParent, rect);
    return true;
}

void BackUpUIPlugin::HideWindow()
{
    if (m_pMainWindow)
        m_pMainWindow->setVisible(false);
}

void BackUpUIPlugin::FitSize(QRect &rect)
{
    if (!m_pMainWindow) {
        LOG_ARG_NULL("FitSize");
        return;
    }
    m_pMainWindow->setGeometry(rect);
}

bool BackUpUIPlugin::CheckArgument(QString &strArg)
{
    return !strArg.isEmpty();
}

QWidget *BackUpUIPlugin::GetWidget()
{
    return m_pMainWindow.data();
}

bool BackUpUIPlugin::MoveWindow(QWidget *pParent, QRect &rect)
{
    if (!pParent) {
        LOG_ARG_NULL("MoveWindow");
        return false;
    }
    if (!m_pMainWindow) {
        LOG_ARG_NULL("MoveWindow");
        return false;
    }
    m_pMainWindow->MoveWindow(pParent, rect);
    return true;
}

qint32 BackUpUIPlugin::Notify(quint32 nCode)
{
    if (nCode != kThreadExitCode || !m_pMainWindow)
        return 0;
    qDebug() << "Notify BackUpUIPlugin Thread exit !!!!!!!!!!!!!!!!!!!!!!!!";
    DestroyThreads();
    if (PrepareWizardWidget *pPrepare = m_pMainWindow->GetPreparePage())
        pPrepare->StopTimers();
    return 0;
}

void BackUpUIPlugin::OnDestroy()
{
    BackUpRunReport *pReport = findChild<BackUpRunReport *>(QString(), Qt::FindDirectChildrenOnly);
    if (!m_pMainWindow) {
        // Without Init nothing exists. A host that deleted its frame, and the
        // window with it, still has the threads end here.
        if (pReport) {
            DestroyThreads();
            Factory::DestroyInstance();
            delete pReport;
        }
        return;
    }
    // The window's destruction ends a job still running first: the job uses
    // the backup logic that goes with the window.
    BackUpMainWindow::DestroyInstance();
    DestroyThreads();
    // The factory's device information writer keeps the backup logic it was
    // made with, which is gone now: a later Init makes a new factory.
    Factory::DestroyInstance();
    delete pReport;
    m_pMainWindow = nullptr;
}

bool BackUpUIPlugin::SetOutFuncCaller(int nCaller)
{
    if (!m_pMainWindow)
        return false;
    return m_pMainWindow->SetOutFuncCaller(nCaller);
}

void BackUpUIPlugin::SetOutFuncParam(int nValue)
{
    if (m_pMainWindow)
        m_pMainWindow->SetOutFuncParam(nValue);
}

void BackUpUIPlugin::CancelOutFuncBackup()
{
    if (m_pMainWindow)
        m_pMainWindow->CancelOutFuncBackup();
}

void BackUpUIPlugin::DestroyThreads()
{
    SendCmdResetThread::DestroyInstance();
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
}
