// The prepare page: tiles filled by a counting run, titles, selection,
// usage record, destination and free space, next and cancel.

#include "BackUpUIBBMgr.h"
#include "BackUpUIThread.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "CustomLabelButton.h"
#include "DoingWizardWidget.h"
#include "PrepareWizardWidget.h"
#include "TestEnv.h"
#include "WaitingBKFrame.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostCallLog.h>

#include <HostBackupRequesterPlugin.h>
#include <HostStandIns.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

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

structBackupID Entry(int nId, int nCount, int nSizeKb = 0)
{
    structBackupID entry;
    entry.nModuleID = nId;
    entry.nProNum = nCount;
    entry.nValue2 = nSizeKb;
    return entry;
}

QString Tr(const char *szKey)
{
    return Change::tr(szKey);
}

QString Sep()
{
    return Tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + " ";
}
} // namespace

using CountTable = QHash<int, structBackupID>;

class tst_PrepareWizardWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void countingFillsTiles();
    void busyHost();
    void tileTitles_data();
    void tileTitles();
    void tileLayout_data();
    void tileLayout();
    void selection_data();
    void selection();
    void usageRecord_data();
    void usageRecord();
    void shownPath_data();
    void shownPath();
    void parseValue_data();
    void parseValue();
    void location_data();
    void location();
    void defaultFolder();
    void spaceWarning_data();
    void spaceWarning();
    void cancel_data();
    void cancel();
    void nextStartsBackup();
    void nextForRequestingPlugin();
    void pictures_data();
    void pictures();

private:
    void BuildPages(const QString &strLang = QStringLiteral("en"));
    void ShowAndCount();
    void CheckOnly(const QList<int> &listIds);
    bool WaitForWorker();

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QWidget> m_pFrame;
    std::unique_ptr<HostStandIns> m_pStandIns;
    FakeSpacePage *m_pPrepare = nullptr;
    DoingWizardWidget *m_pDoing = nullptr;
    CompleteWizardWidget *m_pResult = nullptr;
};

void tst_PrepareWizardWidget::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
}

void tst_PrepareWizardWidget::init()
{
    HostCallLog::Clear();
    CommonUtils::SetOperationStatus(0, 0);
}

void tst_PrepareWizardWidget::cleanup()
{
    QVERIFY(WaitForWorker());
    QCoreApplication::processEvents();
    m_pFrame.reset();
    m_pStandIns.reset();
    BackUpUIBBMgr::DestroyInstance();
    CommonUtils::SetOperationStatus(0, 0);
    qApp->setStyleSheet(QString());
}

void tst_PrepareWizardWidget::cleanupTestCase()
{
    BackUpUIThread::DestroyInstance();
}

bool tst_PrepareWizardWidget::WaitForWorker()
{
    BackUpUIThread *pThread = BackUpUIThread::ExistingInstance();
    return !pThread || pThread->wait(QDeadlineTimer(30000));
}

void tst_PrepareWizardWidget::BuildPages(const QString &strLang)
{
    LangScope lang(strLang);
    m_pFrame = std::make_unique<QWidget>();
    m_pFrame->setObjectName("BackUpUIPlugin_MainWidget");
    m_pFrame->setFixedSize(896, 640);
    m_pStandIns = std::make_unique<HostStandIns>();
    m_pStandIns->Install(m_pFrame.get());
    QVERIFY(BackUpUIBBMgr::GetInstance());
    m_pPrepare = new FakeSpacePage(m_pFrame.get());
    m_pDoing = new DoingWizardWidget(m_pFrame.get());
    m_pResult = new CompleteWizardWidget(m_pFrame.get());
    m_pPrepare->InitPage();
    m_pDoing->InitPage();
    m_pResult->InitPage();
    m_pPrepare->SetNeighbourPages(nullptr, m_pDoing);
    m_pDoing->SetNeighbourPages(m_pPrepare, m_pResult);
    m_pResult->SetNeighbourPages(m_pDoing, nullptr);
    m_pDoing->hide();
    m_pResult->hide();
    m_pFrame->show();
}

