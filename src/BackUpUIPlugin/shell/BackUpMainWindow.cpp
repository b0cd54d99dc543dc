#include "BackUpMainWindow.h"

#include "BackUpUIBBMgr.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CompleteWizardWidget.h"
#include "DoingWizardWidget.h"
#include "LogLine.h"
#include "PrepareWizardWidget.h"
#include "SendCmdResetThread.h"

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\BackUpMainWindow";

namespace
{
BackUpMainWindow *g_pMainWindow = nullptr;

bool IsRunning(const QThread *pThread)
{
    return pThread && pThread->isRunning();
}
} // namespace

BackUpMainWindow *BackUpMainWindow::GetInstance()
{
    if (!g_pMainWindow)
        g_pMainWindow = new BackUpMainWindow(nullptr);
    return g_pMainWindow;
}

BackUpMainWindow *BackUpMainWindow::ExistingInstance()
{
    return g_pMainWindow;
}

void BackUpMainWindow::DestroyInstance()
{
    BackUpMainWindow *pWindow = g_pMainWindow;
    g_pMainWindow = nullptr;
    delete pWindow;
}

BackUpMainWindow::BackUpMainWindow(QWidget *pParent) : QWidget(pParent)
{
    m_pLogic = BackUpUILogic::Instance();
    if (m_pLogic)
        connect(m_pLogic, &BackUpUILogic::signalDeviceAcitve, this, &BackUpMainWindow::onDeviceAvaible);

    m_pBBMgr = BackUpUIBBMgr::GetInstance();
    if (m_pBBMgr) {
        m_pBBMgr->SetOutFuncCaller(m_nOutFuncCaller);
        m_pBBMgr->SetOutFuncParam(m_nOutFuncParam);
    }

    setFixedSize(kWindowWidth, kWindowHeight);
    setWindowFlags(Qt::FramelessWindowHint);
    InitWizard();
    setObjectName(QStringLiteral("BackUpUIPlugin_MainWidget"));
}

BackUpMainWindow::~BackUpMainWindow()
{
    // The host may delete its frame, and this window with it, before it asks
    // the plugin to clean up; the stored instance must not outlive it.
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;

    // A job still running uses the backup logic, which goes with the window:
    // the reset, cancel and worker threads are ended first, in this order.
    if (IsRunning(SendCmdResetThread::ExistingInstance()) || IsRunning(BackUpUIThreadCancel::ExistingInstance())
        || IsRunning(BackUpUIThread::ExistingInstance())) {
        SendCmdResetThread::DestroyInstance();
        BackUpUIThreadCancel::DestroyInstance();
        BackUpUIThread::DestroyInstance();
    }

    delete m_pPrepareWidget;
    m_pPrepareWidget = nullptr;
    delete m_pDoingWidget;
    m_pDoingWidget = nullptr;
    delete m_pCompleteWidget;
    m_pCompleteWidget = nullptr;

    BackUpUILogic::DestroyInstance();
    m_pLogic = nullptr;
    BackUpUIBBMgr::DestroyInstance();
    m_pBBMgr = nullptr;
}

void BackUpMainWindow::InitWizard()
{
    m_pPrepareWidget = new PrepareWizardWidget(this);
    m_pDoingWidget = new DoingWizardWidget(this);
    m_pCompleteWidget = new CompleteWizardWidget(this);
    if (!m_pPrepareWidget || !m_pDoingWidget || !m_pCompleteWidget) {
        LOG_ARG_NULL("InitWizard");
        return;
    }

    m_pPrepareWidget->InitPage();
    m_pDoingWidget->InitPage();
    m_pCompleteWidget->InitPage();

    m_pPrepareWidget->SetNeighbourPages(nullptr, m_pDoingWidget);
    m_pDoingWidget->SetNeighbourPages(m_pPrepareWidget, m_pCompleteWidget);
    m_pCompleteWidget->SetNeighbourPages(m_pDoingWidget, nullptr);
}

void BackUpMainWindow::ShowWizard()
{
    if (!m_pPrepareWidget || !m_pDoingWidget || !m_pCompleteWidget) {
        LOG_ARG_NULL("ShowWizard");
        return;
    }
    m_pPrepareWidget->ShowPage();
    m_pDoingWidget->hide();
    m_pCompleteWidget->hide();
}

void BackUpMainWindow::ShowWindow(QWidget *pParent, const QRect &rect)
{
    // The SDK is reset whenever the host shows the plugin, even when it
    // gives no frame to show it in.
    if (SendCmdResetThread *pReset = SendCmdResetThread::Instance())
        pReset->start(QThread::InheritPriority);

    if (!pParent) {
        LOG_ARG_NULL("ShowWindow");
        return;
    }

    setMinimumSize(kWindowWidth, kWindowHeight);
    if (parentWidget() != pParent)
        setParent(pParent);
    move(rect.topLeft());
    // The fixed size set at construction bounds this to 896 x 640.
    resize(rect.width(), rect.height());

    m_nOutFuncCaller = 0;
    m_nOutFuncParam = 0;
    if (m_pBBMgr) {
        m_pBBMgr->SetOutFuncCaller(m_nOutFuncCaller);
        m_pBBMgr->SetOutFuncParam(m_nOutFuncParam);
    }

    ShowWizard();
    show();
}

void BackUpMainWindow::MoveWindow(QWidget *pParent, const QRect &rect)
{
    if (!pParent) {
        LOG_ARG_NULL("MoveWindow");
        return;
    }
    if (parentWidget() != pParent) {
        // Qt hides a widget whose parent changes; a window the user sees
        // stays visible in its new frame.
        const bool bVisible = isVisible();
        setParent(pParent);
        if (bVisible)
            show();
    }
    move(rect.topLeft());
}

bool BackUpMainWindow::SetOutFuncCaller(int nCaller)
{
    m_nOutFuncCaller = nCaller;
    if (m_pBBMgr)
        m_pBBMgr->SetOutFuncCaller(nCaller);
    return true;
}

void BackUpMainWindow::SetOutFuncParam(int nValue)
{
    m_nOutFuncParam = nValue;
    if (m_pBBMgr)
        m_pBBMgr->SetOutFuncParam(nValue);
}

void BackUpMainWindow::CancelOutFuncBackup()
{
    if (m_nOutFuncCaller != 0 && m_pDoingWidget)
        m_pDoingWidget->DoCancel();
}

void BackUpMainWindow::onDeviceAvaible(bool bInitFinished)
{
    Q_UNUSED(bInitFinished)
    LOG_ENTERED("onDeviceAvaible");
    LOG_LEAVED("onDeviceAvaible");
}
