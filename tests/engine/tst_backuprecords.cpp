// The display id of a module start and the process-wide run state.
#include "BackupRecords.h"
#include "RunState.h"

#include <QtTest>

class tst_BackupRecords : public QObject
{
    Q_OBJECT

private slots:
    void displayIdFromStatus_data();
    void displayIdFromStatus();
    void runState();
};

void tst_BackupRecords::displayIdFromStatus_data()
{
    // Raised flags, in the order PB SMS Calendar Flag3 APK Image Video Audio
    // CallLog Email Bookmark MMS Transporting.
    QTest::addColumn<QString>("flags");
    QTest::addColumn<int>("nDisplayId");
    QTest::newRow("none") << "0000000000000" << -1;
    QTest::newRow("only transporting") << "0000000000001" << -1;
    QTest::newRow("application data uses apk") << "0000100000001" << 3;
    QTest::newRow("mms alone") << "0000000000010" << 1;
    QTest::newRow("bookmarks") << "0000000000100" << 6;
    QTest::newRow("call log") << "0000000010000" << 6;
    QTest::newRow("e-mail") << "0000000001000" << 6;
    // The first raised flag in test order decides.
    QTest::newRow("contacts before sms") << "1100000000000" << 0;
    QTest::newRow("sms before apk") << "0100100000000" << 1;
    QTest::newRow("flag3 before apk") << "0001100000000" << 29;
    QTest::newRow("apk before image") << "0000110000000" << 3;
    QTest::newRow("video before audio") << "0000001100000" << 4;
    QTest::newRow("audio before calendar") << "0010000100000" << 5;
    QTest::newRow("calendar before mms") << "0010000000010" << 6;
}

void tst_BackupRecords::displayIdFromStatus()
{
    QFETCH(QString, flags);
    QFETCH(int, nDisplayId);
    FILESTATUS status;
    bool *const pFlags[] = {&status.bPB,      &status.bSMS,    &status.bCalendar, &status.bFlag3, &status.bAPK,
                            &status.bImage,   &status.bVideo,  &status.bAudio,    &status.bCallLog,
                            &status.bEmail,   &status.bBookmark, &status.bMMS,    &status.bTransporting};
    for (int i = 0; i < 13; ++i)
        *pFlags[i] = flags.at(i) == QLatin1Char('1');
    QCOMPARE(BackupCodes::DisplayIdFromStatus(status), nDisplayId);
}

void tst_BackupRecords::runState()
{
    QCOMPARE(RunState::Get(), 0); // before any run has started
    QVERIFY(!RunState::IsCancelled());
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
