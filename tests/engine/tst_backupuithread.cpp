// The worker thread: counting, progress weights and events, the memory
// check, cancel at several moments, and folder removal that never follows
// links.

#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "Factory.h"
#include "InterruptedRun.h"
#include "RunState.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace
{
struct ProEvent
{
    int nModule;
    int nType;
    int nNum;
    int nAll;
};

BackupItems Tiles(std::initializer_list<int> listTiles)
{
    BackupItems items;
    for (int nTile : listTiles) {
        switch (nTile) {
        case 0: items.bPB = true; break;
        case 1: items.bSMS = items.bMMS = true; break;
        case 4: items.bImage = items.bVideo = true; break;
        case 5: items.bAudio = true; break;
        case 6: items.bCallLog = items.bCalendar = items.bEmail = true; break;
        default: break;
        }
    }
    return items;
}

bool WriteFile(const QString &strPath, const QByteArray &baContent)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(baContent) == baContent.size();
}

QStringList Entries(const QString &strFolder)
{
    return QDir(strFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
} // namespace

Q_DECLARE_METATYPE(QList<ProEvent>)

class tst_BackUpUIThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void countTable();
    void countApplicationDataOnItsOwn();
    void progressTotal_data();
    void progressTotal();
    void progressEvents_data();
    void progressEvents();
    void filesProgress_data();
    void filesProgress();

    void runEnds_data();
    void runEnds();

    void cancel_data();
    void cancel();
    void lateCancelKeepsTheBackup();
    void secondCancelNeverWaits();
    void staleSdkCancelIsCleared();
    void phoneRemovalEndsTheWait();
    void cancelBeforeStartSparesTheLastBackup();

    void deleteDirectory_data();
    void deleteDirectory();

private:
    bool Count();
    // Starts a backup job and waits for its end; true when it ended.
    bool RunBackup(const BackupItems &items, QSignalSpy &finish, QSignalSpy &cancelled, bool bCancelFirst = false);
    QString Dest() const { return m_pEnv->Path(QStringLiteral("dest")); }

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<TestPhone> m_pPhone;
};

void tst_BackUpUIThread::initTestCase()
{
    qRegisterMetaType<structBackupID>("structBackupID");
    BackUpUIThreadCancel::SetSettleDelay(5);
}

void tst_BackUpUIThread::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    m_pPhone = std::make_unique<TestPhone>(m_pEnv->Path(QStringLiteral("phone")));
    RunState::Set(0);
}

void tst_BackUpUIThread::cleanup()
{
    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
    Factory::DestroyInstance();
    RunState::Set(0);
    TestPhone::UseDefault();
    m_pPhone.reset();
    m_pEnv.reset();
}

bool tst_BackUpUIThread::Count()
{
    if (!m_pPhone->Use())
        return false;
    BackUpUIThread *pWorker = BackUpUIThread::Instance();
    QSignalSpy counted(pWorker, &BackUpUIThread::signalsPluginCount);
    BackUpThreadParam param;
    param.nMode = 3;
    pWorker->SetParam(param);
    pWorker->start();
    // The count may be over before a wait() could start: poll the spy.
    for (int i = 0; i < 200 && counted.isEmpty(); ++i)
        QTest::qWait(50);
    pWorker->wait();
    return counted.count() == 1 && counted.at(0).at(0).toInt() == 0;
}

bool tst_BackUpUIThread::RunBackup(const BackupItems &items, QSignalSpy &finish, QSignalSpy &cancelled,
                                   bool bCancelFirst)
{
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    BackUpThreadParam param;
    param.nMode = 1;
    param.items = items;
    param.strPath = Dest();
    pWorker->SetParam(param);
    if (bCancelFirst)
        BackUpUIThread::ClickCancel();
    pWorker->start();
    for (int i = 0; i < 200 && finish.isEmpty() && cancelled.isEmpty(); ++i)
        QTest::qWait(50);
    pWorker->wait();
    if (BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance())
        pCancel->wait();
    QCoreApplication::processEvents();
    return !finish.isEmpty() || !cancelled.isEmpty();
}

