// The prepare page: tiles filled by a counting run, titles, selection,
// usage record, destination and free space, next and cancel.

#include "BackUpUIThread.h"
#include "CheckBigButton.h"
#include "CustomLabelButton.h"
#include "PageTestSupport.h"
#include "PrepareWizardWidget.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostCallLog.h>

#include <HostBackupRequesterPlugin.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

namespace
{
// A page whose destination has a chosen amount of free space.
class FakeSpacePage : public PrepareWizardWidget
{
public:
    using PrepareWizardWidget::PrepareWizardWidget;
    qint64 m_nFree = -1; // -1: the real free space
    qint64 GetDiskSpace(const QString &strPath) override
    {
        return m_nFree >= 0 ? m_nFree : PrepareWizardWidget::GetDiskSpace(strPath);
    }
};

structBackupID Entry(int nCount)
{
    structBackupID entry;
    entry.nProNum = nCount;
    return entry;
}

QString Tr(const char *szKey)
{
    return Change::tr(szKey);
}

// "(A, B)" with the translated separator.
QString OtherList(const QStringList &listKeys)
{
    QStringList listNames;
    for (const QString &strKey : listKeys)
        listNames << Change::tr(strKey);
    return "(" + listNames.join(Tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + " ") + ")";
}

bool WaitForWorker()
{
    BackUpUIThread *pThread = BackUpUIThread::ExistingInstance();
    return !pThread || pThread->wait(QDeadlineTimer(30000));
}
} // namespace

using CountTable = QHash<int, structBackupID>;

class tst_PrepareWizardWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_env.IsValid(), "no temporary folder"); }
    void init();
    void cleanup();
    void cleanupTestCase() { BackUpUIThread::DestroyInstance(); }

    void countingFillsTiles_data();
    void countingFillsTiles();
    void busyHost();
    void tileTitles_data();
    void tileTitles();
    void selection_data();
    void selection();
    void selectionTotal_data();
    void selectionTotal();
    void parseValue_data();
    void parseValue();
    void location_data();
    void location();
    void chosenFolderIsTheNextDefault();
    void spaceWarning_data();
    void spaceWarning();
    void unwritableDestination_data();
    void unwritableDestination();
    void cancel_data();
    void cancel();
    void nextForCaller();

private:
    void Build(const QString &strLang = QStringLiteral("en"));
    void ShowAndCount();
    void CheckOnly(const QList<int> &listIds);
    FakeSpacePage *Page() const { return m_pPrepare; }

    TestEnv m_env;
    Wizard m_wizard;
    FakeSpacePage *m_pPrepare = nullptr;
};

void tst_PrepareWizardWidget::init()
{
    HostCallLog::Clear();
    CommonUtils::SetOperationStatus(0, 0);
}

void tst_PrepareWizardWidget::cleanup()
{
    QVERIFY(WaitForWorker());
    QCoreApplication::processEvents();
    m_wizard.Reset();
    CommonUtils::SetOperationStatus(0, 0);
    qApp->setStyleSheet(QString());
}

void tst_PrepareWizardWidget::Build(const QString &strLang)
{
    m_wizard.Build(strLang, [this](QWidget *pFrame) { return m_pPrepare = new FakeSpacePage(pFrame); });
}

void tst_PrepareWizardWidget::ShowAndCount()
{
    QVERIFY(WaitForWorker());
    Page()->ShowPage();
    QVERIFY(!Page()->GetWaitingFrame()->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(Page()->GetWaitingFrame()->isHidden(), 30000);
    QVERIFY(WaitForWorker());
}

void tst_PrepareWizardWidget::CheckOnly(const QList<int> &listIds)
{
    const QHash<int, CheckBigButton *> &tiles = Page()->GetBigButtons();
    for (auto it = tiles.cbegin(); it != tiles.cend(); ++it)
        it.value()->SetChecked(listIds.contains(it.key()));
}

void tst_PrepareWizardWidget::countingFillsTiles_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::newRow("en") << "en";
    QTest::newRow("ar") << "ar";
}