void tst_PrepareWizardWidget::ShowAndCount()
{
    QVERIFY(WaitForWorker());
    m_pPrepare->ShowPage();
    QVERIFY(!m_pPrepare->GetWaitingFrame()->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(m_pPrepare->GetWaitingFrame()->isHidden(), 30000);
    QVERIFY(WaitForWorker());
}

void tst_PrepareWizardWidget::CheckOnly(const QList<int> &listIds)
{
    const QHash<int, CheckBigButton *> &tiles = m_pPrepare->GetBigButtons();
    for (auto it = tiles.cbegin(); it != tiles.cend(); ++it)
        it.value()->SetChecked(listIds.contains(it.key()));
}

void tst_PrepareWizardWidget::countingFillsTiles()
{
    BuildPages();
    const QHash<int, CheckBigButton *> &tiles = m_pPrepare->GetBigButtons();
    QCOMPARE(tiles.size(), 7);
    // Before counting the "other" tile lists its configured sub-items.
    const QString strDefaultOther = "(" + Tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + Sep()
                                    + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT") + Sep()
                                    + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT") + Sep()
                                    + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_BOOKMARK_TEXT") + ")";
    QCOMPARE(m_pPrepare->GetOtherItems(), strDefaultOther);

    ShowAndCount();
    const CountTable counts = BackUpUIThread::Instance()->GetModuleCounts();
    QVERIFY(!counts.isEmpty());
    for (auto it = tiles.cbegin(); it != tiles.cend(); ++it) {
        const int nId = it.key();
        QVERIFY2(counts.contains(nId), qPrintable(QString::number(nId)));
        const int nCount = counts.value(nId).nProNum;
        QCOMPARE(it.value()->isEnabled(), nCount > 0);
        const QList<QLabel *> listNum = it.value()->findChildren<QLabel *>(QRegularExpression("_Num$"));
        QCOMPARE(listNum.size(), 1);
        QLabel *pNum = listNum.first();
        QCOMPARE(pNum->text(), QString::number(qMax(0, nCount)));
    }
    // The sample phone holds SMS and MMS, call log, e-mail and calendar.
    QCOMPARE(tiles.value(1)->GetTitle(), Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT"));
    QCOMPARE(tiles.value(0)->GetTitle(), Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_CONTACTS_TEXT"));
    QLabel *pOther = tiles.value(6)->findChild<QLabel *>("BackUpUIPlugin_BigButton_Other_OtherContent");
    QVERIFY(pOther);
    QCOMPARE(pOther->text(), m_pPrepare->GetTileText(6, counts));
    QVERIFY(pOther->text().contains(Tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT")));
    // Default selection from the configuration.
    QVERIFY(tiles.value(0)->IsChecked());
    QVERIFY(!tiles.value(4)->IsChecked());
}

void tst_PrepareWizardWidget::busyHost()
{
    BuildPages();
    QVERIFY(WaitForWorker());
    CommonUtils::SetOperationStatus(0, 3);
    QSignalSpy spyCount(BackUpUIThread::Instance(), &BackUpUIThread::signalsPluginCount);
    m_pPrepare->ShowPage();
    QVERIFY(m_pPrepare->GetStatusTimer()->isActive());
    QCOMPARE(m_pPrepare->GetStatusTimer()->interval(), 1000);
    QVERIFY(!m_pPrepare->IsStatusDone());
    QVERIFY(!m_pPrepare->GetWaitingFrame()->isHidden());
    QVERIFY(!BackUpUIThread::Instance()->isRunning());

    // Still busy: the poll goes on.
    m_pPrepare->soltGetStatusThread();
    QVERIFY(m_pPrepare->GetStatusTimer()->isActive());
    QCOMPARE(spyCount.count(), 0);

    CommonUtils::SetOperationStatus(0, 0);
    m_pPrepare->soltGetStatusThread();
    QVERIFY(!m_pPrepare->GetStatusTimer()->isActive());
    QVERIFY(m_pPrepare->IsStatusDone());
    QTRY_VERIFY_WITH_TIMEOUT(m_pPrepare->GetWaitingFrame()->isHidden(), 30000);
    QCOMPARE(spyCount.count(), 1);

    // The host releasing the phone stops both timers.
    m_pPrepare->GetCountTimer()->start(500);
    m_pPrepare->StopTimers();
    QVERIFY(!m_pPrepare->GetCountTimer()->isActive());
    QVERIFY(!m_pPrepare->GetStatusTimer()->isActive());
}

void tst_PrepareWizardWidget::tileTitles_data()
{
    QTest::addColumn<int>("nId");
    QTest::addColumn<CountTable>("counts");
    QTest::addColumn<QString>("strTitle"); // "<default other>": the configured list

    const QString strMessages = Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_INFORMATION_TEXT");
    const QString strMedia = Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_IMAGEVEDIO_TEXT");
    QTest::newRow("SMS only") << 1 << CountTable{{24, Entry(24, 5)}, {27, Entry(27, 0)}}
                              << Tr("IDS_VIRTUAL_SMSNAME_IDENTIFER");
    QTest::newRow("MMS only") << 1 << CountTable{{24, Entry(24, 0)}, {27, Entry(27, 2)}}
                              << Tr("IDS_VIRTUAL_CORE_MMSTEXT");
    QTest::newRow("both messages") << 1 << CountTable{{24, Entry(24, 5)}, {27, Entry(27, 2)}} << strMessages;
    QTest::newRow("no messages") << 1 << CountTable{{24, Entry(24, 0)}, {27, Entry(27, 0)}} << strMessages;
    QTest::newRow("SMS, MMS not counted") << 1 << CountTable{{24, Entry(24, 5)}} << strMessages;
    QTest::newRow("images only") << 4 << CountTable{{25, Entry(25, 9)}, {26, Entry(26, 0)}}
                                 << Tr("IDS_VIRTUAL_IMAGEINFO_CORE");
    QTest::newRow("videos only") << 4 << CountTable{{25, Entry(25, 0)}, {26, Entry(26, 1)}}
                                 << Tr("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT");
    QTest::newRow("images and videos") << 4 << CountTable{{25, Entry(25, 9)}, {26, Entry(26, 1)}} << strMedia;
    QTest::newRow("other, all three") << 6
                                      << CountTable{{21, Entry(21, 3)}, {22, Entry(22, 1)}, {23, Entry(23, 4)}}
                                      << "(" + Tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + Sep()
                                             + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT") + Sep()
                                             + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT") + ")";
    QTest::newRow("other, call log and calendar")
        << 6 << CountTable{{21, Entry(21, 3)}, {22, Entry(22, 0)}, {23, Entry(23, 4)}}
        << "(" + Tr("IDS_BACKUPUIPLUGIN_CORE_CALLLOG_TEXT") + Sep() + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_SCHEDULE_TEXT")
               + ")";
    QTest::newRow("other, e-mail only") << 6 << CountTable{{22, Entry(22, 2)}}
                                        << "(" + Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_EMAIL_TEXT") + ")";
    QTest::newRow("other, all zero keeps the list")
        << 6 << CountTable{{21, Entry(21, 0)}, {22, Entry(22, 0)}, {23, Entry(23, 0)}} << "<default other>";
    QTest::newRow("contacts have no special title") << 0 << CountTable{{0, Entry(0, 40)}} << "";
}

void tst_PrepareWizardWidget::tileTitles()
{
    QFETCH(int, nId);
    QFETCH(CountTable, counts);
    QFETCH(QString, strTitle);
    BuildPages();
    if (strTitle == "<default other>")
        strTitle = m_pPrepare->GetOtherItems();
    QCOMPARE(m_pPrepare->GetTileText(nId, counts), strTitle);
}

void tst_PrepareWizardWidget::tileLayout_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<QList<QPoint>>("listTiles"); // ids 0, 1, 3, 4, 5, 29, 6
    QTest::addColumn<QList<QPoint>>("listWidgets"); // caption, path, capacity, warning, browse, next, cancel

    QTest::newRow("left to right") << "en"
                                   << QList<QPoint>{{124, 176}, {245, 176}, {366, 176}, {487, 176}, {608, 176},
                                                    {124, 306}, {245, 306}}
                                   << QList<QPoint>{{143, 477}, {143, 508}, {143, 525}, {143, 542}, {681, 507},
                                                    {330, 566}, {450, 566}};
    QTest::newRow("right to left") << "ar"
                                   << QList<QPoint>{{648, 176}, {527, 176}, {406, 176}, {285, 176}, {164, 176},
                                                    {403, 306}, {524, 306}}
                                   << QList<QPoint>{{223, 477}, {223, 508}, {223, 525}, {223, 542}, {99, 507},
                                                    {450, 566}, {330, 566}};
}

void tst_PrepareWizardWidget::tileLayout()
{
    QFETCH(QString, strLang);
    QFETCH(QList<QPoint>, listTiles);
    QFETCH(QList<QPoint>, listWidgets);
    BuildPages(strLang);

    const QList<int> listIds = {0, 1, 3, 4, 5, 29, 6};
    const QHash<int, CheckBigButton *> &tiles = m_pPrepare->GetBigButtons();
    for (int i = 0; i < listIds.size(); ++i)
        QCOMPARE(tiles.value(listIds.at(i))->pos(), listTiles.at(i));
    QCOMPARE(tiles.value(6)->width(), 248);

    // Tiles overlap their neighbours by their shadow at most: 3 px beside
    // each other, 5 px between the rows.
    for (CheckBigButton *pFirst : tiles) {
        for (CheckBigButton *pSecond : tiles) {
            if (pFirst == pSecond)
                continue;
            const QRect rectOverlap = pFirst->geometry().intersected(pSecond->geometry());
            QVERIFY2(rectOverlap.isEmpty() || rectOverlap.width() <= 3 || rectOverlap.height() <= 5,
                     qPrintable(QString("%1 and %2").arg(pFirst->GetItem().nId).arg(pSecond->GetItem().nId)));
        }
    }

    const QList<QWidget *> listShown = {m_pPrepare->GetDstLabel(),       m_pPrepare->GetDstPathLabel(),
                                        m_pPrepare->GetCapacityLabel(),  m_pPrepare->GetSpaceStatusLabel(),
                                        m_pPrepare->GetBrowseButton(),   m_pPrepare->GetNextButton(),
                                        m_pPrepare->GetCancelButton()};
    for (int i = 0; i < listShown.size(); ++i)
        QCOMPARE(listShown.at(i)->pos(), listWidgets.at(i));
    QCOMPARE(m_pPrepare->GetDescriptionLabel()->pos(), QPoint(131, 122));
    QCOMPARE(m_pPrepare->GetHeader()->pos(), strLang == "ar" ? QPoint(593, 41) : QPoint(27, 41));
    QCOMPARE(m_pPrepare->GetSpaceStatusLabel()->width(), 530);
    QCOMPARE(m_pPrepare->GetBrowseButton()->focusPolicy(), Qt::NoFocus);
    QCOMPARE(m_pPrepare->GetWaitingFrame()->size(), QSize(896, 640));
}

void tst_PrepareWizardWidget::selection_data()
{
    QTest::addColumn<QList<int>>("listChecked");
    QTest::addColumn<QList<int>>("listSlots"); // BackupItems slots set

    QTest::newRow("nothing") << QList<int>{} << QList<int>{};
    QTest::newRow("contacts") << QList<int>{0} << QList<int>{1};
    QTest::newRow("messages") << QList<int>{1} << QList<int>{0, 8};
    QTest::newRow("application data") << QList<int>{3} << QList<int>{4};
    QTest::newRow("images and videos") << QList<int>{4} << QList<int>{9, 10};
    QTest::newRow("music") << QList<int>{5} << QList<int>{11};
    QTest::newRow("other records, never bookmarks") << QList<int>{6} << QList<int>{2, 5, 6};
    QTest::newRow("applications") << QList<int>{29} << QList<int>{3};
    QTest::newRow("everything") << QList<int>{0, 1, 3, 4, 5, 6, 29}
                                << QList<int>{0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11};
}

void tst_PrepareWizardWidget::selection()
{
    QFETCH(QList<int>, listChecked);
    QFETCH(QList<int>, listSlots);
    BuildPages();
    CheckOnly(listChecked);
    const BackupItems items = m_pPrepare->GetBackupOjectType();
    for (int nSlot = 0; nSlot < BackupItems::kSlots; ++nSlot)
        QCOMPARE(items.Slot(nSlot), listSlots.contains(nSlot));
    QCOMPARE(m_pPrepare->IsNothingSelected(), listSlots.isEmpty());
}

void tst_PrepareWizardWidget::usageRecord_data()
{
    QTest::addColumn<QList<int>>("listChecked");
    QTest::addColumn<QString>("strItems");

    QTest::newRow("nothing") << QList<int>{} << "backup:;";
    QTest::newRow("images and videos") << QList<int>{4} << "backup:picture&video;";
    QTest::newRow("contacts") << QList<int>{0} << "backup:contacts;";
    QTest::newRow("everything") << QList<int>{0, 1, 3, 4, 5, 6, 29}
                                << "backup:contacts&message&mms&schedule&callRecords&application&applicationData&"
                                   "music&picture&video;";
}

void tst_PrepareWizardWidget::usageRecord()
{
    QFETCH(QList<int>, listChecked);
    QFETCH(QString, strItems);
    BuildPages();
    ShowAndCount();
    CheckOnly(listChecked);
    QCOMPARE(PrepareWizardWidget::UsageItems(m_pPrepare->GetBackupOjectType()), strItems);

    // No room anywhere: "next" records the use and stays.
    m_pPrepare->m_nFree = 0;
    HostCallLog::Clear();
    m_pPrepare->GetNextButton()->click();
    QStringList listRecords;
    for (const QString &strEntry : HostCallLog::Entries()) {
        if (strEntry.startsWith("setListPipeItem("))
            listRecords << strEntry;
    }
    QCOMPARE(listRecords.size(), 1);
    const QString strRecord = listRecords.first();
    QVERIFY2(strRecord.startsWith("setListPipeItem(7,20109,cfields=time="), qPrintable(strRecord));
    QVERIFY2(strRecord.endsWith(";" + strItems + CommonUtils::getPhoneTypeAndImei() + ")"), qPrintable(strRecord));
    QVERIFY(!m_pPrepare->isHidden());
    QVERIFY(m_pDoing->isHidden());
    QVERIFY(!BackUpUIThread::Instance()->isRunning());
    // Nothing selected needs no room and still does not start anything.
    QCOMPARE(m_pPrepare->GetSpaceStatusLabel()->isHidden(), listChecked.isEmpty());
}

void tst_PrepareWizardWidget::shownPath_data()
{
    QTest::addColumn<QString>("strPath");
    QTest::addColumn<QString>("strShown");

    const QString str50 = "/home/user/" + QString(39, 'a');
    QTest::newRow("short") << "/tmp/backup" << "/tmp/backup";
    QTest::newRow("49 characters") << str50.left(49) << str50.left(49);
    QTest::newRow("50 characters") << str50 << str50;
    QTest::newRow("51 characters") << str50 + "b" << str50 + "....";
    QTest::newRow("80 characters") << str50 + QString(30, 'c') << str50 + "....";
}

void tst_PrepareWizardWidget::shownPath()
{
    QFETCH(QString, strPath);
    QFETCH(QString, strShown);
    QCOMPARE(strPath.size() <= 50, strShown == strPath);
    QCOMPARE(PrepareWizardWidget::ShownPath(strPath), strShown);

    // The label shows the cut text and keeps the whole path as tool tip.
    BuildPages();
    QString strFile = m_pEnv->UserDataDir() + "Location.ini";
    {
        QSettings settings(strFile, QSettings::IniFormat);
        settings.setValue("location/backup_lacation", strPath);
    }
    m_pPrepare->InitialShowCount();
    QFile::remove(strFile);
    QCOMPARE(m_pPrepare->GetDstPathLabel()->text(), strShown);
    QCOMPARE(m_pPrepare->GetDstPathLabel()->toolTip(), strPath);
}

void tst_PrepareWizardWidget::parseValue_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::addColumn<qint64>("nBytes");
    QTest::addColumn<QString>("strNumber");
    QTest::addColumn<QString>("strUnitKey");

    const qint64 nGB = qint64(1) << 30;
    QTest::newRow("0") << "en" << qint64(0) << "0" << "IDS_CORE_UNIT_B";
    QTest::newRow("negative") << "en" << qint64(-5) << "-5" << "IDS_CORE_UNIT_B";
    QTest::newRow("1023") << "en" << qint64(1023) << "1023" << "IDS_CORE_UNIT_B";
    QTest::newRow("1024") << "en" << qint64(1024) << "1" << "IDS_CORE_UNIT_KB";
    QTest::newRow("1048575") << "en" << qint64(1048575) << "1023" << "IDS_CORE_UNIT_KB";
    QTest::newRow("1 MB") << "en" << qint64(1048576) << "1.00" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.5 MB") << "en" << qint64(1572864) << "1.50" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.5 MB, ru") << "ru" << qint64(1572864) << "1" << "IDS_CORE_UNIT_MB";
    QTest::newRow("just under 1 GB") << "en" << nGB - 1 << "1024.00" << "IDS_CORE_UNIT_MB";
    QTest::newRow("1.5 GB") << "en" << nGB + nGB / 2 << "1.50" << "IDS_CORE_UNIT_GB";
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
    QTest::addColumn<QString>("strRead"); // "<current>": the page's folder

    QTest::newRow("backslashes become slashes") << true << "D:\\Backups\\phone" << "D:/Backups/phone";
    QTest::newRow("a plain folder") << true << "/srv/backups" << "/srv/backups";
    QTest::newRow("non-ASCII folder") << true << QString::fromUtf8("/home/u/Резервные копии")
                                      << QString::fromUtf8("/home/u/Резервные копии");
    QTest::newRow("empty value") << true << "" << "<current>";
    QTest::newRow("no location file") << false << "" << "<current>";
}

