// The main window on its own: construction, showing into a frame (with and
// without a parent), moving, the outside caller, the wizard's pages after
// "next", and destruction (by the plugin or with the host's frame).

#include "BackUpMainWindow.h"
#include "BackUpUIBBMgr.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "DoingWizardWidget.h"
#include "Factory.h"
#include "PrepareWizardWidget.h"
#include "SendCmdResetThread.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "WaitingBKFrame.h"

#include <host/CommonUtils.h>
#include <host/CustomPopupDialog.h>
#include <sdk/dvsk_sim.h>

#include <HostStandIns.h>

#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <cstdlib>
#include <memory>

namespace
{
QString SdkCallLog()
{
    char *szLog = DVSK_Sim_GetCallLog();
    const QString strLog = QString::fromUtf8(szLog ? szLog : "");
    std::free(szLog);
    return strLog;
}

// Which of the three pages are visible, as "prepare,progress,result" flags.
QString VisiblePages(const BackUpMainWindow *pWindow)
{
    return QStringLiteral("%1%2%3")
        .arg(pWindow->GetPreparePage()->isVisible() ? 'P' : '-')
        .arg(pWindow->GetDoingPage()->isVisible() ? 'D' : '-')
        .arg(pWindow->GetCompletePage()->isVisible() ? 'C' : '-');
}
} // namespace

class tst_BackUpMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction();
    void showWindow_data();
    void showWindow();
    void showWindowNullParent();
    void moveWindow_data();
    void moveWindow();
    void showWindowResetsCaller_data();
    void showWindowResetsCaller();
    void cancelOutFuncBackup_data();
    void cancelOutFuncBackup();
    void nextShowsOnlyProgressPage();
    void destroyInstance();
    void deletedWithHostFrame_data();
    void deletedWithHostFrame();

private:
    // Shows the window in the frame and waits until the phone was counted.
    bool ShowAndCount(BackUpMainWindow *pWindow);

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
};

void tst_BackUpMainWindow::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    BackUpUIThreadCancel::SetSettleDelay(0);
}

void tst_BackUpMainWindow::init()
{
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->resize(1000, 700);
    m_pFrame->show();
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get(), QRect(0, 0, 896, 640));
    TestPhone::UseDefault();
    DVSK_Sim_Attach();
    DVSK_Sim_ClearCallLog();
}

void tst_BackUpMainWindow::cleanup()
{
    // As the plugin's OnDestroy does, threads first while a run may go on.
    SendCmdResetThread::DestroyInstance();
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
    BackUpMainWindow::DestroyInstance();
    // The factory keeps the backup logic it was made with; as the plugin's
    // OnDestroy does, it goes after the window.
    Factory::DestroyInstance();
    m_pStandIns.reset();
    m_pFrame.reset();
}

bool tst_BackUpMainWindow::ShowAndCount(BackUpMainWindow *pWindow)
{
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    WaitingBKFrame *pWaiting = pWindow->GetPreparePage()->GetWaitingFrame();
    return QTest::qWaitFor([pWaiting]() { return !pWaiting->isVisible(); }, 20000);
}

void tst_BackUpMainWindow::construction()
{
    QVERIFY(!BackUpMainWindow::ExistingInstance());
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    QVERIFY(pWindow);
    QCOMPARE(BackUpMainWindow::GetInstance(), pWindow);
    QCOMPARE(pWindow->objectName(), QStringLiteral("BackUpUIPlugin_MainWidget"));
    QCOMPARE(pWindow->minimumSize(), QSize(896, 640));
    QCOMPARE(pWindow->maximumSize(), QSize(896, 640));
    QVERIFY(pWindow->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(pWindow->parentWidget(), nullptr);
    QVERIFY(!pWindow->isVisible());

    QCOMPARE(pWindow->GetLogic(), BackUpUILogic::ExistingInstance());
    QCOMPARE(pWindow->GetBBMgr(), BackUpUIBBMgr::ExistingInstance());
    QVERIFY(pWindow->GetLogic());
    QVERIFY(pWindow->GetBBMgr());
    QCOMPARE(pWindow->GetOutFuncCaller(), 0);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncCaller(), 0);

    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    DoingWizardWidget *pDoing = pWindow->GetDoingPage();
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QVERIFY(pPrepare && pDoing && pComplete);
    for (QWidget *pPage : std::initializer_list<QWidget *>{pPrepare, pDoing, pComplete})
        QCOMPARE(pPage->parentWidget(), pWindow);
    QCOMPARE(pPrepare->GetPreviousPage(), nullptr);
    QCOMPARE(pPrepare->GetNextPage(), pDoing);
    QCOMPARE(pDoing->GetPreviousPage(), pPrepare);
    QCOMPARE(pDoing->GetNextPage(), pComplete);
    QCOMPARE(pComplete->GetPreviousPage(), pDoing);
    QCOMPARE(pComplete->GetNextPage(), nullptr);
    // Each page was built (its buttons exist) and knows the window as frame.
    QVERIFY(pPrepare->GetNextButton());
    QVERIFY(pDoing->GetCancelButton());
    QVERIFY(pComplete->GetFinishButton());
    QCOMPARE(pPrepare->GetFrame(), pWindow);

    // The device-available signal reaches the window.
    QVERIFY(QObject::disconnect(pWindow->GetLogic(), &BackUpUILogic::signalDeviceAcitve, pWindow,
                                &BackUpMainWindow::onDeviceAvaible));
}