void tst_PrepareWizardWidget::countingFillsTiles()
{
    QFETCH(QString, strLang);
    LangScope lang(strLang);
    ApplySkin();
    Build(strLang);
    const QHash<int, CheckBigButton *> &tiles = Page()->GetBigButtons();
    QCOMPARE(tiles.size(), 7);
    // Before counting the "other" tile lists its configured sub-items.
    QCOMPARE(Page()->GetOtherItems(),
             OtherList({"IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT",
                        "IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT"}));

    ShowAndCount();
    const CountTable counts = BackUpUIThread::Instance()->GetModuleCounts();
    for (auto it = tiles.cbegin(); it != tiles.cend(); ++it) {
        QVERIFY2(counts.contains(it.key()), qPrintable(QString::number(it.key())));
        const int nCount = counts.value(it.key()).nProNum;
        QCOMPARE(it.value()->isEnabled(), nCount > 0);
        const QList<QLabel *> listNum = it.value()->findChildren<QLabel *>(QRegularExpression("_Num$"));
        QCOMPARE(listNum.size(), 1);
        QCOMPARE(listNum.first()->text(), QString::number(qMax(0, nCount)));
    }
    // The sample phone holds SMS and MMS, call log, e-mail and calendar.
    QCOMPARE(tiles.value(1)->GetTitle(), Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT"));
    QLabel *pOther = tiles.value(6)->findChild<QLabel *>("BackUpUIPlugin_BigButton_Other_OtherContent");
    QVERIFY(pOther);
    QCOMPARE(pOther->text(), OtherList({"IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT",
                                        "IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT"}));
    QVERIFY(tiles.value(0)->IsChecked() && !tiles.value(4)->IsChecked()); // the configured defaults

    // Neighbours overlap by their shadow at most: 3 px beside, 5 px between rows.
    for (CheckBigButton *pFirst : tiles) {
        for (CheckBigButton *pSecond : tiles) {
            const QRect rect = pFirst->geometry().intersected(pSecond->geometry());
            QVERIFY(pFirst == pSecond || rect.isEmpty() || rect.width() <= 3 || rect.height() <= 5);
        }
    }
    QVERIFY(SavePicture(m_wizard.pFrame.get(), "prepare_" + strLang));
    for (QWidget *pChild : Page()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!pChild->isHidden())
            QVERIFY2(QRect(0, 0, 896, 640).contains(pChild->geometry()), qPrintable(pChild->objectName()));
    }
}

void tst_PrepareWizardWidget::busyHost()
{
    Build();
    // The overlay says what it waits for.
    QCOMPARE(Page()->GetWaitingFrame()->Text(), Tr("IDS_BACKUPUIPLUGIN_WAITING_READING_TEXT"));
    QVERIFY(WaitForWorker());
    CommonUtils::SetOperationStatus(0, 3);
    QSignalSpy spyCount(BackUpUIThread::Instance(), &BackUpUIThread::signalsPluginCount);
    Page()->ShowPage();
    QVERIFY(Page()->GetStatusTimer()->isActive() && !Page()->GetWaitingFrame()->isHidden());
    QVERIFY(!BackUpUIThread::Instance()->isRunning());

    Page()->soltGetStatusThread(); // still busy
    QVERIFY(Page()->GetStatusTimer()->isActive() && !Page()->IsStatusDone());

    CommonUtils::SetOperationStatus(0, 0);
    Page()->soltGetStatusThread();
    QVERIFY(!Page()->GetStatusTimer()->isActive() && Page()->IsStatusDone());
    QTRY_VERIFY_WITH_TIMEOUT(Page()->GetWaitingFrame()->isHidden(), 30000);
    QCOMPARE(spyCount.count(), 1);

    // The host releasing the phone stops both timers.
    Page()->GetCountTimer()->start(500);
    Page()->StopTimers();
    QVERIFY(!Page()->GetCountTimer()->isActive() && !Page()->GetStatusTimer()->isActive());
}

