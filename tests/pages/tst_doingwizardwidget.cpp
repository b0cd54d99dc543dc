// The progress page: bar arithmetic, finishing, cancel with confirmation,
// phone removal, application close and the host notifications.

#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "PageTestSupport.h"
#include "RunState.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/CustomPopupDialog.h>
#include <host/HostCallLog.h>
#include <host/MainFrame.h>
#include <host/Startup.h>

#include <HostBackupRequesterPlugin.h>
#include <HostNotifyPlugin.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace
{
QString NotifyCall(int nCode, int nValue1, int nValue2)
{
    return QStringLiteral("Notify(F3389867-EA3E-420d-99A5-6568DB0A8A00,%1,%2,%3)").arg(nCode).arg(nValue1).arg(nValue2);
}

bool WaitForCancelThread()
{
    BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance();
    return pCancel && pCancel->wait(QDeadlineTimer(20000));
}
} // namespace

class tst_DoingWizardWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { RunState::Set(0); }
    void cleanup();
    void cleanupTestCase();

    void range_data();
    void range();
    void runningSteps_data();
    void runningSteps();
    void finishingSteps_data();
    void finishingSteps();
    void cancel_data();
    void cancel();
    void lateCancelKeepsPackage();
    void runOutTakesASecond();
    void finishingTipWaitsForTheLastStep_data();
    void finishingTipWaitsForTheLastStep();
    void onlySuccessFillsTheBar_data();
    void onlySuccessFillsTheBar();
    void phoneRemovalEndsOnResultPage_data();
    void phoneRemovalEndsOnResultPage();
    void timeLeft_data();
    void timeLeft();

private:
    // The page as the prepare page leaves it when a backup starts; the tests
    // drive the ticks themselves.
    void Start(qint64 nRange, const QString &strLang = QStringLiteral("en"));
    DoingWizardWidget *Page() const { return m_wizard.pDoing; }

    TestEnv m_env;
    Wizard m_wizard;
};

void tst_DoingWizardWidget::initTestCase()
{
    QVERIFY2(m_env.IsValid(), "no temporary folder");
    // The simulated phone needs no time to settle after a cancel.
    BackUpUIThreadCancel::SetSettleDelay(0);
}

void tst_DoingWizardWidget::cleanup()
{
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->wait();
    if (BackUpUIThread *pThread = BackUpUIThread::ExistingInstance())
        pThread->wait();
    m_wizard.Reset();
    Startup::SetMainFrame(nullptr);
    CommonUtils::SetCloseFlag(false);
    RunState::Set(0);
    BackUpUILogic::Instance()->SetBackupCancel(false);
}

void tst_DoingWizardWidget::cleanupTestCase()
{
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
}

void tst_DoingWizardWidget::Start(qint64 nRange, const QString &strLang)
{
    m_wizard.Build(strLang, [](QWidget *) { return nullptr; });
    Page()->setProgressBarRange(0, nRange);
    Page()->ShowPage();
    Page()->GetStepTimer()->stop();
}

void tst_DoingWizardWidget::range_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<qint64>("nRange");
    QTest::addColumn<int>("nBarMaximum");

    QTest::newRow("0") << "en" << qint64(0) << 0;
    QTest::newRow("299") << "en" << qint64(299) << 299;
    QTest::newRow("300") << "ru" << qint64(300) << 300;
    QTest::newRow("large") << "ar" << qint64(123456) << 300;
}

