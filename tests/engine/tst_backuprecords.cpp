// The records and codes that cross the engine: display ids of a module start,
// the code tables, record defaults and layout, and the meta-types that carry
// the records across threads.
#include "BackupRecords.h"
#include "RunState.h"

#include <QThread>
#include <QtTest>

#include <memory>

namespace
{
// A status with the named flags raised ("PB SMS ...").
FILESTATUS Status(const QString &strFlags)
{
    FILESTATUS status;
    bool *const pFlags[] = {&status.bPB,     &status.bSMS,     &status.bCalendar, &status.bFlag3,   &status.bAPK,
                            &status.bImage,  &status.bVideo,   &status.bAudio,    &status.bCallLog, &status.bEmail,
                            &status.bBookmark, &status.bMMS, &status.bTransporting};
    const char *const kNames[] = {"PB",      "SMS",   "Calendar", "Flag3",    "APK", "Image",       "Video",
                                  "Audio",   "CallLog", "Email",  "Bookmark", "MMS", "Transporting"};
    for (const QString &strFlag : strFlags.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (int i = 0; i < 13; ++i) {
            if (strFlag == QLatin1String(kNames[i]))
                *pFlags[i] = true;
        }
    }
    return status;
}

class Emitter : public QObject
{
    Q_OBJECT
signals:
    void statusChanged(FILESTATUS status);
    void moduleInfo(structBackupID record);
};
} // namespace

class tst_BackupRecords : public QObject
{
    Q_OBJECT

private slots:
    void runStateStartsAtZero();
    void displayIdFromStatus_data();
    void displayIdFromStatus();
    void codeTables_data();
    void codeTables();
    void itemSlotsFollowTheFieldOrder();
    void recordDefaults();
    void recordsCrossThreads();
    void runState();
};

void tst_BackupRecords::runStateStartsAtZero()
{
    // Before any run has started.
    QCOMPARE(RunState::Get(), 0);
    QVERIFY(!RunState::IsCancelled());
}

void tst_BackupRecords::displayIdFromStatus_data()
{
    QTest::addColumn<QString>("strFlags");
    QTest::addColumn<int>("nDisplayId");

    QTest::newRow("none") << "" << -1;
    QTest::newRow("only-transporting") << "Transporting" << -1;
    QTest::newRow("contacts") << "PB" << 0;
    QTest::newRow("sms") << "SMS" << 1;
    QTest::newRow("flag3") << "Flag3" << 29;
    QTest::newRow("applications") << "APK" << 3;
    QTest::newRow("application-data-uses-apk") << "APK Transporting" << 3;
    QTest::newRow("images") << "Image" << 4;
    QTest::newRow("videos") << "Video" << 4;
    QTest::newRow("audio") << "Audio" << 5;
    QTest::newRow("call-log") << "CallLog" << 6;
    QTest::newRow("calendar") << "Calendar" << 6;
    QTest::newRow("email") << "Email" << 6;
    QTest::newRow("bookmarks") << "Bookmark" << 6;
    QTest::newRow("mms") << "MMS" << 1;
    // The first raised flag in test order decides.
    QTest::newRow("contacts-before-sms") << "SMS PB" << 0;
    QTest::newRow("sms-before-apk") << "APK SMS" << 1;
    QTest::newRow("flag3-before-apk") << "APK Flag3" << 29;
    QTest::newRow("apk-before-image") << "Image APK" << 3;
    QTest::newRow("video-before-audio") << "Audio Video" << 4;
    QTest::newRow("audio-before-calendar") << "Calendar Audio" << 5;
    QTest::newRow("calendar-before-mms") << "MMS Calendar" << 6;
    QTest::newRow("mms-while-transporting") << "MMS Transporting" << 1;
}

void tst_BackupRecords::displayIdFromStatus()
{
    QFETCH(QString, strFlags);
    QFETCH(int, nDisplayId);
    QCOMPARE(BackupCodes::DisplayIdFromStatus(Status(strFlags)), nDisplayId);
}

void tst_BackupRecords::codeTables_data()
{
    QTest::addColumn<int>("nCode");
    QTest::addColumn<int>("nResultBit");
    QTest::addColumn<QString>("strPackageFile");

    QTest::newRow("contacts") << 0 << 0x001 << "PB.zip";
    QTest::newRow("sms") << 1 << 0x002 << "SMS.zip";
    QTest::newRow("calendar") << 2 << 0x004 << "CALENDAR.zip";
    QTest::newRow("call-log") << 4 << 0x008 << "CALLLOG.zip";
    QTest::newRow("email") << 5 << 0x010 << "EMAIL.zip";
    QTest::newRow("bookmarks") << 6 << 0x020 << "BOOKMARK.zip";
    QTest::newRow("applications") << 9 << 0x040 << "APK.zip";
    QTest::newRow("application-data") << 15 << 0x800 << "APKDATA.zip";
    QTest::newRow("images") << 16 << 0x080 << "IMAGE.zip";
    QTest::newRow("videos") << 17 << 0x100 << "VIDEO.zip";
    QTest::newRow("audio") << 18 << 0x200 << "AUDIO.zip";
    QTest::newRow("mms") << 19 << 0x400 << "MMS.zip";
    QTest::newRow("unused-3") << 3 << 0 << "";
    QTest::newRow("unused-7") << 7 << 0 << "";
    QTest::newRow("negative") << -1 << 0 << "";
}

