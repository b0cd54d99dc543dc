// The simulated phone's fault knobs, cancel and reset of running calls, and
// attach/detach with its device events.
#include "CallbackRecorder.h"
#include "TestPhone.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <future>

class tst_SimPhoneFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void backupFaults_data();
    void backupFaults();
    void countAndMemInfoFaults();
    void getFileFaults_data();
    void getFileFaults();
    void stopRunningBackup_data();
    void stopRunningBackup();
    void stopRunningCopy_data();
    void stopRunningCopy();
    void cancelFlagRefusesNewCalls();
    void attachDetachAndUnplug();
    void confinedToPhoneFolder_data();
    void confinedToPhoneFolder();
    void malformedPhoneIni();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestPhone> m_pPhone;
};

void tst_SimPhoneFaults::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
}

void tst_SimPhoneFaults::init()
{
    static int s_nPhone = 0;
    m_pPhone = std::make_unique<TestPhone>(m_dir.filePath(QStringLiteral("phone%1").arg(++s_nPhone)));
    CallbackRecorder::Instance().Register();
    CallbackRecorder::Instance().Clear();
    DVSK_Sim_ClearCallLog();
}

void tst_SimPhoneFaults::cleanup()
{
    DVSK_SetBackup_Cancel(0);
    if (!DVSK_Sim_IsAttached())
        DVSK_Sim_Attach();
    m_pPhone.reset();
}

void tst_SimPhoneFaults::backupFaults_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("errorText");
    QTest::addColumn<bool>("resultPath");

    QTest::newRow("contacts fail") << 0 << "backupError" << 7 << false << false;
    QTest::newRow("images fail busy") << 16 << "backupError" << 20 << false << false;
    QTest::newRow("app data fail") << 15 << "backupError" << 0x1234 << false << false;
    QTest::newRow("sms error text") << 1 << "errorText" << 0 << true << false;
    QTest::newRow("applications error text") << 9 << "errorText" << 0 << true << false;
    QTest::newRow("calendar no path") << 2 << "noResultPath" << 0 << false << false;
    QTest::newRow("app data no path") << 15 << "noResultPath" << 0 << false << false;
    QTest::newRow("mms fault elsewhere") << 19 << "other type" << 0 << false << true;
}

void tst_SimPhoneFaults::backupFaults()
{
    QFETCH(int, type);
    QFETCH(QString, fault);
    QFETCH(int, result);
    QFETCH(bool, errorText);
    QFETCH(bool, resultPath);
    for (int nRecordType : {0, 1, 2, 19})
        m_pPhone->SetRecords(nRecordType, 4);
    m_pPhone->AddFile(QStringLiteral("/sdcard/a.jpg"), 10);
    m_pPhone->AddApp(QStringLiteral("a.b"), 10, {{QStringLiteral("f"), "f"}});
    if (fault == QLatin1String("backupError"))
        m_pPhone->SetBackupError(type, result);
    else if (fault == QLatin1String("errorText"))
        m_pPhone->SetErrorText(type);
    else if (fault == QLatin1String("noResultPath"))
        m_pPhone->SetNoResultPath(type);
    else
        m_pPhone->SetBackupError(0, 9);
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), result);
    if (result != 0) {
        QVERIFY(!pText);
        QVERIFY(CallbackRecorder::Instance().Calls().isEmpty());
        return;
    }
    QVERIFY(pText);
    QCOMPARE(qstrcmp(pText, "error") == 0, errorText);
    if (!errorText && (type == 9 || type == 16))
        free(pText);
    QCOMPARE(CallbackRecorder::Instance().ResultPathCalls().size(), resultPath ? 1 : 0);
}

void tst_SimPhoneFaults::countAndMemInfoFaults()
{
    m_pPhone->SetRecords(0, 4);
    m_pPhone->SetCountError(0, 5);
    m_pPhone->SetCountError(17, 0x20);
    m_pPhone->SetMemInfoError(-4);
    QVERIFY(m_pPhone->Use());
    int nCount = -7;
    QCOMPARE(DVSK_GetBackUpCount(0, &nCount, nullptr), 5);
    QCOMPARE(DVSK_GetBackUpCount(17, &nCount, nullptr), 0x20);
    QCOMPARE(nCount, -7); // nothing written on failure
    QCOMPARE(DVSK_GetBackUpCount(16, &nCount, nullptr), 0);
    QCOMPARE(nCount, 0);
    QCOMPARE(DVSK_GetBackUpCount(3, &nCount, nullptr), int(DVSK_SIM_ERR_UNKNOWN_TYPE));

    DVSK_MemInfo *pList = nullptr;
    QCOMPARE(DVSK_Mobile_MemInfo(&pList), -4);
    QVERIFY(!pList);
    QVERIFY(DVSK_Mobile_MemInfo(nullptr) < 0);
}

