// The simulated phone's normal behaviour: backups with their callbacks and
// result texts, counts, copies, memory records, the user data folder and the
// call log.
#include "CallbackRecorder.h"
#include "TestPhone.h"
#include "sdk/dvsk_sim.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <stdlib.h>

namespace
{
QByteArray ReadFile(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TakeText(char *p)
{
    const QString str = p ? QString::fromUtf8(p) : QString();
    free(p);
    return str;
}

int GetFile(const QString &strLocal, const QString &strRemote, int nMode = 2)
{
    return DVSK_GetFile(strLocal.toUtf8().constData(), strRemote.toUtf8().constData(), nMode);
}

// Entry name -> data of a zip archive whose entries are stored.
QMap<QString, QByteArray> StoredZipEntries(const QByteArray &ba)
{
    QMap<QString, QByteArray> map;
    auto u16 = [&ba](int i) { return quint32(quint8(ba[i])) | quint32(quint8(ba[i + 1])) << 8; };
    auto u32 = [&](int i) { return u16(i) | u16(i + 2) << 16; };
    int i = 0;
    while (i + 30 <= ba.size() && u32(i) == 0x04034b50) {
        const quint32 nSize = u32(i + 18);
        const int nName = int(u16(i + 26));
        const int nExtra = int(u16(i + 28));
        const QString strName = QString::fromUtf8(ba.mid(i + 30, nName));
        map.insert(strName, ba.mid(i + 30 + nName + nExtra, int(nSize)));
        i += 30 + nName + nExtra + int(nSize);
    }
    return map;
}
} // namespace

class tst_SimPhone : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void backupRecords_data();
    void backupRecords();
    void backupRecordsCountMismatch();
    void backupRecordsWithoutFile();
    void fileLists_data();
    void fileLists();
    void rawListIsReturnedExactly();
    void appDataArchive();
    void counts_data();
    void counts();
    void getFile_data();
    void getFile();
    void getFileReplacesAndCopiesLargeFiles();
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
    CallbackRecorder::Instance().Register();
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
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("contacts") << 0 << 40 << QByteArray("BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n");
    QTest::newRow("sms") << 1 << 3 << QByteArray("<sms/>");
    QTest::newRow("calendar") << 2 << 1 << QByteArray("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    QTest::newRow("call log") << 4 << 7 << QByteArray("<calls/>");
    QTest::newRow("e-mail") << 5 << 2 << QByteArray("From: a\r\n");
    QTest::newRow("bookmarks") << 6 << 5 << QByteArray("<bookmarks/>");
    QTest::newRow("mms") << 19 << 8 << QByteArray("<mms/>");
    QTest::newRow("no records") << 0 << 0 << QByteArray("BEGIN:VCARD\r\n");
}

void tst_SimPhone::backupRecords()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(QByteArray, content);
    m_pPhone->SetRecords(type, count, content);
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    const quint64 nReturned = CallbackRecorder::Instance().Mark();
    QVERIFY(pText);
    QVERIFY(qstrcmp(pText, "error") != 0);
    char *pSecond = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pSecond), 0);
    QCOMPARE(pSecond, pText); // owned by the SDK: the same static text

    const QList<CallbackRecorder::Call> listCalls = CallbackRecorder::Instance().Calls();
    QVERIFY(!listCalls.isEmpty());
    const std::thread::id caller = std::this_thread::get_id();
    int nLastCount = -1;
    int nResultCalls = 0;
    int nFirstRun = 0;
    for (const CallbackRecorder::Call &call : listCalls) {
        QVERIFY(call.threadId != caller);
        QCOMPARE(call.nType, type);
        if (call.nSequence > nReturned)
            break;
        ++nFirstRun;
        if (call.nCount == -1111) {
            ++nResultCalls;
            QVERIFY(!call.baPath.isEmpty());
            QVERIFY(call.baPath.startsWith('/'));
            continue;
        }
        QCOMPARE(nResultCalls, 0); // the result path comes last
        QCOMPARE(call.nCount, nLastCount + 1); // every item, from 0 of N on
        QCOMPARE(int(call.nAll), count);
        nLastCount = call.nCount;
    }
    QCOMPARE(nResultCalls, 1);
    QCOMPARE(nLastCount, count);
    QCOMPARE(listCalls.size(), 2 * nFirstRun); // the second run reported after its own start only

    const QString strLocal = m_dir.filePath(QStringLiteral("result-%1").arg(type));
    QCOMPARE(GetFile(strLocal, QString::fromUtf8(CallbackRecorder::Instance().ResultPathCalls().first().baPath)), 0);
    QCOMPARE(ReadFile(strLocal), content);
}

