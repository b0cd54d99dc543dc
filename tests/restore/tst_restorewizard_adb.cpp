// The restore wizard through the real adb server: a copy of the sample phone,
// served by adb-phone-sim, is backed up through adb; a picture and an app are
// then taken off it and the wizard, on the adb back end, puts them back. A
// second copy pulls its cable half-way through the first file it is sent:
// the result page says the phone went away and offers Try again, which
// finishes the restore once it is plugged in again. Skipped when adb or the
// simulator is missing.

#include "AdbTestRig.h"
#include "BackupContents.h"
#include "PageTestSupport.h"
#include "RestoreChooseWidget.h"
#include "RestoreCompleteWidget.h"
#include "RestoreItemsWidget.h"
#include "RestoreWizard.h"
#include "RestoreWizardTexts.h"
#include "TestEnv.h"
#include "ToolRun.h"

#include <host/Change.h>
#include <sdk/dvsk_device.h>

#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>
#include <memory>

namespace
{
const char kSimulator[] = BACKUP_STAGE_DIR "/bin/adb-phone-sim";
const char kItems[] = "contacts,apps,media";
const char kApp[] = "com.corvo.notes";
const char kPicture[] = "/sdcard/Pictures/Screenshots/Screenshot_20240318-081502.png";
const char kVideo[] = "/sdcard/DCIM/Camera/VID_20240314_124000.mp4";
// The kinds of the sample phone's backup as the items page lists them.
const int kContacts = 0;
const int kApps = 9;
const int kPhotos = 16;
const int kVideos = 17;

// Copies a folder with its files' modification times: the copy is the same
// phone as far as a restore can tell.
bool CopyTree(const QString &strFrom, const QString &strTo)
{
    QDirIterator it(strFrom, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strSource = it.next();
        const QString strTarget = strTo + strSource.mid(strFrom.size());
        QFile target(strTarget);
        if (!QDir().mkpath(QFileInfo(strTarget).absolutePath()) || !QFile::copy(strSource, strTarget)
            || !target.open(QIODevice::ReadWrite)
            || !target.setFileTime(it.fileInfo().lastModified(), QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

// The wizard's line for a kind, as the result page shows it.
QString ResultLine(int nCode, int nRestored, int nThere, int nFailed)
{
    RestoreSummary::KindResult result;
    result.nCode = nCode;
    result.nRestored = nRestored;
    result.nSkipped = nThere;
    result.nFailed = nFailed;
    return RestoreWizardTexts::KindLine(result);
}

// The items page's line for a kind.
QString CountText(int nCode, int nBackedUp, int nThere)
{
    const QString strName = RestoreWizardTexts::KindName(nCode);
    return nThere > 0 ? Change::tr("IDS_RESTORE_ITEMS_COUNT_THERE").arg(strName).arg(nBackedUp).arg(nThere)
                      : Change::tr("IDS_RESTORE_ITEMS_COUNT").arg(strName).arg(nBackedUp);
}

QStringList BoxTexts(const RestoreItemsWidget *pItems)
{
    QStringList listTexts;
    for (const QCheckBox *pBox : pItems->CheckBoxes())
        listTexts << pBox->text();
    return listTexts;
}
} // namespace

class tst_RestoreWizardAdb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void restoreRemovedFileAndApp();
    void unplugThenTryAgain();

private:
    // A copy of the backed-up phone without the given phone files, served
    // by a new simulator that the SDK then uses. Its serial, empty on failure.
    QString ServeCopy(const QString &strName, const QStringList &listRemoved, int nUnplugDuringFile = 0);
    QString PhoneFile(const QString &strPhonePath) const { return m_strPhone + QStringLiteral("/fs") + strPhonePath; }
    // The digest of a phone file as it was backed up.
    QByteArray Original(const QString &strPhonePath) const
    {
        return BackupContents::Digest(m_env.Path(QStringLiteral("phone/fs")) + strPhonePath);
    }
    // Opens the wizard on the backup and waits for the items page.
    void OpenAndChoose(RestoreWizard &wizard);
    // Checks the media and apps only, starts, and waits for the result.
    void Restore(RestoreWizard &wizard, RestoreSummary &summary);

    TestEnv m_env;
    std::unique_ptr<AdbTestRig> m_pRig;
    QString m_strPackage;
    QString m_strPhone;
    QString m_strSerial;
    std::unique_ptr<QWidget> m_pWindow;
};

void tst_RestoreWizardAdb::initTestCase()
{
    QVERIFY2(m_env.IsValid(), "temporary folder");
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    if (!QFileInfo(QString::fromUtf8(kSimulator)).isExecutable())
        QSKIP("the device simulator adb-phone-sim is not built");
    m_pRig = std::make_unique<AdbTestRig>(m_env.Path(QStringLiteral("rig")));
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(m_pRig->ServerPort()));

    const QString strOriginal = m_env.Path(QStringLiteral("phone"));
    QVERIFY(CopyTree(TestEnv::SamplePhoneDir(), strOriginal));
    const QString strSerial = m_pRig->StartSimulator(strOriginal);
    QVERIFY(!strSerial.isEmpty());
    const QString strDest = m_env.Path(QStringLiteral("backups"));
    const ToolRun::Result result =
        ToolRun::Run({QStringLiteral("run"), QStringLiteral("--device"), QStringLiteral("adb:") + strSerial,
                      QStringLiteral("--dest"), strDest, QStringLiteral("--items"), QLatin1String(kItems),
                      QStringLiteral("--full")},
                     300000, m_pRig->Environment());
    const QStringList listPackages = QDir(strDest).entryList({QStringLiteral("backup_*.zip")}, QDir::Files);
    QVERIFY2(result.nExit == 0 && listPackages.size() == 1, qPrintable(result.strOut + result.strErr));
    m_strPackage = QDir(strDest).filePath(listPackages.first());
}

void tst_RestoreWizardAdb::cleanupTestCase()
{
    DVSK_Device_Select("sim");
    qunsetenv("ANDROID_ADB_SERVER_PORT");
    QString strProblems;
    if (m_pRig)
        QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
}

void tst_RestoreWizardAdb::init()
{
    m_pWindow = std::make_unique<QWidget>();
    m_pWindow->resize(CustomWizardWidget::kPageWidth, CustomWizardWidget::kPageHeight);
    m_pWindow->show();
}

void tst_RestoreWizardAdb::cleanup()
{
    m_pWindow.reset();
}

QString tst_RestoreWizardAdb::ServeCopy(const QString &strName, const QStringList &listRemoved, int nUnplugDuringFile)
{
    m_strPhone = m_env.Path(strName);
    if (!CopyTree(m_env.Path(QStringLiteral("phone")), m_strPhone))
        return QString();
    for (const QString &strRemoved : listRemoved) {
        const QFileInfo info(PhoneFile(strRemoved));
        if (!(info.isDir() ? QDir(info.filePath()).removeRecursively() : QFile::remove(info.filePath())))
            return QString();
    }
    if (nUnplugDuringFile > 0) {
        QSettings settings(m_strPhone + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("faults/unplugDuringPushedFile"), nUnplugDuringFile);
    }
    m_strSerial = m_pRig->StartSimulator(m_strPhone);
    if (m_strSerial.isEmpty() || DVSK_Device_Select(("adb:" + m_strSerial).toUtf8().constData()) != 0)
        return QString();
    char *szMessage = nullptr;
    const int nOpen = DVSK_Device_Open(&szMessage);
    std::free(szMessage);
    return nOpen == 0 ? m_strSerial : QString();
}

void tst_RestoreWizardAdb::OpenAndChoose(RestoreWizard &wizard)
{
    wizard.Open(nullptr, QFileInfo(m_strPackage).absolutePath());
    RestoreChooseWidget *pChoose = wizard.ChoosePage();
    QVERIFY(pChoose->isVisible());
    QCOMPARE(pChoose->Entries().size(), 1);
    pChoose->List()->setCurrentRow(0);
    QVERIFY(pChoose->MainButton()->isEnabled());
    pChoose->MainButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!wizard.ItemsPage()->CheckBoxes().isEmpty(), 60000);
}

void tst_RestoreWizardAdb::Restore(RestoreWizard &wizard, RestoreSummary &summary)
{
    RestoreItemsWidget *pItems = wizard.ItemsPage();
    pItems->CheckOnlyTiles({QStringLiteral("apps"), QStringLiteral("media")});
    QCOMPARE(pItems->CheckedCodes(), QList<int>({kApps, kPhotos, kVideos}));
    QSignalSpy spyFinished(&wizard, &RestoreWizard::signalRestoreFinished);
    pItems->MainButton()->click();
    QVERIFY(spyFinished.wait(120000) || spyFinished.size() == 1);
    summary = spyFinished.first().first().value<RestoreSummary>();
    QVERIFY(wizard.CompletePage()->isVisible());
}

void tst_RestoreWizardAdb::restoreRemovedFileAndApp()
{
    const QString strApk = QStringLiteral("/data/app/%1.apk").arg(QLatin1String(kApp));
    QVERIFY(!ServeCopy(QStringLiteral("phone-a"), {QLatin1String(kPicture), strApk,
                                                   QStringLiteral("/data/data/") + QLatin1String(kApp)})
                 .isEmpty());
    RestoreWizard wizard(m_pWindow.get());
    OpenAndChoose(wizard);
    if (QTest::currentTestFailed())
        return;
    // The counts say what the phone still holds.
    const QStringList listItems = {CountText(kContacts, 32, 0), CountText(kApps, 4, 3), CountText(kPhotos, 12, 11),
                                   CountText(kVideos, 3, 3)};
    QCOMPARE(BoxTexts(wizard.ItemsPage()), listItems);

    RestoreSummary summary;
    Restore(wizard, summary);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(summary.ExitStatusCode(), int(RestoreSummary::ExitOk));
    RestoreCompleteWidget *pComplete = wizard.CompletePage();
    QCOMPARE(pComplete->Heading()->text(), Change::tr("IDS_RESTORE_RESULT_COMPLETE"));
    const QStringList listLines = {ResultLine(kApps, 1, 3, 0), ResultLine(kPhotos, 1, 11, 0),
                                   ResultLine(kVideos, 0, 3, 0)};
    QCOMPARE(pComplete->KindsLabel()->text(), listLines.join(QLatin1Char('\n')));
    QVERIFY(!pComplete->TryAgainButton()->isVisible());
    QCOMPARE(BackupContents::Digest(PhoneFile(QLatin1String(kPicture))), Original(QLatin1String(kPicture)));
    const QString strPackages = m_pRig->Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("shell"),
                                             QStringLiteral("pm list packages")}).strOut;
    QVERIFY2(strPackages.contains(QStringLiteral("package:") + QLatin1String(kApp)), qPrintable(strPackages));
}

