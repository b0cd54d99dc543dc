// Restores onto the simulated phone: files into fs/ with their times and
// without replacing anything, a full phone, an unplug half-way, cancel,
// applications with their versions and records merged into the phone's files.
#include "CallbackRecorder.h"
#include "RestoreTestFiles.h"
#include "TestPhone.h"
#include "sdk/dvsk_restore.h"
#include "sdk/dvsk_sim.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class tst_SimRestore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void putFilesIntoEmptyPhone();
    void putFileRefused_data();
    void putFileRefused();
    void fullPhoneEndsTheCall();
    void unplugHalfWayLeavesNoHalfFile();
    void cancel();
    void statFiles();
    void installAndVersions_data();
    void installAndVersions();
    void recordsAvailable_data();
    void recordsAvailable();
    void records_data();
    void records();

private:
    // A local file of nSize bytes; returns its path.
    QString LocalFile(const QString &strName, qint64 nSize);
    QByteArray Job(const QString &strLocal, const QString &strPhone, qint64 nMtime) const;
    void SetKnob(const QString &strKey, const QVariant &value);
    // Files under fs/ whose names show they were left half-written.
    QStringList TemporaryFiles() const;

    QTemporaryDir m_dir;
    std::unique_ptr<TestPhone> m_pPhone;
};

void tst_SimRestore::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
}

void tst_SimRestore::init()
{
    static int s_nPhone = 0;
    m_pPhone = std::make_unique<TestPhone>(m_dir.filePath(QStringLiteral("phone%1").arg(++s_nPhone)));
    QVERIFY(m_pPhone->Use());
    CallbackRecorder::Instance().Register();
    CallbackRecorder::Instance().Clear();
    DVSK_Restore_ResetCancel();
}

void tst_SimRestore::cleanup()
{
    DVSK_Restore_ResetCancel();
    if (!DVSK_Sim_IsAttached())
        DVSK_Sim_Attach();
    m_pPhone.reset();
}

QString tst_SimRestore::LocalFile(const QString &strName, qint64 nSize)
{
    const QString strPath = m_dir.filePath(QStringLiteral("pc/") + strName);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray ba(nSize, '\0');
    for (qint64 i = 0; i < nSize; ++i)
        ba[i] = char((i * 7 + strName.size()) & 0xff);
    file.write(ba);
    return strPath;
}

QByteArray tst_SimRestore::Job(const QString &strLocal, const QString &strPhone, qint64 nMtime) const
{
    return strLocal.toUtf8() + '\x18' + strPhone.toUtf8() + '\x18' + QByteArray::number(nMtime) + '\n';
}

void tst_SimRestore::SetKnob(const QString &strKey, const QVariant &value)
{
    QSettings settings(m_pPhone->Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    settings.setValue(strKey, value);
}

QStringList tst_SimRestore::TemporaryFiles() const
{
    QStringList list;
    QDirIterator it(m_pPhone->Dir() + QStringLiteral("/fs"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strFile = it.next();
        if (strFile.endsWith(QLatin1String(".restore-part")))
            list << strFile;
    }
    return list;
}

void tst_SimRestore::putFilesIntoEmptyPhone()
{
    const QString strA = LocalFile(QStringLiteral("a.jpg"), 200 * 1024);
    const QString strB = LocalFile(QStringLiteral("b, c=d.mp3"), 10);
    const QByteArray baJobs = Job(strA, QStringLiteral("/sdcard/DCIM/Camera/a.jpg"), 1700000000)
            + Job(strB, QStringLiteral("/sdcard/Music/New folder/b, c=d.mp3"), 1600000123);
    PutRecorder recorder;
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), 0);
    QCOMPARE(recorder.listEnds.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(recorder.listEnds.at(i).nIndex, i);
        QCOMPARE(recorder.listEnds.at(i).nResult, 0);
    }
    QVERIFY(!recorder.listProgress.isEmpty());
    QCOMPARE(recorder.listProgress.last(), qMakePair(1, qint64(10)));

    const QFileInfo a(m_pPhone->HostPath(QStringLiteral("/sdcard/DCIM/Camera/a.jpg")));
    QCOMPARE(a.size(), 200 * 1024);
    QCOMPARE(a.lastModified().toSecsSinceEpoch(), 1700000000);
    QFile restored(a.filePath());
    QVERIFY(restored.open(QIODevice::ReadOnly));
    QFile original(strA);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(restored.readAll(), original.readAll());
    QCOMPARE(QFileInfo(m_pPhone->HostPath(QStringLiteral("/sdcard/Music/New folder/b, c=d.mp3"))).lastModified()
                     .toSecsSinceEpoch(), 1600000123);
    QVERIFY(TemporaryFiles().isEmpty());

    // A backup of the phone lists what was restored, with the kept time.
    char *szList = nullptr;
    QCOMPARE(DVSK_BackUp(16, "images", &szList), 0);
    const QString strList = TakeText(szList);
    QVERIFY2(strList.contains(QStringLiteral("1700000000\x18/sdcard/DCIM/Camera/a.jpg")), qPrintable(strList));
}