void tst_PrepareWizardWidget::location()
{
    QFETCH(bool, bFile);
    QFETCH(QString, strStored);
    QFETCH(QString, strRead);

    BuildPages();
    const QString strFile = m_pEnv->UserDataDir() + "Location.ini";
    if (bFile) {
        QSettings settings(strFile, QSettings::IniFormat);
        settings.setValue("location/backup_lacation", strStored);
    }
    m_pPrepare->SetBackUpPath(m_pEnv->Path("current"));
    CommonUtils::SetSettings("BackUpUIPlugin", "BackupPath", "untouched");
    const QString strResult = m_pPrepare->ReadBackupLocation();
    QFile::remove(strFile);

    if (strRead == "<current>") {
        QCOMPARE(strResult, m_pEnv->Path("current"));
        QCOMPARE(CommonUtils::GetSettings("BackUpUIPlugin", "BackupPath"), m_pEnv->Path("current"));
    } else {
        QCOMPARE(strResult, strRead);
        QCOMPARE(CommonUtils::GetSettings("BackUpUIPlugin", "BackupPath"), QString("untouched"));
    }
}

void tst_PrepareWizardWidget::defaultFolder()
{
    BuildPages();
    const QString strExpected = CommonUtils::GetFilePath() + QDir::separator() + "Pelorix" + QDir::separator()
                                + "backup";
    QVERIFY(m_pPrepare->CreateBackUpPath());
    QCOMPARE(m_pPrepare->GetBackUpPath(), strExpected);
    QVERIFY(QFileInfo(strExpected).isDir());
    // Without a location file the page shows the default folder.
    QCOMPARE(m_pPrepare->GetDstPathLabel()->toolTip(), QDir::fromNativeSeparators(strExpected));
}

