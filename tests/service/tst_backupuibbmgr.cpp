// The outside backup manager: tip lines, result texts, the finish record and
// the calls to a plugin that asked for the backup.

#include "BackUpUIBBMgr.h"
#include "BackUpUIConfigParse.h"
#include "CheckBigButton.h"
#include "CompleteWizardWidget.h"
#include "TestEnv.h"

#include <host/Change.h>
#include <host/CommonUtils.h>
#include <host/HostCallLog.h>

#include <HostBackupRequesterPlugin.h>
#include <HostStandIns.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace
{
const char *const kDefaultConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
    <layout mode="BackUpUIPlugin">
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
    </layout>
</config>
)";

// Main items 0 and 1 only, without the SMS sub-item.
const char *const kSparseConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
    <layout mode="BackUpUIPlugin">
        <Common id="0" name="K_CONTACTS" enable="1"/>
        <Common id="1" name="K_MESSAGES" enable="1"/>
        <Child id="27" name="K_MMS" enable="1"/>
    </layout>
</config>
)";

QString Tr(const char *szKey)
{
    return Change::tr(szKey);
}

QString Replaced(QString strText, const QString &strFrom, const QString &strTo)
{
    return strText.replace(strFrom, strTo);
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
    void moduleInfoWithoutLabel();

    void resultTexts_data();
    void resultTexts();
    void notesCleared_data();
    void notesCleared();
    void staleTextsOnEarlyFailure();

    void tipInfo_data();
    void tipInfo();

    void finish_data();
    void finish();
    void storedDateAndTime_data();
    void storedDateAndTime();

    void showCaller_data();
    void showCaller();
    void cancelAndClose();

private:
    // Loads a configuration from a host root of its own and rebuilds the
    // manager on it (the manager copies the item tables when it is created).
    void UseConfig(const char *szXml);

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<QTemporaryDir> m_pRoot;
    QByteArray m_baStageRoot;
    std::unique_ptr<QWidget> m_pFrame;
    CompleteWizardWidget *m_pResult = nullptr;
    QLabel *m_pTipLabel = nullptr;
    BackUpUIBBMgr *m_pMgr = nullptr;
};

void tst_BackUpUIBBMgr::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    m_baStageRoot = qgetenv("PELORIX_HOST_ROOT");
    m_pRoot = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_pRoot->isValid(), "no temporary folder");
    QVERIFY(QDir(m_pRoot->path()).mkpath("plugins/BackUpUIPlugin"));
}