void tst_SimPhoneFaults::getFileFaults_data()
{
    QTest::addColumn<QString>("remote");
    QTest::addColumn<int>("result");

    QTest::newRow("fine") << "/sdcard/ok.jpg" << 0;
    QTest::newRow("listed as missing") << "/sdcard/gone.jpg" << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("busy") << "/sdcard/busy.jpg" << int(DVSK_ERR_BUSY);
    QTest::newRow("other code") << "/sdcard/Music/a, b.mp3" << 7;
    QTest::newRow("rate limited, complete") << "/sdcard/slow.mp4" << 0;
}

void tst_SimPhoneFaults::getFileFaults()
{
    QFETCH(QString, remote);
    QFETCH(int, result);
    for (const char *szPath : {"/sdcard/ok.jpg", "/sdcard/gone.jpg", "/sdcard/busy.jpg", "/sdcard/Music/a, b.mp3"})
        m_pPhone->AddFile(QString::fromUtf8(szPath), 100);
    const QString strSlow = m_pPhone->AddFile(QStringLiteral("/sdcard/slow.mp4"), 20 * 1024);
    m_pPhone->SetMissingFile(QStringLiteral("/sdcard/gone.jpg"));
    m_pPhone->SetGetFileError(QStringLiteral("/sdcard/busy.jpg"), DVSK_ERR_BUSY);
    m_pPhone->SetGetFileError(QStringLiteral("/sdcard/Music/a, b.mp3"), 7);
    m_pPhone->SetRateLimitKBps(200);
    QVERIFY(m_pPhone->Use());
    const QString strLocal = m_dir.filePath(QStringLiteral("faulty"));
    QFile::remove(strLocal);
    QCOMPARE(GetFile(strLocal, remote), result);
    QCOMPARE(QFile::exists(strLocal), result == 0);
    if (remote.endsWith(QLatin1String("slow.mp4")))
        QVERIFY(ReadFile(strLocal) == ReadFile(strSlow));
}

void tst_SimPhoneFaults::stopRunningBackup_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");

    QTest::newRow("contacts cancel flag") << 0 << "cancel" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("app data cancel flag") << 15 << "cancel" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("images cancel flag") << 16 << "cancel" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("sms backup cancel") << 1 << "backup cancel" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("sms reset") << 1 << "reset" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("call log detach") << 4 << "detach" << int(DVSK_SIM_ERR_DETACHED);
}

void tst_SimPhoneFaults::stopRunningBackup()
{
    QFETCH(int, type);
    QFETCH(QString, how);
    QFETCH(int, result);
    for (int nRecordType : {0, 1, 4})
        m_pPhone->SetRecords(nRecordType, 2000); // far more than the test waits for
    for (int i = 0; type >= 15 && i <= 50; ++i) {
        if (type == 15)
            m_pPhone->AddApp(QStringLiteral("p%1.q").arg(i), 1, {{QStringLiteral("d"), "d"}});
        else
            m_pPhone->AddFile(QStringLiteral("/sdcard/%1.jpg").arg(i), 1);
    }
    m_pPhone->SetItemDelayMs(20);
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    auto call = std::async(std::launch::async, [&pText, type]() { return DVSK_BackUp(type, "phone book", &pText); });
    QTRY_VERIFY_WITH_TIMEOUT(!CallbackRecorder::Instance().Progress().isEmpty(), 60000);
    if (how == QLatin1String("cancel"))
        DVSK_SetBackup_Cancel(1);
    else if (how == QLatin1String("backup cancel"))
        DVSK_Backup_Cancel();
    else if (how == QLatin1String("reset"))
        DVSK_Reset();
    else
        DVSK_Sim_Detach();
    QCOMPARE(call.get(), result);
    QVERIFY(!pText);
    QVERIFY(CallbackRecorder::Instance().ResultPathCalls().isEmpty());
    const QList<CallbackRecorder::Call> listProgress = CallbackRecorder::Instance().Progress();
    QVERIFY(listProgress.last().nCount < listProgress.last().nAll);
    // Nothing reports after the return.
    const int nReported = CallbackRecorder::Instance().Calls().size();
    DVSK_SetBackup_Cancel(0);
    if (!DVSK_Sim_IsAttached())
        DVSK_Sim_Attach();
    QCOMPARE(CallbackRecorder::Instance().Calls().size(), nReported);
}

