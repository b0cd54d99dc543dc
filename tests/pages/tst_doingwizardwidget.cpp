// The progress page: bar arithmetic, finishing, cancel with confirmation,
// phone removal, application close and the host notifications.

#include "BackUpUIBBMgr.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CompleteWizardWidget.h"
#include "DoingWizardWidget.h"
#include "RunState.h"
#include "TestEnv.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/CustomPopupDialog.h>
#include <host/HostCallLog.h>
#include <host/MainFrame.h>
#include <host/Startup.h>

#include <HostBackupRequesterPlugin.h>
#include <HostNotifyPlugin.h>
#include <HostStandIns.h>

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace
{
const QString kHome = QStringLiteral("F3389867-EA3E-420d-99A5-6568DB0A8A00");

QString NotifyCall(int nCode, int nValue1, int nValue2)
{
    return QStringLiteral("Notify(%1,%2,%3,%4)").arg(kHome).arg(nCode).arg(nValue1).arg(nValue2);
}

class LangScope
{
public:
    explicit LangScope(const QString &strLang)
        : m_bHad(qEnvironmentVariableIsSet("PELORIX_HOST_LANG")), m_baOld(qgetenv("PELORIX_HOST_LANG"))
    {
        qputenv("PELORIX_HOST_LANG", strLang.toUtf8());
    }
    ~LangScope()
    {
        if (m_bHad)
            qputenv("PELORIX_HOST_LANG", m_baOld);
        else
            qunsetenv("PELORIX_HOST_LANG");
    }

private:
    const bool m_bHad;
    const QByteArray m_baOld;
};
} // namespace

class tst_DoingWizardWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void range_data();
    void range();
    void emptyRange();
    void targetCap_data();
    void targetCap();
    void runningSteps_data();
    void runningSteps();
    void finishingSteps_data();
    void finishingSteps();
    void cancelNo();
    void cancelYes();
    void deviceRemoval_data();
    void deviceRemoval();
    void applicationClose();
    void lateCancelKeepsPackage();
    void pictures_data();
    void pictures();

private:
    void BuildPages(const QString &strLang = QStringLiteral("en"));
    // Runs the page as the prepare page does when a backup starts.
    void StartPage(qint64 nRange);
    bool WaitForCancelThread();

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
    DoingWizardWidget *m_pDoing = nullptr;
    CompleteWizardWidget *m_pResult = nullptr;
};

void tst_DoingWizardWidget::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    // The cancel job waits for the phone; the simulated phone needs no time.
    BackUpUIThreadCancel::SetSettleDelay(0);
}

void tst_DoingWizardWidget::init()
{
    RunState::Set(0);
    HostCallLog::Clear();
}

void tst_DoingWizardWidget::cleanup()
{
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->wait();
    if (BackUpUIThread *pThread = BackUpUIThread::ExistingInstance())
        pThread->wait();
    m_pFrame.reset();
    m_pStandIns.reset();
    BackUpUIBBMgr::DestroyInstance();
    Startup::SetMainFrame(nullptr);
    CommonUtils::SetCloseFlag(false);
    RunState::Set(0);
    // A cancel told the SDK to stop; the next run starts afresh.
    BackUpUILogic::Instance()->SetBackupCancel(false);
}

void tst_DoingWizardWidget::cleanupTestCase()
{
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
}

void tst_DoingWizardWidget::BuildPages(const QString &strLang)
{
    LangScope lang(strLang);
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->resize(896, 640);
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get());
    QVERIFY(BackUpUIBBMgr::GetInstance());
    m_pDoing = new DoingWizardWidget(m_pFrame.get());
    m_pResult = new CompleteWizardWidget(m_pFrame.get());
    m_pDoing->InitPage();
    m_pResult->InitPage();
    m_pDoing->SetNeighbourPages(nullptr, m_pResult);
    m_pResult->SetNeighbourPages(m_pDoing, nullptr);
    m_pDoing->hide();
    m_pResult->hide();
    m_pFrame->show();
}

void tst_DoingWizardWidget::StartPage(qint64 nRange)
{
    m_pDoing->setProgressBarRange(0, nRange);
    m_pDoing->ShowPage();
    // The tests drive the ticks themselves.
    m_pDoing->GetStepTimer()->stop();
}

