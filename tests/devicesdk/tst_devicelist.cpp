// Choosing the phone, listing and watching phones, connecting over Wi-Fi and
// the phone's identity, through the SDK's exported functions: the simulated
// phone, and phones of the device simulator behind a private adb server.
#include "AdbTestRig.h"
#include "CallbackRecorder.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "sdk/dvsk.h"
#include "sdk/dvsk_device.h"
#include "sdk/dvsk_sim.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>

namespace
{
std::atomic<int> g_nListChanges {0};

void OnListChanged()
{
    ++g_nListChanges;
}

// A text the SDK hands out, freed; "(null)" for none.
QString Take(char *szText)
{
    return szText ? TakeText(szText) : QStringLiteral("(null)");
}

// The list of phones, one line each; *pnResult gets the call's result.
QStringList ListLines(int *pnResult = nullptr)
{
    char *szText = nullptr;
    const int nResult = DVSK_Device_List(&szText);
    if (pnResult)
        *pnResult = nResult;
    return Take(szText).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString Identity()
{
    return Take(DVSK_Device_GetIdentity());
}
} // namespace

class tst_DeviceList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void selectingTheBackEnd_data();
    void selectingTheBackEnd();
    void theSimulatedPhoneListsItself();
    void callbacksFollowTheChosenPhone();
    void noServerIsSaid();
    void adbListsEveryPhone();
    void connectOverWifi_data();
    void connectOverWifi();
    void watchingTheAdbServer();

private:
    std::unique_ptr<TestEnv> m_pEnv;
    QTemporaryDir m_dir;
    QString m_strPhone;
    std::unique_ptr<AdbTestRig> m_pRig;
};

void tst_DeviceList::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    m_pEnv = std::make_unique<TestEnv>();
    TestPhone phone(m_dir.filePath("phone"));
    phone.SetDevice("Corvo Z1", "CRZ1 V1", "350000000000077");
    phone.SetSerial("CZ1SERIAL0042");
    phone.AddFile("/sdcard/DCIM/a.jpg", 100);
    QVERIFY(phone.Use());
    m_strPhone = phone.Dir();
}

void tst_DeviceList::cleanupTestCase()
{
    DVSK_Device_WatchList(nullptr);
    if (m_pRig)
        m_pRig->Stop();
}

void tst_DeviceList::selectingTheBackEnd_data()
{
    QTest::addColumn<QByteArray>("baEnv");
    QTest::addColumn<QByteArray>("baChoice"); // null: DVSK_Device_Select(NULL)
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strKind");

    QTest::newRow("nothing said: a real phone") << QByteArray() << QByteArray() << 0 << "adb";
    QTest::newRow("empty text: a real phone") << QByteArray() << QByteArray("") << 0 << "adb";
    QTest::newRow("environment sim") << QByteArray("sim") << QByteArray() << 0 << "sim";
    QTest::newRow("environment names a serial") << QByteArray("adb:R58M") << QByteArray() << 0 << "adb";
    QTest::newRow("the text wins over the environment") << QByteArray("adb") << QByteArray("sim") << 0 << "sim";
    QTest::newRow("the picker's adb:SERIAL") << QByteArray("sim") << QByteArray("adb:127.0.0.1:5555") << 0 << "adb";
    QTest::newRow("adb: without a serial") << QByteArray() << QByteArray("adb:") << int(DVSK_DEV_ERR_BAD_CHOICE) << "sim";
    QTest::newRow("unknown back end") << QByteArray() << QByteArray("usb") << int(DVSK_DEV_ERR_BAD_CHOICE) << "sim";
    QTest::newRow("unknown environment") << QByteArray("phone") << QByteArray() << int(DVSK_DEV_ERR_BAD_CHOICE) << "sim";
}

void tst_DeviceList::selectingTheBackEnd()
{
    QFETCH(QByteArray, baEnv);
    QFETCH(QByteArray, baChoice);
    QFETCH(int, nResult);
    QFETCH(QString, strKind);
    // A refused choice keeps the one before.
    QCOMPARE(DVSK_Device_Select("sim"), 0);
    qputenv("DVSK_DEVICE", baEnv);
    QCOMPARE(DVSK_Device_Select(baChoice.isNull() ? nullptr : baChoice.constData()), nResult);
    qputenv("DVSK_DEVICE", "sim");
    QCOMPARE(QString::fromLatin1(DVSK_Device_Kind()), strKind);
}