void tst_BackupRecords::codeTables()
{
    QFETCH(int, nCode);
    QFETCH(int, nResultBit);
    QFETCH(QString, strPackageFile);
    QCOMPARE(BackupCodes::ResultBit(nCode), nResultBit);
    QCOMPARE(QString::fromLatin1(BackupCodes::PackageFileName(nCode)), strPackageFile);
}

void tst_BackupRecords::itemSlotsFollowTheFieldOrder()
{
    const char *const kOrder[] = {"SMS", "PB", "Calendar", "APK", "APKData", "CallLog",
                                  "Email", "Bookmark", "MMS", "Image", "Video", "Audio"};
    for (int nSlot = 0; nSlot < BackupItems::kSlots; ++nSlot) {
        BackupItems items;
        items.Slot(nSlot) = true;
        const bool bFields[] = {items.bSMS,   items.bPB,    items.bCalendar, items.bAPK,   items.bAPKData, items.bCallLog,
                                items.bEmail, items.bBookmark, items.bMMS,   items.bImage, items.bVideo,   items.bAudio};
        for (int i = 0; i < BackupItems::kSlots; ++i)
            QVERIFY2(bFields[i] == (i == nSlot), kOrder[nSlot]);
        QVERIFY(!(items == BackupItems()));
        BackupItems copy = items;
        QVERIFY(copy == items);
    }
}

void tst_BackupRecords::recordDefaults()
{
    const structBackupID record;
    QCOMPARE(record.nModuleID, 0);
    QCOMPARE(record.nProNum, 0);
    QCOMPARE(record.nAllNum, 0);
    QCOMPARE(record.bFlag, false);
    QCOMPARE(record.nValue, 0);
    QCOMPARE(record.nState, 5);
    QCOMPARE(record.nValue2, 0);

    // Thirteen one-byte flags, nothing raised.
    QCOMPARE(sizeof(FILESTATUS), size_t(13));
    QCOMPARE(BackupCodes::DisplayIdFromStatus(FILESTATUS()), -1);

    const BackupCounts counts;
    for (int i = 0; i < BackupCounts::kSlots; ++i)
        QCOMPARE(counts[i], 0);
    QCOMPARE(int(BackupCounts::MMS), 6);
    QCOMPARE(int(BackupCounts::APK), 7);
    QCOMPARE(int(BackupCounts::Audio), 11);
    QCOMPARE(int(BackupCounts::APKSize), 12);
    QCOMPARE(int(BackupCounts::AudioSize), 16);
}

void tst_BackupRecords::recordsCrossThreads()
{
    BackupCodes::RegisterMetaTypes();
    BackupCodes::RegisterMetaTypes(); // idempotent
    QVERIFY(QMetaType::fromName("FILESTATUS").isValid());
    QVERIFY(QMetaType::fromName("structBackupID").isValid());

    // Emitted on another thread, received here through queued connections:
    // the records arrive as copies with every field intact.
    Emitter emitter;
    QObject receiver;
    QList<FILESTATUS> listStatus;
    QList<structBackupID> listRecords;
    connect(&emitter, &Emitter::statusChanged, &receiver, [&](FILESTATUS status) { listStatus << status; });
    connect(&emitter, &Emitter::moduleInfo, &receiver, [&](structBackupID record) { listRecords << record; });
    std::unique_ptr<QThread> pThread(QThread::create([&emitter]() {
        emit emitter.statusChanged(Status(QStringLiteral("Image Transporting")));
        structBackupID record;
        record.nModuleID = 25;
        record.nProNum = 3;
        record.nAllNum = 9;
        record.nState = 1;
        record.nValue2 = 77;
        emit emitter.moduleInfo(record);
    }));
    pThread->start();
    QVERIFY(pThread->wait(10000));
    QTRY_COMPARE(listRecords.size(), 1);
    QCOMPARE(listStatus.size(), 1);
    QVERIFY(listStatus.at(0).bImage && listStatus.at(0).bTransporting && !listStatus.at(0).bVideo);
    QCOMPARE(listRecords.at(0).nModuleID, 25);
    QCOMPARE(listRecords.at(0).nProNum, 3);
    QCOMPARE(listRecords.at(0).nAllNum, 9);
    QCOMPARE(listRecords.at(0).nState, 1);
    QCOMPARE(listRecords.at(0).nValue2, 77);
}

void tst_BackupRecords::runState()
{
    RunState::Set(RunState::kCancelled);
    QCOMPARE(RunState::Get(), -2);
    QVERIFY(RunState::IsCancelled());
    RunState::Set(-7);
    QVERIFY(RunState::IsCancelled());
    RunState::Set(0);
    QVERIFY(!RunState::IsCancelled());
}

QTEST_GUILESS_MAIN(tst_BackupRecords)
#include "tst_backuprecords.moc"