void tst_SimPhoneFaults::stopRunningCopy_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");

    QTest::newRow("cancel flag") << "cancel" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("reset") << "reset" << int(DVSK_SIM_ERR_CANCELLED);
    QTest::newRow("detach") << "detach" << int(DVSK_SIM_ERR_DETACHED);
}

void tst_SimPhoneFaults::stopRunningCopy()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/long.mp4"), 4 * 1024 * 1024);
    m_pPhone->SetRateLimitKBps(16); // minutes for the whole file
    QVERIFY(m_pPhone->Use());
    const QString strLocal = m_dir.filePath(QStringLiteral("long.mp4"));
    auto call = std::async(std::launch::async, [&strLocal]() { return GetFile(strLocal, QStringLiteral("/sdcard/Movies/long.mp4")); });
    QTRY_VERIFY_WITH_TIMEOUT(TakeText(DVSK_Sim_GetCallLog()).contains(QLatin1String("long.mp4")), 60000);
    if (how == QLatin1String("cancel"))
        DVSK_SetBackup_Cancel(1);
    else if (how == QLatin1String("reset"))
        DVSK_Reset();
    else
        DVSK_Sim_Detach();
    QCOMPARE(call.get(), result);
    // Nothing, not even a partial or temporary file, is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("long.mp4*"), QStringLiteral(".long.mp4*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

void tst_SimPhoneFaults::cancelFlagRefusesNewCalls()
{
    m_pPhone->SetRecords(0, 3);
    m_pPhone->AddFile(QStringLiteral("/sdcard/a.jpg"), 10);
    QVERIFY(m_pPhone->Use());
    DVSK_SetBackup_Cancel(1);
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(0, "phone book", &pText), int(DVSK_SIM_ERR_CANCELLED));
    QCOMPARE(GetFile(m_dir.filePath(QStringLiteral("c")), QStringLiteral("/sdcard/a.jpg")), int(DVSK_SIM_ERR_CANCELLED));
    int nCount = 0;
    QCOMPARE(DVSK_GetBackUpCount(0, &nCount, nullptr), 0); // counting is not a backup
    QCOMPARE(nCount, 3);
    DVSK_SetBackup_Cancel(0);
    // A reset or a backup cancel is not sticky.
    DVSK_Reset();
    DVSK_Backup_Cancel();
    QCOMPARE(DVSK_BackUp(0, "phone book", &pText), 0);
    QCOMPARE(GetFile(m_dir.filePath(QStringLiteral("c")), QStringLiteral("/sdcard/a.jpg")), 0);
}

void tst_SimPhoneFaults::attachDetachAndUnplug()
{
    for (int i = 1; i <= 3; ++i)
        m_pPhone->AddFile(QStringLiteral("/sdcard/%1.jpg").arg(i), 100);
    m_pPhone->SetRecords(0, 3);
    m_pPhone->SetUnplugAfterFiles(2);
    QVERIFY(m_pPhone->Use());
    QCOMPARE(DVSK_Sim_IsAttached(), 1);
    const QString strLocal = m_dir.filePath(QStringLiteral("unplug"));

    // The phone comes off after two copied files, reported from another thread.
    QCOMPARE(GetFile(strLocal, QStringLiteral("/sdcard/1.jpg")), 0);
    QVERIFY(CallbackRecorder::Instance().Events().isEmpty());
    QCOMPARE(GetFile(strLocal, QStringLiteral("/sdcard/2.jpg")), 0);
    QCOMPARE(CallbackRecorder::Instance().EventCodes(), (QList<int>{DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST}));
    for (const CallbackRecorder::Event &event : CallbackRecorder::Instance().Events())
        QVERIFY(event.threadId != std::this_thread::get_id());
    QCOMPARE(DVSK_Sim_IsAttached(), 0);
    // Detached, every call fails.
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(0, "phone book", &pText), int(DVSK_SIM_ERR_DETACHED));
    QCOMPARE(GetFile(strLocal, QStringLiteral("/sdcard/3.jpg")), int(DVSK_SIM_ERR_DETACHED));
    int nCount = 0;
    QCOMPARE(DVSK_GetBackUpCount(0, &nCount, nullptr), int(DVSK_SIM_ERR_DETACHED));
    DVSK_MemInfo *pList = nullptr;
    QVERIFY(DVSK_Mobile_MemInfo(&pList) < 0);
    QVERIFY(!pList);

    // Plugged in again: one event, and the file count starts afresh.
    CallbackRecorder::Instance().Clear();
    DVSK_Sim_Attach();
    QCOMPARE(CallbackRecorder::Instance().EventCodes(), QList<int>{DVSK_EVENT_DEVICE_ACTIVE});
    QVERIFY(CallbackRecorder::Instance().Events().first().threadId != std::this_thread::get_id());
    QCOMPARE(GetFile(strLocal, QStringLiteral("/sdcard/3.jpg")), 0);
    QCOMPARE(DVSK_Sim_IsAttached(), 1);

    // A detach of its own gives the same events; serving another phone is a fresh connection.
    CallbackRecorder::Instance().Clear();
    DVSK_Sim_Detach();
    QCOMPARE(CallbackRecorder::Instance().EventCodes(), (QList<int>{DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST}));
    TestPhone other(m_dir.filePath(QStringLiteral("other")));
    QVERIFY(other.Use());
    QCOMPARE(DVSK_Sim_IsAttached(), 1);
}