void tst_PrepareWizardWidget::spaceWarning_data()
{
    QTest::addColumn<QList<int>>("listChecked");
    QTest::addColumn<qint64>("nFreeOffset"); // free space relative to the need
    QTest::addColumn<bool>("bFits");

    QTest::newRow("contacts, exactly enough") << QList<int>{0} << qint64(0) << true;
    QTest::newRow("contacts, one byte short") << QList<int>{0} << qint64(-1) << false;
    QTest::newRow("messages, plenty") << QList<int>{1} << qint64(1) << true;
    QTest::newRow("messages, short") << QList<int>{1} << qint64(-1024) << false;
    QTest::newRow("media and music, short") << QList<int>{4, 5} << qint64(-1) << false;
    QTest::newRow("everything, enough") << QList<int>{0, 1, 3, 4, 5, 6, 29} << qint64(0) << true;
    QTest::newRow("nothing, no room at all") << QList<int>{} << qint64(0) << true;
}

void tst_PrepareWizardWidget::spaceWarning()
{
    QFETCH(QList<int>, listChecked);
    QFETCH(qint64, nFreeOffset);
    QFETCH(bool, bFits);

    BuildPages();
    ShowAndCount();
    CheckOnly(listChecked);

    // What the selection needs, from the counting run.
    const CountTable counts = BackUpUIThread::Instance()->GetModuleCounts();
    qint64 nNeed = 0;
    for (int nId : listChecked) {
        const structBackupID entry = counts.value(nId);
        if (nId == 0 || nId == 6)
            nNeed += qint64(entry.nProNum) * 1024;
        else if (nId == 1)
            nNeed += qint64(entry.nProNum) * 102400;
        else
            nNeed += qint64(quint32(entry.nValue2)) * 1024;
    }
    QCOMPARE(m_pPrepare->GetNeedSpace(), nNeed);
    if (!listChecked.isEmpty())
        QVERIFY(nNeed > 0);

    m_pPrepare->m_nFree = qMax<qint64>(0, nNeed + nFreeOffset);
    QCOMPARE(m_pPrepare->isDiskHasEnoughSpace(), bFits);
    QCOMPARE(m_pPrepare->GetSpaceStatusLabel()->isHidden(), bFits);
    QCOMPARE(m_pPrepare->GetNoUseSpace(), m_pPrepare->m_nFree);

    QString strCapacity = Tr("IDS_BACKUPUIPLUGIN_DSTDISCCAPACITY_TEXT");
    strCapacity.replace("%s1", PrepareWizardWidget::DriveText(m_pPrepare->GetBackUpPath()));
    strCapacity.replace("%s2", m_pPrepare->parseValue(m_pPrepare->m_nFree));
    QCOMPARE(m_pPrepare->GetCapacityLabel()->text(), strCapacity);
    QVERIFY(!strCapacity.contains("%s"));
}