bool tst_DoingWizardWidget::WaitForCancelThread()
{
    BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance();
    return pCancel && pCancel->wait(QDeadlineTimer(20000));
}

void tst_DoingWizardWidget::range_data()
{
    QTest::addColumn<qint64>("nRange");
    QTest::addColumn<int>("nBarMaximum");

    QTest::newRow("20") << qint64(20) << 20;
    QTest::newRow("299") << qint64(299) << 299;
    QTest::newRow("300") << qint64(300) << 300;
    QTest::newRow("301") << qint64(301) << 300;
    QTest::newRow("large") << qint64(123456) << 300;
}

void tst_DoingWizardWidget::range()
{
    QFETCH(qint64, nRange);
    QFETCH(int, nBarMaximum);
    BuildPages();
    QCOMPARE(m_pDoing->GetProgressBar()->maximum(), 896); // until a range is set
    StartPage(nRange);

    QCOMPARE(m_pDoing->GetRange(), nRange);
    QCOMPARE(m_pDoing->GetBarMaximum(), nBarMaximum);
    QCOMPARE(m_pDoing->GetProgressBar()->maximum(), nBarMaximum);
    QCOMPARE(m_pDoing->GetProgressBar()->minimum(), 0);
    QCOMPARE(m_pDoing->GetProgressBar()->value(), 0);
    QCOMPARE(m_pDoing->GetTargetValue(), float(nRange) * 0.03f);
    QCOMPARE(m_pDoing->GetPreviousTarget(), m_pDoing->GetTargetValue());
    QCOMPARE(m_pDoing->GetStep(), m_pDoing->GetTargetValue() / 60.0f);
    QVERIFY(!m_pDoing->IsBackupFinished());
    QCOMPARE(m_pDoing->GetProgressValueImage()->pos(), QPoint(46, 460));
    QCOMPARE(m_pDoing->GetProgressValueText()->text(), QStringLiteral("0%"));
    // The tip shows the generic text until the first module starts.
    QCOMPARE(m_pDoing->GetTipLabel()->text(), QString());
    m_pDoing->setProgressBarRange(0, nRange);
    QCOMPARE(m_pDoing->GetTipLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT"));
}

void tst_DoingWizardWidget::emptyRange()
{
    BuildPages();
    StartPage(0);
    m_pDoing->slotProgressTargetValue(5.0f);
    for (int i = 0; i < 50; ++i)
        m_pDoing->stepOne();
    QCOMPARE(m_pDoing->GetProgressBar()->value(), 0);
    QCOMPARE(m_pDoing->GetProgressValueText()->text(), QStringLiteral("0%"));
    QCOMPARE(m_pDoing->GetProgressValueImage()->pos(), QPoint(46, 460));

    // Finishing still reaches the result page.
    m_pDoing->slotsDoingBackupFinish(0);
    for (int i = 0; i < 5 && !m_pDoing->isHidden(); ++i)
        m_pDoing->stepOne();
    QVERIFY(m_pDoing->isHidden());
    QVERIFY(!m_pResult->isHidden());
}

void tst_DoingWizardWidget::targetCap_data()
{
    QTest::addColumn<QList<float>>("listIncrements");
    QTest::addColumn<float>("fTarget");

    // Range 1000: the target starts at 30 and never passes 980.
    QTest::newRow("one increment") << QList<float>{100.0f} << 130.0f;
    QTest::newRow("up to 950 is not capped") << QList<float>{920.0f} << 950.0f;
    QTest::newRow("exactly 98 %") << QList<float>{950.0f} << 980.0f;
    QTest::newRow("past 98 %") << QList<float>{951.0f} << 980.0f;
    QTest::newRow("far past the end") << QList<float>{500.0f, 500.0f, 500.0f} << 980.0f;
    QTest::newRow("zero and negative are ignored") << QList<float>{0.0f, -40.0f, 10.0f} << 40.0f;
}

void tst_DoingWizardWidget::targetCap()
{
    QFETCH(QList<float>, listIncrements);
    QFETCH(float, fTarget);
    BuildPages();
    StartPage(1000);
    for (float fIncrease : listIncrements)
        m_pDoing->slotProgressTargetValue(fIncrease);
    QCOMPARE(m_pDoing->GetTargetValue(), fTarget);

    // However long it runs, the bar stays below its end until the run ends.
    for (int i = 0; i < 3000; ++i)
        m_pDoing->stepOne();
    QVERIFY(m_pDoing->GetShownValue() <= fTarget + 1.0f);
    QVERIFY(m_pDoing->GetProgressBar()->value() <= 294);
    QVERIFY(m_pDoing->isVisible());
}

void tst_DoingWizardWidget::runningSteps_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::newRow("left to right") << "en";
    QTest::newRow("right to left") << "ar";
}

