// The closing summary of a run (what hosts without a user print) and the run
// report the plugin gives its host at the end of every backup.

#include "BackUpRunReport.h"
#include "BackUpUIThread.h"
#include "RunSummary.h"
#include "TestEnv.h"

#include <QSignalSpy>
#include <QtTest>

namespace
{
BackupItems Items(std::initializer_list<int> listCodes)
{
    BackupItems items;
    for (int nCode : listCodes) {
        switch (nCode) {
        case MODULE_PB: items.bPB = true; break;
        case MODULE_SMS: items.bSMS = true; break;
        case MODULE_MMS: items.bMMS = true; break;
        case MODULE_IMAGE: items.bImage = true; break;
        case MODULE_VIDEO: items.bVideo = true; break;
        case MODULE_CALLLOG: items.bCallLog = true; break;
        default: break;
        }
    }
    return items;
}
} // namespace

class tst_RunSummary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_env.IsValid(), "no temporary folder"); }
    void lines_data();
    void lines();
    void cancelled_data();
    void cancelled();
    void runReport();

private:
    TestEnv m_env;
};

void tst_RunSummary::lines_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<BackupItems>("items");
    QTest::addColumn<int>("attempted");
    QTest::addColumn<bool>("delivered");
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("status");

    const int nRecords = RESULT_BIT_PB | RESULT_BIT_SMS;
    QTest::newRow("everything backed up")
        << 0 << Items({MODULE_PB, MODULE_SMS}) << nRecords << true << false
        << QStringList{"Backup finished.", "Package:       <package>", "Backup folder: none (no files were copied)",
                       "Backed up:", "  contacts           5", "  SMS                7"}
        << 0;
    QTest::newRow("a failed module, files copied")
        << int(RESULT_BIT_IMAGE) << Items({MODULE_PB, MODULE_IMAGE}) << int(RESULT_BIT_PB | RESULT_BIT_IMAGE) << true
        << true
        << QStringList{"Backup finished with failures.", "Package:       <package>", "Backup folder: <folder>",
                       "Backed up:", "  contacts           5", "Failed:        images"}
        << 1;
    QTest::newRow("not run: nothing on the phone, or never reached")
        << 0 << Items({MODULE_PB, MODULE_VIDEO, MODULE_CALLLOG}) << int(RESULT_BIT_PB) << true << false
        << QStringList{"Backup finished.", "Package:       <package>", "Backup folder: none (no files were copied)",
                       "Backed up:", "  contacts           5", "Nothing to back up: videos",
                       "Failed:        call log (not run)"}
        << 0;
    QTest::newRow("package not delivered")
        << int(RESULT_BIT_PB) << Items({MODULE_PB}) << int(RESULT_BIT_PB) << false << false
        << QStringList{"Backup finished with failures.", "Package:       none written",
                       "Backup folder: none (no files were copied)", "Failed:        contacts"}
        << 1;
    QTest::newRow("memory unknown") << int(RUN_RESULT_NO_MEMINFO) << Items({MODULE_PB}) << 0 << false << false
                                    << QStringList{"Backup failed: the phone's memory information is not available."}
                                    << 1;
    QTest::newRow("phone full") << int(RUN_RESULT_NO_FREE_MEMORY) << Items({MODULE_PB}) << 0 << false << false
                                << QStringList{"Backup failed: the phone has no free memory (more than 5 MB are needed)."}
                                << 1;
}

void tst_RunSummary::lines()
{
    QFETCH(int, result);
    QFETCH(BackupItems, items);
    QFETCH(int, attempted);
    QFETCH(bool, delivered);
    QFETCH(bool, folderExists);
    QFETCH(QStringList, expected);
    QFETCH(int, status);
    QCOMPARE(RunSummary::ExitStatusOf(result), status);

    RunSummary::Facts facts;
    facts.nResult = result;
    facts.items = items;
    facts.nAttemptedMask = attempted;
    facts.bDelivered = delivered;
    facts.strPackage = m_env.Path(QStringLiteral("backup_X.zip"));
    facts.strFolder = m_env.Path(QStringLiteral("backup_X"));
    if (folderExists)
        QVERIFY(QDir().mkpath(facts.strFolder));
    facts.requested[BackupCounts::PB] = 5;
    facts.requested[BackupCounts::CallLog] = 3;
    facts.backedUp[BackupCounts::PB] = 5;
    facts.backedUp[BackupCounts::SMS] = 7;

    expected.replaceInStrings(QStringLiteral("<package>"), facts.strPackage);
    expected.replaceInStrings(QStringLiteral("<folder>"), facts.strFolder);
    QCOMPARE(RunSummary::Lines(facts), expected);
    QDir(facts.strFolder).removeRecursively();
}