void tst_PrepareWizardWidget::cancel_data()
{
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<QStringList>("listCalls");

    QTest::newRow("normal") << 0 << QStringList{"ShowPlugin(HomeUIPlugin)"};
    QTest::newRow("update plugin") << 1
                                   << QStringList{"UpdateUIPlugin.OnBackupCancel()", "UpdateUIPlugin.OnBackupClose()"};
    QTest::newRow("rom plugin") << 2 << QStringList{"ShowPlugin(MyToolUIPlugin)"};
}

void tst_PrepareWizardWidget::cancel()
{
    QFETCH(int, nCaller);
    QFETCH(QStringList, listCalls);

    BuildPages();
    BackUpUIBBMgr::GetInstance()->SetOutFuncCaller(nCaller);
    HostCallLog::Clear();
    m_pPrepare->GetCancelButton()->click();

    QStringList listSeen;
    for (const QString &strEntry : HostCallLog::Entries()) {
        if (strEntry.startsWith("ShowPlugin(") || strEntry.contains(".OnBackup"))
            listSeen << strEntry;
    }
    QCOMPARE(listSeen, listCalls);
    QVERIFY(m_pFrame->isHidden());
}

void tst_PrepareWizardWidget::nextStartsBackup()
{
    BuildPages();
    ShowAndCount();
    const QString strDest = m_pEnv->Path("next");
    QVERIFY(QDir().mkpath(strDest));
    m_pPrepare->SetBackUpPath(strDest);
    CheckOnly({0});
    m_pPrepare->m_nFree = qint64(1) << 40;

    BackUpUIThread *pThread = BackUpUIThread::Instance();
    QSignalSpy spyFinish(pThread, &BackUpUIThread::signalsFinish);
    m_pPrepare->GetNextButton()->click();

    QVERIFY(m_pPrepare->isHidden());
    QVERIFY(!m_pDoing->isHidden());
    const BackUpThreadParam param = pThread->GetParam();
    QVERIFY(param.nMode == 1 || param.nMode == 0); // 0 once the job is over
    QCOMPARE(m_pDoing->GetRange(), qint64(pThread->GetProgressTotal()));
    QVERIFY(m_pDoing->GetRange() > 0);
    QVERIFY(spyFinish.count() > 0 || spyFinish.wait(30000));
    QCOMPARE(spyFinish.at(0).at(0).toInt(), 0);
    QVERIFY(WaitForWorker());
    QCOMPARE(QDir(strDest).entryList({"backup_*.zip"}, QDir::Files).size(), 1);
    QVERIFY(m_pDoing->IsBackupFinished() || spyFinish.count() == 1);
}