void tst_DoingWizardWidget::runningSteps()
{
    QFETCH(QString, strLang);
    BuildPages(strLang);
    const bool bRtl = strLang == "ar";
    StartPage(2000);
    QCOMPARE(m_pDoing->GetProgressBar()->invertedAppearance(), bRtl);
    QCOMPARE(m_pDoing->GetProgressValueImage()->pos(), QPoint(bRtl ? 783 : 46, 460));

    // An increment while the bar lags behind: it catches up in 40 ticks' steps.
    m_pDoing->slotProgressTargetValue(400.0f);
    QCOMPARE(m_pDoing->GetTargetValue(), 460.0f);
    QCOMPARE(m_pDoing->GetStep(), 60.0f / 40.0f);
    QCOMPARE(m_pDoing->GetWaypoint(), 60.0f + 0.75f * 400.0f);

    int nLastValue = 0;
    float fLastShown = 0.0f;
    for (int i = 0; i < 600; ++i) {
        m_pDoing->stepOne();
        const float fShown = m_pDoing->GetShownValue();
        const int nValue = m_pDoing->GetProgressBar()->value();
        QVERIFY(fShown >= fLastShown);
        QVERIFY(nValue >= nLastValue);
        QVERIFY(fShown <= m_pDoing->GetTargetValue());
        QCOMPARE(nValue, int(fShown * 300.0f / 2000.0f));
        QCOMPARE(m_pDoing->GetProgressValueText()->text(), QString::number(int(float(nValue) / 300 * 100.0f)) + "%");
        const int nX = int(fShown * 744.0f / 2000.0f + 38);
        if (nX > 46)
            QCOMPARE(m_pDoing->GetProgressValueImage()->pos(), QPoint(bRtl ? 820 - nX : nX, 460));
        nLastValue = nValue;
        fLastShown = fShown;
    }
    // It got close to where the thread said the run is.
    QVERIFY2(fLastShown > 400.0f, qPrintable(QString::number(fLastShown)));
}