void tst_RunSummary::cancelled_data()
{
    QTest::addColumn<bool>("packageLeft");
    QTest::addColumn<bool>("folderLeft");
    QTest::newRow("nothing left") << false << false;
    QTest::newRow("package left") << true << false;
    QTest::newRow("folder left") << false << true;
}

void tst_RunSummary::cancelled()
{
    QFETCH(bool, packageLeft);
    QFETCH(bool, folderLeft);
    const QString strPackage = m_env.Path(QStringLiteral("cancelled.zip"));
    const QString strFolder = m_env.Path(QStringLiteral("cancelled"));
    if (packageLeft) {
        QFile file(strPackage);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (folderLeft)
        QVERIFY(QDir().mkpath(strFolder));

    const bool bLeft = RunSummary::FilesLeft(strPackage, strFolder);
    QCOMPARE(bLeft, packageLeft || folderLeft);
    QCOMPARE(RunSummary::FilesLeft(QString(), QString()), false);
    const QString strLine = RunSummary::CancelledLine(QStringLiteral("/dest"), bLeft);
    QCOMPARE(strLine.contains(QStringLiteral("could not be removed")), bLeft);
    QCOMPARE(strLine.contains(QStringLiteral("Nothing of this run was kept in /dest")), !bLeft);
    QFile::remove(strPackage);
    QDir(strFolder).removeRecursively();
}

void tst_RunSummary::runReport()
{
    BackUpRunReport report;
    QSignalSpy spy(&report, &BackUpRunReport::signalRunEnded);
    emit BackUpUIThread::Instance()->signalsFinish(int(RESULT_BIT_PB));
    QCOMPARE(spy.size(), 1);
    const QVariantMap mapReport = spy.at(0).at(0).toMap();
    QCOMPARE(mapReport.value(QLatin1String(BackUpRunReport::kResult)).toInt(), int(RESULT_BIT_PB));
    QCOMPARE(mapReport.value(QLatin1String(BackUpRunReport::kCancelled)).toBool(), false);
    QCOMPARE(mapReport.value(QLatin1String(BackUpRunReport::kExitStatus)).toInt(), 1);
    QCOMPARE(mapReport.value(QLatin1String(BackUpRunReport::kSummary)).toStringList().value(0),
             QStringLiteral("Backup finished with failures."));
    QCOMPARE(report.LastReport(), mapReport);

    // A run that failed before any module ran names no package.
    emit BackUpUIThread::Instance()->signalsFinish(int(RUN_RESULT_NO_MEMINFO));
    QVERIFY(!report.LastReport().contains(QLatin1String(BackUpRunReport::kPackage)));

    emit BackUpUIThread::Instance()->signalBackupCancelSuccess();
    QCOMPARE(spy.size(), 3);
    const QVariantMap mapCancelled = report.LastReport();
    QCOMPARE(mapCancelled.value(QLatin1String(BackUpRunReport::kCancelled)).toBool(), true);
    QCOMPARE(mapCancelled.value(QLatin1String(BackUpRunReport::kExitStatus)).toInt(), 130);
    QCOMPARE(mapCancelled.value(QLatin1String(BackUpRunReport::kDelivered)).toBool(), false);
    QVERIFY(mapCancelled.value(QLatin1String(BackUpRunReport::kSummary)).toStringList().value(0).startsWith(
        QStringLiteral("Backup cancelled.")));
}

QTEST_MAIN(tst_RunSummary)
#include "tst_runsummary.moc"