void tst_SimPhone::backupRecordsCountMismatch()
{
    m_pPhone->SetRecords(1, 60, "<sms/>", 58);
    QVERIFY(m_pPhone->Use());
    int nCount = -1;
    int nSize = -1;
    QCOMPARE(DVSK_GetBackUpCount(1, &nCount, &nSize), 0);
    QCOMPARE(nCount, 60);
    QCOMPARE(nSize, 0);
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(1, "phone book", &pText), 0);
    const QList<CallbackRecorder::Call> listProgress = CallbackRecorder::Instance().Progress();
    QVERIFY(!listProgress.isEmpty());
    QCOMPARE(listProgress.last().nCount, 58);
    QCOMPARE(int(listProgress.last().nAll), 58);
    QCOMPARE(CallbackRecorder::Instance().ResultPathCalls().size(), 1);
}

void tst_SimPhone::backupRecordsWithoutFile()
{
    m_pPhone->SetRecordsWithoutFile(2, 4);
    QVERIFY(m_pPhone->Use());
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(2, "phone book", &pText), 0);
    QVERIFY(pText);
    QVERIFY(CallbackRecorder::Instance().ResultPathCalls().isEmpty());
    QCOMPARE(CallbackRecorder::Instance().Progress().last().nCount, 4);
}

void tst_SimPhone::fileLists_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("phonePaths");
    QTest::addColumn<QStringList>("names");

    const QStringList listImages = {QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg"),
                                    QStringLiteral("/sdcard/DCIM/Camera/b.PNG"),
                                    QStringLiteral("/sdcard/Pictures/Shared/IMG_0001.jpg")};
    QTest::newRow("images") << 16 << listImages
                            << QStringList{QStringLiteral("IMG_0001.jpg"), QStringLiteral("b.PNG"),
                                           QStringLiteral("IMG_0001.jpg")};
    QTest::newRow("videos") << 17 << QStringList{QStringLiteral("/sdcard/DCIM/Camera/VID_1.mp4")}
                            << QStringList{QStringLiteral("VID_1.mp4")};
    QTest::newRow("audio") << 18
                           << QStringList{QStringLiteral("/sdcard/Music/a b.mp3"),
                                          QStringLiteral("/sdcard/Recordings/r.amr")}
                           << QStringList{QStringLiteral("a b.mp3"), QStringLiteral("r.amr")};
    QTest::newRow("applications") << 9
                                  << QStringList{QStringLiteral("/data/app/com.example.a.apk"),
                                                 QStringLiteral("/data/app/org.sample.b.apk")}
                                  << QStringList{QStringLiteral("com.example.a"), QStringLiteral("org.sample.b")};
}

void tst_SimPhone::fileLists()
{
    QFETCH(int, type);
    QFETCH(QStringList, phonePaths);
    QFETCH(QStringList, names);
    // Every kind of file is on the phone; only the asked kind is listed.
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg"), 100);
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/Camera/b.PNG"), 200);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Pictures/Shared/IMG_0001.jpg"), 300);
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/Camera/VID_1.mp4"), 400);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Music/a b.mp3"), 500);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Recordings/r.amr"), 600);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Documents/notes.txt"), 700);
    m_pPhone->AddApp(QStringLiteral("org.sample.b"), 1000);
    m_pPhone->AddApp(QStringLiteral("com.example.a"), 2000, {{QStringLiteral("cache/x.png"), "x"}});
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "phone book", &pText), 0);
    const quint64 nReturned = CallbackRecorder::Instance().Mark();
    QVERIFY(pText);
    const QString strList = TakeText(pText);
    const QStringList listLines = strList.split(QStringLiteral("\r\n"));
    QCOMPARE(listLines.size(), phonePaths.size());
    for (int i = 0; i < listLines.size(); ++i) {
        const QStringList listFields = listLines.at(i).split(QChar(0x18));
        QVERIFY2(listFields.size() >= 2, qPrintable(listLines.at(i)));
        QCOMPARE(listFields.first(), names.at(i));
        QCOMPARE(listFields.last(), phonePaths.at(i));
    }
    for (const CallbackRecorder::Call &call : CallbackRecorder::Instance().Calls()) {
        QVERIFY(call.nSequence < nReturned);
        QVERIFY(call.threadId != std::this_thread::get_id());
        QVERIFY(call.nCount != -1111);
    }
    // Every listed path can be copied.
    for (const QString &strPath : phonePaths)
        QCOMPARE(GetFile(m_dir.filePath(QStringLiteral("copy")), strPath), 0);
}

