// The wizard's way to a phone, with the simulated phone: the connect page
// comes first while the phone is unplugged and moves on by itself when it is
// plugged in; the pages' header names the phone; "Try again" after a run
// that lost the phone (or had none) goes back through the connect page to
// the prepare page with the same selection and folder.

#include "BackUpMainWindow.h"
#include "BackUpUIBBMgr.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "ConnectWizardWidget.h"
#include "CustomLabelButton.h"
#include "Factory.h"
#include "PhoneIdentity.h"
#include "PhoneTexts.h"
#include "PhoneWatcher.h"
#include "PrepareWizardWidget.h"
#include "SendCmdResetThread.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <sdk/dvsk_device.h>
#include <sdk/dvsk_sim.h>

#include <HostStandIns.h>

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace
{
const int kTimeout = 30000;

bool CountingDone(PrepareWizardWidget *pPage)
{
    return pPage->isVisible() && !pPage->GetWaitingFrame()->isVisible();
}

QSet<int> CheckedTiles(PrepareWizardWidget *pPage)
{
    QSet<int> setChecked;
    for (auto it = pPage->GetBigButtons().cbegin(); it != pPage->GetBigButtons().cend(); ++it) {
        if (it.value()->IsChecked())
            setChecked.insert(it.key());
    }
    return setChecked;
}
} // namespace

class tst_ConnectFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void headerNamesThePhone();
    void unpluggedPhoneShowsTheConnectPage();
    void tryAgain_data();
    void tryAgain();
    void retryOffered_data();
    void retryOffered();

private:
    BackUpMainWindow *ShowWindow();

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
};

void tst_ConnectFlow::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    qputenv("PELORIX_HOST_LANG", "en");
    QCOMPARE(DVSK_Device_Select("sim"), 0);
    BackUpUIThreadCancel::SetSettleDelay(0);
}

void tst_ConnectFlow::init()
{
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->resize(1000, 700);
    m_pFrame->show();
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get(), QRect(0, 0, 896, 640));
    TestPhone::UseDefault();
    DVSK_Sim_Attach();
}

void tst_ConnectFlow::cleanup()
{
    SendCmdResetThread::DestroyInstance();
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
    BackUpMainWindow::DestroyInstance();
    Factory::DestroyInstance();
    m_pStandIns.reset();
    m_pFrame.reset();
    DVSK_Sim_Attach();
}

BackUpMainWindow *tst_ConnectFlow::ShowWindow()
{
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    return pWindow;
}

void tst_ConnectFlow::headerNamesThePhone()
{
    BackUpMainWindow *pWindow = ShowWindow();
    QVERIFY(pWindow->GetPreparePage()->isVisible());
    QVERIFY(!pWindow->GetConnectPage()->isVisible());
    const QString strExpected = PhoneTexts::HeaderLine(PhoneIdentity::OfOpenPhone());
    QVERIFY2(!strExpected.isEmpty(), "the simulated phone gives no identity");
    for (QWidget *pPage : {static_cast<QWidget *>(pWindow->GetPreparePage()), static_cast<QWidget *>(pWindow->GetCompletePage())}) {
        CustomLabelButton *pHeader = pPage->findChild<CustomLabelButton *>();
        QVERIFY(pHeader);
        QCOMPARE(pHeader->GetPhoneText(), strExpected);
        QVERIFY(!pHeader->GetPhoneLabel()->isHidden());
    }
    // The header is read by name, phone included.
    CustomLabelButton *pHeader = pWindow->GetPreparePage()->findChild<CustomLabelButton *>();
    QVERIFY(pHeader->GetPhoneLabel()->text().contains(PhoneIdentity::OfOpenPhone().Serial()));
}