// Sub-entries add up into their tile; a kind whose count failed has none.
void tst_BackUpUIThread::countTable()
{
    m_pPhone->SetRecords(1, 7);
    m_pPhone->SetRecords(19, 0);
    m_pPhone->SetCountError(5, 9);
    m_pPhone->SetCountOverride(16, 30, 12000);
    m_pPhone->SetCountOverride(17, 2, 24000);
    m_pPhone->SetCountOverride(9, 4, 12000);
    m_pPhone->SetCountOverride(15, 3, 800);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    const QHash<int, structBackupID> counts = pWorker->GetModuleCounts();
    QCOMPARE(counts.value(1).nProNum, 7);
    // The applications' data is counted on its own.
    QCOMPARE(counts.value(3).nProNum, 3);
    QCOMPARE(counts.value(3).nValue2, 800);
    QCOMPARE(counts.value(29).nValue2, 12000);
    QCOMPARE(counts.value(4).nProNum, 32);
    QCOMPARE(counts.value(4).nValue2, 36000);
    QVERIFY(!counts.contains(22));
    QCOMPARE(pWorker->GetWeight(BackUpUIThread::W_EMAIL_COPY), 0.0f);
    QVERIFY(pWorker->HasData(0));  // sms
    QVERIFY(!pWorker->HasData(8)); // no mms
}

// A phone that has applications but does not give their data: the data tile
// is empty and the applications keep their count.
void tst_BackUpUIThread::countApplicationDataOnItsOwn()
{
    m_pPhone->AddApp(QStringLiteral("com.example.notes"), 4096);
    m_pPhone->SetCountError(15, 7);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    const QHash<int, structBackupID> counts = pWorker->GetModuleCounts();
    QCOMPARE(counts.value(29).nProNum, 1);
    QCOMPARE(counts.value(3).nProNum, 0);
    QCOMPARE(counts.value(3).nValue, 7);
    QVERIFY(pWorker->HasData(3));
    QVERIFY(!pWorker->HasData(4));
}

void tst_BackUpUIThread::progressTotal_data()
{
    QTest::addColumn<BackupItems>("items");
    QTest::addColumn<int>("total");

    // Weights of the phone below: contacts read 5.0 copy 2.3; SMS 2.0 / 2.3;
    // MMS 6.0 / 2.3; call log 3.0 / 2.3; calendar 2.0 / 2.3; e-mail 5.0 / 2.3;
    // images start 5.0 files 10.0; videos 5.0 / 20.0. Range = 1.03 x total x 20.
    QTest::newRow("nothing") << BackupItems() << 21;                      // 1.0
    QTest::newRow("messages") << Tiles({1}) << 280;                       // 13.6
    QTest::newRow("media") << Tiles({4}) << 845;                          // 41.0
    BackupItems email;
    email.bEmail = true;
    QTest::newRow("e-mail brings the call log") << email << 280;          // 13.6
    QTest::newRow("contacts and other") << Tiles({0, 6}) << 519;         // 25.2
}

void tst_BackUpUIThread::progressTotal()
{
    QFETCH(BackupItems, items);
    QFETCH(int, total);
    m_pPhone->SetRecords(0, 100);
    m_pPhone->SetRecords(1, 10);
    m_pPhone->SetRecords(19, 10);
    m_pPhone->SetRecords(4, 60);
    m_pPhone->SetRecords(2, 10);
    m_pPhone->SetRecords(5, 100);
    m_pPhone->SetCountOverride(16, 30, 12000);
    m_pPhone->SetCountOverride(17, 2, 24000);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    BackUpThreadParam param;
    param.nMode = 1;
    param.items = items;
    pWorker->SetParam(param);
    QCOMPARE(pWorker->GetProgressTotal(), total);
}

