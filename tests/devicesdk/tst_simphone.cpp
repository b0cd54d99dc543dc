// The simulated phone's normal behaviour: backups with their callbacks and
// result texts, counts, copies, memory records, the user data folder and the
// call log.
#include "CallbackRecorder.h"
#include "TestPhone.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_SimPhone : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void backupRecords_data();
    void backupRecords();
    void fileLists_data();
    void fileLists();
    void rawListIsReturnedExactly();
    void appDataArchive();
    void counts_data();
    void counts();
    void getFile_data();
    void getFile();
    void memInfo_data();
    void memInfo();
    void userDataDirectory();
    void callLogRecordsEveryCall();
    void deviceInfoAndPhoneDir();
    void phoneIniIsReloaded();
    void unregisteredCallbackIsNotCalled();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestPhone> m_pPhone;
};

void tst_SimPhone::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
}

void tst_SimPhone::init()
{
    static int s_nPhone = 0;
    m_pPhone = std::make_unique<TestPhone>(m_dir.filePath(QStringLiteral("phone%1").arg(++s_nPhone)));
    CallbackRecorder::Instance().Register();
    CallbackRecorder::Instance().Clear();
    DVSK_Sim_ClearCallLog();
}

void tst_SimPhone::cleanup()
{
    DVSK_SetBackup_Cancel(0);
    m_pPhone.reset();
}

void tst_SimPhone::backupRecords_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("backupCount"); // -1: as counted
    QTest::addColumn<QByteArray>("content"); // empty: no result file

    QTest::newRow("contacts") << 0 << 40 << -1 << QByteArray("BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n");
    QTest::newRow("call log") << 4 << 7 << -1 << QByteArray("<calls/>");
    QTest::newRow("mms") << 19 << 8 << -1 << QByteArray("<mms/>");
    QTest::newRow("no records") << 0 << 0 << -1 << QByteArray("BEGIN:VCARD\r\n");
    QTest::newRow("backup finds fewer") << 1 << 60 << 58 << QByteArray("<sms/>");
    QTest::newRow("no result file") << 2 << 4 << -1 << QByteArray();
}

void tst_SimPhone::backupRecords()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(int, backupCount);
    QFETCH(QByteArray, content);
    if (content.isEmpty())
        m_pPhone->SetRecordsWithoutFile(type, count);
    else
        m_pPhone->SetRecords(type, count, content, backupCount);
    QVERIFY(m_pPhone->Use());
    const int nReported = backupCount < 0 ? count : backupCount;

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    const quint64 nReturned = CallbackRecorder::Instance().Mark();
    QVERIFY(pText);
    QVERIFY(qstrcmp(pText, "error") != 0);
    char *pSecond = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pSecond), 0);
    QCOMPARE(pSecond, pText); // owned by the SDK: the same static text

    // Every report comes from another thread before the call returns: every
    // item from 0 of N on, then the result path last.
    const QList<CallbackRecorder::Call> listCalls = CallbackRecorder::Instance().Calls();
    int nLastCount = -1;
    int nResultCalls = 0;
    int nFirstRun = 0;
    for (const CallbackRecorder::Call &call : listCalls) {
        QVERIFY(call.threadId != std::this_thread::get_id());
        QCOMPARE(call.nType, type);
        if (call.nSequence > nReturned)
            break;
        ++nFirstRun;
        if (call.nCount == -1111) {
            ++nResultCalls;
            QVERIFY(call.baPath.startsWith('/'));
            continue;
        }
        QCOMPARE(nResultCalls, 0);
        QCOMPARE(call.nCount, nLastCount + 1);
        QCOMPARE(int(call.nAll), nReported);
        nLastCount = call.nCount;
    }
    QCOMPARE(nLastCount, nReported);
    QCOMPARE(nResultCalls, content.isEmpty() ? 0 : 1);
    QCOMPARE(listCalls.size(), 2 * nFirstRun); // the second run reported after its own start only
    if (!content.isEmpty())
        QCOMPARE(FetchResult(m_dir.filePath(QStringLiteral("result-%1").arg(type))), content);
}

