#include "DoingWizardWidget.h"

#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CustomLabelButton.h"
#include "LogLine.h"
#include "RemainingTimeEstimate.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostPluginIds.h>
#include <host/ILayoutPlugin.h>
#include <host/INotifyPlugin.h>
#include <host/MainFrame.h>
#include <host/PluginContainer.h>
#include <host/Startup.h>

#include <QDebug>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

static const char *const kLogSource = "..\\..\\src\\BackUpUIPlugin\\DoingWizardWidget";

namespace
{
DoingWizardWidget *g_pProgressPage = nullptr;

constexpr int kStepInterval = 50;
constexpr int kBubbleY = 460;
constexpr int kBubbleStartLtr = 46;
constexpr int kBubbleStartRtl = 783;
constexpr int kBubbleWidth = 76;
constexpr int kBubbleHeight = 44;
constexpr int kBarX = 76;
constexpr int kBarY = 508;
constexpr int kBarWidth = 744;
constexpr int kBarHeight = 14;
// The bubble's left edge runs from kBubbleOffset to kBubbleOffset + kBarWidth;
// mirrored, it is kMirrorEdge minus that.
constexpr int kBubbleOffset = 38;
constexpr int kMirrorEdge = 820;
constexpr int kMaxBarMaximum = 300;
// Big steps of the run-out after the end of a run; with the last single
// steps it takes at most 20 ticks (one second).
constexpr int kRunOutTicks = 16;
} // namespace

DoingWizardWidget::DoingWizardWidget(QWidget *pParent)
    : CustomWizardWidget(pParent), m_bRightToLeft(Change::GetRightToLeftLayout())
{
    g_pProgressPage = this;
    if (BackUpUILogic *pLogic = BackUpUILogic::Instance())
        connect(pLogic, &BackUpUILogic::signalDeviceMgrEvent, this, &DoingWizardWidget::slotOnDeviceEvent);
}

DoingWizardWidget::~DoingWizardWidget()
{
    if (g_pProgressPage == this)
        g_pProgressPage = nullptr;
    delete m_pDialog;
}

DoingWizardWidget *DoingWizardWidget::GetInstance()
{
    return g_pProgressPage;
}