void tst_BackUpMainWindow::showWindow_data()
{
    QTest::addColumn<QRect>("area");
    QTest::newRow("exact area") << QRect(0, 0, 896, 640);
    QTest::newRow("smaller area keeps the size") << QRect(10, 20, 100, 100);
    QTest::newRow("larger area keeps the size") << QRect(5, 7, 2000, 1500);
    QTest::newRow("negative corner") << QRect(-4, -6, 896, 640);
}

void tst_BackUpMainWindow::showWindow()
{
    QFETCH(QRect, area);
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), area);
    QCOMPARE(pWindow->parentWidget(), m_pFrame.get());
    QCOMPARE(pWindow->geometry(), QRect(area.topLeft(), QSize(896, 640)));
    QVERIFY(pWindow->isVisible());
    QCOMPARE(VisiblePages(pWindow), QStringLiteral("P--"));
    QVERIFY(SendCmdResetThread::ExistingInstance());
}

void tst_BackUpMainWindow::showWindowNullParent()
{
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    const QRect rectBefore = pWindow->geometry();
    pWindow->SetOutFuncCaller(2);
    pWindow->ShowWindow(nullptr, QRect(40, 50, 896, 640));

    // The reset thread still ran; nothing else happened.
    SendCmdResetThread *pReset = SendCmdResetThread::ExistingInstance();
    QVERIFY(pReset);
    QVERIFY(pReset->wait(20000));
    QVERIFY2(SdkCallLog().contains(QStringLiteral("DVSK_Reset")), qPrintable(SdkCallLog()));
    QVERIFY(!pWindow->isVisible());
    QCOMPARE(pWindow->parentWidget(), nullptr);
    QCOMPARE(pWindow->geometry(), rectBefore);
    QCOMPARE(pWindow->GetOutFuncCaller(), 2);
}

void tst_BackUpMainWindow::moveWindow_data()
{
    QTest::addColumn<bool>("otherParent");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QRect>("area");
    QTest::newRow("same frame") << false << true << QRect(12, 34, 896, 640);
    QTest::newRow("same frame, tiny area") << false << true << QRect(3, 4, 1, 1);
    QTest::newRow("same frame, huge area") << false << true << QRect(0, 0, 4000, 3000);
    QTest::newRow("other frame") << true << true << QRect(20, 10, 500, 500);
    QTest::newRow("other frame, hidden window") << true << false << QRect(1, 2, 896, 640);
}

void tst_BackUpMainWindow::moveWindow()
{
    QFETCH(bool, otherParent);
    QFETCH(bool, shown);
    QFETCH(QRect, area);
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    if (!shown)
        pWindow->hide();

    QWidget otherFrame;
    otherFrame.resize(1200, 900);
    otherFrame.show();
    QWidget *pTarget = otherParent ? &otherFrame : m_pFrame.get();
    pWindow->MoveWindow(pTarget, area);
    QCOMPARE(pWindow->parentWidget(), pTarget);
    QCOMPARE(pWindow->pos(), area.topLeft());
    QCOMPARE(pWindow->size(), QSize(896, 640));
    QCOMPARE(pWindow->isVisible(), shown);

    // A null frame changes nothing.
    const QRect rectBefore = pWindow->geometry();
    pWindow->MoveWindow(nullptr, QRect(99, 99, 10, 10));
    QCOMPARE(pWindow->geometry(), rectBefore);
    QCOMPARE(pWindow->parentWidget(), pTarget);
    pWindow->MoveWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
}

void tst_BackUpMainWindow::showWindowResetsCaller_data()
{
    QTest::addColumn<int>("caller");
    QTest::addColumn<int>("value");
    QTest::newRow("update plugin") << 1 << 7;
    QTest::newRow("ROM plugin") << 2 << -3;
    QTest::newRow("unknown caller") << 9 << 0;
}

void tst_BackUpMainWindow::showWindowResetsCaller()
{
    QFETCH(int, caller);
    QFETCH(int, value);
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    QVERIFY(pWindow->SetOutFuncCaller(caller));
    pWindow->SetOutFuncParam(value);
    QCOMPARE(pWindow->GetOutFuncCaller(), caller);
    QCOMPARE(pWindow->GetOutFuncParam(), value);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncCaller(), caller);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncParam(), value);

    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    QCOMPARE(pWindow->GetOutFuncCaller(), 0);
    QCOMPARE(pWindow->GetOutFuncParam(), 0);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncCaller(), 0);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncParam(), 0);
}