void tst_BackUpUIThread::progressEvents_data()
{
    QTest::addColumn<QList<ProEvent>>("events");
    QTest::addColumn<int>("emitted");
    QTest::addColumn<double>("sum");
    QTest::addColumn<QList<int>>("progressIds");

    // Weights: contacts read 5.0 copy 2.3; applications start 5.0 files 10.0;
    // application data 12.0 / 10.0 / 10.0; images start 5.0 files 10.0.
    // Increments are x 20.
    QTest::newRow("zero count or total ignored")
        << QList<ProEvent>{{0, 1, 0, 100}, {0, 1, 5, 0}} << 0 << 0.0 << QList<int>{};
    QTest::newRow("repeated event counted once")
        << QList<ProEvent>{{0, 1, 1, 100}, {0, 1, 1, 100}} << 1 << 1.0 << QList<int>{};
    QTest::newRow("record read and copy")
        << QList<ProEvent>{{0, 1, 1, 100}, {0, 1, 2, 100}, {0, 2, 1, 1}} << 3 << 48.0 << QList<int>{};
    QTest::newRow("jump to the total adds the whole read weight")
        << QList<ProEvent>{{0, 1, 1, 7}, {0, 1, 7, 7}} << 2 << (100.0 / 7.0 + 100.0) << QList<int>{};
    QTest::newRow("no jump from another module")
        << QList<ProEvent>{{16, 0, 1, 7}, {0, 1, 7, 7}} << 2 << (100.0 + 100.0 / 7.0) << QList<int>{};
    QTest::newRow("application data phase 3")
        << QList<ProEvent>{{15, 1, 1, 4}, {15, 1, -1, 4}, {15, 2, 1, 1}} << 3 << (60.0 + 200.0 + 200.0)
        << QList<int>{3};
    // Applications have weights of their own (start 5.0, files 10.0), and
    // their step's start (from the factory, then the module) counts once.
    // A file's event names it; the bar follows the step's share (below).
    QTest::newRow("applications") << QList<ProEvent>{{9, 0, 1, 4}, {9, 0, 1, 1}, {9, 2, 1, 4}, {9, 2, 2, 4}} << 3
                                  << 100.0 << QList<int>{29, 29};
    QTest::newRow("images") << QList<ProEvent>{{16, 0, 1, 30}, {16, 2, 1, 30}, {16, 2, 2, 30}} << 3 << 100.0
                            << QList<int>{25, 25};
    QTest::newRow("unknown module adds nothing") << QList<ProEvent>{{7, 1, 1, 1}} << 1 << 0.0 << QList<int>{};
}

void tst_BackUpUIThread::progressEvents()
{
    QFETCH(QList<ProEvent>, events);
    QFETCH(int, emitted);
    QFETCH(double, sum);
    QFETCH(QList<int>, progressIds);

    m_pPhone->SetRecords(0, 100);
    m_pPhone->SetCountOverride(16, 30, 12000);
    m_pPhone->SetCountOverride(9, 4, 12000);
    m_pPhone->SetCountOverride(15, 4, 12000);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    BackUpThreadParam param;
    param.nMode = 1;
    pWorker->SetParam(param); // a new backup starts its progress afresh

    QSignalSpy increase(pWorker, &BackUpUIThread::signalIncreaseValue);
    QSignalSpy info(pWorker, &BackUpUIThread::signalsModuleInfo);
    for (const ProEvent &event : events) {
        QVERIFY(QMetaObject::invokeMethod(pWorker, "slotProBarTargetValue", Qt::DirectConnection,
                                          Q_ARG(int, event.nModule), Q_ARG(int, event.nType),
                                          Q_ARG(int, event.nNum), Q_ARG(int, event.nAll)));
    }
    QCOMPARE(increase.count(), emitted);
    double dSum = 0.0;
    for (const QList<QVariant> &args : increase)
        dSum += args.at(0).toFloat();
    QVERIFY2(qAbs(dSum - sum) < 0.01, qPrintable(QString::number(dSum)));
    QList<int> listIds;
    for (const QList<QVariant> &args : info) {
        const structBackupID record = args.at(0).value<structBackupID>();
        QCOMPARE(record.nState, 1);
        listIds << record.nModuleID;
    }
    QCOMPARE(listIds, progressIds);
}

