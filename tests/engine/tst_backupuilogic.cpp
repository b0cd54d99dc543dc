// The backup logic against the simulated phone: a record backup and its
// failures, the GetFile result mapping, the phone description, device events
// and the rules of the backup callback.
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

QList<QList<int>> AllInts(const QSignalSpy &spy)
{
    QList<QList<int>> list;
    for (const QList<QVariant> &args : spy) {
        QList<int> listArgs;
        for (const QVariant &arg : args)
            listArgs << arg.toInt();
        list << listArgs;
    }
    return list;
}
} // namespace

class tst_BackUpUILogic : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void backUpRecordType();
    void lastCountStartsAfresh();
    void backUpFailures_data();
    void backUpFailures();
    void getFile_data();
    void getFile();
    void getPhoneInfo_data();
    void getPhoneInfo();
    void deviceEvents_data();
    void deviceEvents();
    void callbackRules_data();
    void callbackRules();

private:
    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<TestPhone> m_pPhone;
    BackUpUILogic *m_pLogic = BackUpUILogic::Instance();
};

void tst_BackUpUILogic::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    m_pPhone = std::make_unique<TestPhone>(m_pEnv->Path(QStringLiteral("phone")));
    // Device events of earlier tests still queued are delivered now.
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
    m_pPhone->SetRecords(1, 3, "sms records", 2);
    QVERIFY(m_pPhone->Use());
    QSignalSpy spyCallBack(m_pLogic, &BackUpUILogic::signalBackupCallBack);
    QSignalSpy spyPro(m_pLogic, &BackUpUILogic::signalBackupPro);
    QSignalSpy spyEnd(m_pLogic, &BackUpUILogic::signalsTimeOutEnd);

    QString strPath;
    int nCount = -7;
    QCOMPARE(m_pLogic->BackUp(1, strPath, &nCount), 0);
    QCOMPARE(strPath, QStringLiteral("/data/local/tmp/backup/sms.dat"));
    QCOMPARE(nCount, 2);
    QCOMPARE(m_pLogic->GetResultPath(), strPath.toUtf8());
    QCOMPARE(spyEnd.size(), 1);
    // Every progress call is re-emitted; the result-path call is not.
    QCOMPARE(AllInts(spyCallBack), (QList<QList<int>>{{1, 0, 0, 2}, {1, 0, 1, 2}, {1, 0, 2, 2}}));
    QCOMPARE(AllInts(spyPro), (QList<QList<int>>{{1, 1, 1, 2}, {1, 1, 2, 2}}));

    const QString strLocal = m_pEnv->Path(QStringLiteral("SMS.zip"));
    QCOMPARE(m_pLogic->GetFile(strLocal, strPath, 2), 0);
    QCOMPARE(ReadFile(strLocal), QByteArray("sms records"));
}

// The count of the previous module never passes for the next one's.
void tst_BackUpUILogic::lastCountStartsAfresh()
{
    m_pPhone->SetBackupError(0, 7);
    QVERIFY(m_pPhone->Use());
    QCOMPARE(BackUpUILogic::OnBackupCallBack(1, 0, 40, 40), 1);
    QCOMPARE(m_pLogic->GetLastCount(), 40);
    QString strPath;
    int nCount = 12;
    QCOMPARE(m_pLogic->BackUp(0, strPath, &nCount), 7);
    QCOMPARE(m_pLogic->GetLastCount(), -1);
    QCOMPARE(nCount, 12);
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
    QTest::addColumn<int>("nFault"); // an SDK code, or 0
    QTest::addColumn<QString>("strLocalName");
    QTest::addColumn<int>("nExpected");
    QTest::newRow("copied, non-latin target") << 0 << "копия 写真.jpg" << 0;
    QTest::newRow("busy-20") << 20 << "copy.jpg" << 13;
    QTest::newRow("not-exist-code") << int(DVSK_ERR_FILE_NOT_EXIST) << "copy.jpg" << 131;
    QTest::newRow("other-1") << 1 << "copy.jpg" << 1;
    QTest::newRow("other-sim-code") << int(DVSK_SIM_ERR_PHONE_IO) << "copy.jpg" << 1;
}

