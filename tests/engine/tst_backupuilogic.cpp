// The backup logic against the simulated phone: module backups of a record
// type and a file type, the GetFile result mapping, memory records, the phone
// description, device events and the rules of the backup callback.
#include "BackUpUILogic.h"
#include "PhoneInfo.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <host/CommonUtils.h>
#include <sdk/dvsk_sim.h>

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <thread>

namespace
{
QByteArray ReadFile(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<int> Ints(const QList<QVariant> &args)
{
    QList<int> list;
    for (const QVariant &arg : args)
        list << arg.toInt();
    return list;
}

QList<QList<int>> AllInts(const QSignalSpy &spy)
{
    QList<QList<int>> list;
    for (const QList<QVariant> &args : spy)
        list << Ints(args);
    return list;
}

// Calls the device-event callback the way the SDK does: from its own thread.
void RaiseFromSdkThread(int nEvent)
{
    std::thread thread([nEvent]() { BackUpUILogic::OnDevMgrEvent(nEvent); });
    thread.join();
}
} // namespace

class tst_BackUpUILogic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void backUpRecordType();
    void backUpFileType();
    void backUpFailures_data();
    void backUpFailures();
    void getFile_data();
    void getFile();
    void getMemValue();
    void getPhoneInfo_data();
    void getPhoneInfo();
    void deviceEvents_data();
    void deviceEvents();
    void deviceEventsFromPhone();
    void callbackRules_data();
    void callbackRules();
    void resultPathCallback();

private:
    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<TestPhone> m_pPhone;
    BackUpUILogic *m_pLogic = nullptr;
};

void tst_BackUpUILogic::initTestCase()
{
    m_pLogic = BackUpUILogic::Instance();
    QVERIFY(m_pLogic);
    QCOMPARE(BackUpUILogic::Instance(), m_pLogic);
    QCOMPARE(m_pLogic->thread(), QThread::currentThread());
}

void tst_BackUpUILogic::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    m_pPhone = std::make_unique<TestPhone>(m_pEnv->Path(QStringLiteral("phone")));
    // Device events of earlier tests still queued are delivered now, not
    // into this test's spies.
    QCoreApplication::processEvents();
}

void tst_BackUpUILogic::cleanup()
{
    if (!DVSK_Sim_IsAttached())
        DVSK_Sim_Attach();
    TestPhone::UseDefault();
    m_pPhone.reset();
    m_pEnv.reset();
}

void tst_BackUpUILogic::backUpRecordType()
{
    m_pPhone->SetRecords(1, 6, "sms records", 5);
    QVERIFY(m_pPhone->Use());

    QSignalSpy spyCallBack(m_pLogic, &BackUpUILogic::signalBackupCallBack);
    QSignalSpy spyPro(m_pLogic, &BackUpUILogic::signalBackupPro);
    QSignalSpy spyStart(m_pLogic, &BackUpUILogic::signalsTimeOutStart);
    QSignalSpy spyEnd(m_pLogic, &BackUpUILogic::signalsTimeOutEnd);

    QString strPath;
    int nCount = -7;
    QCOMPARE(m_pLogic->BackUp(1, strPath, &nCount), 0);
    QCOMPARE(strPath, QStringLiteral("/data/local/tmp/backup/sms.dat"));
    QCOMPARE(nCount, 5);
    QCOMPARE(m_pLogic->GetLastCount(), 5);
    QCOMPARE(m_pLogic->GetResultPath(), strPath.toUtf8());
    QCOMPARE(spyStart.size(), 1);
    QCOMPARE(spyEnd.size(), 1);

    // Every progress call is re-emitted; the result-path call is not.
    QList<QList<int>> listExpectedCallBack{{1, 0, 0, 5}};
    QList<QList<int>> listExpectedPro;
    for (int i = 1; i <= 5; ++i) {
        listExpectedCallBack.append({1, 0, i, 5});
        listExpectedPro.append({1, 1, i, 5});
    }
    QCOMPARE(AllInts(spyCallBack), listExpectedCallBack);
    QCOMPARE(AllInts(spyPro), listExpectedPro);

    // The result file is then copied from that phone path.
    const QString strLocal = m_pEnv->Path(QStringLiteral("SMS.zip"));
    QCOMPARE(m_pLogic->GetFile(strLocal, strPath, 2), 0);
    QCOMPARE(ReadFile(strLocal), QByteArray("sms records"));
}

