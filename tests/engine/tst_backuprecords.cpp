// The display id of a module start and the process-wide run state.
#include "BackupRecords.h"
#include "RunState.h"

#include <QtTest>

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
} // namespace

class tst_BackupRecords : public QObject
{
    Q_OBJECT

private slots:
    void runStateStartsAtZero();
    void displayIdFromStatus_data();
    void displayIdFromStatus();
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