void tst_DeviceList::theSimulatedPhoneListsItself()
{
    QCOMPARE(DVSK_Device_Select("sim"), 0);
    DVSK_Sim_Attach();
    int nResult = -1;
    QCOMPARE(ListLines(&nResult), QStringList {"CZ1SERIAL0042\tready\tsim\tCorvo Z1\t"});
    QCOMPARE(nResult, 0);
    QCOMPARE(Identity(), QString("serial=CZ1SERIAL0042\nmanufacturer=Corvo\nmodel=Corvo Z1\nandroid=11\nbackend=sim\n"));

    DVSK_Device_WatchList(&OnListChanged);
    const int nBefore = g_nListChanges.load();
    DVSK_Sim_Detach();
    QCOMPARE(g_nListChanges.load(), nBefore + 1);
    QCOMPARE(ListLines(), QStringList {"CZ1SERIAL0042\toffline\tsim\tCorvo Z1\t"});
    QCOMPARE(Identity(), QString("(null)"));
    DVSK_Sim_Attach();
    QCOMPARE(g_nListChanges.load(), nBefore + 2);
    DVSK_Device_WatchList(nullptr);
    DVSK_Sim_Detach();
    DVSK_Sim_Attach();
    QCOMPARE(g_nListChanges.load(), nBefore + 2);
}

void tst_DeviceList::callbacksFollowTheChosenPhone()
{
    // The engine registers its callbacks once; a phone picked later gets them.
    QCOMPARE(DVSK_Device_Select("adb:R58M"), 0);
    CallbackRecorder::Instance().Register();
    QCOMPARE(DVSK_Device_Select("adb:127.0.0.1:5555"), 0);
    QCOMPARE(DVSK_Device_Select("sim"), 0);
    CallbackRecorder::Instance().TakeEventCodes();
    DVSK_Sim_Detach();
    QCOMPARE(CallbackRecorder::Instance().TakeEventCodes(),
             (QList<int> {DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST}));
    DVSK_Sim_Attach();
    QCOMPARE(CallbackRecorder::Instance().TakeEventCodes(), QList<int> {DVSK_EVENT_DEVICE_ACTIVE});
    CallbackRecorder::Instance().UnregisterBackup();
    DVSK_DevSrv_RegisterDevInitEventCallback(nullptr);
}

void tst_DeviceList::noServerIsSaid()
{
    // No server on the port and no adb program to start one.
    const QByteArray baPath = qgetenv("PATH");
    qputenv("PATH", m_dir.filePath("empty").toUtf8());
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(AdbTestRig::FreePort()));
    QCOMPARE(DVSK_Device_Select("adb"), 0);
    int nResult = -1;
    const QStringList listLines = ListLines(&nResult);
    char *szMessage = nullptr;
    const int nOpen = DVSK_Device_Open(&szMessage);
    const QString strOpen = Take(szMessage);
    const int nWifi = DVSK_Device_ConnectWifi("192.168.1.20:5555", &szMessage);
    const QString strWifi = Take(szMessage);
    qputenv("PATH", baPath);
    QCOMPARE(nResult, int(DVSK_DEV_ERR_NO_SERVER));
    QVERIFY2(listLines.join('\n').contains("adb"), qPrintable(listLines.join('\n')));
    QCOMPARE(nOpen, int(DVSK_DEV_ERR_NO_SERVER));
    QVERIFY2(strOpen.contains("No adb server"), qPrintable(strOpen));
    QCOMPARE(nWifi, int(DVSK_DEV_ERR_NO_SERVER));
    QVERIFY(!strWifi.isEmpty());
    QCOMPARE(Identity(), QString("(null)"));
    QCOMPARE(DVSK_Device_Select("sim"), 0);
}

void tst_DeviceList::adbListsEveryPhone()
{
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    m_pRig = std::make_unique<AdbTestRig>(m_dir.path());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
    qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(m_pRig->ServerPort()));
    QCOMPARE(DVSK_Device_Select("adb"), 0);
    int nListed = -1;
    const QStringList listNone = ListLines(&nListed);
    QVERIFY2(nListed == 0 && listNone.isEmpty(), qPrintable(QString::number(nListed) + ": " + listNone.join('\n')));

    const QString strReady = m_pRig->StartSimulator(m_strPhone);
    QVERIFY(!strReady.isEmpty());
    const QString strLocked = m_pRig->StartSimulator(m_strPhone, {"--unauthorized"}, false);
    QVERIFY(!strLocked.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(ListLines().contains(strLocked + "\tunauthorized\twifi\t\tunauthorized"), 20000);
    QVERIFY2(ListLines().contains(strReady + "\tready\twifi\tCorvo Z1\t"), qPrintable(ListLines().join('\n')));

    // The one usable phone is taken; its identity is its own serial, not IP:PORT.
    char *szMessage = nullptr;
    QCOMPARE(DVSK_Device_Open(&szMessage), 0);
    QCOMPARE(Identity(), QString("serial=CZ1SERIAL0042\nmanufacturer=Corvo\nmodel=Corvo Z1\nandroid=11\nbackend=adb\n"));
    m_pRig->Adb({"disconnect", strLocked});
}