void tst_BackUpUIThread::filesProgress_data()
{
    // Module, share of its step in millionths, new bytes.
    QTest::addColumn<QList<ProEvent>>("events");
    QTest::addColumn<int>("emitted");
    QTest::addColumn<double>("sum");

    // Files weights: images 10.0, applications 10.0; increments are x 20.
    QTest::newRow("half the images") << QList<ProEvent>{{16, 500000, 0, 0}} << 1 << 100.0;
    QTest::newRow("shares add up to the step")
        << QList<ProEvent>{{16, 250000, 0, 0}, {16, 600000, 0, 0}, {16, 1000000, 0, 0}} << 3 << 200.0;
    QTest::newRow("a smaller or equal share adds nothing")
        << QList<ProEvent>{{16, 600000, 0, 0}, {16, 300000, 0, 0}, {16, 600000, 0, 0}} << 1 << 120.0;
    QTest::newRow("the next step starts from nothing")
        << QList<ProEvent>{{16, 1000000, 0, 0}, {9, 500000, 0, 0}} << 2 << 300.0;
    QTest::newRow("not a file step") << QList<ProEvent>{{0, 500000, 0, 0}, {15, 500000, 0, 0}} << 0 << 0.0;
}

void tst_BackUpUIThread::filesProgress()
{
    QFETCH(QList<ProEvent>, events);
    QFETCH(int, emitted);
    QFETCH(double, sum);

    m_pPhone->SetCountOverride(16, 30, 12000);
    m_pPhone->SetCountOverride(9, 4, 12000);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    BackUpThreadParam param;
    param.nMode = 1;
    QSignalSpy timeLeft(pWorker, &BackUpUIThread::signalTimeLeft);
    pWorker->SetParam(param); // a new backup: its estimate is not known
    QCOMPARE(timeLeft.count(), 1);
    QCOMPARE(timeLeft.first().at(0).toInt(), -1);

    QSignalSpy increase(pWorker, &BackUpUIThread::signalIncreaseValue);
    for (const ProEvent &event : events) {
        QVERIFY(QMetaObject::invokeMethod(pWorker, "slotFilesProgress", Qt::DirectConnection,
                                          Q_ARG(int, event.nModule), Q_ARG(int, event.nType),
                                          Q_ARG(qint64, event.nNum)));
    }
    QCOMPARE(increase.count(), emitted);
    double dSum = 0.0;
    for (const QList<QVariant> &args : increase)
        dSum += args.at(0).toFloat();
    QVERIFY2(qAbs(dSum - sum) < 0.01, qPrintable(QString::number(dSum)));
}

void tst_BackUpUIThread::runEnds_data()
{
    using Setup = std::function<void(TestPhone &)>;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("result");

    QTest::newRow("memory information fails") << Setup([](TestPhone &p) { p.SetMemInfoError(-1); }) << -3;
    // An unreadable card is left out; the internal storage has room.
    QTest::newRow("external total unknown") << Setup([](TestPhone &p) {
        p.ClearStorages();
        p.AddStorage(1, 1LL << 30, 0);
        p.AddStorage(2, -1, 0);
    }) << 0;
    QTest::newRow("no storage gives a value") << Setup([](TestPhone &p) {
        p.ClearStorages();
        p.AddStorage(1, -1, 0);
        p.AddStorage(2, -1, 0);
    }) << -3;
    // A phone that names no storage has not told its memory: not "full".
    QTest::newRow("no memory records") << Setup([](TestPhone &p) { p.ClearStorages(); }) << -3;
    QTest::newRow("exactly 5 MiB free is not enough") << Setup([](TestPhone &p) {
        p.ClearStorages();
        p.AddStorage(1, 1280, 0, 4096);
        p.AddStorage(2, 2280, 1000, 4096);
    }) << -5;
    QTest::newRow("internal storage is enough") << Setup([](TestPhone &p) {
        p.ClearStorages();
        p.AddStorage(1, 1281, 0, 4096);
        p.AddStorage(2, 10, 10, 4096);
    }) << 0;
    // Gone after the contacts file and two images: the run stops, keeps the
    // images in a folder marked interrupted (no package), and says why.
    QTest::newRow("unplugged mid-run") << Setup([](TestPhone &p) { p.SetUnplugAfterFiles(3); }) << -7;
}

