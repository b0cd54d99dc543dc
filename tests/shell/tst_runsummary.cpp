// The closing summary of a run (what hosts without a user print) and the run
// report the plugin gives its host at the end of every backup.
#include "BackUpRunReport.h"
#include "BackUpUIThread.h"
#include "RunSummary.h"
#include "TestEnv.h"

#include <QSignalSpy>
#include <QtTest>

class tst_RunSummary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_env.IsValid(), "no temporary folder"); }
    void lines_data();
    void lines();
    void runReport();

private:
    TestEnv m_env;
};

void tst_RunSummary::lines_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("notAvailable"); // kinds the phone does not give at all
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("status");

    // Contacts, images and call log are chosen; contacts and images were run.
    QTest::newRow("a failed module, a module never reached")
        << int(RESULT_BIT_IMAGE) << 0 << true
        << QStringList{"Backup finished with failures.", "Package:       <package>", "Backup folder: <folder>",
                       "Backed up:", "  contacts           5", "Failed:        images, calls (not run)"}
        << 1;
    // Left out, neither "nothing to back up" nor failed; the run is complete.
    QTest::newRow("the call log is not available on the phone")
        << 0 << int(RESULT_BIT_CALLLOG) << true
        << QStringList{"Backup finished.", "Package:       <package>", "Backup folder: <folder>", "Backed up:",
                       "  contacts           5", "  images             0",
                       "Not available on this phone: calls"}
        << 0;
    // A kind that failed is reported failed, whatever its count said.
    QTest::newRow("failed although counted as not available")
        << int(RESULT_BIT_CALLLOG) << int(RESULT_BIT_CALLLOG) << true
        << QStringList{"Backup finished with failures.", "Package:       <package>", "Backup folder: <folder>",
                       "Backed up:", "  contacts           5", "  images             0", "Failed:        calls"}
        << 1;
    QTest::newRow("another backup holds the data folder")
        << int(RUN_RESULT_DATA_FOLDER_BUSY) << 0 << false
        << QStringList{"Backup not started: another backup is using the SDK's data folder; try again when it has "
                       "finished."}
        << 1;
    QTest::newRow("phone full") << int(RUN_RESULT_NO_FREE_MEMORY) << 0 << false
                                << QStringList{"Backup failed: the phone has no free memory (more than 5 MB are needed)."}
                                << 1;
    QTest::newRow("phone disconnected")
        << int(RUN_RESULT_PHONE_DISCONNECTED) << int(RESULT_BIT_CALLLOG) << false
        << QStringList{"Backup failed: phone disconnected. Nothing of this run was kept."} << 4;
}

void tst_RunSummary::lines()
{
    QFETCH(int, result);
    QFETCH(int, notAvailable);
    QFETCH(bool, folderExists);
    QFETCH(QStringList, expected);
    QFETCH(int, status);
    QCOMPARE(RunSummary::ExitStatusOf(result), status);

    RunSummary::Facts facts;
    facts.nResult = result;
    facts.items.bPB = facts.items.bImage = facts.items.bCallLog = true;
    facts.nAttemptedMask = RESULT_BIT_PB | RESULT_BIT_IMAGE;
    facts.nNotAvailableMask = notAvailable;
    facts.bDelivered = true;
    facts.strPackage = m_env.Path(QStringLiteral("backup_X.zip"));
    facts.strFolder = m_env.Path(QStringLiteral("backup_X"));
    if (folderExists)
        QVERIFY(QDir().mkpath(facts.strFolder));
    facts.requested[BackupCounts::PB] = 5;
    facts.requested[BackupCounts::CallLog] = notAvailable & RESULT_BIT_CALLLOG ? 0 : 3;
    facts.backedUp[BackupCounts::PB] = 5;

    expected.replaceInStrings(QStringLiteral("<package>"), facts.strPackage);
    expected.replaceInStrings(QStringLiteral("<folder>"), facts.strFolder);
    QCOMPARE(RunSummary::Lines(facts), expected);
    QDir(facts.strFolder).removeRecursively();
}

void tst_RunSummary::runReport()
{
    BackUpRunReport report;
    QSignalSpy spy(&report, &BackUpRunReport::signalRunEnded);
    emit BackUpUIThread::Instance()->signalsFinish(0);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(report.LastReport(), spy.at(0).at(0).toMap());
    QCOMPARE(report.LastReport().value(QLatin1String(BackUpRunReport::kExitStatus)).toInt(), 0);
    QCOMPARE(report.LastReport().value(QLatin1String(BackUpRunReport::kCancelled)).toBool(), false);

    emit BackUpUIThread::Instance()->signalBackupCancelSuccess();
    QCOMPARE(spy.size(), 2);
    const QVariantMap mapCancelled = report.LastReport();
    QCOMPARE(mapCancelled.value(QLatin1String(BackUpRunReport::kCancelled)).toBool(), true);
    QCOMPARE(mapCancelled.value(QLatin1String(BackUpRunReport::kExitStatus)).toInt(), 130);
    QCOMPARE(mapCancelled.value(QLatin1String(BackUpRunReport::kDelivered)).toBool(), false);
}

QTEST_MAIN(tst_RunSummary)
#include "tst_runsummary.moc"
