// The backup factory run directly on the test thread against fixture phones:
// run naming, selections, failures injected through the simulated phone, and
// packages that cannot be written or delivered. The whole happy path is in
// tst_backupuithread_e2e.

#include "BackupKinds.h"
#include "Factory.h"
#include "FactoryFixture.h"
#include "MediaInfo.h"
#include "MyZip.h"
#include "PackageReader.h"
#include "RunNames.h"
#include "RunState.h"
#include "RunSummary.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace
{
const QDateTime kRunTime(QDate(2026, 3, 4), QTime(9, 8, 7));
const QString kRunName = QStringLiteral("backup_Test Phone_2026-03-04-09-08-07");

BackupItems AllItems()
{
    BackupItems items;
    items.bPB = items.bSMS = items.bMMS = items.bAPK = items.bAPKData = items.bImage = items.bVideo = true;
    items.bAudio = items.bCallLog = items.bCalendar = items.bEmail = true;
    return items;
}

BackupItems RecordItems()
{
    BackupItems items;
    items.bPB = items.bSMS = items.bMMS = items.bCallLog = items.bCalendar = items.bEmail = true;
    return items;
}

// A phone with some of everything.
void FillPhone(TestPhone &phone)
{
    phone.SetRecords(0, 12);
    phone.SetRecords(1, 20);
    phone.SetRecords(19, 3);
    phone.SetRecords(4, 8);
    phone.SetRecords(2, 5);
    phone.SetRecords(5, 4);
    phone.SetRecords(6, 2);
    phone.AddApp(QStringLiteral("com.example.alpha"), 4096, {{QStringLiteral("files/a.db"), "alpha"}});
    phone.AddApp(QStringLiteral("com.example.beta"), 2048, {{QStringLiteral("shared_prefs/p.xml"), "<map/>"}});
    phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/a.jpg"), 3000);
    phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/b.png"), 1500);
    phone.AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 10000);
    phone.AddFile(QStringLiteral("/sdcard/Music/s.mp3"), 5000);
}

// The package's first entry, its Info.xml.
QByteArray PackageInfo(const QString &strPackage)
{
    PackageReader reader;
    if (reader.Open(QFile::encodeName(strPackage).constData()) != PackageReader::OpenOk)
        return QByteArray("<no package>");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (reader.ReadEntry(&buffer) != PackageReader::ReadOk)
        return QByteArray("<unreadable>");
    return buffer.data();
}

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The file names of the package's entries, in package order.
QStringList EntryFileNames(const QString &strPackage)
{
    QList<QByteArray> listNames;
    quint32 nCounts[20] = {};
    QByteArray baDevice;
    MyZip().UnZipPkgHead(strPackage.toLocal8Bit().constData(), listNames, nCounts, baDevice);
    QStringList list;
    for (const QByteArray &ba : listNames)
        list << QFileInfo(QString::fromLocal8Bit(ba)).fileName();
    return list;
}
} // namespace

class tst_Factory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void runNaming_data();
    void runNaming();
    void runNameTakesNextFreeSecond();

    void injectedFailures_data();
    void injectedFailures();
    void selections_data();
    void selections();
    void noDataFolderFailsEverySelectedModule();

    void partlyCopiedFilesAreKept_data();
    void partlyCopiedFilesAreKept();
    void infoCountsWhatThePackageHolds_data();
    void infoCountsWhatThePackageHolds();

    void undeliverablePackage_data();
    void undeliverablePackage();
    void cancelStopsLaterSteps();

private:
    QString Dest() const { return m_fixture.pEnv->Path(QStringLiteral("dest")); }

    FactoryFixture m_fixture;
};

void tst_Factory::init()
{
    QVERIFY2(m_fixture.Init(kRunTime), "temporary folder");
}

void tst_Factory::cleanup()
{
    m_fixture.Cleanup();
}