void tst_SimRestore::putFileRefused_data()
{
    QTest::addColumn<QString>("phonePath");
    QTest::addColumn<bool>("localMissing");
    QTest::addColumn<int>("result");

    QTest::newRow("existing file") << "/sdcard/DCIM/taken.jpg" << false << int(DVSK_RESTORE_ERR_EXISTS);
    QTest::newRow("existing folder") << "/sdcard/DCIM" << false << int(DVSK_RESTORE_ERR_EXISTS);
    QTest::newRow("other app's data") << "/sdcard/Android/data/com.x/a.jpg" << false << int(DVSK_RESTORE_ERR_REFUSED);
    QTest::newRow("obb, other case") << "/storage/emulated/0/android/OBB/x.obb" << false << int(DVSK_RESTORE_ERR_REFUSED);
    QTest::newRow("dot dot") << "/sdcard/../data/app/x.apk" << false << int(DVSK_RESTORE_ERR_REFUSED);
    QTest::newRow("app folder") << "/data/app/evil.apk" << false << int(DVSK_RESTORE_ERR_REFUSED);
    QTest::newRow("through a link out of the phone") << "/sdcard/out/evil.jpg" << false << int(DVSK_RESTORE_ERR_REFUSED);
    QTest::newRow("local file missing") << "/sdcard/new.jpg" << true << int(DVSK_DEV_ERR_LOCAL_FILE);
}

void tst_SimRestore::putFileRefused()
{
    QFETCH(QString, phonePath);
    QFETCH(bool, localMissing);
    QFETCH(int, result);
    const QString strTaken = m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/taken.jpg"), QByteArray("phone's own"));
    const QString strOutside = m_dir.filePath(QStringLiteral("outside-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(strOutside));
    QVERIFY(QFile::link(strOutside, m_pPhone->HostPath(QStringLiteral("/sdcard/out"))));
    const QString strLocal = localMissing ? m_dir.filePath(QStringLiteral("nothing.jpg")) : LocalFile(QStringLiteral("x.jpg"), 99);
    const QString strOk = LocalFile(QStringLiteral("ok.jpg"), 5);
    const QByteArray baJobs = Job(strLocal, phonePath, 1) + Job(strOk, QStringLiteral("/sdcard/ok.jpg"), 2);
    PutRecorder recorder;
    // A refused file ends on its own; the next one is still written.
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), 0);
    QCOMPARE(recorder.listEnds.size(), 2);
    QCOMPARE(recorder.listEnds.at(0).nResult, result);
    QVERIFY(!recorder.listEnds.at(0).strMessage.isEmpty());
    QCOMPARE(recorder.listEnds.at(1).nResult, 0);
    QFile taken(strTaken);
    QVERIFY(taken.open(QIODevice::ReadOnly));
    QCOMPARE(taken.readAll(), QByteArray("phone's own"));
    QVERIFY(!QFileInfo::exists(m_pPhone->Dir() + QStringLiteral("/fs/data/app/evil.apk")));
    QVERIFY(QDir(strOutside).isEmpty());
    QVERIFY(TemporaryFiles().isEmpty());
}

