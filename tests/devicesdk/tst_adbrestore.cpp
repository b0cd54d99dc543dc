// Restores onto phones served by the device simulator through the real adb
// server: pushed files with their times, never over another file; the
// media scanner; installs streamed, in sessions and pushed; records through
// "content insert" read back as a backup reads them; a full phone, a refused
// install, an unplug and a cancel half-way. Skipped when adb or the
// simulator is not there.
#include "AdbTestRig.h"
#include "CallbackRecorder.h"
#include "RestoreTestFiles.h"
#include "TestPhone.h"
#include "adb/AdbDevice.h"
#include "adb/AdbRestore.h"
#include "adb/AdbServer.h"
#include "sdk/dvsk_device.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QMutex>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
const char kSimulator[] = BACKUP_STAGE_DIR "/bin/adb-phone-sim";

QString Text(char *sz)
{
    const QString str = sz ? QString::fromUtf8(sz) : QString();
    free(sz);
    return str;
}

QByteArray FileBytes(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Files left under a temporary name in a phone folder.
QStringList TemporaryFiles(const QString &strPhone)
{
    QStringList list;
    QDirIterator it(strPhone + QStringLiteral("/fs"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strFile = it.next();
        if (strFile.endsWith(QLatin1String(".restore-part")))
            list << strFile;
    }
    return list;
}
bool WriteEmptyProviders(const QString &strPhone)
{
    const QList<QPair<QString, QStringList>> listTables {
        {"content://com.android.contacts/raw_contacts", {"_id", "deleted", "account_name", "account_type"}},
        {"content://com.android.contacts/data", {"_id", "raw_contact_id", "contact_id", "is_primary", "data14", "data15",
                                                 "mimetype", "data1", "data2", "data3", "data4", "data5", "data6", "data7",
                                                 "data8", "data9", "data10"}},
        {"content://com.android.calendar/calendars", {"_id", "account_name", "account_type", "name"}},
        {"content://com.android.calendar/events", {"_id", "calendar_id", "deleted", "dtstart", "dtend", "allDay",
                                                   "eventTimezone", "eventEndTimezone", "duration", "rrule", "rdate",
                                                   "exrule", "exdate", "title", "eventLocation", "description"}},
        {"content://com.android.calendar/reminders", {"_id", "event_id", "minutes", "method"}},
        {"content://call_log/calls", {"_id", "date", "duration", "type", "new", "number", "name"}},
    };
    QDir().mkpath(strPhone + QStringLiteral("/providers"));
    for (int i = 0; i < listTables.size(); ++i) {
        QFile file(strPhone + QStringLiteral("/providers/empty%1.json").arg(i));
        const QByteArray baJson = "{\"uri\": \"" + listTables.at(i).first.toUtf8() + "\", \"columns\": [\""
                + listTables.at(i).second.join(QStringLiteral("\", \"")).toUtf8() + "\"], \"rows\": []}";
        if (!file.open(QIODevice::WriteOnly) || file.write(baJson) != baJson.size())
            return false;
    }
    return true;
}
} // namespace

class tst_AdbRestore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void putFiles();
    void statFiles();
    void scanMedia();
    void install_data();
    void install();
    void installWithoutCmd();
    void recordsAvailable_data();
    void recordsAvailable();
    void records_data();
    void records();
    void fullPhone();
    void unplugDuringPush();
    void cancelDuringPush();

private:
    struct Phone
    {
        QString strDir;
        QString strSerial;
        std::unique_ptr<AdbDevice> pDevice;
        std::unique_ptr<AdbRestore> pRestore;
    };
    // A phone folder with the given phone.ini keys, served by a simulator.
    std::unique_ptr<Phone> StartPhone(const QString &strName, const QMap<QString, QVariant> &mapKeys);
    QString LocalFile(const QString &strName, const QByteArray &baContent);
    static QByteArray Job(const QString &strLocal, const QString &strPhone, qint64 nMtime);

    QTemporaryDir m_dir;
    std::unique_ptr<AdbTestRig> m_pRig;
    std::unique_ptr<Phone> m_pPhone; // Android 13
};