void tst_Factory::runNaming_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<QString>("folder");

    const QString strSep = QDir::separator();
    const QString strPhone = QStringLiteral("Nova") + QChar(0x10) + QStringLiteral("350000000000017");
    QTest::newRow("root destination") << strPhone << strSep << false
                                      << strSep + QStringLiteral("backup_Nova_2026-03-04-09-08-07");
    QTest::newRow("right to left") << strPhone << QStringLiteral("/d") << true
                                   << QStringLiteral("/d") + strSep + QStringLiteral("backup_Nova_09-08-07-2026-03-04");
    QTest::newRow("name with separators stays one folder")
        << QStringLiteral("a/b\\c") << QStringLiteral("/d") << false
        << QStringLiteral("/d") + strSep + QStringLiteral("backup_a_b_c_2026-03-04-09-08-07");
}

void tst_Factory::runNaming()
{
    QFETCH(QString, device);
    QFETCH(QString, destination);
    QFETCH(bool, rightToLeft);
    QFETCH(QString, folder);
    QCOMPARE(RunNames::Folder(destination, RunNames::Name(device, kRunTime, rightToLeft)), folder);
}

void tst_Factory::runNameTakesNextFreeSecond()
{
    m_fixture.pPhone->SetRecords(0, 3);
    Factory *pFactory = m_fixture.Prepare(RecordItems());
    QVERIFY(pFactory);
    QVERIFY(QDir().mkpath(Dest() + QLatin1Char('/') + kRunName));
    QCOMPARE(pFactory->BackUp(Dest()), 0);
    QCOMPARE(pFactory->GetPackagePath(),
             Dest() + QStringLiteral("/backup_Test Phone_2026-03-04-09-08-08.zip"));
    QVERIFY(QFileInfo::exists(pFactory->GetPackagePath()));
    // The folder that was there before is left alone.
    QVERIFY(QFileInfo::exists(Dest() + QLatin1Char('/') + kRunName));
}

void tst_Factory::injectedFailures_data()
{
    using Setup = std::function<void(TestPhone &)>;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("errorValue");
    QTest::addColumn<QString>("missingEntry");

    QTest::newRow("sms backup error") << Setup([](TestPhone &p) { p.SetBackupError(1, 7); }) << 0x002 << 7
                                      << "SMS.zip";
    QTest::newRow("calendar without result path") << Setup([](TestPhone &p) { p.SetNoResultPath(2); }) << 0x004
                                                  << 1 << "CALENDAR.zip";
    QTest::newRow("email copy fails") << Setup([](TestPhone &p) { p.SetRecordsWithoutFile(5, 4); }) << 0x010
                                      << -2 << "EMAIL.zip";
    QTest::newRow("audio error text") << Setup([](TestPhone &p) { p.SetErrorText(18); }) << 0x200 << 1
                                      << "AUDIO.zip";
}

void tst_Factory::injectedFailures()
{
    using Setup = std::function<void(TestPhone &)>;
    QFETCH(Setup, setup);
    QFETCH(int, mask);
    QFETCH(int, errorValue);
    QFETCH(QString, missingEntry);

    FillPhone(*m_fixture.pPhone);
    setup(*m_fixture.pPhone);
    Factory *pFactory = m_fixture.Prepare(AllItems());
    QVERIFY(pFactory);
    QSignalSpy errors(pFactory, &Factory::signalError);

    QCOMPARE(pFactory->BackUp(Dest()), mask);
    QCOMPARE(errors.count(), 1);
    if (errorValue != -2) // a copy failure's code is the phone's business
        QCOMPARE(errors.at(0).at(0).toInt(), errorValue);

    const QStringList listEntries = EntryFileNames(pFactory->GetPackagePath());
    QVERIFY(!listEntries.isEmpty());
    QVERIFY2(!listEntries.contains(missingEntry), qPrintable(listEntries.join(',')));
    QCOMPARE(listEntries.size(), 11);

    const QString strFolder = pFactory->GetBackupFolder();
    if (mask == 0x200) // a failed file step that copied nothing leaves nothing
        QVERIFY(!QFileInfo::exists(strFolder + "/Audio"));
    QVERIFY(QFileInfo::exists(strFolder + "/Video/v.mp4"));
}