void tst_SimRestore::fullPhoneEndsTheCall()
{
    SetKnob(QStringLiteral("faults/restoreFreeKB"), 100);
    const QByteArray baJobs = Job(LocalFile(QStringLiteral("1.jpg"), 60 * 1024), QStringLiteral("/sdcard/1.jpg"), 1)
            + Job(LocalFile(QStringLiteral("2.jpg"), 60 * 1024), QStringLiteral("/sdcard/2.jpg"), 1)
            + Job(LocalFile(QStringLiteral("3.jpg"), 1024), QStringLiteral("/sdcard/3.jpg"), 1);
    PutRecorder recorder;
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), int(DVSK_RESTORE_ERR_NO_SPACE));
    QCOMPARE(recorder.listEnds.size(), 2);
    QCOMPARE(recorder.listEnds.at(0).nResult, 0);
    QCOMPARE(recorder.listEnds.at(1).nResult, int(DVSK_RESTORE_ERR_NO_SPACE));
    QCOMPARE(recorder.listEnds.at(1).strMessage, QStringLiteral("No space left on device"));
    QVERIFY(!QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/2.jpg"))));
    QVERIFY(!QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/3.jpg"))));
    QVERIFY(TemporaryFiles().isEmpty());
}

void tst_SimRestore::unplugHalfWayLeavesNoHalfFile()
{
    SetKnob(QStringLiteral("faults/unplugDuringPushedFile"), 2);
    const QByteArray baJobs = Job(LocalFile(QStringLiteral("1.jpg"), 1000), QStringLiteral("/sdcard/1.jpg"), 1)
            + Job(LocalFile(QStringLiteral("2.mp4"), 300 * 1024), QStringLiteral("/sdcard/2.mp4"), 1)
            + Job(LocalFile(QStringLiteral("3.jpg"), 10), QStringLiteral("/sdcard/3.jpg"), 1);
    PutRecorder recorder;
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), int(DVSK_DEV_ERR_DISCONNECTED));
    QCOMPARE(CallbackRecorder::Instance().EventCodes(), QList<int>({6006, 6014}));
    QVERIFY(QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/1.jpg"))));
    QVERIFY(!QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/2.mp4"))));
    QVERIFY(!QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/3.jpg"))));
    QCOMPARE(recorder.listEnds.size(), 2);
    QCOMPARE(recorder.listEnds.at(1).nResult, int(DVSK_DEV_ERR_DISCONNECTED));
    // While unplugged every restore call says so.
    char *szText = nullptr;
    QCOMPARE(DVSK_Restore_AppVersions(&szText), int(DVSK_DEV_ERR_DISCONNECTED));
    QVERIFY(!szText);
}

void tst_SimRestore::cancel()
{
    const QByteArray baJobs = Job(LocalFile(QStringLiteral("big.mp4"), 2 * 1024 * 1024), QStringLiteral("/sdcard/big.mp4"), 1)
            + Job(LocalFile(QStringLiteral("small.jpg"), 10), QStringLiteral("/sdcard/small.jpg"), 1);
    // Cancelled from the progress of the first file: the call stops there.
    PutRecorder recorder;
    recorder.fnOnProgress = [](int, qint64) { DVSK_Restore_Cancel(); };
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), int(DVSK_DEV_ERR_CANCELLED));
    QVERIFY(!QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/big.mp4"))));
    QVERIFY(!QFileInfo::exists(m_pPhone->HostPath(QStringLiteral("/sdcard/small.jpg"))));
    QVERIFY(TemporaryFiles().isEmpty());
    // Refused until the cancel is reset.
    PutRecorder again;
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &again), int(DVSK_DEV_ERR_CANCELLED));
    QVERIFY(again.listEnds.isEmpty());
    DVSK_Restore_ResetCancel();
    QCOMPARE(DVSK_Restore_PutFiles(baJobs.constData(), &PutRecorder::OnFile, &again), 0);
    QCOMPARE(again.listEnds.size(), 2);
}

void tst_SimRestore::statFiles()
{
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 1234);
    QFile::link(QStringLiteral("/etc/hostname"), m_pPhone->HostPath(QStringLiteral("/sdcard/link.jpg")));
    QFile file(m_pPhone->HostPath(QStringLiteral("/sdcard/DCIM/a.jpg")));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(1500000000), QFileDevice::FileModificationTime));
    file.close();
    const QByteArray baPaths = "/sdcard/DCIM/a.jpg\n/sdcard/DCIM/none.jpg\n/sdcard/DCIM\n/sdcard/link.jpg\n"
                               "/sdcard/../../x\n";
    char *szText = nullptr;
    QCOMPARE(DVSK_Restore_StatFiles(baPaths.constData(), &szText), 0);
    QCOMPARE(TakeText(szText), QStringLiteral("1234\t1500000000\n-\n?\n?\n?\n"));
}

void tst_SimRestore::installAndVersions_data()
{
    QTest::addColumn<int>("installed");   // version on the phone, 0: none
    QTest::addColumn<int>("version");     // version installed
    QTest::addColumn<QString>("failure"); // installFailure knob
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("answer");

    QTest::newRow("new app") << 0 << 7 << QString() << 0 << "Success";
    QTest::newRow("update") << 5 << 7 << QString() << 0 << "Success";
    QTest::newRow("downgrade") << 9 << 7 << QString() << int(DVSK_RESTORE_ERR_REFUSED)
                               << "Failure [INSTALL_FAILED_VERSION_DOWNGRADE";
    QTest::newRow("refused") << 0 << 7 << "INSTALL_FAILED_INSUFFICIENT_STORAGE" << int(DVSK_RESTORE_ERR_REFUSED)
                             << "Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE";
}