void tst_SimPhone::rawListIsReturnedExactly()
{
    const QByteArray baList = QByteArray("../x.jpg\x18/sdcard/../x.jpg\r\n/etc/passwd\r\na\\b.mp3\x18/sdcard/a\\b.mp3\r\n")
        + "..\x18..\r\n\x18/sdcard/empty.jpg\r\n\r\n\x18\x18\r\ndup.jpg\x18/sdcard/d.jpg\r\ndup.jpg\x18/sdcard/d.jpg";
    m_pPhone->SetRawList(16, baList);
    QVERIFY(m_pPhone->Use());
    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(16, "phone book", &pText), 0);
    QVERIFY(pText);
    QCOMPARE(QByteArray(pText), baList);
    free(pText);
    // None of the hostile paths reaches outside the phone.
    const QString strLocal = m_dir.filePath(QStringLiteral("hostile"));
    for (const char *szPath : {"/sdcard/../x.jpg", "/etc/passwd", "..", "/sdcard/../../phone.ini", "phone.ini", ""})
        QCOMPARE(DVSK_GetFile(strLocal.toUtf8().constData(), szPath, 2), int(DVSK_ERR_FILE_NOT_EXIST));
    QVERIFY(!QFile::exists(strLocal));
}

void tst_SimPhone::appDataArchive()
{
    m_pPhone->AddApp(QStringLiteral("com.example.a"), 5000,
                     {{QStringLiteral("shared_prefs/settings.xml"), "<map/>"},
                      {QStringLiteral("databases/notes.db"), QByteArray(3000, 'n')}});
    m_pPhone->AddApp(QStringLiteral("com.example.nodata"), 100);
    m_pPhone->AddApp(QStringLiteral("org.sample.b"), 100, {{QStringLiteral("files/a.txt"), "A"}});
    QVERIFY(m_pPhone->Use());

    char *pText = nullptr;
    QCOMPARE(DVSK_BackUp(15, "phone book", &pText), 0);
    QVERIFY(pText);
    QVERIFY(qstrcmp(pText, "error") != 0);
    const QList<CallbackRecorder::Call> listProgress = CallbackRecorder::Instance().Progress();
    // 0, 1, 2 of 2, then the report without a count that ends the archive.
    QCOMPARE(listProgress.size(), 4);
    QCOMPARE(listProgress.at(2).nCount, 2);
    QCOMPARE(listProgress.last().nCount, -1);
    QCOMPARE(int(listProgress.last().nAll), 2);
    const QList<CallbackRecorder::Call> listResult = CallbackRecorder::Instance().ResultPathCalls();
    QCOMPARE(listResult.size(), 1);

    const QString strLocal = m_dir.filePath(QStringLiteral("APPDATA.zip"));
    QCOMPARE(GetFile(strLocal, QString::fromUtf8(listResult.first().baPath)), 0);
    const QMap<QString, QByteArray> mapEntries = StoredZipEntries(ReadFile(strLocal));
    QCOMPARE(mapEntries.keys(),
             (QStringList{QStringLiteral("com.example.a/databases/notes.db"),
                          QStringLiteral("com.example.a/shared_prefs/settings.xml"),
                          QStringLiteral("org.sample.b/files/a.txt")}));
    QCOMPARE(mapEntries.value(QStringLiteral("com.example.a/databases/notes.db")), QByteArray(3000, 'n'));
    QCOMPARE(mapEntries.value(QStringLiteral("org.sample.b/files/a.txt")), QByteArray("A"));
}

void tst_SimPhone::counts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("sizeKB");

    // images 1 + 1024 + 1025 bytes = 2050 -> 3 KB (rounded up); videos none;
    // audio 2048 -> 2 KB; apps 10 + 3000 -> 3 KB, the same for 15.
    QTest::newRow("contacts") << 0 << 12 << 0;
    QTest::newRow("sms") << 1 << 0 << 0;
    QTest::newRow("calendar") << 2 << 3 << 0;
    QTest::newRow("call log") << 4 << 0 << 0;
    QTest::newRow("mms") << 19 << 2 << 0;
    QTest::newRow("images") << 16 << 3 << 3;
    QTest::newRow("videos") << 17 << 0 << 0;
    QTest::newRow("audio") << 18 << 1 << 2;
    QTest::newRow("applications") << 9 << 2 << 3;
    QTest::newRow("application data") << 15 << 2 << 3;
}