void tst_DoingWizardWidget::finishingSteps_data()
{
    QTest::addColumn<qint64>("nRange");
    QTest::addColumn<int>("nStart");
    QTest::addColumn<QList<int>>("listValues");
    QTest::addColumn<QString>("strLang");

    QTest::newRow("297 of 300") << qint64(1000) << 297 << QList<int>{298, 299, 300} << "en";
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

    BuildPages(strLang);
    const bool bRtl = strLang == "ar";
    StartPage(nRange);
    QVERIFY(m_pStandIns->Notify()->Calls().contains(NotifyCall(4116, 0, 1)));
    m_pDoing->GetProgressBar()->setValue(nStart);
    m_pDoing->slotsDoingBackupFinish(0);
    QVERIFY(m_pDoing->IsBackupFinished());
    QCOMPARE(m_pStandIns->Notify()->Calls().last(), NotifyCall(4117, 0, 0));

    const int nMax = m_pDoing->GetBarMaximum();
    for (int nValue : listValues) {
        m_pDoing->stepOne();
        QCOMPARE(m_pDoing->GetProgressBar()->value(), nValue);
        QCOMPARE(m_pDoing->GetProgressValueText()->text(), QString::number(int(float(nValue) / nMax * 100.0f)) + "%");
        QVERIFY(m_pDoing->isVisible());
        const int nX = nValue * 744 / nMax + 38;
        if (nX < 820)
            QCOMPARE(m_pDoing->GetProgressValueImage()->pos(), QPoint(bRtl ? 820 - nX : nX, 460));
    }
    m_pStandIns->Notify()->ClearCalls();
    m_pDoing->GetStepTimer()->start();
    m_pDoing->stepOne();

    QVERIFY(!m_pDoing->GetStepTimer()->isActive());
    QCOMPARE(m_pDoing->GetProgressBar()->value(), nMax);
    QCOMPARE(m_pDoing->GetProgressValueText()->text(), QStringLiteral("100%"));
    QCOMPARE(m_pDoing->GetProgressValueImage()->pos(), QPoint(bRtl ? 46 : 783, 460));
    QCOMPARE(m_pDoing->GetTipLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL"));
    QCOMPARE(m_pStandIns->Notify()->Calls(), QStringList{NotifyCall(4117, 0, 0)});
    QVERIFY(m_pDoing->isHidden());
    QVERIFY(!m_pResult->isHidden());
    QCOMPARE(m_pDoing->GetShownValue(), 0.0f);
    QCOMPARE(m_pDoing->GetTargetValue(), 0.0f);
}

void tst_DoingWizardWidget::cancelNo()
{
    BuildPages();
    m_pDoing->setProgressBarRange(0, 1000);
    m_pDoing->ShowPage();
    QVERIFY(m_pDoing->GetStepTimer()->isActive());
    m_pDoing->slotProgressTargetValue(200.0f);
    for (int i = 0; i < 30; ++i)
        m_pDoing->stepOne();
    const float fShown = m_pDoing->GetShownValue();
    const int nValue = m_pDoing->GetProgressBar()->value();

    m_pDoing->GetCancelButton()->click();
    QVERIFY(!m_pDoing->GetStepTimer()->isActive());
    QVERIFY(!m_pDoing->GetCancelCover()->isHidden());
    QPointer<CustomPopupDialog> pDialog = m_pDoing->GetCancelDialog();
    QVERIFY(pDialog);
    QCOMPARE(pDialog->GetText(), Change::tr("IDS_BACKUPUIPLUGIN_DOINGCANCEL_DESCRIPTION_TEXT"));
    // A second press does not stack a second dialog.
    m_pDoing->DoCancel();
    QCOMPARE(m_pDoing->GetCancelDialog(), pDialog.data());

    pDialog->GetCancelButton()->click();
    QVERIFY(m_pDoing->GetStepTimer()->isActive());
    QVERIFY(m_pDoing->GetCancelCover()->isHidden());
    QCOMPARE(m_pDoing->GetCancelDialog(), nullptr);
    QTRY_VERIFY(!pDialog);
    QCOMPARE(RunState::Get(), 0);
    // The bar resumes where it stopped.
    QCOMPARE(m_pDoing->GetShownValue(), fShown);
    QCOMPARE(m_pDoing->GetProgressBar()->value(), nValue);
    m_pDoing->GetStepTimer()->stop();
    m_pDoing->stepOne();
    QVERIFY(m_pDoing->GetShownValue() > fShown);
}

void tst_DoingWizardWidget::cancelYes()
{
    BuildPages();
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    // A backup that has been handed to the worker and is not over.
    BackUpThreadParam param;
    param.nMode = 1;
    param.strPath = m_pEnv->Path("dest");
    pThread->SetParam(param);
    QVERIFY(!pThread->IsFinished());
    m_pDoing->setProgressBarRange(0, 1000);
    m_pDoing->ShowPage();
    m_pDoing->slotIsImageBackup(true);

    m_pDoing->DoCancel();
    QVERIFY(m_pDoing->GetCancelDialog());
    m_pDoing->GetCancelDialog()->GetOkButton()->click();

    QCOMPARE(RunState::Get(), RunState::kCancelled);
    QVERIFY(!m_pDoing->GetStepTimer()->isActive());
    QVERIFY(!m_pDoing->GetWaitingFrame()->isHidden());
    QVERIFY(m_pDoing->GetCancelCover()->isHidden());
    QCOMPARE(m_pDoing->GetCancelDialog(), nullptr);
    QCOMPARE(m_pDoing->GetShownValue(), 0.0f);
    QVERIFY(BackUpUIThreadCancel::Instance()->IsFileItemSelected());
    QVERIFY(WaitForCancelThread());

    // The worker confirms the cancel: back to the home plugin.
    HostCallLog::Clear();
    m_pStandIns->Notify()->ClearCalls();
    emit pThread->signalBackupCancelSuccess();
    QCOMPARE(m_pStandIns->Notify()->Calls(), QStringList{NotifyCall(4117, 0, 0)});
    QVERIFY(HostCallLog::Entries().contains("ShowPlugin(HomeUIPlugin)"));
    QVERIFY(m_pDoing->GetWaitingFrame()->isHidden());
    QVERIFY(m_pDoing->isHidden());
    QVERIFY(m_pFrame->isHidden());

    // For the update plugin the cancel and the close are reported to it.
    BuildPages();
    BackUpUIBBMgr::GetInstance()->SetOutFuncCaller(1);
    RunState::Set(0);
    pThread->SetParam(param);
    m_pDoing->setProgressBarRange(0, 1000);
    m_pDoing->ShowPage();
    m_pDoing->DoCancel();
    QVERIFY(m_pDoing->GetStepTimer()->isActive()); // the requesting plugin is in front
    m_pDoing->GetCancelDialog()->GetOkButton()->click();
    QVERIFY(WaitForCancelThread());
    emit pThread->signalBackupCancelSuccess();
    QCOMPARE(m_pStandIns->Update()->Calls(), QStringList({"OnBackupCancel()", "OnBackupClose()"}));
    QVERIFY(!m_pFrame->isHidden());
}

void tst_DoingWizardWidget::deviceRemoval_data()
{
    QTest::addColumn<qint32>("nEvent");
    QTest::addColumn<bool>("bFinished");
    QTest::addColumn<bool>("bCancels");

    QTest::newRow("phone removed during the run") << qint32(6006) << false << true;
    QTest::newRow("service lost during the run") << qint32(6014) << false << true;
    QTest::newRow("phone removed after the end") << qint32(6006) << true << false;
    QTest::newRow("service lost after the end") << qint32(6014) << true << false;
    QTest::newRow("other event") << qint32(6004) << false << false;
}

void tst_DoingWizardWidget::deviceRemoval()
{
    QFETCH(qint32, nEvent);
    QFETCH(bool, bFinished);
    QFETCH(bool, bCancels);

    BuildPages();
    m_pDoing->setProgressBarRange(0, 1000);
    m_pDoing->ShowPage();
    if (bFinished)
        m_pDoing->slotsDoingBackupFinish(0);
    m_pDoing->slotOnDeviceEvent(nEvent);

    QCOMPARE(RunState::Get(), bCancels ? RunState::kCancelled : 0);
    QCOMPARE(m_pDoing->GetStepTimer()->isActive(), !bCancels);
    QCOMPARE(m_pDoing->IsDevicePresent(), nEvent == 6004);
    if (bCancels) {
        QVERIFY(WaitForCancelThread());
    } else if (bFinished) {
        // The bar runs out to the result page as usual.
        m_pDoing->GetStepTimer()->stop();
        for (int i = 0; i < 400 && !m_pDoing->isHidden(); ++i)
            m_pDoing->stepOne();
        QVERIFY(!m_pResult->isHidden());
    }
    // After a removal the confirmed cancel leaves the window as it is.
    if (bCancels) {
        emit BackUpUIThread::Instance()->signalBackupCancelSuccess();
        QVERIFY(!m_pDoing->isHidden());
    }
}

void tst_DoingWizardWidget::applicationClose()
{
    MainFrame mainFrame;
    Startup::SetMainFrame(&mainFrame);
    BuildPages();
    m_pDoing->setProgressBarRange(0, 1000);
    m_pDoing->ShowPage();

    mainFrame.NotifyAppClose();
    QVERIFY(m_pDoing->IsAppClosing());
    QVERIFY(!m_pDoing->GetStepTimer()->isActive());
    QVERIFY(!m_pDoing->GetWaitingFrame()->isHidden());
    QVERIFY(m_pDoing->GetCancelCover()->isHidden());
    QCOMPARE(RunState::Get(), RunState::kCancelled);
    QVERIFY(WaitForCancelThread());

    m_pStandIns->Notify()->ClearCalls();
    emit BackUpUIThread::Instance()->signalBackupCancelSuccess();
    QCOMPARE(m_pStandIns->Notify()->Calls(), QStringList{NotifyCall(4116, 0, 0)});
    QVERIFY(!m_pDoing->isHidden());

    // Once the run has ended the close signal no longer reaches the page.
    CommonUtils::SetCloseFlag(false);
    BuildPages();
    RunState::Set(0);
    m_pDoing->setProgressBarRange(0, 1000);
    m_pDoing->ShowPage();
    m_pDoing->slotsDoingBackupFinish(0);
    mainFrame.NotifyAppClose();
    QVERIFY(!m_pDoing->IsAppClosing());
    QCOMPARE(RunState::Get(), 0);
}

void tst_DoingWizardWidget::lateCancelKeepsPackage()
{
    BuildPages();
    BackUpUIThread *pThread = BackUpUIThread::Instance();
    const QString strDest = m_pEnv->Path("late");
    QVERIFY(QDir().mkpath(strDest));

    // The run backs up what counting found.
    BackUpThreadParam paramCount;
    paramCount.nMode = 3;
    pThread->SetParam(paramCount);
    QSignalSpy spyCount(pThread, &BackUpUIThread::signalsPluginCount);
    pThread->start();
    QVERIFY(spyCount.count() > 0 || spyCount.wait(30000));
    QVERIFY(pThread->wait(QDeadlineTimer(30000)));
    QVERIFY(pThread->GetModuleCounts().value(0).nProNum > 0);

    BackUpThreadParam param;
    param.nMode = 1;
    param.items.bPB = true;
    param.strPath = strDest;
    pThread->SetParam(param);
    m_pDoing->setProgressBarRange(0, pThread->GetProgressTotal());
    m_pDoing->ShowPage();
    QSignalSpy spyDone(BackUpUIBBMgr::GetInstance(), &BackUpUIBBMgr::signalsBackUpComplete);
    pThread->start();
    QVERIFY(spyDone.count() > 0 || spyDone.wait(30000));
    QCOMPARE(spyDone.at(0).at(0).toInt(), 0);
    QVERIFY(pThread->wait(QDeadlineTimer(30000)));
    QVERIFY(pThread->IsFinished());
    QVERIFY(m_pDoing->IsBackupFinished());

    const QStringList listPackages = QDir(strDest).entryList({"backup_*.zip"}, QDir::Files);
    QCOMPARE(listPackages.size(), 1);

    // The user confirms a cancel while the bar runs out.
    m_pDoing->DoCancel();
    m_pDoing->GetCancelDialog()->GetOkButton()->click();
    QCOMPARE(RunState::Get(), 0);
    QVERIFY(m_pDoing->isHidden());
    QVERIFY(m_pFrame->isHidden());
    QCOMPARE(QDir(strDest).entryList({"backup_*.zip"}, QDir::Files), listPackages);
}

void tst_DoingWizardWidget::pictures_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::newRow("en") << "en";
    QTest::newRow("ar") << "ar";
}