void tst_DeviceList::connectOverWifi_data()
{
    QTest::addColumn<QString>("strHostPort"); // "SIM": the simulator's own address
    QTest::addColumn<int>("nResult");
    QTest::addColumn<QString>("strSaying");

    QTest::newRow("not HOST:PORT") << "192.168.1.20" << int(DVSK_DEV_ERR_BAD_ARGUMENT) << "HOST:PORT";
    QTest::newRow("port out of range") << "192.168.1.20:70000" << int(DVSK_DEV_ERR_BAD_ARGUMENT) << "HOST:PORT";
    QTest::newRow("nobody listens") << "127.0.0.1:PORT" << int(DVSK_DEV_ERR_NO_PHONE) << "127.0.0.1";
    QTest::newRow("the simulator") << "SIM" << 0 << "connected to";
    QTest::newRow("already connected") << "SIM" << 0 << "connected to";
}

void tst_DeviceList::connectOverWifi()
{
    if (!m_pRig)
        QSKIP("needs the adb server of adbListsEveryPhone");
    QFETCH(QString, strHostPort);
    QFETCH(int, nResult);
    QFETCH(QString, strSaying);
    static QString s_strSimulator;
    if (strHostPort == "SIM") {
        if (s_strSimulator.isEmpty()) {
            s_strSimulator = m_pRig->StartSimulator(m_strPhone);
            QVERIFY(!s_strSimulator.isEmpty());
            m_pRig->Adb({"disconnect", s_strSimulator});
        }
        strHostPort = s_strSimulator;
    }
    strHostPort.replace("PORT", QString::number(AdbTestRig::FreePort()));
    char *szMessage = nullptr;
    QCOMPARE(DVSK_Device_ConnectWifi(strHostPort.toUtf8().constData(), &szMessage), nResult);
    const QString strMessage = Take(szMessage);
    QVERIFY2(strMessage.contains(strSaying), qPrintable(strMessage));
    if (nResult == 0)
        QTRY_VERIFY_WITH_TIMEOUT(ListLines().join('\n').contains(strHostPort + "\tready"), 20000);
}

void tst_DeviceList::watchingTheAdbServer()
{
    if (!m_pRig)
        QSKIP("needs the adb server of adbListsEveryPhone");
    QCOMPARE(DVSK_Device_Select("adb"), 0);
    g_nListChanges = 0;
    DVSK_Device_WatchList(&OnListChanged);
    // The first list comes when the watch reaches the server.
    QTRY_VERIFY_WITH_TIMEOUT(g_nListChanges.load() >= 1, 20000);

    int nSeen = g_nListChanges.load();
    const QString strSerial = m_pRig->StartSimulator(m_strPhone);
    QVERIFY(!strSerial.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(g_nListChanges.load() > nSeen, 20000);

    nSeen = g_nListChanges.load();
    QCOMPARE(m_pRig->SimulatorCommand(strSerial, "unplug"), QString("unplugged"));
    QTRY_VERIFY_WITH_TIMEOUT(g_nListChanges.load() > nSeen, 20000);

    // The server goes away, then comes back.
    nSeen = g_nListChanges.load();
    QCOMPARE(m_pRig->Adb({"kill-server"}).nStatus, 0);
    QTRY_VERIFY_WITH_TIMEOUT(g_nListChanges.load() > nSeen, 20000);
    int nResult = -1;
    const QByteArray baPath = qgetenv("PATH");
    qputenv("PATH", m_dir.filePath("empty").toUtf8());
    ListLines(&nResult);
    qputenv("PATH", baPath);
    QCOMPARE(nResult, int(DVSK_DEV_ERR_NO_SERVER));

    nSeen = g_nListChanges.load();
    QCOMPARE(m_pRig->Adb({"start-server"}).nStatus, 0);
    QTRY_VERIFY_WITH_TIMEOUT(g_nListChanges.load() > nSeen, 20000);
    ListLines(&nResult);
    QCOMPARE(nResult, 0);

    // Not told once the watch ends.
    DVSK_Device_WatchList(nullptr);
    nSeen = g_nListChanges.load();
    m_pRig->Adb({"connect", strSerial});
    QCOMPARE(m_pRig->Adb({"kill-server"}).nStatus, 0);
    QCOMPARE(g_nListChanges.load(), nSeen);
}

QTEST_GUILESS_MAIN(tst_DeviceList)
#include "tst_devicelist.moc"