void tst_SimPhone::fileLists_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("phonePaths");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("images") << 16
                            << QStringList{QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg"), QStringLiteral("/sdcard/DCIM/Camera/b.PNG"),
                                           QStringLiteral("/sdcard/Pictures/Shared/IMG_0001.jpg")}
                            << QStringList{QStringLiteral("IMG_0001.jpg"), QStringLiteral("b.PNG"), QStringLiteral("IMG_0001.jpg")};
    QTest::newRow("audio") << 18 << QStringList{QStringLiteral("/sdcard/Music/a b.mp3"), QStringLiteral("/sdcard/Recordings/r.amr")}
                           << QStringList{QStringLiteral("a b.mp3"), QStringLiteral("r.amr")};
    QTest::newRow("applications") << 9 << QStringList{QStringLiteral("/data/app/com.example.a.apk"), QStringLiteral("/data/app/org.sample.b.apk")}
                                  << QStringList{QStringLiteral("com.example.a"), QStringLiteral("org.sample.b")};
}

void tst_SimPhone::fileLists()
{
    QFETCH(int, type);
    QFETCH(QStringList, phonePaths);
    QFETCH(QStringList, names);
    // Every kind of file is on the phone; only the asked kind is listed.
    for (const char *szPath : {"/sdcard/DCIM/Camera/IMG_0001.jpg", "/sdcard/DCIM/Camera/b.PNG", "/sdcard/Pictures/Shared/IMG_0001.jpg",
                               "/sdcard/DCIM/Camera/VID_1.mp4", "/sdcard/Music/a b.mp3", "/sdcard/Recordings/r.amr",
                               "/sdcard/Documents/notes.txt"})
        m_pPhone->AddFile(QString::fromUtf8(szPath), 100);
    m_pPhone->AddApp(QStringLiteral("org.sample.b"), 1000);
    m_pPhone->AddApp(QStringLiteral("com.example.a"), 2000, {{QStringLiteral("cache/x.png"), "x"}});
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    const quint64 nReturned = CallbackRecorder::Instance().Mark();
    // One line per file: the shown name, 0x18, ..., the phone path; lines end with CR LF.
    const QStringList listLines = TakeText(pText).split(QStringLiteral("\r\n"));
    QCOMPARE(listLines.size(), phonePaths.size());
    for (int i = 0; i < listLines.size(); ++i) {
        const QStringList listFields = listLines.at(i).split(QChar(0x18));
        QVERIFY2(listFields.size() >= 2, qPrintable(listLines.at(i)));
        QCOMPARE(listFields.first(), names.at(i));
        QCOMPARE(listFields.last(), phonePaths.at(i));
        QCOMPARE(GetFile(m_dir.filePath(QStringLiteral("copy")), phonePaths.at(i)), 0);
    }
    for (const CallbackRecorder::Call &call : CallbackRecorder::Instance().Calls()) {
        QVERIFY(call.nSequence < nReturned);
        QVERIFY(call.threadId != std::this_thread::get_id());
        QVERIFY(call.nCount != -1111);
    }
}

void tst_SimPhone::rawListIsReturnedExactly()
{
    const QByteArray baList = QByteArray("../x.jpg\x18/sdcard/../x.jpg\r\n/etc/passwd\r\na\\b.mp3\x18/sdcard/a\\b.mp3\r\n")
        + "..\x18..\r\n\x18/sdcard/empty.jpg\r\n\r\n\x18\x18\r\ndup.jpg\x18/sdcard/d.jpg\r\ndup.jpg\x18/sdcard/d.jpg";
    m_pPhone->SetRawList(16, baList);
    QVERIFY(m_pPhone->Use());
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(16, "phone book", &pText), 0);
    QCOMPARE(TakeText(pText).toUtf8(), baList);
    // None of the hostile paths reaches outside the phone.
    const QString strLocal = m_dir.filePath(QStringLiteral("hostile"));
    for (const char *szPath : {"/sdcard/../x.jpg", "/etc/passwd", "..", "/sdcard/../../phone.ini", "phone.ini", ""})
        QCOMPARE(DVSK_GetFile(strLocal.toUtf8().constData(), szPath, 2), int(DVSK_ERR_FILE_NOT_EXIST));
    QVERIFY(!QFile::exists(strLocal));
}