void tst_BackUpUIBBMgr::UseConfig(const char *szXml)
{
    QFile file(m_pRoot->filePath("plugins/BackUpUIPlugin/BackupConfig.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(szXml);
    file.close();
    qputenv("PELORIX_HOST_ROOT", m_pRoot->path().toUtf8());
    QVERIFY(BackUpUIConfigParse::GetInstance()->LoadFile());

    BackUpUIBBMgr::DestroyInstance();
    m_pMgr = BackUpUIBBMgr::GetInstance();
    QVERIFY(m_pMgr);
    m_pMgr->SetCompleteWidget(m_pResult);
    m_pMgr->SetProgressTipLabel(m_pTipLabel);
}

void tst_BackUpUIBBMgr::init()
{
    m_pFrame = std::make_unique<QWidget>();
    m_pResult = new CompleteWizardWidget(m_pFrame.get());
    m_pResult->InitPage();
    m_pTipLabel = new QLabel(m_pFrame.get());
    UseConfig(kDefaultConfig);
    HostCallLog::Clear();
}

void tst_BackUpUIBBMgr::cleanup()
{
    BackUpUIBBMgr::DestroyInstance();
    m_pMgr = nullptr;
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

    const QString strStart = Tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT");
    const QString strPro = Tr("IDS_BACKUPUIPLUGIN_SECONDDOING_TIPTEXT_PRO");
    auto pro = [&](const QString &strName, const QString &strDone, const QString &strAll) {
        return Replaced(Replaced(Replaced(strPro, "%s1", strName), "%s2", strDone), "%s3", strAll);
    };

    QTest::newRow("start of a tile's module") << 0 << 0 << 0 << 0 << Replaced(strStart, "%s1", Tr("K_CONTACTS"));
    QTest::newRow("start of a module without tile") << 0 << 5 << 0 << 0 << Replaced(strStart, "%s1", "");
    QTest::newRow("music 3 of 10") << 1 << 5 << 3 << 10
                                   << pro(Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_MUSICITEM_TEXT"), "3", "10");
    QTest::newRow("applications") << 1 << 29 << 1 << 7
                                  << pro(Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT"), "1", "7");
    QTest::newRow("application data") << 1 << 3 << 7 << 7
                                      << pro(Tr("IDS_BACKUPUIPLUGIN_BIGBUTTON_APPLICATION_TEXT"), "7", "7");
    QTest::newRow("images") << 1 << 25 << 120 << 1500 << pro(Tr("IDS_VIRTUAL_IMAGEINFO_CORE"), "120", "1500");
    QTest::newRow("videos") << 1 << 26 << 2 << 9 << pro(Tr("IDS_VIRTUAL_IDENTIFER_VEDIOTEXT"), "2", "9");
    QTest::newRow("unknown module") << 1 << 0 << 4 << 40 << pro("", "4", "40");
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
    info.nId = 0;
    info.strName = "K_CONTACTS";
    info.bEnable = true;
    CheckBigButton tile(info, m_pFrame.get());
    m_pMgr->SetBigButtons({{0, &tile}});
    m_pTipLabel->setText("previous");

    structBackupID record;
    record.nModuleID = nModule;
    record.nProNum = nDone;
    record.nAllNum = nAll;
    record.nState = nState;
    m_pMgr->slotsModuleInfo(record);
    QCOMPARE(m_pTipLabel->text(), strExpected);
    QVERIFY(!m_pTipLabel->text().contains("%s"));
}

void tst_BackUpUIBBMgr::moduleInfoWithoutLabel()
{
    // A manager that never got a tip label, and one whose label is gone.
    BackUpUIBBMgr::DestroyInstance();
    m_pMgr = BackUpUIBBMgr::GetInstance();
    structBackupID record;
    record.nState = 1;
    record.nModuleID = 5;
    m_pMgr->slotsModuleInfo(record);

    auto pLabel = std::make_unique<QLabel>();
    m_pMgr->SetProgressTipLabel(pLabel.get());
    m_pMgr->SetProgressTipLabel(nullptr); // ignored
    QCOMPARE(m_pMgr->GetProgressTipLabel(), pLabel.get());
    pLabel.reset();
    QCOMPARE(m_pMgr->GetProgressTipLabel(), nullptr);
    m_pMgr->slotsModuleInfo(record);
}

void tst_BackUpUIBBMgr::resultTexts_data()
{
    QTest::addColumn<QByteArray>("baConfig");
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strValue");   // detail; the list of failed items
    QTest::addColumn<bool>("bFailedItems"); // headline and result text set

    const QByteArray baDefault(kDefaultConfig);
    const QByteArray baSparse(kSparseConfig);
    QTest::newRow("success") << baDefault << 0 << "" << false;
    QTest::newRow("contacts") << baDefault << 0x1 << Tr("K_CONTACTS") << true;
    QTest::newRow("contacts and sms") << baDefault << 0x3 << Tr("K_CONTACTS") + "," + Tr("K_SMS") << true;
    QTest::newRow("sms and mms") << baDefault << 0x402 << Tr("K_SMS") + "," + Tr("K_MMS") << true;
    QTest::newRow("applications and data") << baDefault << 0x840 << Tr("K_APPS") + "," + Tr("K_APPDATA") << true;
    QTest::newRow("application data only") << baDefault << 0x800 << Tr("K_APPDATA") << true;
    QTest::newRow("images and videos") << baDefault << 0x180 << Tr("K_IMAGES") + "," + Tr("K_VIDEOS") << true;
    QTest::newRow("records in their order") << baDefault << 0x3C
                                            << Tr("K_CALLLOG") + "," + Tr("K_CALENDAR") + "," + Tr("K_EMAIL") + ","
                                                   + Tr("K_BOOKMARKS")
                                            << true;
    QTest::newRow("everything")
        << baDefault << 0xFFF
        << QStringList({Tr("K_CONTACTS"), Tr("K_SMS"), Tr("K_MMS"), Tr("K_APPS"), Tr("K_APPDATA"), Tr("K_IMAGES"),
                        Tr("K_VIDEOS"), Tr("K_MUSIC"), Tr("K_CALLLOG"), Tr("K_CALENDAR"), Tr("K_EMAIL"),
                        Tr("K_BOOKMARKS")})
               .join(",")
        << true;
    QTest::newRow("unconfigured main items are not listed") << baSparse << 0x240 << "" << false;
    QTest::newRow("unconfigured sub-item gives an empty name") << baSparse << 0x403 << Tr("K_CONTACTS") + ",,"
                                                                                            + Tr("K_MMS")
                                                                << true;
    // Only unnamed failures: the run must not read as a success.
    QTest::newRow("only an unnamed sub-item failed") << baSparse << 0x2 << Tr("K_MESSAGES") << true;
    QTest::newRow("memory unreadable") << baDefault << -3
                                       << Tr("IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL") << false;
    QTest::newRow("phone full") << baDefault << -5 << Tr("IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL")
                                << false;
    QTest::newRow("other negative") << baDefault << -1 << Tr("IDS_BACKUPUIPLUGIN_COMPLETE_NO_ENOUGH_SPACE_LABEL")
                                    << false;
}

void tst_BackUpUIBBMgr::resultTexts()
{
    QFETCH(QByteArray, baConfig);
    QFETCH(int, nResult);
    QFETCH(QString, strValue);
    QFETCH(bool, bFailedItems);

    UseConfig(baConfig.constData());
    m_pMgr->updateUIAfterFinished(nResult);

    const QString strSorry = Tr("IDS_BACKUPUIPLUGIN_COMPLETE_SORRY_LABEL");
    QCOMPARE(m_pResult->GetResultValue(), strValue);
    QCOMPARE(m_pResult->GetResultCaption(), bFailedItems ? strSorry : QString());
    QCOMPARE(m_pResult->GetResultNote(), bFailedItems ? Tr("IDS_BACKUPUIPLUGIN_COMPLETE_RESULT_LABEL") : QString());

    const QString strSuccess = Tr("IDS_BACKUPUIPLUGIN_COMPLETE_BACKUPSUC_LABEL");
    if (nResult < 0)
        QCOMPARE(m_pMgr->GetTipText(), QString());
    else if (bFailedItems)
        QCOMPARE(m_pMgr->GetTipText(), strSuccess + strSorry + strValue);
    else
        QCOMPARE(m_pMgr->GetTipText(), strSuccess);

    // What the result page then shows.
    m_pResult->ShowPage();
    QCOMPARE(!m_pResult->GetResultLabel()->isHidden(), !strValue.isEmpty());
}

void tst_BackUpUIBBMgr::notesCleared_data()
{
    QTest::addColumn<int>("nResult");
    QTest::addColumn<bool>("bContactsKept");
    QTest::addColumn<bool>("bApkKept");

    QTest::newRow("success keeps both") << 0 << true << true;
    QTest::newRow("contacts failed") << 0x1 << false << true;
    QTest::newRow("applications failed") << 0x40 << true << false;
    QTest::newRow("application data failed keeps the note") << 0x800 << true << true;
    QTest::newRow("music failed keeps both") << 0x200 << true << true;
}

void tst_BackUpUIBBMgr::notesCleared()
{
    QFETCH(int, nResult);
    QFETCH(bool, bContactsKept);
    QFETCH(bool, bApkKept);

    m_pResult->SetContactsTip("contacts note");
    m_pResult->SetApkTip("applications note");
    m_pMgr->updateUIAfterFinished(nResult);
    QCOMPARE(m_pResult->GetContactsTip(), bContactsKept ? QString("contacts note") : QString());
    QCOMPARE(m_pResult->GetApkTip(), bApkKept ? QString("applications note") : QString());
}

void tst_BackUpUIBBMgr::staleTextsOnEarlyFailure()
{
    // A run that failed before any module ran shows nothing of an earlier run.
    m_pMgr->updateUIAfterFinished(0x1);
    m_pResult->SetApkTip("applications note");
    m_pMgr->updateUIAfterFinished(-3);
    QCOMPARE(m_pResult->GetResultValue(), Tr("IDS_BACKUPUIPLUGIN_COMPLETE_GET_PHONE_MEM_FAIL_LABEL"));
    QCOMPARE(m_pResult->GetResultCaption(), QString());
    QCOMPARE(m_pResult->GetApkTip(), QString());
    QCOMPARE(m_pResult->GetContactsTip(), QString());

    // Without a result page nothing is touched and the tip text is empty.
    BackUpUIBBMgr::DestroyInstance();
    m_pMgr = BackUpUIBBMgr::GetInstance();
    m_pMgr->updateUIAfterFinished(0);
    QCOMPARE(m_pMgr->GetTipText(), QString());
}

void tst_BackUpUIBBMgr::tipInfo_data()
{
    QTest::addColumn<BackupItems>("items");
    QTest::addColumn<QList<int>>("listRequested"); // PB, APK, APKData
    QTest::addColumn<QList<int>>("listBackedUp");
    QTest::addColumn<QString>("strContacts");   // the number, or empty: no note
    QTest::addColumn<QString>("strApk");

    BackupItems pb;
    pb.bPB = true;
    BackupItems apk;
    apk.bAPK = true;
    BackupItems data;
    data.bAPKData = true;
    BackupItems both = apk;
    both.bAPKData = true;
    BackupItems all = both;
    all.bPB = true;

    QTest::newRow("contacts all backed up") << pb << QList<int>{40, 0, 0} << QList<int>{40, 0, 0} << "" << "";
    QTest::newRow("contacts partly") << pb << QList<int>{40, 0, 0} << QList<int>{37, 0, 0} << "37" << "";
    QTest::newRow("contacts not selected") << apk << QList<int>{40, 5, 5} << QList<int>{37, 5, 5} << "" << "";
    QTest::newRow("no contacts counted") << pb << QList<int>{0, 0, 0} << QList<int>{3, 0, 0} << "" << "";
    QTest::newRow("applications partly") << apk << QList<int>{0, 9, 9} << QList<int>{0, 4, 4} << "" << "4";
    QTest::newRow("application data partly, alone") << data << QList<int>{0, 9, 9} << QList<int>{0, 9, 6} << ""
                                                     << "6";
    QTest::newRow("application data partly, with applications") << both << QList<int>{0, 9, 9}
                                                                 << QList<int>{0, 9, 6} << "" << "9";
    QTest::newRow("everything partly") << all << QList<int>{40, 9, 9} << QList<int>{1, 2, 3} << "1" << "2";
    QTest::newRow("nothing selected") << BackupItems() << QList<int>{40, 9, 9} << QList<int>{1, 2, 3} << ""
                                      << "";
}

void tst_BackUpUIBBMgr::tipInfo()
{
    QFETCH(BackupItems, items);
    QFETCH(QList<int>, listRequested);
    QFETCH(QList<int>, listBackedUp);
    QFETCH(QString, strContacts);
    QFETCH(QString, strApk);

    BackupCounts requested;
    BackupCounts backedUp;
    const int nSlots[] = {BackupCounts::PB, BackupCounts::APK, BackupCounts::APKData};
    for (int i = 0; i < 3; ++i) {
        requested[nSlots[i]] = listRequested.at(i);
        backedUp[nSlots[i]] = listBackedUp.at(i);
    }
    m_pResult->SetContactsTip("old");
    m_pResult->SetApkTip("old");
    m_pMgr->slotsUpdateTipInfo(&items, &requested, &backedUp);

    QCOMPARE(m_pResult->GetContactsTip(),
             strContacts.isEmpty() ? QString()
                                   : Replaced(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_PB_TIPTEXT"), "%s", strContacts));
    QCOMPARE(m_pResult->GetApkTip(),
             strApk.isEmpty() ? QString() : Replaced(Tr("IDS_BACKUPUIPLUGIN_COMPLETE_APK_TIPTEXT"), "%s", strApk));
}

void tst_BackUpUIBBMgr::finish_data()
{
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strPlugin"); // receives OnBackupFinish; empty: the signal instead

    QTest::newRow("normal run") << 0 << 0 << "";
    QTest::newRow("normal run with failures") << 0 << 0x3 << "";
    QTest::newRow("update plugin") << 1 << 0 << "UpdateUIPlugin";
    QTest::newRow("rom plugin") << 2 << 0x1 << "ZvRomUIPlugin";
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

    // The run's module files in the SDK's user data folder, and a file that
    // is not one of them.
    const QDir dirData(m_pEnv->UserDataDir());
    const QStringList listNames = BackUpUIBBMgr::TempFileNames();
    QCOMPARE(listNames.size(), 12);
    for (const QString &strName : listNames + QStringList{"APKDATA.zip", "Info.xml"}) {
        QFile file(dirData.filePath(strName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    QSignalSpy spy(m_pMgr, &BackUpUIBBMgr::signalsBackUpComplete);
    const QDate dateBefore = QDate::currentDate();
    m_pMgr->slotsFinish(nResult);
    const QDate dateAfter = QDate::currentDate();

    for (const QString &strName : listNames)
        QVERIFY2(!QFile::exists(dirData.filePath(strName)), qPrintable(strName));
    QVERIFY(QFile::exists(dirData.filePath("Info.xml")));
    QVERIFY(QFile::exists(dirData.filePath("APKDATA.zip")));

    QCOMPARE(m_pMgr->GetResult(), nResult);
    const QString strDate = CommonUtils::GetSettings("BackUpUIPlugin", "BackupDate");
    QVERIFY2(strDate == dateBefore.toString("dd.MM.yyyy") || strDate == dateAfter.toString("dd.MM.yyyy"),
             qPrintable(strDate));
    QVERIFY(QRegularExpression("^([01][0-9]|2[0-3]):[0-5][0-9]$")
                .match(CommonUtils::GetSettings("BackUpUIPlugin", "BackupHM"))
                .hasMatch());

    const QString strFinish = "OnBackupFinish(" + m_pMgr->GetTipText() + ")";
    if (strPlugin.isEmpty()) {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), nResult);
        QVERIFY(standIns.Update()->Calls().isEmpty());
        QVERIFY(standIns.Rom()->Calls().isEmpty());
    } else {
        QCOMPARE(spy.count(), 0);
        HostBackupRequesterPlugin *pTarget = strPlugin == "UpdateUIPlugin" ? standIns.Update() : standIns.Rom();
        HostBackupRequesterPlugin *pOther = pTarget == standIns.Update() ? standIns.Rom() : standIns.Update();
        QCOMPARE(pTarget->Calls(), QStringList{strFinish});
        QVERIFY(pOther->Calls().isEmpty());
    }
}

void tst_BackUpUIBBMgr::storedDateAndTime_data()
{
    QTest::addColumn<QDateTime>("dtTime");
    QTest::addColumn<QString>("strDate");
    QTest::addColumn<QString>("strTime");

    QTest::newRow("4 March 2026, afternoon") << QDateTime(QDate(2026, 3, 4), QTime(13, 5)) << "04.03.2026"
                                             << "13:05";
    QTest::newRow("new year's eve, after midnight") << QDateTime(QDate(2026, 12, 31), QTime(0, 7)) << "31.12.2026"
                                                    << "00:07";
    QTest::newRow("late evening") << QDateTime(QDate(2027, 1, 9), QTime(23, 59)) << "09.01.2027" << "23:59";
}

void tst_BackUpUIBBMgr::storedDateAndTime()
{
    QFETCH(QDateTime, dtTime);
    QFETCH(QString, strDate);
    QFETCH(QString, strTime);
    QCOMPARE(BackUpUIBBMgr::BackupDateText(dtTime), strDate);
    QCOMPARE(BackUpUIBBMgr::BackupTimeText(dtTime), strTime);
}

void tst_BackUpUIBBMgr::showCaller_data()
{
    QTest::addColumn<int>("nCaller");
    QTest::addColumn<bool>("bLayout");
    QTest::addColumn<QStringList>("listCalls");

    QTest::newRow("update plugin") << 1 << true
                                   << QStringList{"UpdateUIPlugin.SetBackupSwitching(true)", "ShowPlugin(UpdateUIPlugin)",
                                                  "UpdateUIPlugin.SetBackupSwitching(false)",
                                                  "UpdateUIPlugin.OnBackupBegin()"};
    QTest::newRow("rom plugin") << 2 << true
                                << QStringList{"ZvRomUIPlugin.SetBackupSwitching(true)", "ShowPlugin(ZvRomUIPlugin)",
                                               "ZvRomUIPlugin.SetBackupSwitching(false)",
                                               "ZvRomUIPlugin.OnBackupBegin()"};
    QTest::newRow("update plugin, no layout object")
        << 1 << false
        << QStringList{"UpdateUIPlugin.SetBackupSwitching(true)", "UpdateUIPlugin.SetBackupSwitching(false)",
                       "UpdateUIPlugin.OnBackupBegin()"};
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
    m_pMgr->ShowCaller();

    QStringList listSeen;
    for (const QString &strEntry : HostCallLog::Entries()) {
        if ((strEntry.contains("UpdateUIPlugin") || strEntry.contains("ZvRomUIPlugin"))
            && !strEntry.contains(".ShowWindow"))
            listSeen << strEntry;
    }
    QCOMPARE(listSeen, listCalls);
}

void tst_BackUpUIBBMgr::cancelAndClose()
{
    // Cancel and close always go to the update plugin; without it they do
    // nothing.
    m_pMgr->SetOutFuncCaller(2);
    m_pMgr->NotifyCancel();
    m_pMgr->NotifyClose();

    HostStandIns standIns;
    standIns.Install(m_pFrame.get());
    m_pMgr->NotifyCancel();
    m_pMgr->NotifyClose();
    QCOMPARE(standIns.Update()->Calls(), QStringList({"OnBackupCancel()", "OnBackupClose()"}));
    QVERIFY(standIns.Rom()->Calls().isEmpty());
    m_pMgr->SetOutFuncParam(7);
    QCOMPARE(m_pMgr->GetOutFuncParam(), 7);
}

QTEST_MAIN(tst_BackUpUIBBMgr)
#include "tst_backupuibbmgr.moc"
