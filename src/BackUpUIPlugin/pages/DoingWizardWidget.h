#pragma once

#include "BackUpUIBBMgr.h"
#include "CustomWizardWidget.h"

#include <host/CustomPopupDialog.h>

#include <QPointer>
#include <QtGlobal>

class CustomLabelButton;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class WaitingBKFrame;

// The second wizard page: follows a running backup with a smoothly moving
// bar and percentage bubble, asks before it cancels, reacts to the phone's
// removal and to the host closing, and when the run has ended moves on to the
// result page: a run that backed up everything runs the bar out to 100 %
// first; any other leaves the bar where the run stopped.
class DoingWizardWidget : public CustomWizardWidget
{
    Q_OBJECT
public:
    explicit DoingWizardWidget(QWidget *pParent = nullptr);
    ~DoingWizardWidget() override;

    // The one progress page of the process (null when none exists).
    static DoingWizardWidget *GetInstance();

    // Prepares the bar for a run whose progress total is nMax units.
    void setProgressBarRange(qint64 nMin, qint64 nMax);

    // The bubble's left edge for the start of the bar, in the current direction.
    QPoint BubbleStartPos() const;

    qint64 GetRange() const { return m_nRange; }
    int GetBarMaximum() const { return m_nBarMaximum; }
    bool IsBackupFinished() const { return m_bFinished; }
    float GetStep() const { return m_fStep; }
    float GetShownValue() const { return m_fShown; }
    float GetTargetValue() const { return m_fTarget; }
    float GetWaypoint() const { return m_fWaypoint; }
    bool IsDevicePresent() const { return m_bDevicePresent; }
    bool IsAppClosing() const { return m_bAppClosing; }
    bool IsAnyFileBackup() const { return m_bApkBackup || m_bImageBackup || m_bVideoBackup || m_bAudioBackup; }

    QProgressBar *GetProgressBar() const { return m_pProgressBar; }
    QLabel *GetProgressValueImage() const { return m_pLabelValueImage; }
    QLabel *GetProgressValueText() const { return m_pLabelValueText; }
    QLabel *GetTipLabel() const { return m_pLabelTip; }
    // The backup's time left under the tip, hidden while it is not known.
    QLabel *GetTimeLeftLabel() const { return m_pLabelTimeLeft; }
    QFrame *GetCancelCover() const { return m_pFrameCover; }
    WaitingBKFrame *GetWaitingFrame() const { return m_pWaitingFrame; }
    QPushButton *GetCancelButton() const { return m_pBtnCancel; }
    CustomPopupDialog *GetCancelDialog() const { return m_pDialog; }
    QTimer *GetStepTimer() const { return m_pStepTimer; }

    // The words for a time left of nSeconds ("About 5 min left").
    static QString TimeLeftText(int nSeconds);

signals:
    void signalMoviePlay();

public slots:
    void DoCancel() override;
    void SlotBackCancelSuccess();
    void stepOne();
    void slotsDoingBackupFinish(int iResult);
    void slotIsApkBackup(bool bApkBack);
    void slotIsImageBackup(bool bImageBack);
    void slotIsVideoBackup(bool bVideoBack);
    void slotIsAudioBackup(bool bAudioBack);
    void CancelAction();
    void setMoviePlay();
    void slotOnDeviceEvent(qint32 enEventType);
    void slotCloseAppProcess();
    void slotBackupCancelYES();
    void slotBackupCancelNO();
    void slotProgressTargetValue(float fIncrease);
    // The worker's estimate of the time left (-1: not known yet).
    void slotTimeLeft(int nSeconds);
    // A module's step began (state 0): the run's last step so far starts
    // where the run stands now.
    void slotModuleInfo(structBackupID info);

protected:
    void InitMembers() override;
    void InitButtons() override;
    void InitButtonText() override;
    void InitObjectName() override;
    void InitLayout() override;
    void InitCons() override;
    void InitialShow() override;

private:
    void InitProgressBar();
    // Once the run has ended and the bar shows its last step: "Finishing".
    void UpdateFinishingTip();
    void MoveBubble(int nX);
    void ConnectAppClose();
    void DisconnectAppClose();
    // A notification to the host's home plugin through the notify plugin.
    static void SendHomeNotify(int nCode, int nValue1, int nValue2);
    void ShowHomePlugin();
    void CloseDialog();
    // Ends the page's part in the run (timer, host notice) and shows the
    // result page.
    void GoToResultPage();
    // Shows a progress value (in units of the range) on the bar, its
    // percentage and the bubble.
    void ShowProgress(float fShown);

    QFrame *m_pFrameBgOne = nullptr;
    QFrame *m_pFrameBgTwo = nullptr;
    QFrame *m_pFrameBgThree = nullptr;
    QFrame *m_pFrameImage = nullptr;
    QFrame *m_pFrameStatusBar = nullptr;
    QFrame *m_pFrameStatusLine = nullptr;
    QFrame *m_pFrameCover = nullptr;
    WaitingBKFrame *m_pWaitingFrame = nullptr;
    CustomLabelButton *m_pHeader = nullptr;
    QProgressBar *m_pProgressBar = nullptr;
    QLabel *m_pLabelStripe = nullptr;
    QLabel *m_pLabelValueImage = nullptr;
    QLabel *m_pLabelValueText = nullptr;
    QLabel *m_pLabelTip = nullptr;
    QLabel *m_pLabelTimeLeft = nullptr;
    QPushButton *m_pBtnCancel = nullptr;
    QPointer<CustomPopupDialog> m_pDialog;

    QTimer *m_pStepTimer = nullptr;
    qint64 m_nRange = 896;
    int m_nBarMaximum = 300;
    bool m_bFinished = false;
    // The bar's step per tick once the run has ended (set when it ends).
    int m_nRunOutStep = 3;
    float m_fStep = 1.0f;
    float m_fShown = 0.0f;
    float m_fPreviousTarget = 0.0f;
    float m_fTarget = 0.0f;
    float m_fWaypoint = 0.0f;
    // Where the last step that began started, in range units; the tip says
    // the run is finishing once the bar has run out past it.
    float m_fLastStepAt = 0.0f;
    bool m_bFinishingTip = false;
    bool m_bApkBackup = false;
    bool m_bImageBackup = false;
    bool m_bVideoBackup = false;
    bool m_bAudioBackup = false;
    int m_nMovieFrame = 1;
    int m_nMovieFrameCount = 24;
    int m_nStripeFrame = 1;
    bool m_bAppClosing = false;
    bool m_bDevicePresent = true;
    const bool m_bRightToLeft;
    QPointer<BackUpUIBBMgr> m_pBBMgr;
    // A run was handed to this page (setProgressBarRange) and has not yet
    // completed or been cancelled; a phone removal only cancels such a run.
    bool m_bRunActive = false;
};