void tst_BackUpUIThread::runEnds()
{
    using Setup = std::function<void(TestPhone &)>;
    QFETCH(Setup, setup);
    QFETCH(int, result);
    m_pPhone->SetRecords(0, 3);
    for (int i = 0; i < 5; ++i)
        m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Music/m.mp3"), 1000);
    for (int nType : {4, 2, 5})
        m_pPhone->SetRecords(nType, 2);
    setup(*m_pPhone);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    QSignalSpy cancelled(pWorker, &BackUpUIThread::signalBackupCancelSuccess);
    QVERIFY(RunBackup(Tiles({0, 4, 5, 6}), finish, cancelled));
    QCOMPARE(finish.count(), 1);
    QCOMPARE(finish.at(0).at(0).toInt(), result);
    QCOMPARE(cancelled.count(), 0);
    // A failed memory check creates nothing; a run the phone left keeps what
    // it copied.
    QCOMPARE(!Entries(Dest()).isEmpty(), result >= 0 || result == RUN_RESULT_PHONE_DISCONNECTED);
    QCOMPARE(pWorker->IsFinished(), result >= 0 || result == RUN_RESULT_PHONE_DISCONNECTED);
    QCOMPARE(pWorker->IsPhoneLost(), result == RUN_RESULT_PHONE_DISCONNECTED);
    if (result == RUN_RESULT_PHONE_DISCONNECTED) {
        // The cancel job skips its wait for the phone; once it is done the
        // run's folder holds the images copied, marked interrupted, and no
        // package lies beside it.
        QVERIFY(BackUpUIThreadCancel::ExistingInstance()->wait(30000));
        const QStringList listRuns = Entries(Dest());
        QCOMPARE(listRuns.size(), 1);
        const QString strFolder = QDir(Dest()).filePath(listRuns.first());
        QVERIFY(InterruptedRun::IsInterrupted(strFolder));
        const int nImages = int(QDir(strFolder + QStringLiteral("/Image")).entryList({QStringLiteral("*.jpg")}).size());
        QVERIFY2(nImages >= 1 && nImages <= 2, qPrintable(QString::number(nImages)));
        QCOMPARE(InterruptedRun::KeptFiles(strFolder), nImages);
        const QStringList listLeft = QDir(m_pEnv->UserDataDir()).entryList({"*.zip"}, QDir::Files);
        QVERIFY2(listLeft.isEmpty(), qPrintable(listLeft.join(',')));
    }
    if (result > 0) {
        QVERIFY(Factory::ExistingInstance()->IsPackageDelivered());
        QVERIFY(!QFileInfo::exists(Factory::ExistingInstance()->GetBackupFolder()));
    }
}

void tst_BackUpUIThread::cancel_data()
{
    QTest::addColumn<QString>("moment");
    QTest::newRow("during a record module") << "record";
    QTest::newRow("during file copying") << "files";
    QTest::newRow("before the job starts") << "before";
}

// A cancel during the run: signalBackupCancelSuccess and no signalsFinish,
// and nothing of the run stays behind.
void tst_BackUpUIThread::cancel()
{
    QFETCH(QString, moment);
    m_pPhone->SetRecords(0, 30);
    m_pPhone->SetRecords(1, 5);
    m_pPhone->SetRecords(19, 2);
    for (int i = 0; i < 8; ++i)
        m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 20 * 1024);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    if (moment == "record")
        m_pPhone->SetItemDelayMs(20);
    if (moment == "files")
        m_pPhone->SetRateLimitKBps(200);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    QSignalSpy cancelled(pWorker, &BackUpUIThread::signalBackupCancelSuccess);
    bool bClicked = false;
    connect(pWorker, &BackUpUIThread::signalsModuleInfo, this, [&](structBackupID info) {
        const bool bNow = (moment == "record" && info.nState == 0 && info.nModuleID == 0)
                          || (moment == "files" && info.nState == 1 && info.nModuleID == 25 && info.nProNum == 2);
        if (bNow && !bClicked) {
            bClicked = true;
            BackUpUIThread::ClickCancel();
        }
    });

    QVERIFY(RunBackup(Tiles({0, 1, 4}), finish, cancelled, moment == "before"));
    QVERIFY(bClicked || moment == "before");
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(finish.count(), 0);
    QCOMPARE(Entries(Dest()), QStringList());
    QCOMPARE(QDir(m_pEnv->UserDataDir()).entryList({"*.zip"}, QDir::Files), QStringList());
    QVERIFY(!BackUpUIThreadCancel::ExistingInstance()->IsAlreadyFinished());
}