void tst_BackUpUILogic::backUpFileType()
{
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/b.jpg"), 2048);
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 100);
    QVERIFY(m_pPhone->Use());

    QString strList;
    int nCount = 42;
    QCOMPARE(m_pLogic->BackUp(16, strList, &nCount), 0);
    const QChar s(0x18);
    QCOMPARE(strList, QStringLiteral("a.jpg") + s + QStringLiteral("100") + s + QStringLiteral("/sdcard/DCIM/a.jpg\r\n")
                          + QStringLiteral("b.jpg") + s + QStringLiteral("2048") + s + QStringLiteral("/sdcard/DCIM/b.jpg"));
    // The count is left to the file module.
    QCOMPARE(nCount, 42);
    QVERIFY(m_pLogic->GetResultPath().isEmpty());
}

void tst_BackUpUILogic::backUpFailures_data()
{
    QTest::addColumn<int>("nType");
    QTest::addColumn<QString>("strFault");
    QTest::addColumn<int>("nExpected");

    QTest::newRow("record-error-code") << 0 << "code" << 77;
    QTest::newRow("record-error-text") << 2 << "text" << 1;
    QTest::newRow("record-no-result-path") << 4 << "no-path" << 1;
    QTest::newRow("record-unplugged") << 5 << "unplugged" << int(DVSK_SIM_ERR_DETACHED);
    QTest::newRow("file-error-code") << 9 << "code" << 77;
    QTest::newRow("file-error-text") << 17 << "text" << 1;
}

void tst_BackUpUILogic::backUpFailures()
{
    QFETCH(int, nType);
    QFETCH(QString, strFault);
    QFETCH(int, nExpected);

    if (nType != 9 && nType < 16)
        m_pPhone->SetRecords(nType, 3);
    m_pPhone->AddFile(QStringLiteral("/sdcard/a.mp4"), 10);
    m_pPhone->AddApp(QStringLiteral("com.a"), 10);
    if (strFault == QLatin1String("code"))
        m_pPhone->SetBackupError(nType, 77);
    else if (strFault == QLatin1String("text"))
        m_pPhone->SetErrorText(nType);
    else if (strFault == QLatin1String("no-path"))
        m_pPhone->SetNoResultPath(nType);
    QVERIFY(m_pPhone->Use());
    if (strFault == QLatin1String("unplugged"))
        DVSK_Sim_Detach();

    QSignalSpy spyEnd(m_pLogic, &BackUpUILogic::signalsTimeOutEnd);
    QString strPath = QStringLiteral("unchanged");
    int nCount = 42;
    QCOMPARE(m_pLogic->BackUp(nType, strPath, &nCount), nExpected);
    QCOMPARE(strPath, QStringLiteral("unchanged"));
    QCOMPARE(nCount, 42);
    QCOMPARE(spyEnd.size(), 1);
}

void tst_BackUpUILogic::getFile_data()
{
    QTest::addColumn<QString>("strFault"); // an SDK code, or none
    QTest::addColumn<QString>("strLocalName");
    QTest::addColumn<int>("nExpected");

    QTest::newRow("copied") << "" << "copy.jpg" << 0;
    QTest::newRow("copied-non-latin-target") << "" << "копия 写真.jpg" << 0;
    QTest::newRow("busy-20") << "20" << "copy.jpg" << 13;
    QTest::newRow("not-exist-code") << QString::number(DVSK_ERR_FILE_NOT_EXIST) << "copy.jpg" << 131;
    QTest::newRow("other-1") << "1" << "copy.jpg" << 1;
    QTest::newRow("other-sim-code") << QString::number(DVSK_SIM_ERR_PHONE_IO) << "copy.jpg" << 1;
}

void tst_BackUpUILogic::getFile()
{
    QFETCH(QString, strFault);
    QFETCH(QString, strLocalName);
    QFETCH(int, nExpected);

    const QString strRemote = QStringLiteral("/sdcard/DCIM/фото.jpg");
    m_pPhone->AddFile(strRemote, QByteArray("picture bytes"));
    if (!strFault.isEmpty())
        m_pPhone->SetGetFileError(strRemote, strFault.toInt());
    QVERIFY(m_pPhone->Use());

    const QString strLocal = m_pEnv->Path(strLocalName);
    QCOMPARE(m_pLogic->GetFile(strLocal, strRemote, 2), nExpected);
    QCOMPARE(QFileInfo::exists(strLocal), nExpected == 0);
    if (nExpected == 0)
        QCOMPARE(ReadFile(strLocal), QByteArray("picture bytes"));
}