void tst_DoingWizardWidget::pictures()
{
    QFETCH(QString, strLang);
    LangScope lang(strLang);
    QDir::setCurrent(QStringLiteral(BACKUP_STAGE_DIR));
    QFile file(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/backup.qss"));
    if (file.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));

    BuildPages(strLang);
    m_pFrame->setObjectName("BackUpUIPlugin_MainWidget");
    StartPage(1000);
    m_pDoing->slotProgressTargetValue(500.0f);
    for (int i = 0; i < 400; ++i)
        m_pDoing->stepOne();
    m_pDoing->setMoviePlay();
    structBackupID record;
    record.nState = 1;
    record.nModuleID = 25;
    record.nProNum = 12;
    record.nAllNum = 40;
    BackUpUIBBMgr::GetInstance()->slotsModuleInfo(record);
    QCoreApplication::processEvents();
    QVERIFY(m_pFrame->grab().save(QDir(TestEnv::OutputDir()).filePath("progress_" + strLang + ".png")));
    qApp->setStyleSheet(QString());

    // The bubble stays over the bar.
    const QRect rectBubble = m_pDoing->GetProgressValueImage()->geometry();
    QVERIFY(rectBubble.left() >= 38 && rectBubble.right() <= 858);
}

QTEST_MAIN(tst_DoingWizardWidget)
#include "tst_doingwizardwidget.moc"