void tst_SimPhone::appDataArchive()
{
    m_pPhone->AddApp(QStringLiteral("com.example.a"), 5000,
                     {{QStringLiteral("shared_prefs/settings.xml"), "<map/>"}, {QStringLiteral("databases/notes.db"), QByteArray(3000, 'n')}});
    m_pPhone->AddApp(QStringLiteral("com.example.nodata"), 100);
    m_pPhone->AddApp(QStringLiteral("org.sample.b"), 100, {{QStringLiteral("files/a.txt"), "A"}});
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(15, "phone book", &pText), 0);
    QVERIFY(pText && qstrcmp(pText, "error") != 0);
    const QList<CallbackRecorder::Call> listProgress = CallbackRecorder::Instance().Progress();
    // 0, 1, 2 of 2, then the report without a count that ends the archive.
    QCOMPARE(listProgress.size(), 4);
    QCOMPARE(listProgress.at(2).nCount, 2);
    QCOMPARE(listProgress.last().nCount, -1);
    QCOMPARE(int(listProgress.last().nAll), 2);
    // A zip archive with stored entries <package>/<data path>.
    const QByteArray baZip = FetchResult(m_dir.filePath(QStringLiteral("APPDATA.zip")));
    QVERIFY(baZip.startsWith("PK\x03\x04"));
    QCOMPARE(baZip.count("PK\x03\x04"), 3);
    QVERIFY(baZip.contains("com.example.a/databases/notes.db" + QByteArray(3000, 'n')));
    QVERIFY(baZip.contains("com.example.a/shared_prefs/settings.xml<map/>"));
    QVERIFY(baZip.contains("org.sample.b/files/a.txtA"));
}

void tst_SimPhone::counts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("sizeKB");

    // images 1 + 1024 + 1025 bytes = 2050 -> 3 KB (rounded up); videos none;
    // audio 2048 -> 2 KB; apps 10 + 3000 -> 3 KB; the one with data, 9000
    // bytes of it -> 9 KB.
    QTest::newRow("contacts") << 0 << 12 << 0;
    QTest::newRow("sms none") << 1 << 0 << 0;
    QTest::newRow("images") << 16 << 3 << 3;
    QTest::newRow("videos") << 17 << 0 << 0;
    QTest::newRow("audio") << 18 << 1 << 2;
    QTest::newRow("applications") << 9 << 2 << 3;
    QTest::newRow("application data") << 15 << 1 << 9;
}

void tst_SimPhone::counts()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(int, sizeKB);
    m_pPhone->SetRecords(0, 12);
    m_pPhone->AddFile(QStringLiteral("/sdcard/a.jpg"), 1);
    m_pPhone->AddFile(QStringLiteral("/sdcard/b/b.jpeg"), 1024);
    m_pPhone->AddFile(QStringLiteral("/storage/sdcard1/c.gif"), 1025);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Music/m.wav"), 2048);
    m_pPhone->AddFile(QStringLiteral("/sdcard/readme.txt"), 5000);
    m_pPhone->AddApp(QStringLiteral("a.b"), 10);
    m_pPhone->AddApp(QStringLiteral("c.d"), 3000, {{QStringLiteral("x.jpg"), QByteArray(9000, 'x')}});
    QVERIFY(m_pPhone->Use());

    int nCount = -1;
    int nSize = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, &nSize), 0);
    QCOMPARE(nCount, count);
    QCOMPARE(nSize, sizeKB);
    nCount = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, nullptr), 0);
    QCOMPARE(nCount, count);
}

void tst_SimPhone::getFile_data()
{
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QString>("local"); // relative to the test folder
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("result");

    QTest::newRow("copied over a larger file") << "/sdcard/DCIM/a.mp4" << "out/a.mp4" << 2 << 0;
    QTest::newRow("duplicate slashes") << "//sdcard//DCIM/a.mp4" << "out/a2.mp4" << 2 << 0;
    QTest::newRow("not on the phone") << "/sdcard/DCIM/none.jpg" << "out/n.jpg" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("a folder") << "/sdcard/DCIM" << "out/d" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("relative") << "sdcard/DCIM/a.mp4" << "out/r.mp4" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("dot dot") << "/sdcard/../sdcard/DCIM/a.mp4" << "out/p.mp4" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("local parent missing") << "/sdcard/DCIM/a.mp4" << "missing/deeper/a.mp4" << 2 << int(DVSK_SIM_ERR_LOCAL_FILE);
    QTest::newRow("local is a folder") << "/sdcard/DCIM/a.mp4" << "out" << 2 << int(DVSK_SIM_ERR_LOCAL_FILE);
    QTest::newRow("other mode") << "/sdcard/DCIM/a.mp4" << "out/m.mp4" << 1 << int(DVSK_SIM_ERR_BAD_ARGUMENT);
}