void tst_BackUpUILogic::getMemValue()
{
    m_pPhone->ClearStorages();
    m_pPhone->AddStorage(1, 1000, 400, 4096);
    m_pPhone->AddStorage(2, -1, 0, 512);
    QVERIFY(m_pPhone->Use());
    QVERIFY(m_pLogic->GetMemValue());
    QList<MemInfoRecord> listMem = m_pLogic->GetMemList();
    QCOMPARE(listMem.size(), 2);
    QCOMPARE(listMem.at(0).nType, 1);
    QCOMPARE(listMem.at(0).nTotal, 1000);
    QCOMPARE(listMem.at(0).nUsed, 400);
    QCOMPARE(listMem.at(0).nUnit, 4096);
    QCOMPARE(listMem.at(1).nType, 2);
    QCOMPARE(quint64(listMem.at(1).nTotal), ~quint64(0)); // the phone gave no value
    QCOMPARE(listMem.at(1).nUnit, 512);

    // A failing call keeps the last list.
    m_pPhone->SetMemInfoError(-4);
    QVERIFY(m_pPhone->Use());
    QVERIFY(!m_pLogic->GetMemValue());
    QCOMPARE(m_pLogic->GetMemList().size(), 2);

    m_pPhone->SetMemInfoError(0);
    QVERIFY(m_pPhone->Use());
    DVSK_Sim_Detach();
    QVERIFY(!m_pLogic->GetMemValue());
    DVSK_Sim_Attach();
    QVERIFY(m_pLogic->GetMemValue());
}

void tst_BackUpUILogic::getPhoneInfo_data()
{
    QTest::addColumn<QString>("strFirmware");
    QTest::addColumn<QString>("strCVersion");

    QTest::newRow("c-near-end") << "ABC1" << "C1";
    QTest::newRow("short-without-c") << "AB" << "AB";
    QTest::newRow("no-c") << "V100R001B100" << "V10";
    QTest::newRow("three-after-c") << "V100R001C10B100" << "C10";
    QTest::newRow("last-c-wins") << "C1C2C34" << "C34";
    QTest::newRow("lower-case-c-ignored") << "V1c2C9x" << "C9x";
    QTest::newRow("c-last") << "XYZC" << "C";
    QTest::newRow("empty") << "" << "";
}

void tst_BackUpUILogic::getPhoneInfo()
{
    QFETCH(QString, strFirmware);
    QFETCH(QString, strCVersion);

    m_pPhone->SetDevice(QStringLiteral("Pixelon 7"), strFirmware, QStringLiteral("350000000000009"));
    QVERIFY(m_pPhone->Use());
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("32.700.1"));

    PhoneInfo info;
    QCOMPARE(m_pLogic->GetPhoneInfo(&info), 0);
    QCOMPARE(info.FirmWare, strFirmware);
    QCOMPARE(info.DeviceName, QStringLiteral("Pixelon 7") + QChar(0x10) + QStringLiteral("350000000000017"));
    QCOMPARE(info.DashBoard, QStringLiteral("32.700.1"));
    QCOMPARE(info.CVersion, strCVersion);
}

void tst_BackUpUILogic::deviceEvents_data()
{
    QTest::addColumn<int>("nEvent");
    QTest::addColumn<bool>("bForwarded");
    QTest::addColumn<bool>("bActive");

    QTest::newRow("active-6004") << 6004 << true << true;
    QTest::newRow("removed-6006") << 6006 << true << false;
    QTest::newRow("lost-6014") << 6014 << true << false;
    QTest::newRow("other-6005") << 6005 << false << false;
    QTest::newRow("other-0") << 0 << false << false;
    QTest::newRow("other-negative") << -6004 << false << false;
}

void tst_BackUpUILogic::deviceEvents()
{
    QFETCH(int, nEvent);
    QFETCH(bool, bForwarded);
    QFETCH(bool, bActive);

    QSignalSpy spyEvent(m_pLogic, &BackUpUILogic::signalDeviceMgrEvent);
    QSignalSpy spyActive(m_pLogic, &BackUpUILogic::signalDeviceAcitve);
    RaiseFromSdkThread(nEvent);
    // A forwarded event behind it: once that one has arrived, anything the
    // first event caused has arrived too.
    RaiseFromSdkThread(6004);
    QTRY_COMPARE(spyActive.size(), bForwarded ? 2 : 1);

    QList<QList<int>> listEvents;
    if (bForwarded)
        listEvents.append(QList<int>{nEvent});
    listEvents.append(QList<int>{6004});
    QCOMPARE(AllInts(spyEvent), listEvents);
    if (bForwarded)
        QCOMPARE(spyActive.at(0).at(0).toBool(), bActive);
    QCOMPARE(spyActive.last().at(0).toBool(), true);
}

void tst_BackUpUILogic::deviceEventsFromPhone()
{
    QVERIFY(m_pPhone->Use());
    QSignalSpy spyEvent(m_pLogic, &BackUpUILogic::signalDeviceMgrEvent);
    QSignalSpy spyActive(m_pLogic, &BackUpUILogic::signalDeviceAcitve);

    DVSK_Sim_Detach();
    QTRY_COMPARE(spyActive.size(), 2);
    QCOMPARE(AllInts(spyEvent), (QList<QList<int>>{{6006}, {6014}}));
    QCOMPARE(spyActive.at(0).at(0).toBool(), false);
    QCOMPARE(spyActive.at(1).at(0).toBool(), false);

    DVSK_Sim_Attach();
    QTRY_COMPARE(spyActive.size(), 3);
    QCOMPARE(spyEvent.last().at(0).toInt(), 6004);
    QCOMPARE(spyActive.at(2).at(0).toBool(), true);
}