void tst_Factory::selections_data()
{
    using Setup = std::function<void(TestPhone &)>;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<BackupItems>("items");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("entries"); // empty: no package delivered
    QTest::addColumn<QStringList>("files");   // in the backup folder; "-" marks one that must be absent

    const Setup none = [](TestPhone &) {};
    BackupItems pbSms;
    pbSms.bPB = pbSms.bSMS = true; // without MMS the messages group is not created
    QTest::newRow("partial group is skipped") << none << pbSms << 0 << QStringList{"Info.xml", "PB.zip"}
                                              << QStringList{"-"};
    BackupItems bookmarks;
    bookmarks.bBookmark = true;
    QTest::newRow("only bookmarks backs up nothing") << none << bookmarks << 0 << QStringList() << QStringList{"-"};
    BackupItems apkData;
    apkData.bAPKData = true;
    // Application data that could not be read is a failure, never a backup
    // of the applications under its name.
    QTest::newRow("application data error 3 fails")
        << Setup([](TestPhone &p) { p.SetBackupError(15, 3); }) << apkData << 0x800 << QStringList()
        << QStringList{"-"};
    // Both share the "APK" folder: failing application data must not take
    // the applications with it.
    BackupItems apkBoth = apkData;
    apkBoth.bAPK = true;
    QTest::newRow("failed application data keeps applications")
        << Setup([](TestPhone &p) { p.SetBackupError(15, 5); }) << apkBoth << 0x800
        << QStringList{"Info.xml", "APK.zip"}
        << QStringList{"APK/com.example.alpha.apk", "APK/com.example.beta.apk", "-APK/APPDATA.zip"};
}