void tst_BackUpMainWindow::cancelOutFuncBackup_data()
{
    QTest::addColumn<int>("caller");
    QTest::addColumn<bool>("asks");
    QTest::newRow("normal mode") << 0 << false;
    QTest::newRow("update plugin") << 1 << true;
    QTest::newRow("ROM plugin") << 2 << true;
}

void tst_BackUpMainWindow::cancelOutFuncBackup()
{
    QFETCH(int, caller);
    QFETCH(bool, asks);
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    pWindow->SetOutFuncCaller(caller);
    pWindow->CancelOutFuncBackup();
    CustomPopupDialog *pDialog = pWindow->GetDoingPage()->GetCancelDialog();
    QCOMPARE(pDialog != nullptr, asks);
    if (pDialog) {
        // The progress page asks before it cancels; no answers "keep going".
        QCOMPARE(pDialog->GetButtonType(), 2);
        pDialog->GetCancelButton()->click();
        QTRY_VERIFY(!pWindow->GetDoingPage()->GetCancelDialog());
    }
}

void tst_BackUpMainWindow::nextShowsOnlyProgressPage()
{
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    QVERIFY(ShowAndCount(pWindow));
    QCOMPARE(VisiblePages(pWindow), QStringLiteral("P--"));
    QVERIFY(!pWindow->GetPreparePage()->IsNothingSelected());
    pWindow->GetPreparePage()->DoNext();
    QCOMPARE(VisiblePages(pWindow), QStringLiteral("-D-"));
    QVERIFY(pWindow->isVisible());
}

void tst_BackUpMainWindow::destroyInstance()
{
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    QPointer<QWidget> pPrepare = pWindow->GetPreparePage();
    QPointer<QWidget> pDoing = pWindow->GetDoingPage();
    QPointer<QWidget> pComplete = pWindow->GetCompletePage();
    QPointer<QWidget> pGuard = pWindow;

    BackUpMainWindow::DestroyInstance();
    QVERIFY(pGuard.isNull());
    QVERIFY(pPrepare.isNull() && pDoing.isNull() && pComplete.isNull());
    QCOMPARE(BackUpMainWindow::ExistingInstance(), nullptr);
    QCOMPARE(BackUpUILogic::ExistingInstance(), nullptr);
    QCOMPARE(BackUpUIBBMgr::ExistingInstance(), nullptr);
    QVERIFY(m_pFrame->findChildren<QWidget *>(QStringLiteral("BackUpUIPlugin_MainWidget")).isEmpty());

    // A second destruction finds nothing; a new instance is a new window.
    BackUpMainWindow::DestroyInstance();
    QVERIFY(BackUpMainWindow::GetInstance());
}

void tst_BackUpMainWindow::deletedWithHostFrame_data()
{
    QTest::addColumn<bool>("backingUp");
    QTest::newRow("idle") << false;
    QTest::newRow("while a backup copies a file") << true;
}

void tst_BackUpMainWindow::deletedWithHostFrame()
{
    QFETCH(bool, backingUp);
    if (backingUp) {
        TestPhone phone(m_pEnv->Path(QStringLiteral("slowphone")));
        phone.AddFile(QStringLiteral("/sdcard/Movies/long.mp4"), 4 * 1024 * 1024);
        phone.SetRateLimitKBps(256);
        QVERIFY(phone.Use());
    }
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    if (backingUp) {
        QVERIFY(ShowAndCount(pWindow));
        PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
        for (CheckBigButton *pTile : pPrepare->GetBigButtons()) {
            if (pTile->isEnabled() && !pTile->IsChecked())
                pTile->ButtonPressed();
        }
        DVSK_Sim_ClearCallLog();
        pPrepare->DoNext();
        QTRY_VERIFY_WITH_TIMEOUT(SdkCallLog().contains(QStringLiteral("long.mp4")), 20000);
        QVERIFY(CommonUtils::ThreadCount() > 0);
    } else {
        pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    }
    m_pFrame.reset();
    // The frame took the window with it; nothing points at it any more, and
    // a job that was running ended before the backup logic went.
    QCOMPARE(BackUpMainWindow::ExistingInstance(), nullptr);
    QCOMPARE(BackUpUILogic::ExistingInstance(), nullptr);
    QCOMPARE(BackUpUIBBMgr::ExistingInstance(), nullptr);
    QCOMPARE(CommonUtils::ThreadCount(), 0);
    BackUpMainWindow::DestroyInstance();
    QVERIFY(BackUpMainWindow::GetInstance() != nullptr);
}

QTEST_MAIN(tst_BackUpMainWindow)
#include "tst_backupmainwindow.moc"