// A cancel after the end keeps the backup. A later job that ends at the memory
// check never named a run of its own: a cancel after it must not take the
// earlier run's backup for its files.
void tst_BackUpUIThread::lateCancelKeepsTheBackup()
{
    m_pPhone->SetRecords(0, 3);
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/p.jpg"), 1000);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    QSignalSpy cancelled(pWorker, &BackUpUIThread::signalBackupCancelSuccess);
    QVERIFY(RunBackup(Tiles({0, 4}), finish, cancelled));
    QCOMPARE(finish.at(0).at(0).toInt(), 0);
    const QString strFolder = Factory::ExistingInstance()->GetBackupFolder();
    const QStringList listFirstRun{QFileInfo(strFolder).fileName(), QFileInfo(strFolder).fileName() + ".zip"};
    QCOMPARE(Entries(Dest()), listFirstRun);

    BackUpUIThread::ClickCancel();
    BackUpUIThreadCancel::ExistingInstance()->wait();
    QCoreApplication::processEvents();
    QVERIFY(BackUpUIThreadCancel::ExistingInstance()->IsAlreadyFinished());
    QCOMPARE(cancelled.count(), 0);
    QCOMPARE(Entries(Dest()), listFirstRun);
    QVERIFY(QFileInfo::exists(strFolder + "/Image/p.jpg"));
    QVERIFY(QFileInfo::exists(strFolder + "/Video/v.mp4"));

    m_pPhone->SetMemInfoError(-1);
    QVERIFY(m_pPhone->Use());
    finish.clear();
    QVERIFY(RunBackup(Tiles({0, 4}), finish, cancelled));
    QCOMPARE(finish.at(0).at(0).toInt(), -3);
    QVERIFY(!pWorker->IsFinished());
    BackUpUIThread::ClickCancel();
    BackUpUIThreadCancel::ExistingInstance()->wait();
    QCOMPARE(Entries(Dest()), listFirstRun);
    QVERIFY(QFileInfo::exists(strFolder + "/Image/p.jpg"));
}

// The phone's removal raises two events, and the progress page cancels on
// each: the second cancel must return while the first still waits for the
// phone, or the user-interface thread freezes for that wait.
void tst_BackUpUIThread::secondCancelNeverWaits()
{
    BackUpUIThreadCancel::SetSettleDelay(60000);
    BackUpUIThread::Instance();
    BackUpUIThread::ClickCancel();
    BackUpUIThreadCancel *pCancel = BackUpUIThreadCancel::ExistingInstance();
    QVERIFY(pCancel->isRunning());
    BackUpUIThread::ClickCancel();
    QVERIFY(pCancel->isRunning());
    pCancel->EndSettle();
    QVERIFY(pCancel->wait(20000));
    BackUpUIThreadCancel::SetSettleDelay(5);
}

// A cancel job that ran late left the SDK's cancel flag set: the next run
// clears it and backs up.
void tst_BackUpUIThread::staleSdkCancelIsCleared()
{
    m_pPhone->SetRecords(0, 3);
    QVERIFY(Count());
    BackUpUILogic::Instance()->SetBackupCancel(true);
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    QSignalSpy cancelled(pWorker, &BackUpUIThread::signalBackupCancelSuccess);
    QVERIFY(RunBackup(Tiles({0}), finish, cancelled));
    QCOMPARE(finish.count(), 1);
    QCOMPARE(finish.at(0).at(0).toInt(), 0);
}

// Unplugged mid-run with the cancel job's full wait for the phone: the run
// ends as disconnected and the cancel job does not wait for a phone that is
// gone.
void tst_BackUpUIThread::phoneRemovalEndsTheWait()
{
    m_pPhone->SetRecords(0, 3);
    for (int i = 0; i < 4; ++i)
        m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    m_pPhone->SetUnplugAfterFiles(2);
    QVERIFY(Count());
    BackUpUIThreadCancel::SetSettleDelay(60000);
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    BackUpThreadParam param;
    param.nMode = 1;
    param.items = Tiles({0, 4});
    param.strPath = Dest();
    pWorker->SetParam(param);
    pWorker->start();
    QVERIFY(finish.wait(20000));
    QCOMPARE(finish.at(0).at(0).toInt(), int(RUN_RESULT_PHONE_DISCONNECTED));
    QVERIFY(pWorker->wait(20000));
    QVERIFY(BackUpUIThreadCancel::ExistingInstance()->wait(20000));
    BackUpUIThreadCancel::SetSettleDelay(5);
    // No package; what was copied before the cut is kept for the next run.
    for (const QString &strEntry : Entries(Dest()))
        QVERIFY2(InterruptedRun::IsInterrupted(QDir(Dest()).filePath(strEntry)), qPrintable(strEntry));
}