void tst_DoingWizardWidget::range()
{
    QFETCH(QString, strLang);
    QFETCH(qint64, nRange);
    QFETCH(int, nBarMaximum);
    Start(nRange, strLang);

    QCOMPARE(Page()->GetProgressBar()->maximum(), nBarMaximum);
    QCOMPARE(Page()->GetProgressBar()->value(), 0);
    QCOMPARE(Page()->GetTargetValue(), float(nRange) * 0.03f);
    QCOMPARE(Page()->GetStep(), Page()->GetTargetValue() / 60.0f);
    QCOMPARE(Page()->GetProgressValueText()->text(), QStringLiteral("0%"));
    QVERIFY(m_wizard.pStandIns->Notify()->Calls().contains(NotifyCall(4116, 0, 1)));
    // A new range on the shown page: until the first module starts the tip
    // names none, and never shows a placeholder.
    Page()->GetTipLabel()->setText("a module's tip");
    Page()->setProgressBarRange(0, nRange);
    const QString strTip = Page()->GetTipLabel()->text();
    QVERIFY2(!strTip.contains("%s"), qPrintable(strTip));
    QCOMPARE(strTip, Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT").replace("%s1", "").simplified());

    // An empty range keeps the bar at its start, and finishing still works.
    Page()->slotProgressTargetValue(5.0f);
    for (int i = 0; i < 20; ++i)
        Page()->stepOne();
    if (nRange == 0)
        QCOMPARE(Page()->GetProgressBar()->value(), 0);
    Page()->slotsDoingBackupFinish(0);
    for (int i = 0; i < 400 && !Page()->isHidden(); ++i)
        Page()->stepOne();
    QVERIFY(!m_wizard.pResult->isHidden());
}

void tst_DoingWizardWidget::runningSteps_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<qint64>("nRange");
    QTest::newRow("left to right") << "en" << qint64(2000);
    QTest::newRow("right to left, short run") << "ar" << qint64(20);
}

void tst_DoingWizardWidget::runningSteps()
{
    QFETCH(QString, strLang);
    QFETCH(qint64, nRange);
    Start(nRange, strLang);
    const bool bRtl = strLang == "ar";
    const int nMax = Page()->GetBarMaximum();
    QCOMPARE(Page()->GetProgressBar()->invertedAppearance(), bRtl);

    // Zero and negative increments are ignored; an increment while the bar
    // lags behind: it catches up in 40 ticks' steps.
    const float fFirst = float(nRange) * 0.03f;
    const float fIncrease = float(nRange) * 0.2f;
    Page()->slotProgressTargetValue(0.0f);
    Page()->slotProgressTargetValue(-40.0f);
    QCOMPARE(Page()->GetTargetValue(), fFirst);
    Page()->slotProgressTargetValue(fIncrease);
    QCOMPARE(Page()->GetStep(), fFirst / 40.0f);
    QCOMPARE(Page()->GetWaypoint(), fFirst + 0.75f * fIncrease);

    int nLastValue = 0;
    float fLastShown = 0.0f;
    for (int i = 0; i < 600; ++i) {
        if (i == 300) {
            // Beyond the end: the target stops at 98 %, short of the end.
            Page()->slotProgressTargetValue(float(nRange));
            QCOMPARE(Page()->GetTargetValue(), float(nRange) * 0.98f);
        }
        Page()->stepOne();
        const float fShown = Page()->GetShownValue();
        const int nValue = Page()->GetProgressBar()->value();
        QVERIFY(fShown >= fLastShown && nValue >= nLastValue);
        QVERIFY(fShown <= Page()->GetTargetValue());
        QCOMPARE(nValue, int(fShown * float(nMax) / float(nRange)));
        QCOMPARE(Page()->GetProgressValueText()->text(), QString::number(int(float(nValue) / nMax * 100.0f)) + "%");
        const int nX = int(fShown * 744.0f / float(nRange) + 38);
        if (nX > 46)
            QCOMPARE(Page()->GetProgressValueImage()->pos(), QPoint(bRtl ? 820 - nX : nX, 460));
        nLastValue = nValue;
        fLastShown = fShown;
    }
    QVERIFY(fLastShown > fFirst + fIncrease);
    QVERIFY(nLastValue < nMax && Page()->isVisible()); // only the end of the run completes the bar
}

void tst_DoingWizardWidget::finishingSteps_data()
{
    QTest::addColumn<qint64>("nRange");
    QTest::addColumn<int>("nStart");
    QTest::addColumn<QList<int>>("listValues");
    QTest::addColumn<QString>("strLang");

    QTest::newRow("290 of 300") << qint64(1000) << 290 << QList<int>{293, 296, 297, 298, 299, 300} << "en";
    QTest::newRow("12 of 20") << qint64(20) << 12 << QList<int>{15, 16, 17, 18, 19, 20} << "en";
    QTest::newRow("297 of 300, right to left") << qint64(1000) << 297 << QList<int>{298, 299, 300} << "ar";
}