void tst_BackUpUILogic::callbackRules_data()
{
    QTest::addColumn<int>("nType");
    QTest::addColumn<int>("nCount");
    QTest::addColumn<int>("nAll");
    QTest::addColumn<bool>("bPro");
    QTest::addColumn<int>("nLastCount");

    QTest::newRow("progress") << 4 << 3 << 10 << true << 3;
    QTest::newRow("no-count") << 4 << -1 << 10 << true << 7;
    QTest::newRow("zero-count") << 4 << 0 << 10 << false << 0;
    QTest::newRow("zero-total") << 4 << 4 << 0 << false << 4;
    QTest::newRow("negative-total") << 4 << 4 << -2 << false << 4;
    QTest::newRow("type-minus-one") << -1 << 2 << 5 << true << 2;
}

void tst_BackUpUILogic::callbackRules()
{
    QFETCH(int, nType);
    QFETCH(int, nCount);
    QFETCH(int, nAll);
    QFETCH(bool, bPro);
    QFETCH(int, nLastCount);

    // A call-log backup sets the current type (4) that progress is reported for.
    m_pPhone->SetRecords(4, 1);
    QVERIFY(m_pPhone->Use());
    QString strPath;
    int nIgnored = 0;
    QCOMPARE(m_pLogic->BackUp(4, strPath, &nIgnored), 0);
    QCOMPARE(BackUpUILogic::OnBackupCallBack(4, 0, 7, 0), 1);
    QCOMPARE(m_pLogic->GetLastCount(), 7);

    QSignalSpy spyCallBack(m_pLogic, &BackUpUILogic::signalBackupCallBack);
    QSignalSpy spyPro(m_pLogic, &BackUpUILogic::signalBackupPro);
    QCOMPARE(BackUpUILogic::OnBackupCallBack(nType, 3, nCount, nAll), 1);
    QCOMPARE(AllInts(spyCallBack), (QList<QList<int>>{{nType, 3, nCount, nAll}}));
    const QList<QList<int>> listPro = bPro ? QList<QList<int>>{{4, 1, nCount, nAll}} : QList<QList<int>>{};
    QCOMPARE(AllInts(spyPro), listPro);
    QCOMPARE(m_pLogic->GetLastCount(), nLastCount);
    QCOMPARE(m_pLogic->GetResultPath(), strPath.toUtf8());
}

void tst_BackUpUILogic::resultPathCallback()
{
    m_pPhone->SetRecords(0, 2);
    QVERIFY(m_pPhone->Use());
    QString strPath;
    int nCount = 0;
    QCOMPARE(m_pLogic->BackUp(0, strPath, &nCount), 0);
    const QByteArray baPath = m_pLogic->GetResultPath();
    QVERIFY(!baPath.isEmpty());
    const int nLastCount = m_pLogic->GetLastCount();

    QSignalSpy spyCallBack(m_pLogic, &BackUpUILogic::signalBackupCallBack);
    QSignalSpy spyPro(m_pLogic, &BackUpUILogic::signalBackupPro);

    // With a null pointer only the time of the last callback changes.
    const QDateTime dtPrevious = m_pLogic->GetLastCallbackTime();
    QTest::qSleep(5); // let the clock move on
    const QDateTime dtBefore = QDateTime::currentDateTime();
    QCOMPARE(BackUpUILogic::OnBackupCallBack(0, 0, -1111, 0), 1);
    QVERIFY(m_pLogic->GetLastCallbackTime() >= dtBefore);
    QVERIFY(m_pLogic->GetLastCallbackTime() > dtPrevious);
    QCOMPARE(m_pLogic->GetResultPath(), baPath);
    QCOMPARE(m_pLogic->GetLastCount(), nLastCount);
    QCOMPARE(spyCallBack.size(), 0);
    QCOMPARE(spyPro.size(), 0);

    // With a path it becomes the result path, still without any signal.
    const QByteArray baNew = QStringLiteral("/data/новый.dat").toUtf8();
    QCOMPARE(BackUpUILogic::OnBackupCallBack(0, 0, -1111, reinterpret_cast<intptr_t>(baNew.constData())), 1);
    QCOMPARE(m_pLogic->GetResultPath(), baNew);
    QCOMPARE(m_pLogic->GetLastCount(), nLastCount);
    QCOMPARE(spyCallBack.size() + spyPro.size(), 0);
}

QTEST_GUILESS_MAIN(tst_BackUpUILogic)
#include "tst_backupuilogic.moc"