void DoingWizardWidget::InitMembers()
{
    const QRect rectBackground(0, 0, kPageWidth, 608);
    m_pFrameBgOne = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgone"), rectBackground);
    m_pFrameBgTwo = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_Bgtwo"), rectBackground);
    m_pFrameBgThree = CreateBackground(QStringLiteral("BackUpUIPlugin_Doing_Bgthree"), rectBackground);

    m_pFrameImage = new QFrame(this);
    m_pFrameImage->setObjectName(QStringLiteral("BackUpUIPlugin_Doing_BgImage"));
    m_pFrameImage->setGeometry(235, 60, 420, 420);

    const QRect rectStatus(0, 608, kPageWidth, 32);
    m_pFrameStatusBar = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusBar"), rectStatus);
    m_pFrameStatusLine = CreateBackground(QStringLiteral("BackUpUIPlugin_Prepare_BgStatusLine"), rectStatus);

    m_pFrameCover = new QFrame(this);
    m_pFrameCover->setObjectName(QStringLiteral("BackUpUIPlugin_Doing_BgCancelCover"));
    m_pFrameCover->setGeometry(0, 0, kPageWidth, kPageHeight);
    m_pFrameCover->hide();

    m_pWaitingFrame = new WaitingBKFrame(this);
    m_pWaitingFrame->SetText(Change::tr("IDS_BACKUPUIPLUGIN_WAITING_CANCELLING_TEXT"));
    m_pWaitingFrame->move(0, 0);
    m_pWaitingFrame->setFixedSize(kPageWidth, kPageHeight);
    m_pWaitingFrame->hide();

    m_pHeader = new CustomLabelButton(this);

    InitProgressBar();

    m_pLabelTip = new QLabel(this);
    m_pLabelTip->setContentsMargins(0, 0, 0, 0);
    // The tip and the time left share the room between the bar and the
    // footer, one line each.
    m_pLabelTip->setFixedSize(856, 16);
    m_pLabelTip->setText(QString());

    m_pLabelTimeLeft = new QLabel(this);
    m_pLabelTimeLeft->setObjectName(QStringLiteral("BackUpUIPlugin_Doing_TimeLeft"));
    m_pLabelTimeLeft->setGeometry(20, 541, 856, 15);
    m_pLabelTimeLeft->setLayoutDirection(m_bRightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    m_pLabelTimeLeft->hide();

    m_pBBMgr = BackUpUIBBMgr::GetInstance();
    if (m_pBBMgr)
        m_pBBMgr->SetProgressTipLabel(m_pLabelTip);
}

void DoingWizardWidget::InitProgressBar()
{
    m_pProgressBar = new QProgressBar(this);
    m_pProgressBar->setObjectName(QStringLiteral("BackUIPlugin_Doing_Progressbar"));
    m_pProgressBar->setGeometry(kBarX, kBarY, kBarWidth, kBarHeight);
    m_pProgressBar->setTextVisible(false);
    // The direction is fixed here and the fill side chosen by the inverted
    // appearance alone, so an application-wide right-to-left direction does
    // not flip it back.
    m_pProgressBar->setLayoutDirection(Qt::LeftToRight);
    m_pProgressBar->setInvertedAppearance(m_bRightToLeft);
    m_pProgressBar->setMaximum(896);
    m_pProgressBar->setMinimum(0);
    m_pProgressBar->setValue(50);
    // Screen readers read the bar's value as its percentage.
    m_pProgressBar->setAccessibleName(Change::tr("IDS_BACKUPUIPLUGIN_DOING_PROGRESS_ACCESSIBLE_TEXT"));

    m_pLabelStripe = new QLabel(this);
    m_pLabelStripe->setObjectName(QStringLiteral("BackUIPlugin_Doing_Progressbartop"));
    m_pLabelStripe->setGeometry(kBarX, kBarY, kBarWidth, kBarHeight);

    m_pLabelValueImage = new QLabel(this);
    m_pLabelValueImage->setObjectName(QStringLiteral("RestoreUIPlugin_Doing_ProgressValueImage"));
    m_pLabelValueImage->setFixedSize(kBubbleWidth, kBubbleHeight);
    m_pLabelValueImage->move(BubbleStartPos());

    m_pLabelValueText = new QLabel(m_pLabelValueImage);
    m_pLabelValueText->setObjectName(QStringLiteral("UpdateUIPlugin_Doing_ProgressValue"));
    m_pLabelValueText->setGeometry(7, 3, kBubbleWidth - 14, 24);
    m_pLabelValueText->setAlignment(Qt::AlignCenter);
    m_pLabelValueText->setText(QStringLiteral("0%"));

    m_pStepTimer = new QTimer(this);
    m_pStepTimer->setInterval(kStepInterval);
}

void DoingWizardWidget::InitButtons()
{
    m_pBtnCancel = CreateFunctionButton();
}

void DoingWizardWidget::InitButtonText()
{
    if (!m_pBtnCancel) {
        LOG_ARG_NULL("InitButtonText");
        return;
    }
    m_pBtnCancel->setText(Change::tr("IDS_BACKUPUIPLUGIN_CANCELBUTTON"));
}

void DoingWizardWidget::InitObjectName()
{
    if (!m_pLabelTip || !m_pBtnCancel) {
        LOG_ARG_NULL("InitObjectName");
        return;
    }
    m_pLabelTip->setObjectName(QStringLiteral("BackUpUIPlugin_Doing_TipText"));
    m_pBtnCancel->setObjectName(QStringLiteral("CommonUI_Function_Btn"));
}

void DoingWizardWidget::InitLayout()
{
    if (!m_pHeader || !m_pLabelTip || !m_pBtnCancel || !m_pWaitingFrame || !m_pFrameCover) {
        LOG_ARG_NULL("InitLayout");
        return;
    }
    if (m_bRightToLeft) {
        m_pHeader->move(593, 41);
        m_pHeader->setLayoutDirection(Qt::RightToLeft);
        m_pLabelTip->setLayoutDirection(Qt::RightToLeft);
        m_pBtnCancel->setLayoutDirection(Qt::RightToLeft);
    } else {
        m_pHeader->move(27, 41);
    }
    m_pLabelTip->move(20, 525);
    m_pBtnCancel->move(390, 566);
    // The cover and the waiting frame lie above everything else.
    m_pFrameCover->raise();
    m_pWaitingFrame->raise();
}

void DoingWizardWidget::InitCons()
{
    if (!m_pBtnCancel || !m_pStepTimer) {
        LOG_ARG_NULL("InitCons");
        return;
    }
    connect(this, &DoingWizardWidget::signalMoviePlay, this, &DoingWizardWidget::setMoviePlay);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &DoingWizardWidget::DoCancel);
    SetKeyButtons(nullptr, m_pBtnCancel);
    connect(m_pStepTimer, &QTimer::timeout, this, &DoingWizardWidget::setMoviePlay);
    if (BackUpUIThread *pThread = BackUpUIThread::Instance()) {
        connect(pThread, &BackUpUIThread::IsApkBackup, this, &DoingWizardWidget::slotIsApkBackup);
        connect(pThread, &BackUpUIThread::IsImageBackup, this, &DoingWizardWidget::slotIsImageBackup);
        connect(pThread, &BackUpUIThread::IsVideoBackup, this, &DoingWizardWidget::slotIsVideoBackup);
        connect(pThread, &BackUpUIThread::IsAudioBackup, this, &DoingWizardWidget::slotIsAudioBackup);
        connect(pThread, &BackUpUIThread::signalBackupCancelSuccess, this,
                &DoingWizardWidget::SlotBackCancelSuccess);
        connect(pThread, &BackUpUIThread::signalIncreaseValue, this, &DoingWizardWidget::slotProgressTargetValue);
        connect(pThread, &BackUpUIThread::signalTimeLeft, this, &DoingWizardWidget::slotTimeLeft);
        connect(pThread, &BackUpUIThread::signalsModuleInfo, this, &DoingWizardWidget::slotModuleInfo);
    }
    if (m_pBBMgr)
        connect(m_pBBMgr, &BackUpUIBBMgr::signalsBackUpComplete, this, &DoingWizardWidget::slotsDoingBackupFinish);
}