void tst_PrepareWizardWidget::tileTitles_data()
{
    QTest::addColumn<int>("nId");
    QTest::addColumn<CountTable>("counts");
    QTest::addColumn<QString>("strTitle"); // "<default>": the configured list

    const QString strMessages = Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT");
    QTest::newRow("SMS only") << 1 << CountTable{{24, Entry(5)}, {27, Entry(0)}} << Tr("IDS_VIRTUAL_SMSNAME_IDENTIFER");
    QTest::newRow("both messages") << 1 << CountTable{{24, Entry(5)}, {27, Entry(2)}} << strMessages;
    QTest::newRow("SMS, MMS not counted") << 1 << CountTable{{24, Entry(5)}} << strMessages;
    QTest::newRow("images only") << 4 << CountTable{{25, Entry(9)}, {26, Entry(0)}} << Tr("IDS_VIRTUAL_IMAGEINFO_CORE");
    QTest::newRow("images and videos") << 4 << CountTable{{25, Entry(9)}, {26, Entry(1)}}
                                       << Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT");
    QTest::newRow("other, call log and calendar")
        << 6 << CountTable{{21, Entry(3)}, {22, Entry(0)}, {23, Entry(4)}}
        << OtherList({"IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT", "IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT"});
    QTest::newRow("other, all zero keeps the list")
        << 6 << CountTable{{21, Entry(0)}, {22, Entry(0)}, {23, Entry(0)}} << "<default>";
    QTest::newRow("contacts have no special title") << 0 << CountTable{{0, Entry(40)}} << "";
}

void tst_PrepareWizardWidget::tileTitles()
{
    QFETCH(int, nId);
    QFETCH(CountTable, counts);
    QFETCH(QString, strTitle);
    Build();
    QCOMPARE(Page()->GetTileText(nId, counts), strTitle == "<default>" ? Page()->GetOtherItems() : strTitle);
}

void tst_PrepareWizardWidget::selection_data()
{
    QTest::addColumn<QList<int>>("listChecked");
    QTest::addColumn<QList<int>>("listSlots"); // BackupItems slots set
    QTest::addColumn<QString>("strUsage");

    QTest::newRow("nothing") << QList<int>{} << QList<int>{} << "backup:;";
    QTest::newRow("messages") << QList<int>{1} << QList<int>{0, 8} << "backup:message&mms;";
    QTest::newRow("images and videos") << QList<int>{4} << QList<int>{9, 10} << "backup:picture&video;";
    QTest::newRow("other records, never bookmarks") << QList<int>{6} << QList<int>{2, 5, 6}
                                                    << "backup:schedule&callRecords;";
    QTest::newRow("everything") << QList<int>{0, 1, 3, 4, 5, 6, 29} << QList<int>{0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11}
                                << "backup:contacts&message&mms&schedule&callRecords&application&applicationData&"
                                   "music&picture&video;";
}

void tst_PrepareWizardWidget::selection()
{
    QFETCH(QList<int>, listChecked);
    QFETCH(QList<int>, listSlots);
    QFETCH(QString, strUsage);
    Build();
    ShowAndCount();
    CheckOnly(listChecked);
    const BackupItems items = Page()->GetBackupOjectType();
    for (int nSlot = 0; nSlot < BackupItems::kSlots; ++nSlot)
        QCOMPARE(items.Slot(nSlot), listSlots.contains(nSlot));
    QCOMPARE(Page()->IsNothingSelected(), listSlots.isEmpty());

    // "next" with no room anywhere: the usage record goes out, nothing starts
    // (nothing selected needs no room, but does not start anything either).
    Page()->m_nFree = 0;
    HostCallLog::Clear();
    Page()->GetNextButton()->click();
    const QStringList listRecords = HostCallLog::Entries().filter(QRegularExpression("^setListPipeItem\\("));
    QCOMPARE(listRecords.size(), 1);
    QVERIFY2(listRecords.first().startsWith("setListPipeItem(7,20109,cfields=" + CommonUtils::getDatetimeAndVersionString().left(10)),
             qPrintable(listRecords.first()));
    QVERIFY2(listRecords.first().endsWith(";" + strUsage + CommonUtils::getPhoneTypeAndImei() + ")"),
             qPrintable(listRecords.first()));
    QVERIFY(!Page()->isHidden() && m_wizard.pDoing->isHidden());
    QVERIFY(!BackUpUIThread::Instance()->isRunning());
}

