// Whole backups through the wizard, off screen: the sample phone backed up
// from the prepare page to the result page, and a run cancelled half way that
// leaves nothing behind.

#include "BackupKinds.h"
#include "BackUpMainWindow.h"
#include "BackUpUIBBMgr.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "DoingWizardWidget.h"
#include "Factory.h"
#include "HostedWizard.h"
#include "InterruptedRun.h"
#include "PrepareWizardWidget.h"
#include "ResultDetailsList.h"
#include "SendCmdResetThread.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/CustomPopupDialog.h>
#include <host/HostCallLog.h>
#include <host/MainFrame.h>
#include <host/Startup.h>
#include <sdk/dvsk_sim.h>

#include <HostStandIns.h>

#include <QDate>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace
{
QStringList RunEntries(const QString &strFolder)
{
    return QDir(strFolder).entryList({QStringLiteral("backup_*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

QStringList FilesUnder(const QString &strFolder)
{
    QStringList listFiles;
    QDirIterator it(strFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        listFiles << QFileInfo(it.next()).fileName();
    return listFiles;
}

// "Name 40" as the result page counts an item: kept on one line.
QString Counted(const char *szNameKey, int nCount)
{
    return Change::tr(szNameKey).replace(QLatin1Char(' '), QChar(0x00A0)).replace(QLatin1Char('-'), QChar(0x2011))
           + QChar(0x00A0) + QString::number(nCount);
}
} // namespace

class tst_WizardRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fullBackupOfSamplePhone();
    void cancelledHalfWayLeavesNothing();
    void oneImageMissingSaysSo();
    void itemNotOnThePhoneIsNamed();
    void phoneLostKeepsWhatWasCopied_data();
    void phoneLostKeepsWhatWasCopied();

private:
    BackUpMainWindow *ShowAndCount();
    // Points the prepare page at the folder and checks every tile the phone
    // has something for.
    PrepareWizardWidget *SelectAllInto(BackUpMainWindow *pWindow, const QString &strDestination);

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<HostedWizard> m_pWizard;
};

void tst_WizardRun::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    BackUpUIThreadCancel::SetSettleDelay(0);
}

void tst_WizardRun::init()
{
    HostCallLog::Clear();
    m_pWizard = std::make_unique<HostedWizard>();
}

void tst_WizardRun::cleanup()
{
    m_pWizard.reset();
    TestPhone::UseDefault();
}

BackUpMainWindow *tst_WizardRun::ShowAndCount()
{
    BackUpMainWindow *pWindow = m_pWizard->Show();
    WaitingBKFrame *pWaiting = pWindow->GetPreparePage()->GetWaitingFrame();
    if (!QTest::qWaitFor([pWaiting]() { return !pWaiting->isVisible(); }, 30000))
        return nullptr;
    return pWindow;
}

PrepareWizardWidget *tst_WizardRun::SelectAllInto(BackUpMainWindow *pWindow, const QString &strDestination)
{
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    pPrepare->SetBackUpPath(strDestination);
    for (CheckBigButton *pTile : pPrepare->GetBigButtons()) {
        if (pTile->isEnabled() && !pTile->IsChecked())
            pTile->ButtonPressed();
    }
    return pPrepare;
}

void tst_WizardRun::fullBackupOfSamplePhone()
{
    TestPhone::UseDefault();
    BackUpMainWindow *pWindow = ShowAndCount();
    QVERIFY2(pWindow, "the phone was not counted");
    PrepareWizardWidget *pPrepare = pWindow->GetPreparePage();
    const QString strDestination = pPrepare->GetBackUpPath();
    QVERIFY(strDestination.startsWith(m_pEnv->DocumentsDir()));

    // Every tile the phone has something for, clicked as a user would.
    int nTiles = 0;
    for (CheckBigButton *pTile : pPrepare->GetBigButtons()) {
        QVERIFY2(pTile->isEnabled(), qPrintable(pTile->GetTitle() + QStringLiteral(" has nothing to back up")));
        if (!pTile->IsChecked())
            pTile->ButtonPressed();
        QVERIFY(pTile->IsChecked());
        ++nTiles;
    }
    QVERIFY(nTiles >= 7);
    pPrepare->GetNextButton()->click();
    QVERIFY(pWindow->GetDoingPage()->isVisible());

    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QTRY_VERIFY_WITH_TIMEOUT(pComplete->isVisible(), 60000);
    QVERIFY(!pWindow->GetDoingPage()->isVisible());
    QVERIFY(!pPrepare->isVisible());
    QCOMPARE(pComplete->GetStatusLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL"));
    QCOMPARE(pComplete->GetResultValue(), QString()); // no failed item
    QCOMPARE(pWindow->GetBBMgr()->GetResult(), 0);

    // The package and the backup folder are in the destination.
    Factory *pFactory = Factory::ExistingInstance();
    QVERIFY(pFactory);
    QVERIFY(pFactory->IsPackageDelivered());
    const QString strPackage = pFactory->GetPackagePath();
    QCOMPARE(QFileInfo(strPackage).absolutePath(), QFileInfo(strDestination).absoluteFilePath());
    QVERIFY(QFileInfo(strPackage).size() > 0);
    const QStringList listCopied = FilesUnder(pFactory->GetBackupFolder());
    for (const char *szList : {"ImageList.xml", "VideoList.xml", "AudioList.xml"})
        QVERIFY2(listCopied.contains(QLatin1String(szList)), szList);
    QCOMPARE(RunEntries(strDestination).size(), 2);
    // The result page names the folder holding both and offers to open it.
    QCOMPARE(pComplete->GetBackupFolder(), QFileInfo(strDestination).absoluteFilePath());
    QVERIFY(pComplete->GetOpenFolderButton()->isVisible());
    // It says what was saved: counts per item, total size, the package.
    const QString strSummary = pComplete->GetSummaryLabel()->text();
    QVERIFY(pComplete->GetSummaryLabel()->isVisible());
    QVERIFY2(strSummary.contains(Counted("IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT", 40)), qPrintable(strSummary));
    QVERIFY2(strSummary.contains(Counted("IDS_VIRTUAL_IMAGEINFO_CORE", 12)), qPrintable(strSummary));
    QVERIFY(strSummary.contains(QFileInfo(strPackage).fileName()));
    QVERIFY(strSummary.contains(Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_TOTALSIZE_TEXT").replace("%s", QString())));
    QVERIFY(pComplete->accessibleDescription().contains(strSummary));
    QVERIFY(!pComplete->GetDetails()->isVisible()); // everything was copied

    // The module files went from the data folder; the date was recorded.
    for (const QString &strName : BackupKinds::TempFileNames())
        QVERIFY2(!QFileInfo::exists(m_pEnv->UserDataDir() + strName), qPrintable(strName));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupDate")),
             QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));

    // The home plugin heard of the start before the end.
    const QString strCalls = HostCallLog::Entries().join(QLatin1Char('\n'));
    const int nStart = strCalls.indexOf(QStringLiteral(",4116,0,1)"));
    QVERIFY2(nStart >= 0 && strCalls.indexOf(QStringLiteral(",4117,0,0)")) > nStart, qPrintable(strCalls));

    // Finish returns to the host's home plugin.
    pComplete->GetFinishButton()->click();
    QVERIFY(!pWindow->isVisible());
    QVERIFY(HostCallLog::Entries().contains(QStringLiteral("ShowPlugin(HomeUIPlugin)")));
}

void tst_WizardRun::cancelledHalfWayLeavesNothing()
{
    // A phone with contacts and one video that copies slowly.
    TestPhone phone(m_pEnv->Path(QStringLiteral("slowphone")));
    phone.SetRecords(0, 3);
    phone.AddFile(QStringLiteral("/sdcard/Movies/long.mp4"), 4 * 1024 * 1024);
    phone.SetRateLimitKBps(256);
    QVERIFY(phone.Use());
    const QString strDestination = m_pEnv->Path(QStringLiteral("dest"));
    QVERIFY(QDir().mkpath(strDestination));

    BackUpMainWindow *pWindow = ShowAndCount();
    QVERIFY2(pWindow, "the phone was not counted");
    PrepareWizardWidget *pPrepare = SelectAllInto(pWindow, strDestination);
    QVERIFY(pPrepare->GetBackupOjectType().bImage);
    QVERIFY(pPrepare->GetBackupOjectType().bPB);

    QSignalSpy spyCancelled(BackUpUIThread::Instance(), &BackUpUIThread::signalBackupCancelSuccess);
    QSignalSpy spyFinished(BackUpUIThread::Instance(), &BackUpUIThread::signalsFinish);
    pPrepare->GetNextButton()->click();
    DoingWizardWidget *pDoing = pWindow->GetDoingPage();
    QVERIFY(pDoing->isVisible());

    // Half way: the contacts are done and the video is being copied.
    QTRY_VERIFY_WITH_TIMEOUT(!RunEntries(strDestination).isEmpty(), 30000);
    QVERIFY(spyFinished.isEmpty());

    pDoing->GetCancelButton()->click();
    CustomPopupDialog *pDialog = pDoing->GetCancelDialog();
    QVERIFY(pDialog);
    pDialog->GetOkButton()->click();

    QTRY_COMPARE_WITH_TIMEOUT(spyCancelled.size(), 1, 30000);
    QVERIFY(BackUpUIThreadCancel::ExistingInstance()->wait(30000));
    QVERIFY(BackUpUIThread::ExistingInstance()->wait(30000));
    QCoreApplication::processEvents();

    QCOMPARE(spyFinished.size(), 0);
    QCOMPARE(RunEntries(strDestination), QStringList());
    for (const QString &strName : BackupKinds::TempFileNames())
        QVERIFY2(!QFileInfo::exists(m_pEnv->UserDataDir() + strName), qPrintable(strName));
    QVERIFY(FilesUnder(m_pEnv->UserDataDir()).filter(QStringLiteral(".zip")).isEmpty());
    // The wizard went away and the host's home plugin came to the front;
    // the result page was never shown.
    QVERIFY(!pWindow->isVisible());
    QVERIFY(!pWindow->GetCompletePage()->isVisible());
    QVERIFY(HostCallLog::Entries().contains(QStringLiteral("ShowPlugin(HomeUIPlugin)")));
}

// One image the phone cannot give: the other images are kept, and the
// result page tells a partly failed run with its own headline, naming how
// many images were copied. A failed run is not the last backup.
void tst_WizardRun::oneImageMissingSaysSo()
{
    TestPhone phone(m_pEnv->Path(QStringLiteral("gapphone")));
    phone.SetRecords(0, 3);
    for (int i = 0; i < 3; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    phone.AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    phone.SetMissingFile(QStringLiteral("/sdcard/DCIM/p1.jpg"));
    QVERIFY(phone.Use());
    const QString strDestination = m_pEnv->Path(QStringLiteral("gapdest"));
    QVERIFY(QDir().mkpath(strDestination));
    CommonUtils::SetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupDate"), QStringLiteral("01.01.2000"));

    BackUpMainWindow *pWindow = ShowAndCount();
    QVERIFY2(pWindow, "the phone was not counted");
    PrepareWizardWidget *pPrepare = SelectAllInto(pWindow, strDestination);
    pPrepare->GetNextButton()->click();
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QTRY_VERIFY_WITH_TIMEOUT(pComplete->isVisible(), 60000);

    QCOMPARE(pComplete->GetOutcome(), CompleteWizardWidget::Outcome::PartlyFailed);
    QCOMPARE(pComplete->GetStatusLabel()->text(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPPART_LABEL"));
    QVERIFY2(pComplete->GetResultValue().contains(QStringLiteral("2 of 3")), qPrintable(pComplete->GetResultValue()));
    const QStringList listCopied = FilesUnder(Factory::ExistingInstance()->GetBackupFolder());
    QVERIFY(listCopied.contains(QStringLiteral("p0.jpg")) && listCopied.contains(QStringLiteral("p2.jpg")));
    QVERIFY(!listCopied.contains(QStringLiteral("p1.jpg")));
    // The page counts what was kept and lists, behind "Show details", the
    // phone path of the image that was not copied.
    QVERIFY2(pComplete->GetRunSummary().contains(Counted("IDS_VIRTUAL_IMAGEINFO_CORE", 2)),
             qPrintable(pComplete->GetRunSummary()));
    ResultDetailsList *pDetails = pComplete->GetDetails();
    QVERIFY(pDetails->isVisible() && !pDetails->IsExpanded() && !pDetails->GetList()->isVisible());
    QCOMPARE(pDetails->Lines(), (QStringList{Change::tr("IDS_VIRTUAL_IMAGEINFO_CORE"), QStringLiteral("/sdcard/DCIM/p1.jpg")}));
    pDetails->GetButton()->click();
    QVERIFY(pDetails->GetList()->isVisible());
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("BackUpUIPlugin"), QStringLiteral("BackupDate")),
             QStringLiteral("01.01.2000"));
}

// A phone that does not give e-mail at all: the run is complete, and the
// result page names e-mail as not available rather than passing over it.
void tst_WizardRun::itemNotOnThePhoneIsNamed()
{
    TestPhone phone(m_pEnv->Path(QStringLiteral("nomailphone")));
    phone.SetRecords(0, 3);
    phone.SetRecords(4, 2);
    phone.SetCountError(5, 0xff11);
    QVERIFY(phone.Use());
    const QString strDestination = m_pEnv->Path(QStringLiteral("nomaildest"));
    QVERIFY(QDir().mkpath(strDestination));

    BackUpMainWindow *pWindow = ShowAndCount();
    QVERIFY2(pWindow, "the phone was not counted");
    PrepareWizardWidget *pPrepare = SelectAllInto(pWindow, strDestination);
    QVERIFY(pPrepare->GetBackupOjectType().bEmail);
    pPrepare->GetNextButton()->click();
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QTRY_VERIFY_WITH_TIMEOUT(pComplete->isVisible(), 60000);

    QCOMPARE(pComplete->GetOutcome(), CompleteWizardWidget::Outcome::Complete);
    QCOMPARE(pComplete->GetResultValue(), QString());
    QCOMPARE(pComplete->GetNotAvailableTip(),
             Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_NOTAVAILABLE_TIPTEXT")
                 .replace(QStringLiteral("%s"), Change::tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT")));
    QVERIFY(pComplete->GetNotAvailableLabel()->isVisible());
    QVERIFY(pComplete->GetNotAvailableIcon()->isVisible());
    QVERIFY(pComplete->accessibleDescription().contains(pComplete->GetNotAvailableTip()));
}

void tst_WizardRun::phoneLostKeepsWhatWasCopied_data()
{
    QTest::addColumn<int>("nUnplugAfter"); // files the phone gives before it goes away
    QTest::addColumn<bool>("bKept");
    QTest::addColumn<QString>("headline"); // the result page's
    QTest::newRow("after the contacts file") << 1 << false << QStringLiteral("Backup failed.");
    QTest::newRow("after two images") << 3 << true << QStringLiteral("Backup interrupted.");
}

// The phone goes away during the run: what was copied stays in a folder
// marked interrupted, and the result page says how many files were kept
// (or, with none, that nothing was) and offers Try again. Its headline says
// the run was interrupted when files were kept, and failed otherwise.
void tst_WizardRun::phoneLostKeepsWhatWasCopied()
{
    QFETCH(int, nUnplugAfter);
    QFETCH(bool, bKept);
    QFETCH(QString, headline);
    TestPhone phone(m_pEnv->Path(QStringLiteral("lostphone-%1").arg(nUnplugAfter)));
    phone.SetRecords(0, 3);
    for (int i = 0; i < 4; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    phone.SetUnplugAfterFiles(nUnplugAfter);
    QVERIFY(phone.Use());
    const QString strDestination = m_pEnv->Path(QStringLiteral("lostdest-%1").arg(nUnplugAfter));
    QVERIFY(QDir().mkpath(strDestination));

    BackUpMainWindow *pWindow = ShowAndCount();
    QVERIFY2(pWindow, "the phone was not counted");
    SelectAllInto(pWindow, strDestination)->GetNextButton()->click();
    CompleteWizardWidget *pComplete = pWindow->GetCompletePage();
    QTRY_VERIFY_WITH_TIMEOUT(pComplete->isVisible(), 60000);

    QCOMPARE(pComplete->GetOutcome(),
             bKept ? CompleteWizardWidget::Outcome::Interrupted : CompleteWizardWidget::Outcome::Failed);
    QCOMPARE(pComplete->GetStatusLabel()->text(), headline);
    QCOMPARE(pWindow->GetDoingPage()->GetTipLabel()->text(), headline);
    QVERIFY(pComplete->GetTryAgainButton()->isVisible());
    const QStringList listRuns = QDir(strDestination).entryList({QStringLiteral("backup_*")}, QDir::AllEntries);
    if (!bKept) {
        QCOMPARE(listRuns, QStringList());
        QCOMPARE(pComplete->GetResultValue(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL"));
        return;
    }
    // One folder and no package; the page counts the images in it.
    QCOMPARE(listRuns.size(), 1);
    const QString strFolder = QDir(strDestination).filePath(listRuns.first());
    QVERIFY(InterruptedRun::IsInterrupted(strFolder));
    const int nImages = int(QDir(strFolder + QStringLiteral("/Image")).entryList({QStringLiteral("*.jpg")}).size());
    QVERIFY2(nImages >= 1 && nImages <= 2, qPrintable(QString::number(nImages)));
    QCOMPARE(pComplete->GetResultValue(), Change::tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_INTERRUPTED_LABEL")
                                              .replace(QStringLiteral("%s"), QString::number(nImages)));
    QVERIFY(pComplete->GetResultValue().contains(QStringLiteral("%1 files kept").arg(nImages)));
}

QTEST_MAIN(tst_WizardRun)
#include "tst_wizardrun.moc"