QPoint DoingWizardWidget::BubbleStartPos() const
{
    return QPoint(m_bRightToLeft ? kBubbleStartRtl : kBubbleStartLtr, kBubbleY);
}

void DoingWizardWidget::MoveBubble(int nX)
{
    m_pLabelValueImage->move(m_bRightToLeft ? kMirrorEdge - nX : nX, kBubbleY);
}

void DoingWizardWidget::setProgressBarRange(qint64 nMin, qint64 nMax)
{
    if (!m_pProgressBar || !m_pLabelValueImage || !m_pLabelTip || !m_pStepTimer) {
        LOG_ARG_NULL("setProgressBarRange");
        return;
    }
    // A negative total cannot come from a real run; treat it as empty.
    if (nMax < 0)
        nMax = 0;
    m_bFinished = false;
    m_bRunActive = true;
    if (m_pLabelTimeLeft)
        m_pLabelTimeLeft->hide();
    m_fLastStepAt = 0.0f;
    m_bFinishingTip = false;
    m_nRange = nMax;
    m_nBarMaximum = nMax < kMaxBarMaximum ? static_cast<int>(nMax) : kMaxBarMaximum;
    m_fTarget = m_fPreviousTarget = static_cast<float>(nMax) * 0.03f;
    m_fStep = m_fTarget / 60.0f;

    m_pLabelValueImage->move(BubbleStartPos());
    m_pProgressBar->setMaximum(m_nBarMaximum);
    m_pProgressBar->setMinimum(static_cast<int>(qBound(qint64(0), nMin, qint64(m_nBarMaximum))));
    m_pProgressBar->reset();

    // No module has started yet: the tip names none (the manager's tip lines,
    // which name the module, follow when the first one starts).
    m_pLabelTip->setText(
        Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT").replace(QLatin1String("%s1"), QString()).simplified());
    // One connection only, however many runs this page follows.
    connect(m_pStepTimer, &QTimer::timeout, this, &DoingWizardWidget::stepOne, Qt::UniqueConnection);
}

void DoingWizardWidget::ConnectAppClose()
{
    if (MainFrame *pFrame = Startup::GetMainFrame())
        connect(pFrame, &MainFrame::signalAppCloseEvent, this, &DoingWizardWidget::slotCloseAppProcess,
                Qt::UniqueConnection);
}

void DoingWizardWidget::DisconnectAppClose()
{
    if (MainFrame *pFrame = Startup::GetMainFrame())
        disconnect(pFrame, &MainFrame::signalAppCloseEvent, this, &DoingWizardWidget::slotCloseAppProcess);
}

void DoingWizardWidget::SendHomeNotify(int nCode, int nValue1, int nValue2)
{
    PluginContainer *pContainer = Startup::GetPluginContainer();
    if (!pContainer)
        return;
    INotifyPlugin *pNotify = qobject_cast<INotifyPlugin *>(pContainer->GetPlugin(QStringLiteral(HOST_NOTIFY_PLUGIN_ID)));
    if (!pNotify) {
        LOG_WARNING("SendHomeNotify", QStringLiteral("notify plugin not found"));
        return;
    }
    pNotify->Notify(QStringLiteral(HOST_HOME_PLUGIN_ID), nCode, nValue1, nValue2);
}

void DoingWizardWidget::InitialShow()
{
    if (!m_pFrameCover || !m_pWaitingFrame || !m_pLabelTip || !m_pStepTimer || !m_pLabelValueText
        || !m_pProgressBar || !m_pLabelValueImage) {
        LOG_ARG_NULL("InitialShow");
        return;
    }
    ConnectAppClose();
    SendHomeNotify(4116, 0, 1);

    m_bDevicePresent = true;
    m_pFrameCover->hide();
    m_pWaitingFrame->HideFrame();
    m_pLabelTip->setText(QString());
    m_pStepTimer->stop();
    m_pLabelValueText->setText(QStringLiteral("0%"));
    m_pProgressBar->setValue(m_pProgressBar->minimum());
    m_bFinished = false;
    m_pLabelValueImage->move(BubbleStartPos());

    m_pStepTimer->start(kStepInterval);
}

void DoingWizardWidget::slotProgressTargetValue(float fIncrease)
{
    if (!(fIncrease > 0.0f))
        return;
    const float fRange = static_cast<float>(m_nRange);
    m_fPreviousTarget = m_fTarget;
    m_fTarget = m_fTarget + fIncrease;
    // The bar never reaches its end before the run has ended.
    if (m_fTarget + 0.02f * fRange > fRange)
        m_fTarget = 0.98f * fRange;
    if (m_fShown < m_fPreviousTarget)
        m_fStep = (m_fPreviousTarget - m_fShown) / 40.0f;
    // While the value waits at the old target its step halves towards 0; a
    // step too small to change the value would hold the bar still for the
    // rest of the run.
    if (!(m_fShown + m_fStep > m_fShown))
        m_fStep = (m_fTarget - m_fShown) / 40.0f;
    m_fWaypoint = m_fPreviousTarget + 0.75f * (m_fTarget - m_fPreviousTarget);
}

QString DoingWizardWidget::TimeLeftText(int nSeconds)
{
    const int nMinutes = RemainingTimeEstimate::ShownMinutes(nSeconds);
    if (nMinutes <= 0)
        return Change::tr("IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_UNDER_MINUTE_TEXT");
    if (nMinutes < 60)
        return Change::tr("IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_MINUTES_TEXT").arg(nMinutes);
    return Change::tr("IDS_BACKUPUIPLUGIN_DOING_TIMELEFT_HOURS_TEXT").arg(nMinutes / 60).arg(nMinutes % 60);
}

void DoingWizardWidget::slotTimeLeft(int nSeconds)
{
    if (!m_pLabelTimeLeft)
        return;
    if (nSeconds < 0 || m_bFinished || !m_bRunActive) {
        m_pLabelTimeLeft->hide();
        return;
    }
    m_pLabelTimeLeft->setText(TimeLeftText(nSeconds));
    m_pLabelTimeLeft->show();
}

void DoingWizardWidget::stepOne()
{
    if (!m_pProgressBar || !m_pLabelValueImage || !m_pLabelValueText || !m_pStepTimer) {
        LOG_ARG_NULL("stepOne");
        return;
    }

    if (!m_bFinished) {
        float fNext = m_fShown + m_fStep;
        if (fNext > m_fPreviousTarget && fNext < m_fWaypoint) {
            m_fStep = 1.0f;
            fNext = m_fShown + 1.0f;
        } else if (fNext >= m_fWaypoint) {
            m_fStep = m_fStep / 2.0f;
            m_fWaypoint = m_fShown + (m_fTarget - m_fShown) / 2.0f;
            fNext = m_fShown + m_fStep;
        }
        // The halving steps can carry the value a little past the target;
        // the bar must not run ahead of the run (on a short run that would
        // show 100 % before the end).
        if (fNext > m_fTarget)
            fNext = qMax(m_fShown, m_fTarget);
        ShowProgress(fNext);
        return;
    }

    // The run has ended: the bar runs out within a second (20 ticks) from
    // wherever it stands, its last steps one by one.
    const int nValue = m_pProgressBar->value();
    const int nStep = m_nRunOutStep;
    int nNext = nValue + nStep;
    if (nNext >= m_nBarMaximum - 2)
        nNext = nStep > 3 && nValue < m_nBarMaximum - 3 ? m_nBarMaximum - 3 : nValue + 1;
    if (nNext <= m_nBarMaximum && m_nBarMaximum > 0) {
        const int nX = nNext * kBarWidth / m_nBarMaximum + kBubbleOffset;
        const int nPercent = static_cast<int>(static_cast<float>(nNext) / m_nBarMaximum * 100.0f);
        m_pLabelValueText->setText(QString::number(nPercent) + QLatin1Char('%'));
        if (nX < kMirrorEdge)
            MoveBubble(nX);
        m_pProgressBar->setValue(nNext);
        UpdateFinishingTip();
    }
    if (nNext > m_nBarMaximum) {
        m_pProgressBar->setValue(m_nBarMaximum);
        m_pLabelValueImage->move(m_bRightToLeft ? kBubbleStartLtr : kBubbleStartRtl, kBubbleY);
        m_pLabelValueText->setText(QStringLiteral("100%"));
        qDebug() << "BackupUIPlugin DoingWizardWidget::progressbar finish .";
        if (m_pLabelTip)
            m_pLabelTip->setText(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL"));
        GoToResultPage();
    }
}

void DoingWizardWidget::ShowProgress(float fShown)
{
    m_fShown = fShown;
    // An empty range keeps the bar at its start instead of dividing by 0.
    int nValue = 0;
    int nX = kBubbleOffset;
    if (m_nRange > 0 && m_nBarMaximum > 0) {
        const float fRange = static_cast<float>(m_nRange);
        nValue = static_cast<int>(m_fShown * static_cast<float>(m_nBarMaximum) / fRange);
        nX = static_cast<int>(m_fShown * static_cast<float>(kBarWidth) / fRange + kBubbleOffset);
        const int nPercent = static_cast<int>(static_cast<float>(nValue) / m_nBarMaximum * 100.0f);
        m_pLabelValueText->setText(QString::number(nPercent) + QLatin1Char('%'));
    } else {
        m_pLabelValueText->setText(QStringLiteral("0%"));
    }
    if (nX > kBubbleStartLtr)
        MoveBubble(nX);
    m_pProgressBar->setValue(nValue);
}

void DoingWizardWidget::GoToResultPage()
{
    if (m_pStepTimer)
        m_pStepTimer->stop();
    m_fShown = m_fTarget = m_fPreviousTarget = 0.0f;
    m_fStep = 1.0f;
    m_bRunActive = false;
    DisconnectAppClose();
    SendHomeNotify(4117, 0, 0);
    CustomWizardWidget::DoNext();
}

void DoingWizardWidget::setMoviePlay()
{
    if (!m_pFrameImage || !m_pLabelStripe) {
        LOG_ARG_NULL("setMoviePlay");
        return;
    }
    m_pFrameImage->setStyleSheet(
        QStringLiteral("border-image: url(./skin/default/images/Update_Backup/UpdateUIPlugin_Label_BackUpMovie%1.png);")
            .arg(m_nMovieFrame));
    m_pLabelStripe->setStyleSheet(
        QStringLiteral(
            "border-image: url(./skin/default/images/OneKeyRepair_progressbar/OneKeyRepair_progressbar_stripe%1.png);")
            .arg(m_nStripeFrame));
    ++m_nMovieFrame;
    if (m_nMovieFrame > m_nMovieFrameCount)
        m_nMovieFrame = 1;
    if (m_nMovieFrame % 4 == 0) {
        ++m_nStripeFrame;
        if (m_nStripeFrame > 2)
            m_nStripeFrame = 1;
    }
}

void DoingWizardWidget::slotsDoingBackupFinish(int iResult)
{
    qDebug() << "BackupUIPlugin DoingWizardWidget::slotsDoingBackupFinish.";
    m_bFinished = true;
    if (m_pLabelTimeLeft)
        m_pLabelTimeLeft->hide();
    if (m_pProgressBar)
        m_nRunOutStep = qMax(3, (m_nBarMaximum - m_pProgressBar->value() + kRunOutTicks - 1) / kRunOutTicks);
    if (m_bDevicePresent) {
        DisconnectAppClose();
        SendHomeNotify(4117, 0, 0);
    }
    if (m_bAppClosing)
        return;
    UpdateFinishingTip();
    // A run ended by the phone's removal finds the bar stopped, maybe a
    // question or the waiting frame up: the way to the result page, which
    // says what happened, must be open.
    CloseDialog();
    if (m_pFrameCover)
        m_pFrameCover->hide();
    if (m_pWaitingFrame)
        m_pWaitingFrame->HideFrame();
    // Only a run that backed up everything fills the bar. A run that failed,
    // in whole or in part, shows how far it got (the bar's animation may lag
    // behind; the run's progress never reaches the end) and goes straight to
    // the result page, which says what happened.
    if (iResult != 0) {
        if (m_pProgressBar && m_pLabelValueText && m_pLabelValueImage && m_fTarget > m_fShown)
            ShowProgress(m_fTarget);
        const ResultView::Outcome outcome = m_pBBMgr ? m_pBBMgr->GetOutcome() : ResultView::Outcome::Failed;
        if (m_pLabelTip)
            m_pLabelTip->setText(Change::tr(ResultView::HeadlineKey(outcome)));
        GoToResultPage();
        return;
    }
    if (m_pStepTimer && !m_pStepTimer->isActive())
        m_pStepTimer->start(kStepInterval);
}

void DoingWizardWidget::UpdateFinishingTip()
{
    if (m_bFinishingTip || !m_pLabelTip || !m_pProgressBar || m_nBarMaximum <= 0)
        return;
    // The bar lags behind the run: it says the run is finishing only where
    // it shows the last step under way.
    const float fShown = static_cast<float>(m_pProgressBar->value()) * static_cast<float>(m_nRange) / m_nBarMaximum;
    if (fShown < m_fLastStepAt)
        return;
    m_pLabelTip->setText(Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_FINISHING_TIPTEXT"));
    m_bFinishingTip = true;
}

void DoingWizardWidget::slotModuleInfo(structBackupID info)
{
    if (info.nState == 0 && !m_bFinished)
        m_fLastStepAt = m_fTarget;
}

void DoingWizardWidget::slotIsApkBackup(bool bApkBack)
{
    m_bApkBackup = bApkBack;
}

void DoingWizardWidget::slotIsImageBackup(bool bImageBack)
{
    m_bImageBackup = bImageBack;
}

void DoingWizardWidget::slotIsVideoBackup(bool bVideoBack)
{
    m_bVideoBackup = bVideoBack;
}

void DoingWizardWidget::slotIsAudioBackup(bool bAudioBack)
{
    m_bAudioBackup = bAudioBack;
}

void DoingWizardWidget::DoCancel()
{
    if (!m_pBBMgr) {
        LOG_ARG_NULL("DoCancel");
        return;
    }
    if (!m_pStepTimer || !m_pFrameCover) {
        LOG_ARG_NULL("DoCancel");
        return;
    }
    // One confirmation at a time.
    if (m_pDialog) {
        m_pDialog->raise();
        return;
    }
    if (m_pBBMgr->GetOutFuncCaller() != 1)
        m_pStepTimer->stop();
    m_pFrameCover->show();
    m_pFrameCover->raise();

    m_pDialog = new CustomPopupDialog(this, Change::tr("IDS_BACKUPUIPLUGIN_DOINGCANCEL_DESCRIPTION_TEXT"), 2);
    // The buttons say what they do, and Enter keeps the backup going: stopping
    // throws away what has been copied, so it takes a deliberate choice.
    m_pDialog->SetButtonTexts(Change::tr("IDS_BACKUPUIPLUGIN_DOINGCANCEL_STOP_BUTTON"),
                              Change::tr("IDS_BACKUPUIPLUGIN_DOINGCANCEL_CONTINUE_BUTTON"));
    m_pDialog->SetCancelDefault();
    connect(m_pDialog, &CustomPopupDialog::signalOnClickOkEvent, this, &DoingWizardWidget::slotBackupCancelYES);
    connect(m_pDialog, &CustomPopupDialog::signalOnClickCancelEvent, this, &DoingWizardWidget::slotBackupCancelNO);
    m_pDialog->show();
}

void DoingWizardWidget::CloseDialog()
{
    if (!m_pDialog)
        return;
    // The dialog may be the sender of the signal being handled.
    m_pDialog->hide();
    m_pDialog->deleteLater();
    m_pDialog = nullptr;
}

void DoingWizardWidget::slotBackupCancelNO()
{
    if (!m_pBBMgr) {
        LOG_ARG_NULL("slotBackupCancelNO");
        return;
    }
    if (!m_pStepTimer || !m_pFrameCover) {
        LOG_ARG_NULL("slotBackupCancelNO");
        return;
    }
    if (m_pBBMgr->GetOutFuncCaller() != 1)
        m_pStepTimer->start();
    m_pFrameCover->hide();
    CloseDialog();
}

void DoingWizardWidget::slotBackupCancelYES()
{
    if (!m_pBBMgr) {
        LOG_ARG_NULL("slotBackupCancelYES");
        return;
    }
    if (!m_pStepTimer || !m_pFrameCover || !m_pWaitingFrame) {
        LOG_ARG_NULL("slotBackupCancelYES");
        return;
    }
    m_pStepTimer->stop();
    if (m_pBBMgr->GetOutFuncCaller() == 1) {
        m_pBBMgr->NotifyCancel();
    } else {
        m_pWaitingFrame->ShowFrame();
        m_pWaitingFrame->raise();
        m_pFrameCover->hide();
    }

    BackUpUIThread *pThread = BackUpUIThread::Instance();
    if (pThread && !pThread->IsFinished()) {
        CancelAction();
    } else {
        // The run ended before the user confirmed: nothing is left to stop,
        // and what it delivered stays (the thread keeps the package).
        SlotBackCancelSuccess();
        if (pThread)
            pThread->DeleteDataFolderTmpFiles();
    }
    CloseDialog();
}

void DoingWizardWidget::CancelAction()
{
    m_fShown = m_fTarget = m_fPreviousTarget = 0.0f;
    m_fStep = 1.0f;
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::Instance())
        pCancel->SetFileItemSelected(IsAnyFileBackup());
    BackUpUIThread::ClickCancel();
}

void DoingWizardWidget::ShowHomePlugin()
{
    if (ILayoutPlugin *pLayout = CommonUtils::GetLayoutPlugin())
        pLayout->ShowPlugin(QStringLiteral("HomeUIPlugin"));
    else
        qDebug() << "BackUpUIPlugin::ShowPlugin pLayout is Null";
}

void DoingWizardWidget::SlotBackCancelSuccess()
{
    if (m_bAppClosing) {
        SendHomeNotify(4116, 0, 0);
        return;
    }
    m_bRunActive = false;
    DisconnectAppClose();
    SendHomeNotify(4117, 0, 0);
    // The cancel is over also when the phone went away meanwhile: the
    // waiting frame must not stay up.
    if (m_pBBMgr && m_pBBMgr->GetOutFuncCaller() == 1) {
        m_pBBMgr->NotifyClose();
        return;
    }
    if (m_pWaitingFrame)
        m_pWaitingFrame->HideFrame();
    ShowHomePlugin();
    hide();
    if (m_pFrame)
        m_pFrame->hide();
}

void DoingWizardWidget::slotOnDeviceEvent(qint32 enEventType)
{
    if (enEventType != 6006 && enEventType != 6014)
        return;
    m_bDevicePresent = false;
    // Once the run has ended its package is complete: the bar runs out to the
    // result page as usual and nothing is cancelled.
    if (m_bFinished || !m_bRunActive)
        return;
    if (m_pStepTimer)
        m_pStepTimer->stop();
    CancelAction();
}

void DoingWizardWidget::slotCloseAppProcess()
{
    m_bAppClosing = true;
    if (m_pStepTimer)
        m_pStepTimer->stop();
    if (m_pFrameCover) {
        m_pFrameCover->show();
        m_pFrameCover->raise();
    }
    if (m_bDevicePresent && !m_bFinished)
        CancelAction();
    if (m_pWaitingFrame) {
        m_pWaitingFrame->ShowFrame();
        m_pWaitingFrame->raise();
        if (m_pFrameCover)
            m_pFrameCover->hide();
    }
}
