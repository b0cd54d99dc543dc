// The main window on its own: showing without a parent, moving, the outside
// caller, and destruction (by the plugin or with the host's frame).

#include "BackUpMainWindow.h"
#include "BackUpUIBBMgr.h"
#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CheckBigButton.h"
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
} // namespace

class tst_BackUpMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showWindowNullParent();
    void moveWindow_data();
    void moveWindow();
    void outsideCaller_data();
    void outsideCaller();
    void destroyInstance();
    void deletedWithHostFrame_data();
    void deletedWithHostFrame();

private:
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
    QTest::newRow("other frame, small area") << true << true << QRect(20, 10, 5, 5);
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

void tst_BackUpMainWindow::outsideCaller_data()
{
    QTest::addColumn<int>("caller");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("asks");
    QTest::newRow("normal mode") << 0 << 0 << false;
    QTest::newRow("update plugin") << 1 << 7 << true;
    QTest::newRow("ROM plugin") << 2 << -3 << true;
}

// An outside caller's cancel asks first (no answers "keep going"); showing
// the window again forgets the caller.
void tst_BackUpMainWindow::outsideCaller()
{
    QFETCH(int, caller);
    QFETCH(int, value);
    QFETCH(bool, asks);
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    pWindow->SetOutFuncCaller(caller);
    pWindow->SetOutFuncParam(value);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncCaller(), caller);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncParam(), value);

    pWindow->CancelOutFuncBackup();
    CustomPopupDialog *pDialog = pWindow->GetDoingPage()->GetCancelDialog();
    QCOMPARE(pDialog != nullptr, asks);
    if (pDialog) {
        QCOMPARE(pDialog->GetButtonType(), 2);
        pDialog->GetCancelButton()->click();
        QTRY_VERIFY(!pWindow->GetDoingPage()->GetCancelDialog());
    }
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncCaller(), 0);
    QCOMPARE(pWindow->GetBBMgr()->GetOutFuncParam(), 0);
}

void tst_BackUpMainWindow::destroyInstance()
{
    BackUpMainWindow *pWindow = BackUpMainWindow::GetInstance();
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    QPointer<QWidget> pGuard = pWindow;
    BackUpMainWindow::DestroyInstance();
    QVERIFY(pGuard.isNull());
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
    pWindow->ShowWindow(m_pFrame.get(), QRect(0, 0, 896, 640));
    if (backingUp) {
        PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
        WaitingBKFrame *pWaiting = pPrepare->GetWaitingFrame();
        QVERIFY(QTest::qWaitFor([pWaiting]() { return !pWaiting->isVisible(); }, 20000));
        for (CheckBigButton *pTile : pPrepare->GetBigButtons()) {
            if (pTile->isEnabled() && !pTile->IsChecked())
                pTile->ButtonPressed();
        }
        DVSK_Sim_ClearCallLog();
        pPrepare->DoNext();
        QTRY_VERIFY_WITH_TIMEOUT(SdkCallLog().contains(QStringLiteral("long.mp4")), 20000);
        QVERIFY(CommonUtils::ThreadCount() > 0);
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