void tst_SimPhoneFaults::confinedToPhoneFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("absolute file") << "absolute";
    QTest::newRow("file above the folder") << "parent";
    QTest::newRow("file through a link") << "link";
    QTest::newRow("application data through a link") << "appdata";
}

// The phone serves only what lies in its own folder: phone.ini's file names
// and the application data archive never reach a file outside it.
void tst_SimPhoneFaults::confinedToPhoneFolder()
{
    QFETCH(QString, kind);
    const QString strSecret = m_dir.filePath(QStringLiteral("secret.txt"));
    QFile secret(strSecret);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("SECRET-CONTENT");
    secret.close();
    m_pPhone->SetRecords(0, 4);
    m_pPhone->AddApp(QStringLiteral("a.b"), 10, {{QStringLiteral("files/own.txt"), "OWN-CONTENT"}});
    QVERIFY(m_pPhone->Save());
    const QString strPhone = m_pPhone->Dir();
    if (kind == QLatin1String("appdata")) {
        QVERIFY(QFile::link(strSecret, strPhone + QStringLiteral("/fs/data/data/a.b/files/stolen.txt")));
    } else {
        QString strFile = strSecret;
        if (kind == QLatin1String("parent"))
            strFile = QStringLiteral("../secret.txt");
        if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(strSecret, strPhone + QStringLiteral("/records/link.dat")));
            strFile = QStringLiteral("records/link.dat");
        }
        QSettings settings(strPhone + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("contacts/file"), strFile);
    }
    // Served as it is now (Use() would write phone.ini anew).
    QCOMPARE(DVSK_Sim_SetPhoneDir(QFile::encodeName(strPhone).constData()), 0);

    char *pText = nullptr;
    if (kind != QLatin1String("appdata")) {
        QCOMPARE(DVSK_BackUp(0, "phone book", &pText), int(DVSK_SIM_ERR_PHONE_IO));
        QVERIFY(CallbackRecorder::Instance().ResultPathCalls().isEmpty());
        return;
    }
    QCOMPARE(DVSK_BackUp(15, "phone book", &pText), 0);
    const QByteArray baZip = FetchResult(m_dir.filePath(QStringLiteral("APPDATA-%1.zip").arg(kind)));
    QVERIFY(baZip.contains("OWN-CONTENT"));
    QVERIFY(!baZip.contains("SECRET-CONTENT"));
    QVERIFY(!baZip.contains("stolen.txt"));
}

// A broken section line is told apart from a missing phone.ini.
void tst_SimPhoneFaults::malformedPhoneIni()
{
    m_pPhone->SetRecords(0, 4);
    QVERIFY(m_pPhone->Save());
    QFile ini(m_pPhone->Dir() + QStringLiteral("/phone.ini"));
    QVERIFY(ini.open(QIODevice::Append));
    ini.write("\n[faults\nitemDelayMs=1\n");
    ini.close();
    QCOMPARE(DVSK_Sim_SetPhoneDir(QFile::encodeName(m_pPhone->Dir()).constData()), int(DVSK_SIM_ERR_BAD_PHONE_INI));
    QCOMPARE(DVSK_Sim_SetPhoneDir(QFile::encodeName(m_dir.filePath(QStringLiteral("none"))).constData()),
             int(DVSK_SIM_ERR_NO_PHONE));
    DVSK_Sim_SetPhoneDir(nullptr);
}

QTEST_GUILESS_MAIN(tst_SimPhoneFaults)
#include "tst_simphonefaults.moc"