void tst_PrepareWizardWidget::nextForRequestingPlugin()
{
    BuildPages();
    ShowAndCount();
    const QString strDest = m_pEnv->Path("rom");
    QVERIFY(QDir().mkpath(strDest));
    m_pPrepare->SetBackUpPath(strDest);
    CheckOnly({0});
    m_pPrepare->m_nFree = qint64(1) << 40;
    BackUpUIBBMgr::GetInstance()->SetOutFuncCaller(2);

    QSignalSpy spyFinish(BackUpUIThread::Instance(), &BackUpUIThread::signalsFinish);
    m_pPrepare->GetNextButton()->click();
    // The requesting plugin comes to the front; this page stays.
    QVERIFY(!m_pPrepare->isHidden());
    QVERIFY(m_pDoing->isHidden());
    auto romCalls = [this]() {
        QStringList listCalls = m_pStandIns->Rom()->Calls();
        listCalls.removeAll("ShowWindow()");
        return listCalls;
    };
    QCOMPARE(romCalls(), QStringList({"SetBackupSwitching(true)", "SetBackupSwitching(false)", "OnBackupBegin()"}));
    QVERIFY(spyFinish.count() > 0 || spyFinish.wait(30000));
    QTRY_COMPARE(romCalls().size(), 4);
    QVERIFY(romCalls().last().startsWith("OnBackupFinish("
                                                          + Tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL")));
    QVERIFY(m_pStandIns->Update()->Calls().isEmpty());
}

void tst_PrepareWizardWidget::pictures_data()
{
    QTest::addColumn<QString>("strLang");
    QTest::newRow("en") << "en";
    QTest::newRow("ar") << "ar";
}

void tst_PrepareWizardWidget::pictures()
{
    QFETCH(QString, strLang);
    LangScope lang(strLang);
    QDir::setCurrent(QStringLiteral(BACKUP_STAGE_DIR));
    QFile file(QStringLiteral(BACKUP_STAGE_DIR "/skin/default/backup.qss"));
    if (file.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));

    BuildPages(strLang);
    ShowAndCount();
    m_pPrepare->GetSpaceStatusLabel()->show();
    QCoreApplication::processEvents();
    const QString strFile = QDir(TestEnv::OutputDir()).filePath("prepare_" + strLang + ".png");
    QVERIFY(m_pFrame->grab().save(strFile));

    for (QWidget *pChild : m_pPrepare->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!pChild->isHidden())
            QVERIFY2(QRect(0, 0, 896, 640).contains(pChild->geometry()), qPrintable(pChild->objectName()));
    }
}

QTEST_MAIN(tst_PrepareWizardWidget)
#include "tst_preparewizardwidget.moc"