void tst_ConnectFlow::unpluggedPhoneShowsTheConnectPage()
{
    DVSK_Sim_Detach();
    BackUpMainWindow *pWindow = ShowWindow();
    ConnectWizardWidget *pConnect = pWindow->GetConnectPage();
    QVERIFY(pConnect->isVisible());
    QVERIFY(!pWindow->GetPreparePage()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(pConnect->GetWatcher()->IsWatching(), kTimeout);
    // Plugged in: the prepare page follows without a click.
    DVSK_Sim_Attach();
    QTRY_VERIFY_WITH_TIMEOUT(pWindow->GetPreparePage()->isVisible(), kTimeout);
    QVERIFY(!pConnect->isVisible());
    QVERIFY(!pConnect->GetWatcher()->IsWatching());
}

void tst_ConnectFlow::tryAgain_data()
{
    QTest::addColumn<bool>("pluggedIn");
    QTest::newRow("phone back at once") << true;
    QTest::newRow("phone plugged in later") << false;
}

void tst_ConnectFlow::tryAgain()
{
    QFETCH(bool, pluggedIn);
    BackUpMainWindow *pWindow = ShowWindow();
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    QTRY_VERIFY_WITH_TIMEOUT(CountingDone(pPrepare), kTimeout);
    // The user's own choices: another tile set and another folder.
    const QList<int> listTiles = pPrepare->TileOrder();
    CheckBigButton *pFirst = pPrepare->GetBigButtons().value(listTiles.constFirst());
    pFirst->ButtonPressed();
    const QSet<int> setChosen = CheckedTiles(pPrepare);
    const QString strFolder = m_pEnv->Path(QStringLiteral("chosen"));
    QVERIFY(QDir().mkpath(strFolder));
    pPrepare->SetBackUpPath(strFolder);

    // The run lost the phone.
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    BackUpUIBBMgr::GetInstance()->updateUIAfterFinished(RUN_RESULT_PHONE_DISCONNECTED);
    pPrepare->hide();
    pComplete->ShowPage();
    QVERIFY(pComplete->GetTryAgainButton()->isVisible());
    QVERIFY(pComplete->GetFinishButton()->isVisible());
    if (!pluggedIn)
        DVSK_Sim_Detach();
    // Enter presses "Try again".
    QTest::keyClick(pComplete, Qt::Key_Return);
    QVERIFY(!pComplete->isVisible());
    QVERIFY(pWindow->isVisible());
    if (!pluggedIn) {
        QVERIFY(pWindow->GetConnectPage()->isVisible());
        DVSK_Sim_Attach();
    }
    QTRY_VERIFY_WITH_TIMEOUT(CountingDone(pPrepare), kTimeout);
    QCOMPARE(CheckedTiles(pPrepare), setChosen);
    QCOMPARE(pPrepare->GetBackUpPath(), strFolder);
    QCOMPARE(pPrepare->GetDstPathLabel()->toolTip(), strFolder);
}

void tst_ConnectFlow::retryOffered_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("attached");
    QTest::addColumn<bool>("retry");
    QTest::addColumn<QString>("reasonKey");
    QTest::newRow("disconnected") << int(RUN_RESULT_PHONE_DISCONNECTED) << true << true
                                  << "IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL";
    QTest::newRow("no phone at start") << int(RUN_RESULT_NO_MEMINFO) << false << true
                                       << "IDS_BACKUPUIPLUGIN_COMPLETE_NO_PHONE_LABEL";
    QTest::newRow("memory unreadable") << int(RUN_RESULT_NO_MEMINFO) << true << false
                                       << "IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL";
    QTest::newRow("phone full") << int(RUN_RESULT_NO_FREE_MEMORY) << true << false
                                << "IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL";
    QTest::newRow("complete") << 0 << true << false << QString();
}

void tst_ConnectFlow::retryOffered()
{
    QFETCH(int, result);
    QFETCH(bool, attached);
    QFETCH(bool, retry);
    QFETCH(QString, reasonKey);
    BackUpMainWindow *pWindow = ShowWindow();
    if (!attached)
        DVSK_Sim_Detach();
    BackUpUIBBMgr::GetInstance()->updateUIAfterFinished(result);
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QCOMPARE(pComplete->IsRetryOffered(), retry);
    if (!reasonKey.isEmpty())
        QCOMPARE(pComplete->GetResultValue(), Change::tr(reasonKey.toLatin1().constData()));
    pWindow->GetPreparePage()->hide();
    pComplete->ShowPage();
    QCOMPARE(pComplete->GetTryAgainButton()->isVisible(), retry);
    // Side by side, or Finish alone in the middle.
    QCOMPARE(pComplete->GetFinishButton()->x(), retry ? 450 : 390);
}

QTEST_MAIN(tst_ConnectFlow)
#include "tst_connectflow.moc"