void tst_AdbRestore::initTestCase()
{
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    if (!QFileInfo(QString::fromUtf8(kSimulator)).isExecutable())
        QSKIP("the device simulator adb-phone-sim is not built");
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    m_pRig = std::make_unique<AdbTestRig>(m_dir.path());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
    QTRY_VERIFY_WITH_TIMEOUT(AdbServer(m_pRig->ServerPort()).IsRunning(), 20000);
    m_pPhone = StartPhone(QStringLiteral("phone"), {{QStringLiteral("device/sdk"), 33}});
    QVERIFY(m_pPhone);
}

void tst_AdbRestore::cleanupTestCase()
{
    m_pPhone.reset();
    QString strProblems;
    if (m_pRig)
        QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
}

void tst_AdbRestore::init()
{
    CallbackRecorder::Instance().Clear();
}

std::unique_ptr<tst_AdbRestore::Phone> tst_AdbRestore::StartPhone(const QString &strName, const QMap<QString, QVariant> &mapKeys)
{
    auto pPhone = std::make_unique<Phone>();
    TestPhone phone(m_dir.filePath(strName));
    phone.SetDevice(QStringLiteral("Restore Test"), QStringLiteral("TQ3A.230805.001"), QStringLiteral("350000000000002"));
    phone.AddFile(QStringLiteral("/sdcard/DCIM/taken.jpg"), QByteArray("the phone's own"));
    if (!phone.Save())
        return nullptr;
    {
        QSettings settings(phone.Dir() + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        for (auto it = mapKeys.cbegin(); it != mapKeys.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }
    // A phone's providers are there even when empty.
    if (!WriteEmptyProviders(phone.Dir()))
        return nullptr;
    pPhone->strDir = phone.Dir();
    pPhone->strSerial = m_pRig->StartSimulator(phone.Dir());
    if (pPhone->strSerial.isEmpty())
        return nullptr;
    pPhone->pDevice = std::make_unique<AdbDevice>(pPhone->strSerial, m_pRig->ServerPort());
    pPhone->pDevice->SetEventCallback(&CallbackRecorder::OnEvent);
    QString strMessage;
    if (pPhone->pDevice->Open(strMessage) != 0)
        return nullptr;
    pPhone->pRestore = std::make_unique<AdbRestore>(*pPhone->pDevice);
    return pPhone;
}

QString tst_AdbRestore::LocalFile(const QString &strName, const QByteArray &baContent)
{
    const QString strPath = m_dir.filePath(QStringLiteral("pc/") + strName);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(baContent) != baContent.size())
        return QString();
    return strPath;
}

QByteArray tst_AdbRestore::Job(const QString &strLocal, const QString &strPhone, qint64 nMtime)
{
    return strLocal.toUtf8() + '\x18' + strPhone.toUtf8() + '\x18' + QByteArray::number(nMtime) + '\n';
}

void tst_AdbRestore::putFiles()
{
    QByteArray baBig(1024 * 1024 + 3, '\0');
    for (int i = 0; i < baBig.size(); ++i)
        baBig[i] = char((i * 31 + i / 7) & 0xff);
    const QString strOdd = QStringLiteral("/sdcard/Music/It's a \"song\", no=1 $HOME & more;.mp3");
    struct Row
    {
        QString strPhone;
        QByteArray baContent; // null: no local file
        int nResult;
        QString strHost;      // where the phone keeps it
    };
    QList<Row> listRows {
        {"/sdcard/DCIM/Camera/big.jpg", baBig, 0, "/sdcard/DCIM/Camera/big.jpg"},
        {strOdd, "odd", 0, strOdd},
        {"/system/evil.jpg", "x", int(DVSK_RESTORE_ERR_REFUSED), QString()},
        {"/sdcard/DCIM/taken.jpg", "other bytes", int(DVSK_RESTORE_ERR_EXISTS), QString()},
        {"/sdcard/Android/data/com.x/a.jpg", "x", int(DVSK_RESTORE_ERR_REFUSED), QString()},
        {"/sdcard/none.jpg", QByteArray(), int(DVSK_DEV_ERR_LOCAL_FILE), QString()},
        {"/storage/emulated/0/Pictures/alias.png", "alias", 0, "/sdcard/Pictures/alias.png"},
    };
    // More files than are ever in flight at once.
    for (int i = 0; i < 40; ++i)
        listRows.append({QStringLiteral("/sdcard/Many/f%1.jpg").arg(i), QByteArray::number(i).repeated(i + 1), 0,
                         QStringLiteral("/sdcard/Many/f%1.jpg").arg(i)});
    QByteArray baJobs;
    for (int i = 0; i < listRows.size(); ++i) {
        const QString strLocal = listRows.at(i).baContent.isNull() ? m_dir.filePath(QStringLiteral("missing"))
                                                                    : LocalFile(QStringLiteral("put/%1").arg(i), listRows.at(i).baContent);
        baJobs += Job(strLocal, listRows.at(i).strPhone, 1600000000 + i);
    }
    PutRecorder recorder;
    QCOMPARE(m_pPhone->pRestore->PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), 0);
    QCOMPARE(recorder.listEnds.size(), listRows.size());
    QSet<int> setEnded;
    for (const PutRecorder::End &end : qAsConst(recorder.listEnds)) {
        QVERIFY2(!setEnded.contains(end.nIndex), "one end call per file");
        setEnded.insert(end.nIndex);
        const Row &row = listRows.at(end.nIndex);
        QVERIFY2(end.nResult == row.nResult, qPrintable(QStringLiteral("%1: %2 %3").arg(row.strPhone).arg(end.nResult, 0, 16).arg(end.strMessage)));
        if (row.strHost.isEmpty())
            continue;
        const QString strHost = m_pPhone->strDir + QStringLiteral("/fs") + row.strHost;
        QCOMPARE(FileBytes(strHost), row.baContent);
        QCOMPARE(QFileInfo(strHost).lastModified().toSecsSinceEpoch(), 1600000000 + end.nIndex);
    }
    QVERIFY(recorder.listProgress.contains(qMakePair(0, qint64(baBig.size()))));
    QCOMPARE(FileBytes(m_pPhone->strDir + QStringLiteral("/fs/sdcard/DCIM/taken.jpg")), QByteArray("the phone's own"));
    QVERIFY(!QFileInfo::exists(m_pPhone->strDir + QStringLiteral("/fs/system/evil.jpg")));
    QVERIFY(TemporaryFiles(m_pPhone->strDir).isEmpty());
}