void tst_SimRestore::installAndVersions()
{
    QFETCH(int, installed);
    QFETCH(int, version);
    QFETCH(QString, failure);
    QFETCH(int, result);
    QFETCH(QString, answer);
    m_pPhone->AddApp(QStringLiteral("com.other.app"), 100);
    if (installed)
        QVERIFY(WriteApk(m_pPhone->HostPath(QStringLiteral("/data/app/org.example.notes.apk")), QStringLiteral("org.example.notes"), installed));
    if (!failure.isEmpty())
        SetKnob(QStringLiteral("faults/installFailure"), failure);
    const QString strBase = m_dir.filePath(QStringLiteral("pc/base-%1.apk").arg(QTest::currentDataTag()));
    QVERIFY(WriteApk(strBase, QStringLiteral("org.example.notes"), version, "new bytes"));
    const QString strSplit = LocalFile(QStringLiteral("split_config.en.apk"), 300);
    char *szMessage = nullptr;
    QCOMPARE(DVSK_Restore_InstallApp((strBase + QLatin1Char('\n') + strSplit + QLatin1Char('\n')).toUtf8().constData(),
                                     &szMessage), result);
    QVERIFY2(TakeText(szMessage).startsWith(answer), qPrintable(answer));

    char *szVersions = nullptr;
    QCOMPARE(DVSK_Restore_AppVersions(&szVersions), 0);
    const QString strVersions = TakeText(szVersions);
    const int nNow = result == 0 ? version : installed;
    QVERIFY2(strVersions.contains(QStringLiteral("com.other.app\t0\n")), qPrintable(strVersions));
    QCOMPARE(strVersions.contains(QStringLiteral("org.example.notes\t%1\n").arg(nNow)), nNow != 0);
    QCOMPARE(QFileInfo::exists(m_pPhone->Dir() + QStringLiteral("/fs/data/app/org.example.notes/split_config.en.apk")),
             result == 0);
}

void tst_SimRestore::recordsAvailable_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("sdk");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason");

    QTest::newRow("contacts") << 0 << 0 << 0 << QString();
    QTest::newRow("calendar") << 2 << 30 << 0 << QString();
    QTest::newRow("call log") << 4 << 0 << 0 << QString();
    QTest::newRow("call log, Android 12") << 4 << 31 << 0 << QString();
    QTest::newRow("call log, Android 11") << 4 << 30 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "Android 12 or newer";
    QTest::newRow("sms") << 1 << 0 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("mms") << 19 << 0 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("email") << 5 << 0 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("app data") << 15 << 0 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("unknown") << 42 << 0 << int(DVSK_DEV_ERR_BAD_ARGUMENT) << QString();
}

void tst_SimRestore::recordsAvailable()
{
    QFETCH(int, type);
    QFETCH(int, sdk);
    QFETCH(int, result);
    QFETCH(QString, reason);
    if (sdk)
        SetKnob(QStringLiteral("device/sdk"), sdk);
    char *szReason = nullptr;
    QCOMPARE(DVSK_Restore_RecordsAvailable(type, &szReason), result);
    QCOMPARE(TakeText(szReason), reason);
    // Records of a kind that cannot be restored are never taken.
    int nRestored = -1, nSkipped = -1, nFailed = -1;
    const QString strFile = LocalFile(QStringLiteral("records.dat"), 0);
    if (result != 0 && result != int(DVSK_DEV_ERR_BAD_ARGUMENT))
        QCOMPARE(DVSK_Restore_Records(type, strFile.toUtf8().constData(), &nRestored, &nSkipped, &nFailed, nullptr), result);
}

