#include "BackUpMainWindow.h"

#include "BackUpUIBBMgr.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CompleteWizardWidget.h"
#include "ConnectWizardWidget.h"
#include "CustomLabelButton.h"
#include "DoingWizardWidget.h"
#include "LogLine.h"
#include "PhoneIdentity.h"
#include "PhoneTexts.h"
#include "PrepareWizardWidget.h"
#include "RestoreWizard.h"
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
    delete m_pConnectWidget;
    m_pConnectWidget = nullptr;

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

    // The connect page stands before the wizard without being linked into
    // it: it only says when a phone is ready.
    m_pConnectWidget = new ConnectWizardWidget(this);
    m_pConnectWidget->InitPage();
    m_pConnectWidget->hide();
    connect(m_pConnectWidget, &ConnectWizardWidget::signalPhoneReady, this, &BackUpMainWindow::slotPhoneReady);
    connect(m_pConnectWidget, &ConnectWizardWidget::signalCancelRequested, m_pPrepareWidget,
            &PrepareWizardWidget::DoCancel);
    connect(m_pCompleteWidget, &CompleteWizardWidget::signalTryAgain, this, &BackUpMainWindow::slotTryAgain);

    m_pRestoreWizard = new RestoreWizard(this);
    m_pRestoreWizard->AddEntryButton(m_pPrepareWidget);
}

void BackUpMainWindow::ShowRestore(const QString &strBackup)
{
    if (!m_pRestoreWizard || !m_pPrepareWidget) {
        LOG_ARG_NULL("ShowRestore");
        return;
    }
    m_pRestoreWizard->Open(m_pPrepareWidget, m_pPrepareWidget->GetBackUpPath(), strBackup);
}

void BackUpMainWindow::ShowWizard()
{
    if (!m_pPrepareWidget || !m_pDoingWidget || !m_pCompleteWidget || !m_pConnectWidget) {
        LOG_ARG_NULL("ShowWizard");
        return;
    }
    m_pDoingWidget->hide();
    m_pCompleteWidget->hide();
    ShowFirstPage();
}

void BackUpMainWindow::ShowFirstPage()
{
    if (ConnectWizardWidget::OpenPhoneWithoutAsking()) {
        ShowPreparePage();
        return;
    }
    m_pPrepareWidget->hide();
    m_pConnectWidget->ShowPage();
}

void BackUpMainWindow::ShowPreparePage()
{
    m_pConnectWidget->hide();
    ShowPhoneInHeaders();
    m_pPrepareWidget->ShowPage();
}

void BackUpMainWindow::ShowPhoneInHeaders()
{
    const QString strPhone = PhoneTexts::HeaderLine(PhoneIdentity::OfOpenPhone());
    for (QWidget *pPage : {static_cast<QWidget *>(m_pPrepareWidget), static_cast<QWidget *>(m_pDoingWidget),
                           static_cast<QWidget *>(m_pCompleteWidget)}) {
        for (CustomLabelButton *pHeader : pPage->findChildren<CustomLabelButton *>())
            pHeader->SetPhoneText(strPhone);
    }
}

void BackUpMainWindow::slotPhoneReady()
{
    if (m_pPrepareWidget && m_pConnectWidget)
        ShowPreparePage();
}

void BackUpMainWindow::slotTryAgain()
{
    if (!m_pPrepareWidget || !m_pCompleteWidget || !m_pConnectWidget)
        return;
    m_pPrepareWidget->KeepChoicesForNextShow();
    m_pCompleteWidget->hide();
    ShowFirstPage();
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
