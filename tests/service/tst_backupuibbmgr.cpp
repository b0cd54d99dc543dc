// The outside backup manager: tip lines, result texts, the finish record and
// the calls to a plugin that asked for the backup.

#include "BackupKinds.h"
#include "BackUpUIBBMgr.h"
#include "BackUpUIConfigParse.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "Factory.h"
#include "TestEnv.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostCallLog.h>

#include <HostBackupRequesterPlugin.h>
#include <HostStandIns.h>

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace
{
// Every main item and sub-item, under keys of their own.
const char *const kFullConfig = R"(<config><layout mode="BackUpUIPlugin">
<Common id="0" name="K_CONTACTS" enable="1"/>
<Common id="1" name="K_MESSAGES" enable="1"/>
<Common id="29" name="K_APPS" enable="0"/>
<Common id="3" name="K_APPDATA" enable="0"/>
<Common id="4" name="K_MEDIA" enable="0"/>
<Common id="5" name="K_MUSIC" enable="0"/>
<Common id="6" name="K_OTHER" enable="1"/>
<Child id="21" name="K_CALLLOG" enable="1"/>
<Child id="22" name="K_EMAIL" enable="1"/>
<Child id="23" name="K_CALENDAR" enable="1"/>
<Child id="24" name="K_SMS" enable="1"/>
<Child id="25" name="K_IMAGES" enable="0"/>
<Child id="26" name="K_VIDEOS" enable="0"/>
<Child id="27" name="K_MMS" enable="1"/>
<Child id="28" name="K_BOOKMARKS" enable="1"/>
</layout></config>
)";

// Contacts and messages only, without the SMS sub-item.
const char *const kSparseConfig = R"(<config><layout mode="BackUpUIPlugin">
<Common id="0" name="K_CONTACTS" enable="1"/>
<Common id="1" name="K_MESSAGES" enable="1"/>
<Child id="27" name="K_MMS" enable="1"/>
</layout></config>
)";

QString Tr(const char *szKey)
{
    return Change::tr(szKey);
}

QString Filled(const char *szKey, const QStringList &listPlaceholders, const QStringList &listValues)
{
    QString strText = Tr(szKey);
    for (int i = 0; i < listPlaceholders.size(); ++i)
        strText.replace(listPlaceholders.at(i), listValues.at(i));
    return strText;
}

QStringList Names(const QStringList &listKeys)
{
    QStringList listNames;
    for (const QString &strKey : listKeys)
        listNames << Change::tr(strKey);
    return listNames;
}
} // namespace

class tst_BackUpUIBBMgr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void moduleInfo_data();
    void moduleInfo();
    void resultTexts_data();
    void resultTexts();
    void tipInfo_data();
    void tipInfo();
    void arabicList();
    void finish_data();
    void finish();
    void showCaller_data();
    void showCaller();

private:
    // Loads a configuration from a host root of its own and rebuilds the
    // manager (it copies the item tables when it is created).
    void UseConfig(const char *szXml);

    TestEnv m_env;
    QTemporaryDir m_root;
    QByteArray m_baStageRoot;
    std::unique_ptr<QWidget> m_pFrame;
    CompleteWizardWidget *m_pResult = nullptr;
    QLabel *m_pTipLabel = nullptr;
    BackUpUIBBMgr *m_pMgr = nullptr;
};

void tst_BackUpUIBBMgr::initTestCase()
{
    QVERIFY2(m_env.IsValid() && m_root.isValid(), "no temporary folder");
    m_baStageRoot = qgetenv("PELORIX_HOST_ROOT");
    QVERIFY(QDir(m_root.path()).mkpath("plugins/BackUpUIPlugin"));
    // The host's translations, so that texts read the same under both roots.
    QVERIFY(QFile::link(QString::fromUtf8(m_baStageRoot) + "/translations", m_root.filePath("translations")));
}