void tst_PrepareWizardWidget::selectionTotal_data()
{
    QTest::addColumn<QList<int>>("listChecked");
    QTest::newRow("images and videos") << QList<int>{4};
    QTest::newRow("images, videos and music") << QList<int>{4, 5};
    QTest::newRow("contacts, no size") << QList<int>{0};
    QTest::newRow("nothing") << QList<int>{};
}

// Beside Start: the checked tiles' figures added up, in the tiles' format,
// following every toggle.
void tst_PrepareWizardWidget::selectionTotal()
{
    QFETCH(QList<int>, listChecked);
    Build();
    QLabel *pLabel = Page()->GetSelectionLabel();
    QVERIFY(pLabel);
    Page()->ShowPage();
    QCOMPARE(pLabel->text(), QString()); // nothing counted yet
    QTRY_VERIFY_WITH_TIMEOUT(Page()->GetWaitingFrame()->isHidden(), 30000);
    QVERIFY(WaitForWorker());
    QVERIFY(!pLabel->text().isEmpty());

    const CountTable counts = BackUpUIThread::Instance()->GetModuleCounts();
    const QHash<int, CheckBigButton *> &tiles = Page()->GetBigButtons();
    CheckOnly({});
    // Toggled as a user does, one click each.
    for (int nId : listChecked)
        tiles.value(nId)->ButtonPressed();
    int nItems = 0;
    quint32 nKiloBytes = 0;
    for (int nId : listChecked) {
        nItems += counts.value(nId).nProNum;
        nKiloBytes += quint32(counts.value(nId).nValue2);
    }
    QString strExpected = Tr("IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_NONE");
    if (!listChecked.isEmpty()) {
        QStringList listParts{Tr("IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_ITEMS").replace("%s", QString::number(nItems))};
        if (nKiloBytes)
            listParts << CheckBigButton::FormatSize(nKiloBytes);
        listParts << CheckBigButton::NeedTimeText(nKiloBytes);
        strExpected = Tr("IDS_BACKUPUIPLUGIN_PREPARE_SELECTION_TEXT").replace("%s", listParts.join(QStringLiteral(" \u00b7 ")));
    }
    QCOMPARE(pLabel->text(), strExpected);
    QCOMPARE(Page()->GetNextButton()->accessibleDescription(), strExpected);
    if (listChecked.size() == 1) {
        // One tile: its own size and time, as the tile shows them.
        CheckBigButton *pTile = tiles.value(listChecked.first());
        const QLabel *pSize = pTile->findChildren<QLabel *>(QRegularExpression("_Value$")).value(0);
        QVERIFY(pSize && (nKiloBytes == 0 || pLabel->text().contains(pSize->text())));
    }
    // Beside Start, on the side away from Cancel, within the page.
    QCOMPARE(pLabel->geometry().center().y(), Page()->GetNextButton()->geometry().center().y());
    QVERIFY(pLabel->geometry().right() < Page()->GetNextButton()->geometry().left());
}

void tst_PrepareWizardWidget::parseValue_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<qint64>("nBytes");
    QTest::addColumn<QString>("strNumber");
    QTest::addColumn<QString>("strUnitKey");

    const qint64 nGB = qint64(1) << 30;
    QTest::newRow("1023") << "en" << qint64(1023) << "1023" << "IDS_CORE_UNIT_B";
    QTest::newRow("1024") << "en" << qint64(1024) << "1" << "IDS_CORE_UNIT_KB";
    QTest::newRow("1.5 MB") << "en" << qint64(1572864) << "1.50" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.5 GB, ru") << "ru" << nGB + nGB / 2 << "1" << "IDS_CORE_UNIT_GB";
    QTest::newRow("2 TB") << "en" << (qint64(2) << 40) << "2048" << "IDS_CORE_UNIT_GB";
    QTest::newRow("1.5 MB, right to left") << "ar" << qint64(1572864) << "1.50" << "IDS_CORE_UNIT_MB";
}