void tst_RestoreWizardAdb::unplugThenTryAgain()
{
    // The cable is pulled half-way through the first file sent.
    const QStringList listRemoved = {QLatin1String(kPicture), QLatin1String(kVideo)};
    QVERIFY(!ServeCopy(QStringLiteral("phone-b"), listRemoved, 1).isEmpty());
    RestoreWizard wizard(m_pWindow.get());
    OpenAndChoose(wizard);
    if (QTest::currentTestFailed())
        return;
    RestoreSummary summary;
    Restore(wizard, summary);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(summary.end, RestoreSummary::End::Disconnected);
    RestoreCompleteWidget *pComplete = wizard.CompletePage();
    QCOMPARE(pComplete->Heading()->text(), Change::tr("IDS_RESTORE_RESULT_DISCONNECTED"));
    QVERIFY(pComplete->TryAgainButton()->isVisible());
    // The photo was cut; the videos were never reached, and the page says so.
    const QStringList listLines = {ResultLine(kApps, 0, 4, 0), ResultLine(kPhotos, 0, 11, 1),
                                   Change::tr("IDS_RESTORE_RESULT_KIND_NOT_REACHED").arg(RestoreWizardTexts::KindName(kVideos))};
    QCOMPARE(pComplete->KindsLabel()->text(), listLines.join(QLatin1Char('\n')));
    // Nothing half-sent under a real name.
    for (const QString &strRemoved : listRemoved) {
        const QString strFile = PhoneFile(strRemoved);
        QVERIFY2(!QFileInfo::exists(strFile) || BackupContents::Digest(strFile) == Original(strRemoved),
                 qPrintable(strRemoved));
    }

    // Plugged in again: Try again reads the phone anew and the restore ends.
    QCOMPARE(m_pRig->SimulatorCommand(m_strSerial, "plug"), QStringLiteral("plugged"));
    m_pRig->Adb({QStringLiteral("connect"), m_strSerial});
    QTRY_COMPARE_WITH_TIMEOUT(m_pRig->Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("get-state")}).strOut.trimmed(),
                              QStringLiteral("device"), 30000);
    pComplete->TryAgainButton()->click();
    QVERIFY(wizard.ItemsPage()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!wizard.ItemsPage()->CheckBoxes().isEmpty(), 60000);
    // The picture and the video are still missing; the kinds chosen before
    // are checked again, contacts are not.
    const QStringList listItems = {CountText(kContacts, 32, 0), CountText(kApps, 4, 4), CountText(kPhotos, 12, 11),
                                   CountText(kVideos, 3, 2)};
    QCOMPARE(BoxTexts(wizard.ItemsPage()), listItems);
    QCOMPARE(wizard.ItemsPage()->CheckedCodes(), QList<int>({kApps, kPhotos, kVideos}));
    Restore(wizard, summary);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(summary.ExitStatusCode(), int(RestoreSummary::ExitOk));
    QCOMPARE(pComplete->Heading()->text(), Change::tr("IDS_RESTORE_RESULT_COMPLETE"));
    for (const QString &strRemoved : listRemoved)
        QCOMPARE(BackupContents::Digest(PhoneFile(strRemoved)), Original(strRemoved));
}

QTEST_MAIN(tst_RestoreWizardAdb)
#include "tst_restorewizard_adb.moc"