void tst_SimPhone::getFile()
{
    QFETCH(QString, remote);
    QFETCH(QString, local);
    QFETCH(int, mode);
    QFETCH(int, result);
    // Larger than one copy buffer and not a multiple of it.
    const QString strHost = m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/a.mp4"), 3 * 1024 * 1024 + 17);
    QVERIFY(m_pPhone->Use());
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("out")));
    const QString strLocal = dir.filePath(local);
    if (result == 0) { // an older, larger file is replaced
        QFile old(strLocal);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4 * 1024 * 1024, 'o'));
    }

    QCOMPARE(GetFile(strLocal, remote, mode), result);
    if (result == 0)
        QVERIFY(ReadFile(strLocal) == ReadFile(strHost));
    else
        QVERIFY(!QFileInfo(strLocal).isFile());
    QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).size(),
             result == 0 ? 1 : 0); // no temporary file left behind
}

void tst_SimPhone::memInfo_data()
{
    QTest::addColumn<QList<qint64>>("storages"); // kind, total, used, unit, ...

    QTest::newRow("two storages") << QList<qint64>{1, 1000, 400, 4096, 2, 8000, 100, 512};
    QTest::newRow("none") << QList<qint64>{};
    QTest::newRow("no total") << QList<qint64>{1, 1000, 400, 4096, 2, -1, 0, 1};
    QTest::newRow("large") << QList<qint64>{2, 64LL << 30, 1LL << 30, 1};
}

void tst_SimPhone::memInfo()
{
    QFETCH(QList<qint64>, storages);
    m_pPhone->ClearStorages();
    for (int i = 0; i + 3 < storages.size(); i += 4)
        m_pPhone->AddStorage(storages.at(i), storages.at(i + 1), storages.at(i + 2), storages.at(i + 3));
    QVERIFY(m_pPhone->Use());

    DVSK_MemInfo *pList = nullptr;
    const int nRecords = DVSK_Mobile_MemInfo(&pList);
    QCOMPARE(nRecords, int(storages.size() / 4));
    QVERIFY(pList);
    QList<qint64> listGot;
    for (int i = 0; i < nRecords; ++i)
        listGot << qint64(pList[i].nType) << qint64(pList[i].nTotal) << qint64(pList[i].nUsed) << qint64(pList[i].nUnit);
    free(pList);
    QCOMPARE(listGot, storages);
}

void tst_SimPhone::userDataDirectory()
{
    const QByteArray baOld = qgetenv("DVSK_SIM_USERDATA");
    for (const QString &strSet : {m_dir.filePath(QStringLiteral("user data/ä")), m_dir.filePath(QStringLiteral("ud2/"))}) {
        qputenv("DVSK_SIM_USERDATA", strSet.toUtf8());
        wchar_t *pDir = nullptr;
        QCOMPARE(DVSK_GetUserDataDirectory(&pDir), 0);
        QVERIFY(pDir);
        const QString strDir = QString::fromWCharArray(pDir);
        free(pDir);
        // Created, and ending with exactly one separator.
        QVERIFY(strDir.endsWith(QLatin1Char('/')) && !strDir.endsWith(QLatin1String("//")));
        QCOMPARE(QDir::cleanPath(strDir), QDir::cleanPath(strSet));
        QVERIFY(QFileInfo(strDir).isDir());
    }
    baOld.isEmpty() ? qunsetenv("DVSK_SIM_USERDATA") : qputenv("DVSK_SIM_USERDATA", baOld);
    QCOMPARE(DVSK_GetUserDataDirectory(nullptr), int(DVSK_SIM_ERR_BAD_ARGUMENT));
}