// A backup cancelled before its job starts removes what it wrote, never
// the package and folder of the backup before it.
void tst_BackUpUIThread::cancelBeforeStartSparesTheLastBackup()
{
    m_pPhone->SetRecords(0, 3);
    m_pPhone->AddFile(QStringLiteral("/sdcard/DCIM/p.jpg"), 1000);
    m_pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    QVERIFY(Count());
    BackUpUIThread *pWorker = BackUpUIThread::ExistingInstance();
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    QSignalSpy cancelled(pWorker, &BackUpUIThread::signalBackupCancelSuccess);
    QVERIFY(RunBackup(Tiles({0, 4}), finish, cancelled));
    QCOMPARE(finish.count(), 1);
    const QStringList listFirstRun = Entries(Dest());
    QCOMPARE(listFirstRun.size(), 2);

    Factory::SetRunTimeOverride(QDateTime::currentDateTime().addSecs(3600));
    QVERIFY(RunBackup(Tiles({0, 4}), finish, cancelled, true));
    Factory::SetRunTimeOverride(QDateTime());
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(Entries(Dest()), listFirstRun);
}

void tst_BackUpUIThread::deleteDirectory_data()
{
    QTest::addColumn<QString>("layout");
    QTest::newRow("link to an outside folder") << "dirlink";
    QTest::newRow("link to an outside file") << "filelink";
    QTest::newRow("broken link") << "broken";
    QTest::newRow("the folder itself is a link") << "rootlink";
    QTest::newRow("nested read-only files") << "nested";
}

void tst_BackUpUIThread::deleteDirectory()
{
    QFETCH(QString, layout);
    const QString strOutside = m_pEnv->Path(QStringLiteral("outside"));
    const QString strTarget = m_pEnv->Path(QStringLiteral("run"));
    QVERIFY(WriteFile(strOutside + "/keep.txt", "keep"));
    QVERIFY(WriteFile(strTarget + "/a.txt", "a"));
    QFile::setPermissions(strOutside + "/keep.txt", QFileDevice::ReadOwner);

    QString strDeleted = strTarget;
    if (layout == "dirlink") {
        QVERIFY(QFile::link(strOutside, strTarget + "/Image"));
    } else if (layout == "filelink") {
        QVERIFY(QFile::link(strOutside + "/keep.txt", strTarget + "/k.txt"));
    } else if (layout == "broken") {
        QVERIFY(QFile::link(strOutside + "/gone", strTarget + "/gone"));
    } else if (layout == "rootlink") {
        strDeleted = m_pEnv->Path(QStringLiteral("runlink"));
        QVERIFY(QFile::link(strOutside, strDeleted));
    } else {
        QVERIFY(WriteFile(strTarget + "/Image/deep/b.jpg", "b"));
        QFile::setPermissions(strTarget + "/Image/deep/b.jpg", QFileDevice::ReadOwner);
        QVERIFY(QFile::link(strOutside, strTarget + "/Image/deep/out"));
    }

    QVERIFY(BackUpUIThread::DeleteDirectory(strDeleted));
    QVERIFY(!QFileInfo::exists(strDeleted) && !QFileInfo(strDeleted).isSymLink());
    QCOMPARE(Entries(strOutside), QStringList{"keep.txt"});
    QFile keep(strOutside + "/keep.txt");
    QVERIFY(keep.open(QIODevice::ReadOnly));
    QCOMPARE(keep.readAll(), QByteArray("keep"));
    QCOMPARE(keep.permissions() & QFileDevice::WriteOwner, QFileDevice::Permissions());
    QVERIFY(BackUpUIThread::DeleteDirectory(m_pEnv->Path(QStringLiteral("never-there"))));
}

QTEST_GUILESS_MAIN(tst_BackUpUIThread)
#include "tst_backupuithread.moc"