void tst_SimRestore::records_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("phone");    // the phone's own file, empty: none
    QTest::addColumn<QByteArray>("restored"); // the file restored
    QTest::addColumn<int>("restoredCount");
    QTest::addColumn<int>("skippedCount");
    QTest::addColumn<QByteArray>("expected"); // must be in the phone's file afterwards

    const QByteArray baAnna = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Albers;Anna;;;\r\nFN:Anna Albers\r\n"
                              "TEL;TYPE=CELL:+49 151 4267 7995\r\nEND:VCARD\r\n";
    const QByteArray baBoris = "BEGIN:VCARD\nVERSION:3.0\nFN:Boris Brandt\nNOTE:a\\, b\\nc=d\nEND:VCARD\n";
    QTest::newRow("contacts, empty phone") << 0 << QByteArray() << baAnna + baBoris << 2 << 0 << baBoris;
    // The same person written differently: same name, numbers and e-mails.
    const QByteArray baAnnaAgain = "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Anna Albers\r\nTEL;CELL:+4915142677995\r\nEND:VCARD\r\n";
    QTest::newRow("contacts, one there") << 0 << baAnna << baAnnaAgain + baBoris << 1 << 1 << baAnna + baBoris;
    QTest::newRow("contacts, twice in the file") << 0 << QByteArray() << baBoris + baBoris << 1 << 1 << baBoris;

    const QByteArray baEvent = "BEGIN:VEVENT\r\nUID:1@x\r\nDTSTART;TZID=Europe/Berlin:20240329T110000\r\n"
                               "DTEND;TZID=Europe/Berlin:20240329T120000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\n";
    const QByteArray baZone = "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nEND:VTIMEZONE\r\n";
    const QByteArray baCalendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + baEvent + baZone + "END:VCALENDAR\r\n";
    QTest::newRow("calendar, empty phone") << 2 << QByteArray() << baCalendar << 1 << 0 << baZone + baEvent;
    // The phone keeps the same event in UTC.
    const QByteArray baUtc = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20240329T100000Z\r\nDTEND:20240329T110000Z\r\n"
                             "SUMMARY:Dentist\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    QTest::newRow("calendar, same event in UTC") << 2 << baUtc << baCalendar << 0 << 1 << baUtc;

    const QByteArray baCalls = "<calls><call number=\"+49\" date=\"1000\" duration=\"5\" type=\"1\" name=\"A, B=c\"/>"
                               "<call number=\"+49\" date=\"2000\" duration=\"0\" type=\"3\"/></calls>";
    QTest::newRow("calls, empty phone") << 4 << QByteArray() << baCalls << 2 << 0 << QByteArray("name=\"A, B=c\"");
    const QByteArray baOne = "<calls count=\"1\"><call number=\"+49\" date=\"2000\" duration=\"0\" type=\"3\" new=\"1\"/></calls>";
    QTest::newRow("calls, one there") << 4 << baOne << baCalls << 1 << 1 << QByteArray("new=\"1\"");
}

void tst_SimRestore::records()
{
    QFETCH(int, type);
    QFETCH(QByteArray, phone);
    QFETCH(QByteArray, restored);
    QFETCH(int, restoredCount);
    QFETCH(int, skippedCount);
    QFETCH(QByteArray, expected);
    if (!phone.isEmpty()) {
        m_pPhone->SetRecords(type, 1, phone);
        QVERIFY(m_pPhone->Use());
    }
    const QString strFile = m_dir.filePath(QStringLiteral("pc/records-%1.dat").arg(QTest::currentDataTag()));
    QFile file(strFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(restored);
    file.close();

    int nRestored = -1, nSkipped = -1, nFailed = -1;
    char *szMessage = nullptr;
    QCOMPARE(DVSK_Restore_Records(type, strFile.toUtf8().constData(), &nRestored, &nSkipped, &nFailed, &szMessage), 0);
    QCOMPARE(TakeText(szMessage), QString());
    QCOMPARE(nRestored, restoredCount);
    QCOMPARE(nSkipped, skippedCount);
    QCOMPARE(nFailed, 0);

    // The phone counts and backs up what it now holds.
    int nCount = -1;
    QCOMPARE(DVSK_GetBackUpCount(type, &nCount, nullptr), 0);
    QCOMPARE(nCount, (phone.isEmpty() ? 0 : 1) + restoredCount);
    CallbackRecorder::Instance().Clear();
    char *szText = nullptr;
    QCOMPARE(DVSK_BackUp(type, "records", &szText), 0);
    QCOMPARE(CallbackRecorder::Instance().ResultPathCalls().size(), 1);
    const QString strLocal = m_dir.filePath(QStringLiteral("pc/backed-up.dat"));
    QCOMPARE(DVSK_GetFile(strLocal.toUtf8().constData(),
                          CallbackRecorder::Instance().ResultPathCalls().first().baPath.constData(), 2), 0);
    QFile backedUp(strLocal);
    QVERIFY(backedUp.open(QIODevice::ReadOnly));
    const QByteArray baBackedUp = backedUp.readAll();
    QVERIFY2(baBackedUp.contains(expected), baBackedUp.constData());

    // A second restore finds everything there.
    QCOMPARE(DVSK_Restore_Records(type, strFile.toUtf8().constData(), &nRestored, &nSkipped, &nFailed, nullptr), 0);
    QCOMPARE(nRestored, 0);
    QCOMPARE(nSkipped, restoredCount + skippedCount);
}

QTEST_GUILESS_MAIN(tst_SimRestore)
#include "tst_simrestore.moc"