void tst_PrepareWizardWidget::parseValue()
{
    QFETCH(QString, strLang);
    QFETCH(qint64, nBytes);
    QFETCH(QString, strNumber);
    QFETCH(QString, strUnitKey);
    LangScope lang(strLang);
    PrepareWizardWidget page;
    const QString strUnit = Change::tr(strUnitKey);
    QCOMPARE(page.parseValue(nBytes), strLang == "ar" ? strUnit + strNumber : strNumber + strUnit);
}

void tst_PrepareWizardWidget::location_data()
{
    QTest::addColumn<bool>("bFile");
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<QString>("strShown"); // the label; its tool tip has the whole path

    const QString str50 = "/home/user/" + QString(39, 'a');
    QTest::newRow("50 characters") << true << str50 << str50;
    QTest::newRow("51 characters are cut") << true << str50 + "b" << str50 + "....";
    QTest::newRow("backslashes") << true << "D:\\Backups\\phone" << "D:/Backups/phone";
    QTest::newRow("non-ASCII folder") << true << QString::fromUtf8("/home/u/Резервные копии")
                                      << QString::fromUtf8("/home/u/Резервные копии");
    QTest::newRow("empty value") << true << "" << "";
    QTest::newRow("no location file") << false << "" << "";
}

void tst_PrepareWizardWidget::location()
{
    QFETCH(bool, bFile);
    QFETCH(QString, strStored);
    QFETCH(QString, strShown);
    Build();
    // Without a location file the page starts at the default folder.
    const QString strDefault = CommonUtils::GetFilePath() + QDir::separator() + "Pelorix" + QDir::separator() + "backup";
    QCOMPARE(Page()->GetBackUpPath(), QDir::fromNativeSeparators(strDefault));
    QVERIFY(QFileInfo(strDefault).isDir());

    const QString strFile = m_env.UserDataDir() + "Location.ini";
    const QString strCurrent = m_env.Path("current");
    Page()->SetBackUpPath(strCurrent);
    CommonUtils::SetSettings("BackUpUIPlugin", "BackupPath", "untouched");
    // The host keeps Location.ini in step with that setting: the file of
    // this row replaces what it wrote.
    QFile::remove(strFile);
    if (bFile)
        QSettings(strFile, QSettings::IniFormat).setValue("location/backup_lacation", strStored);
    Page()->InitialShowCount();
    QFile::remove(strFile);
    // An empty location keeps the current folder and stores it for the host.
    QCOMPARE(Page()->GetBackUpPath(), strStored.isEmpty() ? strCurrent : QString(strStored).replace('\\', '/'));
    QCOMPARE(CommonUtils::GetSettings("BackUpUIPlugin", "BackupPath"),
             strStored.isEmpty() ? strCurrent : QString("untouched"));
    QCOMPARE(Page()->GetDstPathLabel()->text(), strShown.isEmpty() ? PrepareWizardWidget::ShownPath(strCurrent) : strShown);
    QCOMPARE(Page()->GetDstPathLabel()->toolTip(), Page()->GetBackUpPath());
}

void tst_PrepareWizardWidget::chosenFolderIsTheNextDefault()
{
    Build();
    const QString strChosen = m_env.Path(QStringLiteral("picked with Change"));
    QVERIFY(QDir().mkpath(strChosen));
    // What Change... does with the folder the user picked.
    CommonUtils::SetSettings("BackUpUIPlugin", "BackupPath", strChosen);
    // The next start of the wizard begins there.
    m_wizard.Reset();
    Build();
    Page()->InitialShowCount();
    const QString strShown = Page()->GetBackUpPath();
    QFile::remove(m_env.UserDataDir() + "Location.ini");
    QCOMPARE(strShown, strChosen);
}