void tst_SimPhone::callLogRecordsEveryCall()
{
    m_pPhone->SetRecords(0, 1);
    QVERIFY(m_pPhone->Use());
    DVSK_Sim_ClearCallLog();
    char *pText = nullptr;
    DVSK_BackUp(0, "phone book", &pText);
    DVSK_GetFile("/tmp/x y", "/sdcard/none", 2);
    int nCount = 0;
    DVSK_GetBackUpCount(16, &nCount, nullptr);
    DVSK_MemInfo *pList = nullptr;
    DVSK_Mobile_MemInfo(&pList);
    free(pList);
    DVSK_SetBackup_Cancel(1);
    DVSK_Backup_Cancel();
    DVSK_Operation_Cancel("zvtransport shell am broadcast -a x");
    DVSK_Reset();
    QCOMPARE(TakeText(DVSK_Sim_GetCallLog()).split(QLatin1Char('\n')),
             (QStringList{QStringLiteral("DVSK_BackUp 0 \"phone book\""), QStringLiteral("DVSK_GetFile \"/tmp/x y\" \"/sdcard/none\" 2"),
                          QStringLiteral("DVSK_GetBackUpCount 16"), QStringLiteral("DVSK_Mobile_MemInfo"),
                          QStringLiteral("DVSK_SetBackup_Cancel 1"), QStringLiteral("DVSK_Backup_Cancel"),
                          QStringLiteral("DVSK_Operation_Cancel \"zvtransport shell am broadcast -a x\""),
                          QStringLiteral("DVSK_Reset")}));
    DVSK_Sim_ClearCallLog();
    QCOMPARE(TakeText(DVSK_Sim_GetCallLog()), QString());
}

void tst_SimPhone::deviceInfoAndPhoneDir()
{
    m_pPhone->SetDevice(QStringLiteral("Corvo Ä1"), QStringLiteral("V200R002C05B010"), QStringLiteral("351234567890123"));
    QVERIFY(m_pPhone->Use());
    QCOMPARE(TakeText(DVSK_Sim_GetDeviceInfo()), QStringLiteral("Corvo Ä1\nV200R002C05B010\n351234567890123"));
    QCOMPARE(TakeText(DVSK_Sim_GetPhoneDir()), m_pPhone->Dir());

    // Without an explicit folder: $DVSK_SIM_PHONE, else the bundled phone.
    const QByteArray baOld = qgetenv("DVSK_SIM_PHONE");
    qputenv("DVSK_SIM_PHONE", m_pPhone->Dir().toUtf8());
    TestPhone::UseDefault();
    QCOMPARE(TakeText(DVSK_Sim_GetPhoneDir()), m_pPhone->Dir());
    qunsetenv("DVSK_SIM_PHONE");
    QCOMPARE(QDir::cleanPath(TakeText(DVSK_Sim_GetPhoneDir())), QDir::cleanPath(QStringLiteral(BACKUP_STAGE_DIR "/samples/phone")));
    if (!baOld.isEmpty())
        qputenv("DVSK_SIM_PHONE", baOld);

    const QString strEmpty = m_dir.filePath(QStringLiteral("not a phone"));
    QDir().mkpath(strEmpty);
    QCOMPARE(DVSK_Sim_SetPhoneDir(strEmpty.toUtf8().constData()), int(DVSK_SIM_ERR_NO_PHONE));
    int nCount = 0;
    QCOMPARE(DVSK_GetBackUpCount(0, &nCount, nullptr), int(DVSK_SIM_ERR_NO_PHONE));
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(0, "phone book", &pText), int(DVSK_SIM_ERR_NO_PHONE));
    QVERIFY(!pText);
}

void tst_SimPhone::phoneIniIsReloaded()
{
    m_pPhone->SetRecords(0, 5);
    QVERIFY(m_pPhone->Use());
    int nCount = 0;
    QCOMPARE(DVSK_GetBackUpCount(0, &nCount, nullptr), 0);
    QCOMPARE(nCount, 5);
    {
        QSettings settings(m_pPhone->Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("contacts/count"), 9);
        settings.setValue(QStringLiteral("faults/countErrors"), QStringLiteral("16:77"));
    }
    QCOMPARE(DVSK_GetBackUpCount(0, &nCount, nullptr), 0);
    QCOMPARE(nCount, 9);
    QCOMPARE(DVSK_GetBackUpCount(16, &nCount, nullptr), 77);
}

void tst_SimPhone::unregisteredCallbackIsNotCalled()
{
    m_pPhone->SetRecords(4, 3);
    QVERIFY(m_pPhone->Use());
    DVSK_Backup_UnRegCallBack(nullptr); // not the registered one: it stays
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(4, "phone book", &pText), 0);
    QVERIFY(!CallbackRecorder::Instance().Calls().isEmpty());
    CallbackRecorder::Instance().Clear();
    CallbackRecorder::Instance().UnregisterBackup();
    QCOMPARE(DVSK_BackUp(4, "phone book", &pText), 0);
    QVERIFY(CallbackRecorder::Instance().Calls().isEmpty());
}

QTEST_GUILESS_MAIN(tst_SimPhone)
#include "tst_simphone.moc"