void tst_SimPhone::counts()
{
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(int, sizeKB);
    m_pPhone->SetRecords(0, 12);
    m_pPhone->SetRecords(2, 3);
    m_pPhone->SetRecords(19, 2);
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

    QTest::newRow("copied") << "/sdcard/DCIM/a.jpg" << "out/a.jpg" << 2 << 0;
    QTest::newRow("duplicate slashes") << "//sdcard//DCIM/a.jpg" << "out/a2.jpg" << 2 << 0;
    QTest::newRow("not on the phone") << "/sdcard/DCIM/none.jpg" << "out/n.jpg" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("a folder") << "/sdcard/DCIM" << "out/d" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("relative") << "sdcard/DCIM/a.jpg" << "out/r.jpg" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("dot dot") << "/sdcard/../sdcard/DCIM/a.jpg" << "out/p.jpg" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("phone.ini") << "/../phone.ini" << "out/i" << 2 << int(DVSK_ERR_FILE_NOT_EXIST);
    QTest::newRow("local parent missing") << "/sdcard/DCIM/a.jpg" << "missing/deeper/a.jpg" << 2
                                          << int(DVSK_SIM_ERR_LOCAL_FILE);
    QTest::newRow("local is a folder") << "/sdcard/DCIM/a.jpg" << "out" << 2 << int(DVSK_SIM_ERR_LOCAL_FILE);
    QTest::newRow("other mode") << "/sdcard/DCIM/a.jpg" << "out/m.jpg" << 1 << int(DVSK_SIM_ERR_BAD_ARGUMENT);
}

void tst_SimPhone::getFile()
{
    QFETCH(QString, remote);
    QFETCH(QString, local);
    QFETCH(int, mode);
    QFETCH(int, result);
    const QString strHost = m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 3000);
    QVERIFY(m_pPhone->Use());
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("out")));
    const QString strLocal = dir.filePath(local);

    QCOMPARE(GetFile(strLocal, remote, mode), result);
    if (result == 0)
        QCOMPARE(ReadFile(strLocal), ReadFile(strHost));
    else
        QVERIFY(!QFileInfo(strLocal).isFile());
    QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden).size(),
             result == 0 ? 1 : 0); // no temporary file left behind
}

void tst_SimPhone::getFileReplacesAndCopiesLargeFiles()
{
    const QString strHost = m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/big.mp4"), 3 * 1024 * 1024 + 17);
    QVERIFY(m_pPhone->Use());
    const QString strLocal = m_dir.filePath(QStringLiteral("big.mp4"));
    {
        QFile old(strLocal);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(8 * 1024 * 1024, 'o'));
    }
    QCOMPARE(GetFile(strLocal, QStringLiteral("/sdcard/Movies/big.mp4")), 0);
    QCOMPARE(QFileInfo(strLocal).size(), QFileInfo(strHost).size());
    QCOMPARE(ReadFile(strLocal), ReadFile(strHost));
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
    for (int i = 0; i < nRecords; ++i) {
        QCOMPARE(qint64(pList[i].nType), storages.at(4 * i));
        QCOMPARE(qint64(pList[i].nTotal), storages.at(4 * i + 1));
        QCOMPARE(qint64(pList[i].nUsed), storages.at(4 * i + 2));
        QCOMPARE(qint64(pList[i].nUnit), storages.at(4 * i + 3));
    }
    free(pList);
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
        QVERIFY(strDir.endsWith(QLatin1Char('/')));
        QVERIFY(!strDir.endsWith(QLatin1String("//")));
        QCOMPARE(QDir::cleanPath(strDir), QDir::cleanPath(strSet));
        QVERIFY(QFileInfo(strDir).isDir());
    }
    qputenv("DVSK_SIM_USERDATA", baOld);
    if (baOld.isEmpty())
        qunsetenv("DVSK_SIM_USERDATA");
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
    int nSize = 0;
    DVSK_GetBackUpCount(16, &nCount, &nSize);
    DVSK_MemInfo *pList = nullptr;
    DVSK_Mobile_MemInfo(&pList);
    free(pList);
    DVSK_SetBackup_Cancel(1);
    DVSK_SetBackup_Cancel(0);
    DVSK_Backup_Cancel();
    DVSK_Operation_Cancel("zvtransport shell am broadcast -a x");
    DVSK_Reset();
    QCOMPARE(TakeText(DVSK_Sim_GetCallLog()).split(QLatin1Char('\n')),
             (QStringList{QStringLiteral("DVSK_BackUp 0 \"phone book\""),
                          QStringLiteral("DVSK_GetFile \"/tmp/x y\" \"/sdcard/none\" 2"),
                          QStringLiteral("DVSK_GetBackUpCount 16"), QStringLiteral("DVSK_Mobile_MemInfo"),
                          QStringLiteral("DVSK_SetBackup_Cancel 1"), QStringLiteral("DVSK_SetBackup_Cancel 0"),
                          QStringLiteral("DVSK_Backup_Cancel"),
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
    const QString strBundled = TakeText(DVSK_Sim_GetPhoneDir());
    QVERIFY2(strBundled.endsWith(QLatin1String("/samples/phone")), qPrintable(strBundled));
    QCOMPARE(QDir::cleanPath(strBundled), QDir::cleanPath(QStringLiteral(BACKUP_STAGE_DIR "/samples/phone")));
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