void tst_PrepareWizardWidget::spaceWarning_data()
{
    QTest::addColumn<QList<int>>("listChecked");
    QTest::addColumn<qint64>("nFreeOffset"); // free space relative to the need
    QTest::addColumn<bool>("bFits");

    QTest::newRow("contacts, exactly enough") << QList<int>{0} << qint64(0) << true;
    QTest::newRow("contacts, one byte short") << QList<int>{0} << qint64(-1) << false;
    QTest::newRow("media and music, short") << QList<int>{4, 5} << qint64(-1) << false;
    QTest::newRow("nothing, no room at all") << QList<int>{} << qint64(0) << true;
}

void tst_PrepareWizardWidget::spaceWarning()
{
    QFETCH(QList<int>, listChecked);
    QFETCH(qint64, nFreeOffset);
    QFETCH(bool, bFits);
    Build();
    ShowAndCount();
    CheckOnly(listChecked);

    // What the selection needs, from the counting run.
    const CountTable counts = BackUpUIThread::Instance()->GetModuleCounts();
    qint64 nNeed = 0;
    for (int nId : listChecked) {
        const structBackupID entry = counts.value(nId);
        nNeed += (nId == 0 || nId == 6) ? qint64(entry.nProNum) * 1024
                 : nId == 1             ? qint64(entry.nProNum) * 102400
                                        : qint64(quint32(entry.nValue2)) * 1024;
    }
    QCOMPARE(Page()->GetNeedSpace(), nNeed);
    QCOMPARE(nNeed > 0, !listChecked.isEmpty());

    Page()->m_nFree = qMax<qint64>(0, nNeed + nFreeOffset);
    QCOMPARE(Page()->isDiskHasEnoughSpace(), bFits);
    QCOMPARE(Page()->GetSpaceStatusLabel()->isHidden(), bFits);
    QCOMPARE(Page()->GetNoUseSpace(), Page()->m_nFree);
    QString strCapacity = Tr("IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT");
    strCapacity.replace("%s1", PrepareWizardWidget::DriveText(Page()->GetBackUpPath()));
    strCapacity.replace("%s2", Page()->parseValue(Page()->m_nFree));
    QCOMPARE(Page()->GetCapacityLabel()->text(), strCapacity);
    QVERIFY(!strCapacity.contains("%s") && !PrepareWizardWidget::DriveText(Page()->GetBackUpPath()).isEmpty());
}

void tst_PrepareWizardWidget::unwritableDestination_data()
{
    QTest::addColumn<QString>("strDest"); // below the test's folder
    QTest::addColumn<QString>("strReason");
    QTest::addColumn<bool>("bNeedsNonRoot");
    QTest::newRow("a file") << "file" << "Not a directory" << false;
    QTest::newRow("below a file") << "file/sub" << "Not a directory" << false;
    QTest::newRow("read-only folder") << "read-only" << "Permission denied" << true;
}