void tst_BackUpUILogic::getFile()
{
    QFETCH(int, nFault);
    QFETCH(QString, strLocalName);
    QFETCH(int, nExpected);
    const QString strRemote = QStringLiteral("/sdcard/DCIM/фото.jpg");
    m_pPhone->AddFile(strRemote, QByteArray("picture bytes"));
    if (nFault)
        m_pPhone->SetGetFileError(strRemote, nFault);
    QVERIFY(m_pPhone->Use());

    const QString strLocal = m_pEnv->Path(strLocalName);
    QCOMPARE(m_pLogic->GetFile(strLocal, strRemote, 2), nExpected);
    QCOMPARE(ReadFile(strLocal), nExpected == 0 ? QByteArray("picture bytes") : QByteArray());
    QCOMPARE(QFileInfo::exists(strLocal), nExpected == 0);
}

void tst_BackUpUILogic::getPhoneInfo_data()
{
    QTest::addColumn<QString>("strFirmware");
    QTest::addColumn<QString>("strCVersion");
    QTest::newRow("short-without-c") << "AB" << "AB";
    QTest::newRow("no-c") << "V100R001B100" << "V10";
    QTest::newRow("last-c-wins") << "C1C2C34" << "C34";
    QTest::newRow("lower-case-c-ignored") << "V1c2C9x" << "C9x";
    QTest::newRow("c-last") << "XYZC" << "C";
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
    QTest::newRow("other-negative") << -6004 << false << false;
}

// The callback is called the way the SDK does: from its own thread.
void tst_BackUpUILogic::deviceEvents()
{
    QFETCH(int, nEvent);
    QFETCH(bool, bForwarded);
    QFETCH(bool, bActive);
    QSignalSpy spyEvent(m_pLogic, &BackUpUILogic::signalDeviceMgrEvent);
    QSignalSpy spyActive(m_pLogic, &BackUpUILogic::signalDeviceAcitve);
    // A forwarded event behind it: once that one has arrived, anything the
    // first event caused has arrived too.
    for (int nRaised : {nEvent, 6004})
        std::thread([nRaised]() { BackUpUILogic::OnDevMgrEvent(nRaised); }).join();
    QTRY_COMPARE_WITH_TIMEOUT(spyActive.size(), bForwarded ? 2 : 1, 60000);

    QList<QList<int>> listEvents{{6004}};
    if (bForwarded)
        listEvents.prepend(QList<int>{nEvent});
    QCOMPARE(AllInts(spyEvent), listEvents);
    QCOMPARE(spyActive.first().at(0).toBool(), bForwarded ? bActive : true);
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
    // Count -1111: the last value is a result path (or null), never progress.
    QTest::newRow("null result path") << 4 << -1111 << 0 << false << 7;
    QTest::newRow("result path") << 4 << -1111 << 1 << false << 7;
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

    QSignalSpy spyCallBack(m_pLogic, &BackUpUILogic::signalBackupCallBack);
    QSignalSpy spyPro(m_pLogic, &BackUpUILogic::signalBackupPro);
    const QByteArray baNew = QStringLiteral("/data/новый.dat").toUtf8();
    const intptr_t nLast = nCount == -1111 && nAll ? reinterpret_cast<intptr_t>(baNew.constData()) : nAll;
    QCOMPARE(BackUpUILogic::OnBackupCallBack(nType, 3, nCount, nLast), 1);
    const QList<QList<int>> listCallBack =
        nCount == -1111 ? QList<QList<int>>{} : QList<QList<int>>{{nType, 3, nCount, nAll}};
    QCOMPARE(AllInts(spyCallBack), listCallBack);
    const QList<QList<int>> listPro = bPro ? QList<QList<int>>{{4, 1, nCount, nAll}} : QList<QList<int>>{};
    QCOMPARE(AllInts(spyPro), listPro);
    QCOMPARE(m_pLogic->GetLastCount(), nLastCount);
    QCOMPARE(m_pLogic->GetResultPath(), nLast == nAll ? strPath.toUtf8() : baNew);
}

QTEST_GUILESS_MAIN(tst_BackUpUILogic)
#include "tst_backupuilogic.moc"