void tst_DoingWizardWidget::finishingSteps()
{
    QFETCH(qint64, nRange);
    QFETCH(int, nStart);
    QFETCH(QList<int>, listValues);
    QFETCH(QString, strLang);

    Start(nRange, strLang);
    const bool bRtl = strLang == "ar";
    HostNotifyPlugin *pNotify = m_wizard.pStandIns->Notify();
    Page()->GetProgressBar()->setValue(nStart);
    Page()->slotsDoingBackupFinish(0);
    QVERIFY(Page()->IsBackupFinished());
    QCOMPARE(pNotify->Calls().last(), NotifyCall(4117, 0, 0));

    const int nMax = Page()->GetBarMaximum();
    for (int nValue : listValues) {
        Page()->stepOne();
        QCOMPARE(Page()->GetProgressBar()->value(), nValue);
        QCOMPARE(Page()->GetProgressValueText()->text(), QString::number(int(float(nValue) / nMax * 100.0f)) + "%");
        const int nX = nValue * 744 / nMax + 38;
        if (nX < 820)
            QCOMPARE(Page()->GetProgressValueImage()->pos(), QPoint(bRtl ? 820 - nX : nX, 460));
    }
    pNotify->ClearCalls();
    Page()->GetStepTimer()->start();
    Page()->stepOne();

    QVERIFY(!Page()->GetStepTimer()->isActive());
    QCOMPARE(Page()->GetProgressValueText()->text(), QStringLiteral("100%"));
    QCOMPARE(Page()->GetProgressValueImage()->pos(), QPoint(bRtl ? 46 : 783, 460));
    QCOMPARE(Page()->GetTipLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL"));
    QCOMPARE(pNotify->Calls(), QStringList{NotifyCall(4117, 0, 0)});
    QVERIFY(Page()->isHidden());
    QVERIFY(!m_wizard.pResult->isHidden());
}

// From an empty bar the run-out takes at most 20 ticks of 50 ms, and the tip
// no longer names the module that started last.
void tst_DoingWizardWidget::runOutTakesASecond()
{
    Start(1000);
    Page()->GetTipLabel()->setText(QStringLiteral("Backing up Other..."));
    Page()->slotsDoingBackupFinish(0);
    QCOMPARE(Page()->GetTipLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_FINISHING_TIPTEXT"));
    int nTicks = 0;
    while (!Page()->isHidden() && nTicks < 400) {
        Page()->stepOne();
        ++nTicks;
    }
    QVERIFY2(nTicks <= 20, qPrintable(QString::number(nTicks)));
    QVERIFY(!m_wizard.pResult->isHidden());
}

void tst_DoingWizardWidget::finishingTipWaitsForTheLastStep_data()
{
    QTest::addColumn<float>("fBeforeLastStep"); // progress before the last step began
    QTest::addColumn<bool>("bItemProgressToo");
    QTest::newRow("last step at 43 %") << 400.0f << false;
    QTest::newRow("item progress does not start a step") << 400.0f << true;
    QTest::newRow("last step at 80 %") << 770.0f << false;
}

// A short run ends while the bar still shows an early step; the tip says
// the backup is finishing only once the bar runs out into the last step.
void tst_DoingWizardWidget::finishingTipWaitsForTheLastStep()
{
    QFETCH(float, fBeforeLastStep);
    QFETCH(bool, bItemProgressToo);
    Start(1000);
    Page()->slotProgressTargetValue(fBeforeLastStep);
    structBackupID info;
    info.nState = 0;
    Page()->slotModuleInfo(info);
    const float fLastStepAt = 30.0f + fBeforeLastStep; // the bar starts 3 % ahead
    if (bItemProgressToo) {
        Page()->slotProgressTargetValue(100.0f);
        info.nState = 1;
        Page()->slotModuleInfo(info);
    }
    const QString strModuleTip = QStringLiteral("Backing up Other...");
    const QString strFinishing = Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_FINISHING_TIPTEXT");
    Page()->GetTipLabel()->setText(strModuleTip);
    Page()->slotsDoingBackupFinish(0);
    QCOMPARE(Page()->GetTipLabel()->text(), strModuleTip);
    bool bSawFinishing = false;
    while (!Page()->isHidden()) {
        Page()->stepOne();
        if (Page()->isHidden())
            break;
        const float fShown = Page()->GetProgressBar()->value() * 1000.0f / Page()->GetBarMaximum();
        QCOMPARE(Page()->GetTipLabel()->text(), fShown >= fLastStepAt ? strFinishing : strModuleTip);
        bSawFinishing = bSawFinishing || fShown >= fLastStepAt;
    }
    QVERIFY(bSawFinishing);
}

void tst_DoingWizardWidget::onlySuccessFillsTheBar_data()
{
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strLang");
    QTest::newRow("complete") << 0 << "en";
    QTest::newRow("an item failed") << int(RESULT_BIT_IMAGE) << "en";
    QTest::newRow("phone disconnected") << int(RUN_RESULT_PHONE_DISCONNECTED) << "ru";
    QTest::newRow("phone full, right to left") << int(RUN_RESULT_NO_FREE_MEMORY) << "ar";
}

// A run that failed, in whole or in part, goes to the result page with the
// bar at the point the run reached (not at the lagging animation's) and a tip
// that names the outcome; only a complete run runs the bar out to 100 %.
void tst_DoingWizardWidget::onlySuccessFillsTheBar()
{
    QFETCH(int, nResult);
    QFETCH(QString, strLang);
    Start(1000, strLang);
    Page()->slotProgressTargetValue(400.0f);
    for (int i = 0; i < 100; ++i)
        Page()->stepOne();
    const int nMax = Page()->GetBarMaximum();
    const int nShown = Page()->GetProgressBar()->value();
    const float fReached = Page()->GetTargetValue();
    const int nReached = int(fReached * float(nMax) / 1000.0f);
    QVERIFY(nShown > 0 && nShown < nReached && nReached < nMax);
    Page()->GetStepTimer()->start();
    HostNotifyPlugin *pNotify = m_wizard.pStandIns->Notify();
    pNotify->ClearCalls();

    BackUpUIBBMgr::GetInstance()->slotsFinish(nResult);
    if (nResult == 0) {
        QVERIFY(Page()->GetStepTimer()->isActive());
        for (int i = 0; i < 40 && !Page()->isHidden(); ++i)
            Page()->stepOne();
        QCOMPARE(Page()->GetProgressBar()->value(), Page()->GetBarMaximum());
        QCOMPARE(Page()->GetProgressValueText()->text(), QStringLiteral("100%"));
    } else {
        QVERIFY(!Page()->GetStepTimer()->isActive());
        QCOMPARE(Page()->GetProgressBar()->value(), nReached);
        QCOMPARE(Page()->GetProgressValueText()->text(), QString::number(int(float(nReached) / nMax * 100.0f)) + "%");
        const int nX = int(fReached * 744.0f / 1000.0f + 38);
        QCOMPARE(Page()->GetProgressValueImage()->pos(), QPoint(strLang == "ar" ? 820 - nX : nX, 460));
    }
    QVERIFY(Page()->isHidden());
    QVERIFY(!m_wizard.pResult->isHidden());
    QCOMPARE(Page()->GetTipLabel()->text(), m_wizard.pResult->GetStatusText());
    QVERIFY(pNotify->Calls().contains(NotifyCall(4117, 0, 0)));
}

void tst_DoingWizardWidget::phoneRemovalEndsOnResultPage_data()
{
    QTest::addColumn<QString>("strBefore"); // what the user did before the run ended
    QTest::newRow("nothing") << "";
    QTest::newRow("cancel asked") << "ask";
    QTest::newRow("cancel confirmed") << "confirm";
}

// The phone goes away: the page cancels, and the run then ends as
// disconnected. Whatever the user had open, the bar runs out to the result
// page, which says so and offers Finish.
void tst_DoingWizardWidget::phoneRemovalEndsOnResultPage()
{
    QFETCH(QString, strBefore);
    Start(1000);
    BackUpThreadParam param;
    param.nMode = 1;
    param.strPath = m_env.Path("dest");
    BackUpUIThread::Instance()->SetParam(param);
    Page()->GetStepTimer()->start();
    Page()->slotOnDeviceEvent(6006);
    Page()->slotOnDeviceEvent(6014);
    QVERIFY(!Page()->GetStepTimer()->isActive());
    if (!strBefore.isEmpty()) {
        Page()->GetCancelButton()->click();
        if (strBefore == "confirm")
            Page()->GetCancelDialog()->GetOkButton()->click();
    }
    QVERIFY(WaitForCancelThread());

    BackUpUIBBMgr::GetInstance()->slotsFinish(RUN_RESULT_PHONE_DISCONNECTED);
    QVERIFY(!Page()->GetStepTimer()->isActive());
    QVERIFY(!Page()->GetCancelDialog());
    QVERIFY(Page()->GetWaitingFrame()->isHidden());
    QVERIFY(Page()->isHidden());
    QVERIFY(!m_wizard.pResult->isHidden());
    QCOMPARE(m_wizard.pResult->GetStatusText(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPFAIL_LABEL"));
    QCOMPARE(m_wizard.pResult->GetResultValue(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL"));
}

void tst_DoingWizardWidget::timeLeft_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text"); // empty: hidden

    QTest::newRow("not known yet") << "en" << -1 << QString();
    QTest::newRow("under a minute") << "en" << 30 << "Less than a minute left";
    QTest::newRow("minutes") << "en" << 250 << "About 4 min left";
    QTest::newRow("hours, Russian") << "ru" << 4000 << QStringLiteral("Осталось около 1 ч 7 мин");
    QTest::newRow("minutes, Arabic") << "ar" << 600 << QStringLiteral("الوقت المتبقي نحو 10 دقيقة");
}

// The worker's estimate shows under the tip; a new run starts without one.
void tst_DoingWizardWidget::timeLeft()
{
    QFETCH(QString, lang);
    QFETCH(int, seconds);
    QFETCH(QString, text);
    Start(300, lang);
    QLabel *pLabel = Page()->GetTimeLeftLabel();
    QVERIFY(pLabel);
    QVERIFY(pLabel->isHidden());
    {
        LangScope scope(lang);
        emit BackUpUIThread::Instance()->signalTimeLeft(seconds);
    }
    QCOMPARE(pLabel->isHidden(), text.isEmpty());
    if (!text.isEmpty())
        QCOMPARE(pLabel->text(), text);
    Page()->setProgressBarRange(0, 300);
    QVERIFY(pLabel->isHidden());
}

void tst_DoingWizardWidget::cancel_data()
{
    QTest::addColumn<QString>("strTrigger"); // "decline", "confirm", "close" or a device event number
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<bool>("bFinished");    // the run had ended before the trigger
    QTest::addColumn<QString>("strAfter");  // after the worker confirms: "home", "caller", "stays", "result"

    QTest::newRow("declined") << "decline" << 0 << false << "none";
    QTest::newRow("confirmed") << "confirm" << 0 << false << "home";
    QTest::newRow("confirmed, update plugin in front") << "confirm" << 1 << false << "caller";
    // A cancel that ends after the phone went away still takes the window
    // down (the run ends by itself as disconnected: phoneRemovalEndsOnResultPage).
    QTest::newRow("phone removed") << "6006" << 0 << false << "home";
    QTest::newRow("service lost") << "6014" << 0 << false << "home";
    QTest::newRow("application closes") << "close" << 0 << false << "stays";
    QTest::newRow("phone removed after the end") << "6006" << 0 << true << "result";
    QTest::newRow("application closes after the end") << "close" << 0 << true << "result";
    QTest::newRow("other device event") << "6004" << 0 << false << "none";
}

void tst_DoingWizardWidget::cancel()
{
    QFETCH(QString, strTrigger);
    QFETCH(int, nCaller);
    QFETCH(bool, bFinished);
    QFETCH(QString, strAfter);

    MainFrame mainFrame;
    Startup::SetMainFrame(&mainFrame);
    Start(1000);
    BackUpUIBBMgr::GetInstance()->SetOutFuncCaller(nCaller);
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    // A backup handed to the worker and not over.
    BackUpThreadParam param;
    param.nMode = 1;
    param.strPath = m_env.Path("dest");
    pThread->SetParam(param);
    Page()->slotIsImageBackup(true);
    Page()->GetStepTimer()->start();
    if (bFinished)
        Page()->slotsDoingBackupFinish(0);

    if (strTrigger == "decline") {
        Page()->slotProgressTargetValue(200.0f);
        Page()->GetCancelButton()->click();
        QVERIFY(!Page()->GetStepTimer()->isActive() && !Page()->GetCancelCover()->isHidden());
        QPointer<CustomPopupDialog> pDialog = Page()->GetCancelDialog();
        Page()->DoCancel(); // a second press does not stack a second dialog
        QCOMPARE(Page()->GetCancelDialog(), pDialog.data());
        pDialog->GetCancelButton()->click();
        QVERIFY(Page()->GetCancelCover()->isHidden());
        QTRY_VERIFY(!pDialog);
        // The bar resumes where it stopped.
        const float fShown = Page()->GetShownValue();
        Page()->stepOne();
        QVERIFY(Page()->GetShownValue() > fShown);
    } else if (strTrigger == "confirm") {
        Page()->DoCancel();
        // With the requesting plugin in front the bar keeps moving.
        QCOMPARE(Page()->GetStepTimer()->isActive(), nCaller == 1);
        Page()->GetCancelDialog()->GetOkButton()->click();
        QCOMPARE(Page()->GetWaitingFrame()->isHidden(), nCaller == 1);
        QCOMPARE(Page()->GetShownValue(), 0.0f);
    } else if (strTrigger == "close") {
        mainFrame.NotifyAppClose();
        QCOMPARE(Page()->IsAppClosing(), !bFinished);
    } else {
        Page()->slotOnDeviceEvent(strTrigger.toInt());
        QCOMPARE(Page()->IsDevicePresent(), strTrigger == "6004");
    }
    const bool bCancels = strAfter != "result" && strAfter != "none";
    QCOMPARE(RunState::Get(), bCancels ? RunState::kCancelled : 0);
    QCOMPARE(Page()->GetStepTimer()->isActive(), !bCancels);
    if (strAfter == "result") {
        // The bar runs out to the result page as usual.
        for (int i = 0; i < 400 && !Page()->isHidden(); ++i)
            Page()->stepOne();
        QVERIFY(!m_wizard.pResult->isHidden());
    }
    if (!bCancels)
        return;
    QVERIFY(BackUpUIThreadCancel::Instance()->IsFileItemSelected());
    QVERIFY(WaitForCancelThread());

    // The worker confirms the cancel.
    HostCallLog::Clear();
    m_wizard.pStandIns->Notify()->ClearCalls();
    emit pThread->signalBackupCancelSuccess();
    QCOMPARE(m_wizard.pStandIns->Notify()->Calls(), QStringList{NotifyCall(strTrigger == "close" ? 4116 : 4117, 0, 0)});
    QCOMPARE(m_wizard.pStandIns->Update()->Calls(),
             strAfter == "caller" ? QStringList({"OnBackupCancel()", "OnBackupClose()"}) : QStringList());
    QCOMPARE(HostCallLog::Entries().contains("ShowPlugin(HomeUIPlugin)"), strAfter == "home");
    QCOMPARE(m_wizard.pFrame->isHidden(), strAfter == "home");
    QCOMPARE(Page()->isHidden(), strAfter == "home");
}

void tst_DoingWizardWidget::lateCancelKeepsPackage()
{
    m_wizard.Build("en", [](QWidget *) { return nullptr; });
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    const QString strDest = m_env.Path("late");
    QVERIFY(QDir().mkpath(strDest));

    // The run backs up what counting found.
    BackUpThreadParam param;
    param.nMode = 3;
    pThread->SetParam(param);
    QSignalSpy spyCount(pThread, &BackUpUIThread::signalsPluginCount);
    pThread->start();
    QVERIFY(spyCount.count() > 0 || spyCount.wait(30000));
    QVERIFY(pThread->wait(QDeadlineTimer(30000)));

    param.nMode = 1;
    param.items.bPB = true;
    param.strPath = strDest;
    pThread->SetParam(param);
    Page()->setProgressBarRange(0, pThread->GetProgressTotal());
    Page()->ShowPage();
    QSignalSpy spyDone(BackUpUIBBMgr::GetInstance(), &BackUpUIBBMgr::signalsBackUpComplete);
    pThread->start();
    QVERIFY(spyDone.count() > 0 || spyDone.wait(30000));
    QCOMPARE(spyDone.at(0).at(0).toInt(), 0);
    QVERIFY(pThread->wait(QDeadlineTimer(30000)));
    QVERIFY(Page()->IsBackupFinished());
    const QStringList listPackages = QDir(strDest).entryList({"backup_*.zip"}, QDir::Files);
    QCOMPARE(listPackages.size(), 1);
    QVERIFY(Page()->isVisible());

    // The user confirms a cancel while the bar runs out: the package stays.
    Page()->DoCancel();
    Page()->GetCancelDialog()->GetOkButton()->click();
    QCOMPARE(RunState::Get(), 0);
    QVERIFY(Page()->isHidden() && m_wizard.pFrame->isHidden());
    QCOMPARE(QDir(strDest).entryList({"backup_*.zip"}, QDir::Files), listPackages);
}

QTEST_MAIN(tst_DoingWizardWidget)
#include "tst_doingwizardwidget.moc"