void tst_Factory::selections()
{
    using Setup = std::function<void(TestPhone &)>;
    QFETCH(Setup, setup);
    QFETCH(BackupItems, items);
    QFETCH(int, result);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, files);
    FillPhone(*m_fixture.pPhone);
    setup(*m_fixture.pPhone);
    Factory *pFactory = m_fixture.Prepare(items);
    QVERIFY(pFactory);
    QSignalSpy errors(pFactory, &Factory::signalError);
    QCOMPARE(pFactory->BackUp(Dest()), result);
    QCOMPARE(errors.count(), result ? 1 : 0);
    QCOMPARE(pFactory->IsPackageDelivered(), !entries.isEmpty());
    if (entries.isEmpty())
        QCOMPARE(QDir(Dest()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    else
        QCOMPARE(EntryFileNames(pFactory->GetPackagePath()), entries);
    QVERIFY(!QFileInfo::exists(pFactory->GetTempPackagePath()));
    for (const QString &strFile : files) {
        const bool bAbsent = strFile.startsWith(QLatin1Char('-'));
        const QString strPath = pFactory->GetBackupFolder() + QLatin1Char('/') + strFile.mid(bAbsent ? 1 : 0);
        QVERIFY2(QFileInfo::exists(strPath) != bAbsent, qPrintable(strPath));
    }
}

// Without the SDK's data folder nothing may be written elsewhere (such as the
// current folder); every selected module fails.
void tst_Factory::noDataFolderFailsEverySelectedModule()
{
    FillPhone(*m_fixture.pPhone);
    QFile blocker(m_fixture.pEnv->Path("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("DVSK_SIM_USERDATA", m_fixture.pEnv->Path("blocker/userdata").toUtf8());
    Factory *pFactory = m_fixture.Prepare(RecordItems());
    QVERIFY(pFactory);
    QSignalSpy errors(pFactory, &Factory::signalError);
    QCOMPARE(pFactory->BackUp(Dest()), 0x001 | 0x002 | 0x400 | 0x008 | 0x004 | 0x010);
    QCOMPARE(errors.count(), 6);
    QCOMPARE(pFactory->GetAttemptedMask(), 0);
    QVERIFY(!QFileInfo::exists("PB.zip"));
}

void tst_Factory::partlyCopiedFilesAreKept_data()
{
    QTest::addColumn<QString>("phonePath"); // the file the phone fails to give
    QTest::addColumn<QString>("items");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("folder"); // the module's folder in the backup folder
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("image") << "/sdcard/DCIM/Camera/b.png" << "media" << 0x080 << "Image" << "IMAGE.zip"
                           << QStringList{"a.jpg", "c.jpg"};
    QTest::newRow("video") << "/sdcard/Movies/v.mp4" << "media" << 0x100 << "Video" << "VIDEO.zip"
                           << QStringList{"w.mp4"};
    QTest::newRow("audio") << "/sdcard/Music/s.mp3" << "music" << 0x200 << "Audio" << "AUDIO.zip"
                           << QStringList{"t.mp3"};
    QTest::newRow("application") << "/data/app/com.example.alpha.apk" << "apps" << 0x040 << "APK" << "APK.zip"
                                 << QStringList{"com.example.beta.apk"};
}

// One file the phone cannot give: every other file stays, the media list
// names exactly the files kept, the package holds the module with the count
// copied, and the item fails naming the file that is missing.
void tst_Factory::partlyCopiedFilesAreKept()
{
    QFETCH(QString, phonePath);
    QFETCH(QString, items);
    QFETCH(int, mask);
    QFETCH(QString, folder);
    QFETCH(QString, entry);
    QFETCH(QStringList, kept);
    FillPhone(*m_fixture.pPhone);
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/DCIM/Camera/c.jpg"), 700);
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/Movies/w.mp4"), 900);
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/Music/t.mp3"), 800);
    m_fixture.pPhone->SetMissingFile(phonePath);
    BackupItems selection;
    selection.bImage = selection.bVideo = items == "media";
    selection.bAudio = items == "music";
    selection.bAPK = items == "apps";
    Factory *pFactory = m_fixture.Prepare(selection);
    QVERIFY(pFactory);
    QSignalSpy errors(pFactory, &Factory::signalError);

    QCOMPARE(pFactory->BackUp(Dest()), mask);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(pFactory->GetFailedFiles().value(errors.at(0).at(1).toInt()), QStringList{phonePath});
    const QString strModuleFolder = pFactory->GetBackupFolder() + "/" + folder;
    QStringList listFiles = QDir(strModuleFolder).entryList(QDir::Files);
    listFiles.removeAll(folder + "List.xml");
    QCOMPARE(listFiles, kept);
    if (folder != "APK") {
        QList<MediaInfo> listMedia;
        QVERIFY(g_ReadMediaList(strModuleFolder + "/" + folder + "List.xml", listMedia));
        QStringList listNames;
        for (const MediaInfo &info : listMedia)
            listNames << info.pcname;
        QCOMPARE(listNames, kept);
    }
    QVERIFY(pFactory->IsPackageDelivered());
    QVERIFY(EntryFileNames(pFactory->GetPackagePath()).contains(entry));
    QCOMPARE(pFactory->GetBackedUpCounts()[BackupKinds::ByCode(errors.at(0).at(1).toInt())->nCountSlot], kept.size());
}

void tst_Factory::infoCountsWhatThePackageHolds_data()
{
    using Setup = std::function<void(TestPhone &)>;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("info"); // lines expected in Info.xml
    QTest::addColumn<QString>("absentEntry");

    QTest::newRow("contacts without result path") << Setup([](TestPhone &p) { p.SetNoResultPath(0); }) << 0x001
                                                  << "\t<PB>0</PB>\r\n" << "PB.zip";
    // Messages arrive while the phone is backed up: what it delivered counts.
    QTest::newRow("more messages than counted")
        << Setup([](TestPhone &p) { p.SetRecords(1, 20, QByteArray(), 23); }) << 0 << "\t<SMS>23</SMS>\r\n" << "";
    QTest::newRow("fewer contacts than counted")
        << Setup([](TestPhone &p) { p.SetRecords(0, 12, QByteArray(), 11); }) << 0 << "\t<PB>11</PB>\r\n" << "";
    QTest::newRow("application data unreadable") << Setup([](TestPhone &p) { p.SetBackupError(15, 3); }) << 0x800
                                                 << "\t<ApkData>0</ApkData>\r\n" << "APKDATA.zip";
}

void tst_Factory::infoCountsWhatThePackageHolds()
{
    using Setup = std::function<void(TestPhone &)>;
    QFETCH(Setup, setup);
    QFETCH(int, mask);
    QFETCH(QString, info);
    QFETCH(QString, absentEntry);
    FillPhone(*m_fixture.pPhone);
    setup(*m_fixture.pPhone);
    Factory *pFactory = m_fixture.Prepare(AllItems());
    QVERIFY(pFactory);
    // The result page learns the counts as copies, through a queued
    // connection as across threads.
    QObject receiver;
    QList<BackupCounts> listReceived;
    connect(
        pFactory, &Factory::signalBackupCount, &receiver,
        [&listReceived](BackupItems, BackupCounts, BackupCounts backedUp) { listReceived.append(backedUp); },
        Qt::QueuedConnection);
    QCOMPARE(pFactory->BackUp(Dest()), mask);
    QTRY_COMPARE_WITH_TIMEOUT(listReceived.size(), 1, 60000);
    for (int i = 0; i < BackupCounts::kSlots; ++i)
        QCOMPARE(listReceived.at(0)[i], pFactory->GetBackedUpCounts()[i]);
    const QByteArray baInfo = PackageInfo(pFactory->GetPackagePath());
    QVERIFY2(baInfo.contains(info.toLatin1()), baInfo.constData());
    if (!absentEntry.isEmpty())
        QVERIFY(!EntryFileNames(pFactory->GetPackagePath()).contains(absentEntry));
}

void tst_Factory::undeliverablePackage_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("target exists") << "file";
    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("package cannot be written") << "missing source";
}

// Whatever stops the package, no broken or stale package is left under its
// name and every module that went into it is reported as failed.
void tst_Factory::undeliverablePackage()
{
    QFETCH(QString, obstacle);
    FillPhone(*m_fixture.pPhone);
    BackupItems items = RecordItems();
    items.bImage = items.bVideo = true;
    Factory *pFactory = m_fixture.Prepare(items);
    QVERIFY(pFactory);

    const QByteArray baForeign("not ours");
    connect(pFactory, &Factory::PackageStatus, this, [&](bool bPackaging) {
        if (!bPackaging)
            return;
        const QString strTarget = pFactory->GetPackagePath();
        if (obstacle == "file") {
            QFile file(strTarget);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(baForeign);
        } else if (obstacle == "folder") {
            QVERIFY(QDir().mkpath(strTarget));
        } else {
            QVERIFY(QFile::remove(pFactory->GetDataFolder() + "SMS.zip"));
        }
    });
    QSignalSpy errors(pFactory, &Factory::signalError);

    const int nAll = 0x001 | 0x002 | 0x400 | 0x008 | 0x004 | 0x010 | 0x080 | 0x100;
    QCOMPARE(pFactory->BackUp(Dest()), nAll);
    QCOMPARE(errors.count(), 8);
    QVERIFY(!pFactory->IsPackageDelivered());

    const QString strTarget = pFactory->GetPackagePath();
    if (obstacle == "file")
        QCOMPARE(ReadAll(strTarget), baForeign); // somebody else's file is not touched
    else if (obstacle == "folder")
        QVERIFY(QFileInfo(strTarget).isDir());
    else
        QVERIFY(!QFileInfo::exists(strTarget));
    QVERIFY(!QFileInfo::exists(pFactory->GetTempPackagePath()));
    QVERIFY(!QFileInfo::exists(pFactory->GetBackupFolder()));
}

void tst_Factory::cancelStopsLaterSteps()
{
    FillPhone(*m_fixture.pPhone);
    Factory *pFactory = m_fixture.Prepare(AllItems());
    QVERIFY(pFactory);
    connect(pFactory, &Factory::signalsBackFinished, this, [](int nModule) {
        if (nModule == 1)
            RunState::Set(RunState::kCancelled);
    });
    pFactory->BackUp(Dest());
    QCOMPARE(pFactory->GetAttemptedMask(), 0x001 | 0x002);
    // A cancelled run delivers nothing.
    QVERIFY(!pFactory->IsPackageDelivered());
    QVERIFY(!QFileInfo::exists(pFactory->GetPackagePath()));
    QVERIFY(!QFileInfo::exists(pFactory->GetTempPackagePath()));
}

QTEST_GUILESS_MAIN(tst_Factory)
#include "tst_factory.moc"