void tst_BackUpUIBBMgr::UseConfig(const char *szXml)
{
    QFile file(m_root.filePath("plugins/BackUpUIPlugin/BackupConfig.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(szXml);
    file.close();
    qputenv("PELORIX_HOST_ROOT", m_root.path().toUtf8());
    QVERIFY(BackUpUIConfigParse::GetInstance()->LoadFile());
    BackUpUIBBMgr::DestroyInstance();
    m_pMgr = BackUpUIBBMgr::GetInstance();
    m_pMgr->SetCompleteWidget(m_pResult);
    m_pMgr->SetCompleteWidget(nullptr); // ignored
    m_pMgr->SetProgressTipLabel(m_pTipLabel);
}

void tst_BackUpUIBBMgr::init()
{
    m_pFrame = std::make_unique<QWidget>();
    m_pResult = new CompleteWizardWidget(m_pFrame.get());
    m_pResult->InitPage();
    m_pTipLabel = new QLabel(m_pFrame.get());
    UseConfig(kFullConfig);
    HostCallLog::Clear();
}

void tst_BackUpUIBBMgr::cleanup()
{
    BackUpUIBBMgr::DestroyInstance();
    m_pFrame.reset();
    CommonUtils::SetLayoutPlugin(nullptr);
    qputenv("PELORIX_HOST_ROOT", m_baStageRoot);
}

void tst_BackUpUIBBMgr::cleanupTestCase()
{
    BackUpUIConfigParse::GetInstance()->LoadFile();
}

void tst_BackUpUIBBMgr::moduleInfo_data()
{
    QTest::addColumn<int>("nState");
    QTest::addColumn<int>("nModule");
    QTest::addColumn<int>("nDone");
    QTest::addColumn<int>("nAll");
    QTest::addColumn<QString>("strExpected");

    const char *szPro = "IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO";
    const QStringList listPro = {"%s1", "%s2", "%s3"};
    QTest::newRow("start of a tile's module")
        << 0 << 0 << 0 << 0 << Filled("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT", {"%s1"}, {Tr("K_CONTACTS")});
    QTest::newRow("start of a module without tile")
        << 0 << 5 << 0 << 0 << Filled("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT", {"%s1"}, {""});
    QTest::newRow("music 3 of 10") << 1 << 5 << 3 << 10
                                   << Filled(szPro, listPro, {Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT"), "3", "10"});
    QTest::newRow("application data") << 1 << 3 << 7 << 7
                                      << Filled(szPro, listPro, {Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT"), "7", "7"});
    QTest::newRow("record module has no name") << 1 << 0 << 4 << 40 << Filled(szPro, listPro, {"", "4", "40"});
    QTest::newRow("transfer status changes nothing") << 5 << 0 << 0 << 0 << "previous";
}

void tst_BackUpUIBBMgr::moduleInfo()
{
    QFETCH(int, nState);
    QFETCH(int, nModule);
    QFETCH(int, nDone);
    QFETCH(int, nAll);
    QFETCH(QString, strExpected);

    PluginInfo info;
    info.strName = "K_CONTACTS";
    auto pTile = std::make_unique<CheckBigButton>(info);
    m_pMgr->SetBigButtons({{0, pTile.get()}});
    m_pTipLabel->setText("previous");

    structBackupID record;
    record.nModuleID = nModule;
    record.nProNum = nDone;
    record.nAllNum = nAll;
    record.nState = nState;
    m_pMgr->slotsModuleInfo(record);
    QCOMPARE(m_pTipLabel->text(), strExpected);
    QVERIFY(!strExpected.contains("%s"));

    // Tiles and label that are gone are skipped, not used.
    pTile.reset();
    delete m_pTipLabel;
    m_pTipLabel = nullptr;
    m_pMgr->slotsModuleInfo(record);
}

void tst_BackUpUIBBMgr::resultTexts_data()
{
    QTest::addColumn<QByteArray>("baConfig");
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strValue");
    QTest::addColumn<bool>("bFailedItems"); // headline and result text set
    QTest::addColumn<QString>("strNotesKept"); // "c": the contacts note, "a": the applications note

    const QByteArray baFull(kFullConfig);
    const QByteArray baSparse(kSparseConfig);
    QTest::newRow("success") << baFull << 0 << "" << false << "ca";
    // Names are listed with the language's separator and a blank.
    const QString strSep = Tr("IDS_BACKUPUIPLUGIN_COMMON_SIGN_DUNHAO") + QLatin1Char(' ');
    QTest::newRow("contacts and sms") << baFull << 0x3 << Names({"K_CONTACTS", "K_SMS"}).join(strSep) << true << "a";
    QTest::newRow("applications and data") << baFull << 0x840 << Names({"K_APPS", "K_APPDATA"}).join(strSep) << true << "c";
    QTest::newRow("application data keeps the note") << baFull << 0x800 << Tr("K_APPDATA") << true << "ca";
    QTest::newRow("everything, in order")
        << baFull << 0xFFF
        << Names({"K_CONTACTS", "K_SMS", "K_MMS", "K_APPS", "K_APPDATA", "K_IMAGES", "K_VIDEOS", "K_MUSIC",
                  "K_CALLLOG", "K_CALENDAR", "K_EMAIL", "K_BOOKMARKS"})
               .join(strSep)
        << true << "";
    QTest::newRow("unconfigured main items are not listed") << baSparse << 0x240 << "" << false << "ca";
    QTest::newRow("unconfigured sub-item gives an empty name")
        << baSparse << 0x403 << Tr("K_CONTACTS") + strSep + strSep + Tr("K_MMS") << true << "a";
    // Only unnamed failures: the run must not read as a success.
    QTest::newRow("only an unnamed sub-item failed") << baSparse << 0x2 << Tr("K_MESSAGES") << true << "ca";
    QTest::newRow("memory unreadable") << baFull << -3
                                       << Tr("IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL") << false << "";
    QTest::newRow("other failure") << baFull << -1 << Tr("IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL") << false
                                   << "";
    QTest::newRow("phone disconnected") << baFull << int(RUN_RESULT_PHONE_DISCONNECTED)
                                        << Tr("IDS_BACKUPUIPLUGIN_COMPLETE_PHONE_DISCONNECTED_LABEL") << false << "";
}

void tst_BackUpUIBBMgr::resultTexts()
{
    QFETCH(QByteArray, baConfig);
    QFETCH(int, nResult);
    QFETCH(QString, strValue);
    QFETCH(bool, bFailedItems);
    QFETCH(QString, strNotesKept);

    UseConfig(baConfig.constData());
    // Texts of an earlier failed run, and the notes of this one.
    m_pMgr->updateUIAfterFinished(0x1);
    m_pResult->SetContactsTip("contacts note");
    m_pResult->SetApkTip("applications note");
    m_pMgr->updateUIAfterFinished(nResult);

    const QString strSorry = Tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL");
    QCOMPARE(m_pResult->GetResultValue(), strValue);
    QCOMPARE(m_pResult->GetResultCaption(), bFailedItems ? strSorry : QString());
    QCOMPARE(m_pResult->GetResultNote(), bFailedItems ? Tr("IDS_BACKUPUIPLUGIN_COMPLETE_RESULT_LABEL") : QString());
    // Any failure is told by the headline; no package was delivered here, so
    // a failed item fails the whole run.
    const CompleteWizardWidget::Outcome outcome =
        nResult == 0 ? CompleteWizardWidget::Outcome::Complete : CompleteWizardWidget::Outcome::Failed;
    QCOMPARE(m_pResult->GetOutcome(), outcome);
    const QString strHeadline = Tr(CompleteWizardWidget::HeadlineKey(outcome));
    QString strTip = strHeadline + (bFailedItems ? strSorry + strValue : QString());
    if (nResult == RUN_RESULT_PHONE_DISCONNECTED)
        strTip = strHeadline + strValue;
    else if (nResult < 0)
        strTip.clear();
    QCOMPARE(m_pMgr->GetTipText(), strTip);
    // A failed module's note goes; after a failed run nothing of it stays.
    QCOMPARE(m_pResult->GetContactsTip(), strNotesKept.contains('c') ? QString("contacts note") : QString());
    QCOMPARE(m_pResult->GetApkTip(), strNotesKept.contains('a') ? QString("applications note") : QString());

    m_pResult->ShowPage();
    QCOMPARE(!m_pResult->GetResultLabel()->isHidden(), !strValue.isEmpty());
    QCOMPARE(m_pResult->GetStatusText(), strHeadline);
}

void tst_BackUpUIBBMgr::tipInfo_data()
{
    QTest::addColumn<QList<bool>>("listSelected"); // contacts, applications, application data
    QTest::addColumn<QList<int>>("listRequested"); // the same three counts
    QTest::addColumn<QList<int>>("listBackedUp");
    QTest::addColumn<QString>("strContacts"); // the number, or empty: no note
    // "apps N": N applications copied; "data N M": the data of N of M
    // applications; both, or empty: no note.
    QTest::addColumn<QStringList>("listApk");

    QTest::newRow("contacts partly") << QList<bool>{true, false, false} << QList<int>{40, 0, 0}
                                     << QList<int>{37, 0, 0} << "37" << QStringList();
    QTest::newRow("contacts not selected") << QList<bool>{false, true, false} << QList<int>{40, 5, 5}
                                           << QList<int>{37, 5, 5} << "" << QStringList();
    QTest::newRow("no contacts counted") << QList<bool>{true, false, false} << QList<int>{0, 0, 0}
                                         << QList<int>{3, 0, 0} << "" << QStringList();
    QTest::newRow("applications partly") << QList<bool>{false, true, false} << QList<int>{0, 9, 9}
                                         << QList<int>{0, 4, 4} << "" << QStringList{"apps 4"};
    QTest::newRow("application data partly, alone") << QList<bool>{false, false, true} << QList<int>{0, 9, 9}
                                                    << QList<int>{0, 9, 6} << "" << QStringList{"data 6 9"};
    // Every application copied, only data short: the note speaks of the data.
    QTest::newRow("application data partly, with applications")
        << QList<bool>{false, true, true} << QList<int>{0, 4, 4} << QList<int>{0, 4, 2} << ""
        << QStringList{"data 2 4"};
    QTest::newRow("both partly") << QList<bool>{false, true, true} << QList<int>{0, 9, 9} << QList<int>{0, 4, 3}
                                 << "" << QStringList{"apps 4", "data 3 9"};
}

void tst_BackUpUIBBMgr::tipInfo()
{
    QFETCH(QList<bool>, listSelected);
    QFETCH(QList<int>, listRequested);
    QFETCH(QList<int>, listBackedUp);
    QFETCH(QString, strContacts);
    QFETCH(QStringList, listApk);

    BackupItems items;
    items.bPB = listSelected.at(0);
    items.bAPK = listSelected.at(1);
    items.bAPKData = listSelected.at(2);
    BackupCounts requested;
    BackupCounts backedUp;
    const int nSlots[] = {BackupCounts::PB, BackupCounts::APK, BackupCounts::APKData};
    for (int i = 0; i < 3; ++i) {
        requested[nSlots[i]] = listRequested.at(i);
        backedUp[nSlots[i]] = listBackedUp.at(i);
    }
    m_pResult->SetContactsTip("old");
    m_pResult->SetApkTip("old");
    m_pMgr->slotsUpdateTipInfo(items, requested, backedUp);
    QCOMPARE(m_pResult->GetContactsTip(),
             strContacts.isEmpty() ? QString() : Filled("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT", {"%s"}, {strContacts}));
    QStringList listExpected;
    for (const QString &strNote : listApk) {
        const QStringList listParts = strNote.split(' ');
        if (listParts.first() == "apps")
            listExpected << Filled("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT", {"%s"}, {listParts.at(1)});
        else
            listExpected << Filled("IDS_BACKUPUIPLUGIN_COMPLETE_APKDATA_TIPTEXT", {"%s1", "%s2"}, listParts.mid(1));
    }
    QCOMPARE(m_pResult->GetApkTip(), listExpected.join(' '));
}

void tst_BackUpUIBBMgr::arabicList()
{
    // The Arabic list separator is the Arabic comma.
    qputenv("PELORIX_HOST_LANG", "ar");
    UseConfig(kFullConfig);
    m_pMgr->updateUIAfterFinished(0x3);
    const QString strValue = m_pResult->GetResultValue();
    qunsetenv("PELORIX_HOST_LANG");
    QVERIFY2(strValue.contains(QStringLiteral("\u060C ")), qPrintable(strValue));
    QVERIFY2(!strValue.contains(QLatin1Char(',')), qPrintable(strValue));
}

void tst_BackUpUIBBMgr::finish_data()
{
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strPlugin"); // receives OnBackupFinish; empty: the signal instead

    QTest::newRow("normal run") << 0 << 0x3 << "";
    QTest::newRow("update plugin") << 1 << 0 << "UpdateUIPlugin";
    QTest::newRow("rom plugin, phone full") << 2 << -5 << "ZvRomUIPlugin";
}

void tst_BackUpUIBBMgr::finish()
{
    QFETCH(int, nCaller);
    QFETCH(int, nResult);
    QFETCH(QString, strPlugin);

    HostStandIns standIns;
    standIns.Install(m_pFrame.get());
    m_pMgr->SetOutFuncCaller(nCaller);

    // The run's module files in the SDK's user data folder, and two that are not.
    const QDir dirData(m_env.UserDataDir());
    const QStringList listNames = BackupKinds::TempFileNames();
    QVERIFY(listNames.contains("APKDATA.zip"));
    for (const QString &strName : listNames + QStringList{"Info.xml"}) {
        QFile file(dirData.filePath(strName));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    CommonUtils::SetSettings("BackUpUIPlugin", "BackupDate", "01.01.2000");
    CommonUtils::SetSettings("BackUpUIPlugin", "BackupHM", "00:00");
    QSignalSpy spy(m_pMgr, &BackUpUIBBMgr::signalsBackUpComplete);
    const QString strDateBefore = QDate::currentDate().toString("dd.MM.yyyy");
    m_pMgr->slotsFinish(nResult);

    for (const QString &strName : listNames)
        QVERIFY2(!dirData.exists(strName), qPrintable(strName));
    QVERIFY(dirData.exists("Info.xml"));
    QCOMPARE(m_pMgr->GetResult(), nResult);
    // Only a complete backup is the last backup.
    const QString strDate = CommonUtils::GetSettings("BackUpUIPlugin", "BackupDate");
    const QString strTime = CommonUtils::GetSettings("BackUpUIPlugin", "BackupHM");
    if (nResult == 0) {
        QVERIFY2(strDate == strDateBefore || strDate == QDate::currentDate().toString("dd.MM.yyyy"),
                 qPrintable(strDate));
        QVERIFY(QRegularExpression("^([01][0-9]|2[0-3]):[0-5][0-9]$").match(strTime).hasMatch());
    } else {
        QCOMPARE(strDate, QStringLiteral("01.01.2000"));
        QCOMPARE(strTime, QStringLiteral("00:00"));
    }

    QCOMPARE(spy.count(), strPlugin.isEmpty() ? 1 : 0);
    if (strPlugin.isEmpty())
        QCOMPARE(spy.at(0).at(0).toInt(), nResult);
    const QStringList listFinish = {"OnBackupFinish(" + m_pMgr->GetTipText() + ")"};
    QCOMPARE(standIns.Update()->Calls(), strPlugin == "UpdateUIPlugin" ? listFinish : QStringList());
    QCOMPARE(standIns.Rom()->Calls(), strPlugin == "ZvRomUIPlugin" ? listFinish : QStringList());
}

void tst_BackUpUIBBMgr::showCaller_data()
{
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<bool>("bLayout");
    QTest::addColumn<QStringList>("listCalls");

    QTest::newRow("update plugin") << 1 << true
                                   << QStringList{"UpdateUIPlugin.SetBackupSwitching(true)",
                                                  "ShowPlugin(UpdateUIPlugin)",
                                                  "UpdateUIPlugin.SetBackupSwitching(false)",
                                                  "UpdateUIPlugin.OnBackupBegin()"};
    QTest::newRow("no layout object") << 1 << false
                                      << QStringList{"UpdateUIPlugin.SetBackupSwitching(true)",
                                                     "UpdateUIPlugin.SetBackupSwitching(false)",
                                                     "UpdateUIPlugin.OnBackupBegin()"};
    // Cancel and close always go to the update plugin.
    QTest::newRow("cancel and close") << 2 << true
                                      << QStringList{"UpdateUIPlugin.OnBackupCancel()",
                                                     "UpdateUIPlugin.OnBackupClose()"};
}

void tst_BackUpUIBBMgr::showCaller()
{
    QFETCH(int, nCaller);
    QFETCH(bool, bLayout);
    QFETCH(QStringList, listCalls);

    HostStandIns standIns;
    standIns.Install(m_pFrame.get());
    if (!bLayout)
        CommonUtils::SetLayoutPlugin(nullptr);
    m_pMgr->SetOutFuncCaller(nCaller);
    HostCallLog::Clear();
    if (QByteArray(QTest::currentDataTag()) == "cancel and close") {
        m_pMgr->NotifyCancel();
        m_pMgr->NotifyClose();
    } else {
        m_pMgr->ShowCaller();
    }
    QStringList listSeen;
    for (const QString &strEntry : HostCallLog::Entries()) {
        if ((strEntry.contains("UpdateUIPlugin") || strEntry.contains("ZvRomUIPlugin"))
            && !strEntry.contains(".ShowWindow"))
            listSeen << strEntry;
    }
    QCOMPARE(listSeen, listCalls);
}

QTEST_MAIN(tst_BackUpUIBBMgr)
#include "tst_backupuibbmgr.moc"