// A folder that cannot be written is refused on Start with the system's
// reason, before the phone is read (the run would fail every item, as if the
// phone were at fault); another folder then starts as usual.
void tst_PrepareWizardWidget::unwritableDestination()
{
    QFETCH(QString, strDest);
    QFETCH(QString, strReason);
    QFETCH(bool, bNeedsNonRoot);
    if (bNeedsNonRoot && ::geteuid() == 0)
        QSKIP("root writes into every folder");
    QFile file(m_env.Path(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QDir().mkpath(m_env.Path(QStringLiteral("read-only"))));
    QVERIFY(QFile::setPermissions(m_env.Path(QStringLiteral("read-only")), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    Build();
    ShowAndCount();
    CheckOnly({0});
    Page()->m_nFree = qint64(1) << 40;
    Page()->SetBackUpPath(m_env.Path(strDest));
    Page()->GetNextButton()->click();
    QVERIFY(!Page()->isHidden() && m_wizard.pDoing->isHidden());
    QVERIFY(!Page()->GetSpaceStatusLabel()->isHidden());
    QCOMPARE(Page()->GetSpaceStatusLabel()->text(),
             Tr("IDS_BACKUPUIPLUGIN_DSTNOTWRITABLE_TEXT").replace(QStringLiteral("%s"), strReason));
    QVERIFY(BackUpUIThread::Instance()->GetParam().strPath != m_env.Path(strDest));

    const QString strGood = m_env.Path(QStringLiteral("good"));
    Page()->SetBackUpPath(strGood);
    Page()->GetNextButton()->click();
    QVERIFY(Page()->GetSpaceStatusLabel()->isHidden());
    QCOMPARE(BackUpUIThread::Instance()->GetParam().strPath, strGood);
    QVERIFY(WaitForWorker());
}

void tst_PrepareWizardWidget::cancel_data()
{
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<QStringList>("listCalls");

    QTest::newRow("normal") << 0 << QStringList{"ShowPlugin(HomeUIPlugin)"};
    QTest::newRow("update plugin") << 1 << QStringList{"UpdateUIPlugin.OnBackupCancel()", "UpdateUIPlugin.OnBackupClose()"};
    QTest::newRow("rom plugin") << 2 << QStringList{"ShowPlugin(MyToolUIPlugin)"};
}

void tst_PrepareWizardWidget::cancel()
{
    QFETCH(int, nCaller);
    QFETCH(QStringList, listCalls);
    Build();
    BackUpUIBBMgr::GetInstance()->SetOutFuncCaller(nCaller);
    HostCallLog::Clear();
    Page()->GetCancelButton()->click();
    QCOMPARE(HostCallLog::Entries().filter(QRegularExpression("^ShowPlugin\\(|\\.OnBackup")), listCalls);
    QVERIFY(m_wizard.pFrame->isHidden());
}

void tst_PrepareWizardWidget::nextForCaller()
{
    // A plugin asked for the backup: it comes to the front, this page stays,
    // and it hears of the end with the result text.
    Build();
    ShowAndCount();
    const QString strDest = m_env.Path(QStringLiteral("next"));
    QVERIFY(QDir().mkpath(strDest));
    Page()->SetBackUpPath(strDest);
    CheckOnly({0});
    Page()->m_nFree = qint64(1) << 40;
    BackUpUIBBMgr::GetInstance()->SetOutFuncCaller(2);

    BackUpUIThread *pThread = BackUpUIThread::Instance();
    QSignalSpy spyFinish(pThread, &BackUpUIThread::signalsFinish);
    Page()->GetNextButton()->click();
    QCOMPARE(pThread->GetParam().strPath, strDest);
    QVERIFY(pThread->GetParam().items.bPB && !pThread->GetParam().items.bSMS);
    QCOMPARE(m_wizard.pDoing->GetRange(), qint64(pThread->GetProgressTotal()));
    auto romCalls = [this]() {
        QStringList listCalls = m_wizard.pStandIns->Rom()->Calls();
        listCalls.removeAll("ShowWindow()");
        return listCalls;
    };
    QVERIFY(!Page()->isHidden() && m_wizard.pDoing->isHidden());
    QCOMPARE(romCalls(), QStringList({"SetBackupSwitching(true)", "SetBackupSwitching(false)", "OnBackupBegin()"}));
    QVERIFY(spyFinish.count() > 0 || spyFinish.wait(30000));
    QCOMPARE(spyFinish.at(0).at(0).toInt(), 0);
    QVERIFY(WaitForWorker());
    QCOMPARE(QDir(strDest).entryList({"backup_*.zip"}, QDir::Files).size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(romCalls().size(), 4, 60000);
    QVERIFY(romCalls().last().startsWith("OnBackupFinish(" + Tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL")));
}

QTEST_MAIN(tst_PrepareWizardWidget)
#include "tst_preparewizardwidget.moc"