void tst_AdbRestore::statFiles()
{
    TestPhone phone(m_pPhone->strDir);
    const QString strHost = phone.AddFile(QStringLiteral("/sdcard/Stat/a b.jpg"), QByteArray(1234, 'a'));
    QFile file(strHost);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(1500000000), QFileDevice::FileModificationTime));
    file.close();
    const QByteArray baPaths = "/sdcard/Stat/a b.jpg\n/sdcard/Stat/none.jpg\n/sdcard/Stat\n/sdcard/NoFolder/x.jpg\n"
                               "/storage/emulated/0/Stat/a b.jpg\n";
    char *szText = nullptr;
    QCOMPARE(m_pPhone->pRestore->StatFiles(baPaths.constData(), &szText), 0);
    QCOMPARE(Text(szText), QStringLiteral("1234\t1500000000\n-\n?\n-\n1234\t1500000000\n"));
}

void tst_AdbRestore::scanMedia()
{
    QFile::remove(m_pPhone->strDir + QStringLiteral("/media-scanned.txt"));
    QStringList listPaths;
    for (int i = 0; i < 60; ++i)
        listPaths << QStringLiteral("/sdcard/DCIM/Camera/IMG %1 #'x'.jpg").arg(i);
    listPaths << QStringLiteral("/storage/emulated/0/Music/é.mp3");
    QCOMPARE(m_pPhone->pRestore->ScanMedia((listPaths.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8().constData()), 0);
    QStringList listExpected;
    for (const QString &strPath : qAsConst(listPaths))
        listExpected << QString(strPath).replace(QStringLiteral("/sdcard/"), QStringLiteral("/storage/emulated/0/"));
    const QString strScanned = QString::fromUtf8(FileBytes(m_pPhone->strDir + QStringLiteral("/media-scanned.txt")));
    QCOMPARE(strScanned.split(QLatin1Char('\n'), Qt::SkipEmptyParts), listExpected);
}

void tst_AdbRestore::install_data()
{
    QTest::addColumn<int>("apks");        // base plus splits
    QTest::addColumn<int>("installed");   // version on the phone, 0 none
    QTest::addColumn<QString>("failure"); // installFailure knob
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("answer");

    QTest::newRow("streamed") << 1 << 0 << QString() << 0 << "Success";
    QTest::newRow("update") << 1 << 3 << QString() << 0 << "Success";
    QTest::newRow("split session") << 3 << 0 << QString() << 0 << "Success";
    QTest::newRow("downgrade") << 1 << 99 << QString() << int(DVSK_RESTORE_ERR_REFUSED) << "Failure [INSTALL_FAILED_VERSION_DOWNGRADE";
    QTest::newRow("refused split") << 2 << 0 << "INSTALL_FAILED_INSUFFICIENT_STORAGE" << int(DVSK_RESTORE_ERR_REFUSED)
                                   << "Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE";
    QTest::newRow("user must confirm") << 1 << 0 << "INSTALL_FAILED_USER_RESTRICTED" << int(DVSK_RESTORE_ERR_REFUSED)
                                       << "the phone asks the user to confirm the install on its screen";
}

void tst_AdbRestore::install()
{
    QFETCH(int, apks);
    QFETCH(int, installed);
    QFETCH(QString, failure);
    QFETCH(int, result);
    QFETCH(QString, answer);
    const QString strPackage = QStringLiteral("org.restore.t%1").arg(QTest::currentDataTag()).remove(QLatin1Char(' '));
    const QString strAppDir = m_pPhone->strDir + QStringLiteral("/fs/data/app/");
    QDir().mkpath(strAppDir);
    if (installed)
        QVERIFY(WriteApk(strAppDir + strPackage + QStringLiteral(".apk"), strPackage, installed));
    {
        QSettings settings(m_pPhone->strDir + QStringLiteral("/phone.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("faults/installFailure"), failure);
    }
    QStringList listApks {m_dir.filePath(QStringLiteral("pc/%1.apk").arg(strPackage))};
    QVERIFY(WriteApk(listApks.first(), strPackage, 7, QByteArray(200000, 'd')));
    for (int i = 1; i < apks; ++i)
        listApks << LocalFile(QStringLiteral("split_config.%1_%2.apk").arg(strPackage).arg(i), QByteArray(5000 + i, 's'));
    char *szMessage = nullptr;
    QCOMPARE(m_pPhone->pRestore->InstallApp((listApks.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8().constData(), &szMessage), result);
    const QString strMessage = Text(szMessage);
    QVERIFY2(strMessage.startsWith(answer), qPrintable(strMessage));

    char *szVersions = nullptr;
    QCOMPARE(m_pPhone->pRestore->AppVersions(&szVersions), 0);
    const QString strVersions = Text(szVersions);
    const int nNow = result == 0 ? 7 : installed;
    QVERIFY2(strVersions.contains(QStringLiteral("android\t33\n")), qPrintable(strVersions));
    QCOMPARE(strVersions.contains(QStringLiteral("%1\t%2\n").arg(strPackage).arg(nNow)), nNow != 0);
    QCOMPARE(QDir(strAppDir + strPackage).entryList(QDir::Files).size(), result == 0 ? apks - 1 : 0);
}

void tst_AdbRestore::installWithoutCmd()
{
    // Android 6: no "cmd"; the APK is pushed, installed with pm and removed.
    std::unique_ptr<Phone> pOld = StartPhone(QStringLiteral("old"), {{QStringLiteral("device/sdk"), 23}});
    QVERIFY(pOld);
    const QString strApk = m_dir.filePath(QStringLiteral("pc/old.apk"));
    QVERIFY(WriteApk(strApk, QStringLiteral("org.restore.old"), 4));
    char *szMessage = nullptr;
    QCOMPARE(pOld->pRestore->InstallApp((strApk + QLatin1Char('\n')).toUtf8().constData(), &szMessage), 0);
    QCOMPARE(Text(szMessage), QStringLiteral("Success"));
    QVERIFY(QFileInfo::exists(pOld->strDir + QStringLiteral("/fs/data/app/org.restore.old.apk")));
    QCOMPARE(QDir(pOld->strDir + QStringLiteral("/fs/data/local/tmp")).entryList(QDir::Files), QStringList());
    // Split APKs cannot go in one session there: said, not half installed.
    const QString strSplit = LocalFile(QStringLiteral("split_x.apk"), "split");
    QCOMPARE(pOld->pRestore->InstallApp((strApk + QLatin1Char('\n') + strSplit + QLatin1Char('\n')).toUtf8().constData(), &szMessage),
             int(DVSK_RESTORE_ERR_REFUSED));
    QVERIFY(Text(szMessage).startsWith(QLatin1String("Failure [")));
    // The call log cannot be written before Android 12.
    char *szReason = nullptr;
    QCOMPARE(pOld->pRestore->RecordsAvailable(4, &szReason), int(DVSK_RESTORE_ERR_NOT_RESTORABLE));
    QCOMPARE(Text(szReason), QStringLiteral("Android 12 or newer"));
}

void tst_AdbRestore::recordsAvailable_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason");

    QTest::newRow("contacts") << 0 << 0 << QString();
    QTest::newRow("calendar") << 2 << 0 << QString();
    QTest::newRow("call log on Android 13") << 4 << 0 << QString();
    QTest::newRow("sms") << 1 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("mms") << 19 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("e-mail") << 5 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
    QTest::newRow("application data") << 15 << int(DVSK_RESTORE_ERR_NOT_RESTORABLE) << "needs an app on the phone";
}

void tst_AdbRestore::recordsAvailable()
{
    QFETCH(int, type);
    QFETCH(int, result);
    QFETCH(QString, reason);
    char *szReason = nullptr;
    QCOMPARE(m_pPhone->pRestore->RecordsAvailable(type, &szReason), result);
    QCOMPARE(Text(szReason), reason);
    if (result == 0)
        return;
    // Never taken, not even silently (as the phone would drop messages).
    const QString strFile = LocalFile(QStringLiteral("records-%1").arg(type), "<smses><sms address=\"1\" body=\"x\"/></smses>");
    int nRestored = -1, nSkipped = -1, nFailed = -1;
    QCOMPARE(m_pPhone->pRestore->Records(type, strFile.toUtf8().constData(), &nRestored, &nSkipped, &nFailed, nullptr), result);
    QCOMPARE(nRestored, 0);
}

void tst_AdbRestore::records_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("restored");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<QStringList>("expected"); // in the phone's records read back as a backup reads them

    QTest::newRow("contacts") << 0 << QByteArray(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Albers;Anna;;;\r\nFN:Anna Albers\r\nTEL;TYPE=CELL:+49 151 4267 7995\r\n"
        "EMAIL;TYPE=INTERNET,WORK:anna@example.org\r\nNOTE:Line one\\nline two\\, with comma = and 'quotes' $HOME\r\n"
        "ORG:Harbour Works;R&D\r\nTITLE:Engineer\r\nBDAY:1991-07-13\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Boris \"B\" Brandt\r\nTEL;HOME:030 1234\r\nADR;WORK:;;Main St 1;Berlin;;10115;DE\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna Albers\r\nTEL:+4915142677995\r\nEMAIL:ANNA@example.org\r\nEND:VCARD\r\n")
        << 2 << 1 << QStringList {"FN:Anna Albers", "NOTE:Line one\\nline two\\, with comma = and 'quotes' $HOME",
                                  "TEL;TYPE=CELL:+49 151 4267 7995", "FN:Boris \"B\" Brandt", "ORG:Harbour Works;R&D",
                                  "ADR;TYPE=WORK:;;Main St 1;Berlin;;10115;DE", "BDAY:1991-07-13"};
    QTest::newRow("calendar") << 2 << QByteArray(
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;TZID=Europe/Berlin:20240329T110000\r\nDTEND;TZID=Europe/Berlin:20240329T120000\r\n"
        "SUMMARY:Dentist\\, Main St\r\nDESCRIPTION:Bring:\\n1. card\r\nBEGIN:VALARM\r\nTRIGGER:-PT30M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20240402T100000Z\r\nDURATION:PT1H\r\nRRULE:FREQ=WEEKLY;BYDAY=TU\r\nSUMMARY:Team\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20240329\r\nDTEND;VALUE=DATE:20240330\r\nSUMMARY:Holiday\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nDTSTART:20240329T100000Z\r\nDTEND:20240329T110000Z\r\nSUMMARY:Dentist\\, Main St\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
        << 3 << 1 << QStringList {"SUMMARY:Dentist\\, Main St", "DESCRIPTION:Bring:\\n1. card", "TRIGGER:-PT30M",
                                  "RRULE:FREQ=WEEKLY;BYDAY=TU", "DURATION:PT3600S", "DTSTART;VALUE=DATE:20240329"};
    QTest::newRow("call log") << 4 << QByteArray(
        "<calls><call number=\"+4915182833710\" name=\"Boris, B = x\" date=\"1709294400007\" duration=\"30\" type=\"1\" new=\"1\"/>"
        "<call number=\"-1\" date=\"1709299800007\" duration=\"0\" type=\"3\"/>"
        "<call number=\"+4915182833710\" date=\"1709294400007\" duration=\"30\" type=\"1\"/></calls>")
        << 2 << 1 << QStringList {"name=\"Boris, B = x\"", "number=\"-1\""};
}

void tst_AdbRestore::records()
{
    QFETCH(int, type);
    QFETCH(QByteArray, file);
    QFETCH(int, restored);
    QFETCH(int, skipped);
    QFETCH(QStringList, expected);
    const QString strFile = LocalFile(QStringLiteral("records/%1").arg(type), file);
    int nRestored = -1, nSkipped = -1, nFailed = -1;
    char *szMessage = nullptr;
    QCOMPARE(m_pPhone->pRestore->Records(type, strFile.toUtf8().constData(), &nRestored, &nSkipped, &nFailed, &szMessage), 0);
    QCOMPARE(Text(szMessage), QString());
    QCOMPARE(nRestored, restored);
    QCOMPARE(nSkipped, skipped);
    QCOMPARE(nFailed, 0);

    // A backup reads them back as they were.
    char *szText = nullptr;
    QCOMPARE(m_pPhone->pDevice->BackUp(type, "records", &szText), 0);
    const QString strLocal = m_dir.filePath(QStringLiteral("pc/backed-up-%1").arg(type));
    const QByteArray baPath = QByteArray("/data/local/tmp/backup/")
            + (type == 0 ? "contacts.vcf" : type == 2 ? "calendar.ics" : "calllog.xml");
    QCOMPARE(m_pPhone->pDevice->GetFile(strLocal.toUtf8().constData(), baPath.constData(), 2), 0);
    const QString strBackedUp = QString::fromUtf8(FileBytes(strLocal));
    for (const QString &strLine : expected)
        QVERIFY2(strBackedUp.contains(strLine), qPrintable(strLine + QStringLiteral(" not in:\n") + strBackedUp));

    // Everything is there now: a second restore adds nothing.
    QCOMPARE(m_pPhone->pRestore->Records(type, strFile.toUtf8().constData(), &nRestored, &nSkipped, &nFailed, nullptr), 0);
    QCOMPARE(nRestored, 0);
    QCOMPARE(nSkipped, restored + skipped);
    QCOMPARE(nFailed, 0);
}

void tst_AdbRestore::fullPhone()
{
    std::unique_ptr<Phone> pFull = StartPhone(QStringLiteral("full"), {{QStringLiteral("device/sdk"), 33},
                                                                      {QStringLiteral("faults/restoreFreeKB"), 200}});
    QVERIFY(pFull);
    QByteArray baJobs;
    for (int i = 0; i < 5; ++i)
        baJobs += Job(LocalFile(QStringLiteral("full/%1.jpg").arg(i), QByteArray(80 * 1024, char('a' + i))),
                      QStringLiteral("/sdcard/Full/%1.jpg").arg(i), 1);
    PutRecorder recorder;
    QCOMPARE(pFull->pRestore->PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), int(DVSK_RESTORE_ERR_NO_SPACE));
    // Two fit; the third meets the full phone; the rest get no end call.
    QMap<int, PutRecorder::End> mapEnds;
    for (const PutRecorder::End &end : qAsConst(recorder.listEnds))
        mapEnds.insert(end.nIndex, end);
    QCOMPARE(recorder.listEnds.size(), 3);
    QCOMPARE(mapEnds.keys(), QList<int>({0, 1, 2}));
    QCOMPARE(mapEnds.value(0).nResult, 0);
    QCOMPARE(mapEnds.value(1).nResult, 0);
    QCOMPARE(mapEnds.value(2).nResult, int(DVSK_RESTORE_ERR_NO_SPACE));
    QCOMPARE(mapEnds.value(2).strMessage, QStringLiteral("No space left on device"));
    QCOMPARE(QDir(pFull->strDir + QStringLiteral("/fs/sdcard/Full")).entryList(QDir::Files | QDir::Hidden),
             QStringList({"0.jpg", "1.jpg"}));
}

void tst_AdbRestore::unplugDuringPush()
{
    std::unique_ptr<Phone> pUnplug = StartPhone(QStringLiteral("unplug"), {{QStringLiteral("device/sdk"), 33},
                                                                          {QStringLiteral("faults/unplugDuringPushedFile"), 2}});
    QVERIFY(pUnplug);
    QByteArray baJobs;
    for (int i = 0; i < 4; ++i)
        baJobs += Job(LocalFile(QStringLiteral("unplug/%1.mp4").arg(i), QByteArray(300 * 1024, char('a' + i))),
                      QStringLiteral("/sdcard/Movies/%1.mp4").arg(i), 1);
    PutRecorder recorder;
    QCOMPARE(pUnplug->pRestore->PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), int(DVSK_DEV_ERR_DISCONNECTED));
    QTRY_VERIFY_WITH_TIMEOUT(CallbackRecorder::Instance().EventCodes().contains(DVSK_EVENT_DEVICE_REMOVED), 60000);
    QVERIFY(CallbackRecorder::Instance().EventCodes().contains(DVSK_EVENT_SERVICE_LOST));
    // Nothing half-written under a real name.
    const QStringList listFiles = QDir(pUnplug->strDir + QStringLiteral("/fs/sdcard/Movies")).entryList(QDir::Files);
    for (const QString &strName : listFiles)
        QCOMPARE(FileBytes(pUnplug->strDir + QStringLiteral("/fs/sdcard/Movies/") + strName).size(), 300 * 1024);
    QVERIFY(!listFiles.contains(QStringLiteral("1.mp4")));
}

void tst_AdbRestore::cancelDuringPush()
{
    QByteArray baJobs;
    for (int i = 0; i < 3; ++i)
        baJobs += Job(LocalFile(QStringLiteral("cancel/%1.mp4").arg(i), QByteArray(3 * 1024 * 1024, char('a' + i))),
                      QStringLiteral("/sdcard/Cancel/%1.mp4").arg(i), 1);
    PutRecorder recorder;
    AdbRestore *pRestore = m_pPhone->pRestore.get();
    recorder.fnOnProgress = [pRestore](int nIndex, qint64 nBytes) {
        if (nIndex == 1 && nBytes > 1024 * 1024)
            pRestore->Cancel();
    };
    QCOMPARE(pRestore->PutFiles(baJobs.constData(), &PutRecorder::OnFile, &recorder), int(DVSK_DEV_ERR_CANCELLED));
    QVERIFY(!QFileInfo::exists(m_pPhone->strDir + QStringLiteral("/fs/sdcard/Cancel/2.mp4")));
    QVERIFY(!QFileInfo::exists(m_pPhone->strDir + QStringLiteral("/fs/sdcard/Cancel/1.mp4")));
    // Refused until the cancel is reset; then the phone is still usable.
    char *szText = nullptr;
    QCOMPARE(pRestore->AppVersions(&szText), int(DVSK_DEV_ERR_CANCELLED));
    pRestore->ResetCancel();
    QCOMPARE(pRestore->AppVersions(&szText), 0);
    free(szText);
    QVERIFY(CallbackRecorder::Instance().EventCodes().isEmpty());
}

QTEST_GUILESS_MAIN(tst_AdbRestore)
#include "tst_adbrestore.moc"
