// Progress inside large files: the spacing of the SDK's byte reports, a file
// step's share, the time-left estimate, and byte reports reaching the engine
// from the simulated phone and over adb (a private adb server and the device
// simulator; that row is skipped when adb or the simulator is not there).
#include "AdbTestRig.h"
#include "BackUpUILogic.h"
#include "BackupRecords.h"
#include "FileProgressGate.h"
#include "FileStepProgress.h"
#include "RemainingTimeEstimate.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <sdk/dvsk_device.h>

#include <QFile>
#include <QtTest>

#include <memory>

namespace
{
const char kSimulator[] = BACKUP_STAGE_DIR "/bin/adb-phone-sim";
constexpr qint64 kKiB = 1024;
constexpr qint64 kMiB = 1024 * 1024;

// One step of a file step: 's' a file starts (its size), 'b' bytes of it
// have arrived, 'd' it is done.
struct StepOp
{
    char cOp;
    qint64 nValue;
};

// A clock reading and the bytes done then.
struct Sample
{
    qint64 nMs;
    qint64 nBytes;
};

QByteArray FileBytes(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}
} // namespace

Q_DECLARE_METATYPE(StepOp)
Q_DECLARE_METATYPE(Sample)

class tst_FileProgress : public QObject
{
    Q_OBJECT

private slots:
    void gate_data();
    void gate();
    void stepShare_data();
    void stepShare();
    void estimate_data();
    void estimate();
    void shownMinutes_data();
    void shownMinutes();
    void bytesOfOneLargeFile_data();
    void bytesOfOneLargeFile();
};

void tst_FileProgress::gate_data()
{
    // Clock readings (ms) and bytes copied; the first reading is the start.
    QTest::addColumn<QList<Sample>>("calls");
    QTest::addColumn<QList<bool>>("due");

    QTest::newRow("bytes and time both needed")
        << QList<Sample>{{0, 0}, {50, 300 * kKiB}, {100, 300 * kKiB}, {150, 500 * kKiB}, {200, 600 * kKiB}}
        << QList<bool>{false, true, false, true};
    QTest::newRow("a slow link reports every 256 KiB")
        << QList<Sample>{{0, 0}, {1000, 200 * kKiB}, {2000, 256 * kKiB}, {3000, 400 * kKiB}, {4000, 512 * kKiB}}
        << QList<bool>{false, true, false, true};
    QTest::newRow("a fast copy reports every 100 ms")
        << QList<Sample>{{0, 0}, {10, 10 * kMiB}, {99, 20 * kMiB}, {100, 30 * kMiB}, {150, 40 * kMiB},
                         {200, 50 * kMiB}}
        << QList<bool>{false, false, true, false, true};
    QTest::newRow("a small file gets none") << QList<Sample>{{0, 0}, {500, 255 * kKiB}} << QList<bool>{false};
}

void tst_FileProgress::gate()
{
    QFETCH(QList<Sample>, calls);
    QFETCH(QList<bool>, due);
    int nCall = 0;
    qint64 nNow = calls.first().nMs;
    FileProgressGate gate([&nNow] { return nNow; });
    QList<bool> listDue;
    for (nCall = 1; nCall < calls.size(); ++nCall) {
        nNow = calls.at(nCall).nMs;
        listDue << gate.IsDue(calls.at(nCall).nBytes);
    }
    QCOMPARE(listDue, due);
}

void tst_FileProgress::stepShare_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<StepOp>>("ops");
    QTest::addColumn<QList<int>>("shares"); // after each 'b' and 'd'
    QTest::addColumn<qint64>("bytes");      // the step's bytes at the end

    const qint64 nFile = FileStepProgress::kFileBytes;
    QTest::newRow("one large file moves with its bytes")
        << 1 << 1000000LL << QList<StepOp>{{'s', 1000000}, {'b', 250000}, {'b', 500000}, {'d', 0}}
        << QList<int>{250000, 500000, 1000000} << 1000000LL;
    QTest::newRow("small files move file by file")
        << 4 << 4000LL
        << QList<StepOp>{{'s', 1000}, {'d', 0}, {'s', 1000}, {'d', 0}, {'s', 1000}, {'d', 0}, {'s', 1000}, {'d', 0}}
        << QList<int>{250000, 500000, 750000, 1000000} << 4000LL;
    // Weights: an empty file nFile, one of nFile bytes 2 x nFile.
    QTest::newRow("an empty file weighs its fixed cost")
        << 2 << nFile << QList<StepOp>{{'s', 0}, {'d', 0}, {'s', nFile}, {'b', nFile / 2}, {'d', 0}}
        << QList<int>{333333, 666666, 1000000} << nFile;
    QTest::newRow("bytes past the listed size stop at it")
        << 2 << 2 * nFile << QList<StepOp>{{'s', nFile}, {'b', 5 * nFile}, {'d', 0}}
        << QList<int>{500000, 500000} << nFile;
    QTest::newRow("an unknown size counts when the file is done")
        << 2 << 0LL << QList<StepOp>{{'s', -1}, {'b', 4 * nFile}, {'d', 0}} << QList<int>{0, 500000} << 0LL;
    QTest::newRow("the share never goes back")
        << 1 << 1000000LL << QList<StepOp>{{'s', 1000000}, {'b', 600000}, {'b', 300000}}
        << QList<int>{600000, 600000} << 600000LL;
    QTest::newRow("no files: the step is done") << 0 << 0LL << QList<StepOp>{{'d', 0}} << QList<int>{1000000}
                                                << 0LL;
}

void tst_FileProgress::stepShare()
{
    QFETCH(int, files);
    QFETCH(qint64, total);
    QFETCH(QList<StepOp>, ops);
    QFETCH(QList<int>, shares);
    QFETCH(qint64, bytes);
    FileStepProgress progress(files, total);
    QList<int> listShares;
    qint64 nBytes = 0;
    for (const StepOp &op : ops) {
        if (op.cOp == 's') {
            progress.FileStarted(op.nValue);
            continue;
        }
        if (op.cOp == 'b')
            progress.FileBytes(op.nValue);
        else
            progress.FileDone();
        listShares << progress.Share();
        const qint64 nNew = progress.TakeNewBytes();
        QVERIFY2(nNew >= 0, "the bytes done went back");
        nBytes += nNew;
    }
    QCOMPARE(listShares, shares);
    QCOMPARE(nBytes, bytes);
}

void tst_FileProgress::estimate_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<Sample>>("samples");
    QTest::addColumn<int>("secondsLeft");

    QTest::newRow("steady 1 MiB/s") << 10 * kMiB
                                    << QList<Sample>{{0, 0}, {1000, 1 * kMiB}, {2000, 2 * kMiB}, {3000, 3 * kMiB},
                                                     {4000, 4 * kMiB}}
                                    << 6;
    QTest::newRow("time before the first bytes does not count")
        << 10 * kMiB
        << QList<Sample>{{0, 0}, {60000, 0}, {61000, 1 * kMiB}, {62000, 2 * kMiB}, {63000, 3 * kMiB},
                         {64000, 4 * kMiB}}
        << 6;
    QTest::newRow("too short a measurement") << 10 * kMiB
                                             << QList<Sample>{{1000, 1 * kMiB}, {2000, 2 * kMiB}, {3000, 3 * kMiB}}
                                             << -1;
    QTest::newRow("too few bytes measured")
        << 10 * kMiB << QList<Sample>{{0, 1}, {1000, 100 * kKiB}, {2000, 200 * kKiB}, {5000, 500 * kKiB}} << -1;
    // 0.3 x 11 MiB/s + 0.7 x 1 MiB/s = 4 MiB/s; 19 MiB left: 4.75 s.
    QTest::newRow("the newest window weighs 0.3")
        << 33 * kMiB
        << QList<Sample>{{0, 1 * kMiB}, {1000, 2 * kMiB}, {2000, 3 * kMiB}, {3000, 14 * kMiB}} << 5;
    // A stall: 0.3 x 0 + 0.7 x 1 MiB/s; 7.5 MiB left: 10.7 s.
    QTest::newRow("a stall lowers the rate")
        << 10 * kMiB + kMiB / 2
        << QList<Sample>{{0, 1 * kMiB}, {1000, 2 * kMiB}, {2000, 3 * kMiB}, {3000, 3 * kMiB}} << 11;
    // Readings inside a window change nothing until it is a second long.
    QTest::newRow("short windows wait")
        << 10 * kMiB
        << QList<Sample>{{0, 1 * kMiB}, {1000, 2 * kMiB}, {1500, 2 * kMiB + 1}, {2000, 3 * kMiB},
                         {2400, 3 * kMiB}, {3000, 4 * kMiB}}
        << 6;
    QTest::newRow("rounded up") << 10 * kMiB + 1
                                << QList<Sample>{{0, 1 * kMiB}, {1000, 2 * kMiB}, {2000, 3 * kMiB}, {3000, 4 * kMiB}}
                                << 7;
    QTest::newRow("nothing left") << 4 * kMiB
                                  << QList<Sample>{{0, 1 * kMiB}, {1000, 2 * kMiB}, {2000, 3 * kMiB}, {3000, 4 * kMiB}}
                                  << 0;
    QTest::newRow("more done than counted") << 2 * kMiB
                                            << QList<Sample>{{0, 1 * kMiB}, {1000, 2 * kMiB}, {2000, 3 * kMiB},
                                                             {3000, 4 * kMiB}}
                                            << 0;
}

void tst_FileProgress::estimate()
{
    QFETCH(qint64, total);
    QFETCH(QList<Sample>, samples);
    QFETCH(int, secondsLeft);
    RemainingTimeEstimate estimate;
    estimate.SetTotal(total);
    for (const Sample &sample : samples)
        estimate.Update(sample.nMs, sample.nBytes);
    QCOMPARE(estimate.SecondsLeft(), secondsLeft);
}

void tst_FileProgress::shownMinutes_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("minutes");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("under a minute") << 59 << 0;
    QTest::newRow("one minute") << 60 << 1;
    QTest::newRow("rounded down") << 89 << 1;
    QTest::newRow("rounded up") << 90 << 2;
    QTest::newRow("an hour") << 3599 << 60;
    QTest::newRow("an hour and a half") << 5430 << 91;
}

void tst_FileProgress::shownMinutes()
{
    QFETCH(int, seconds);
    QFETCH(int, minutes);
    QCOMPARE(RemainingTimeEstimate::ShownMinutes(seconds), minutes);
}

void tst_FileProgress::bytesOfOneLargeFile_data()
{
    QTest::addColumn<QString>("backend");
    QTest::newRow("simulated phone") << QStringLiteral("sim");
    QTest::newRow("adb") << QStringLiteral("adb");
}

// One 20 MB video at about 20 MB/s: the engine's GetFile hears of its bytes
// several times while it arrives, in increasing amounts below its size.
void tst_FileProgress::bytesOfOneLargeFile()
{
    QFETCH(QString, backend);
    if (backend == QLatin1String("adb") && AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    if (backend == QLatin1String("adb") && !QFileInfo(QString::fromUtf8(kSimulator)).isExecutable())
        QSKIP("the device simulator adb-phone-sim is not built");
    TestEnv env;
    QVERIFY2(env.IsValid(), "no temporary folder");
    const qint64 nSize = 20 * 1000 * 1000;
    const QString strRemote = QStringLiteral("/sdcard/Movies/trip.mp4");
    TestPhone phone(env.Path(QStringLiteral("phone")));
    const QString strSource = phone.AddFile(strRemote, nSize);
    phone.SetRateLimitKBps(20000);
    QVERIFY(phone.Use());
    BackUpUILogic *pLogic = BackUpUILogic::Instance();

    std::unique_ptr<AdbTestRig> pRig;
    if (backend == QLatin1String("adb")) {
        pRig = std::make_unique<AdbTestRig>(env.Root());
        QString strError;
        QVERIFY2(pRig->Start(&strError), qPrintable(strError));
        const QString strSerial = pRig->StartSimulator(phone.Dir(), {"--rate", "20000000"});
        QVERIFY(!strSerial.isEmpty());
        qputenv("ANDROID_ADB_SERVER_PORT", QByteArray::number(pRig->ServerPort()));
        QCOMPARE(DVSK_Device_Select(("adb:" + strSerial).toUtf8().constData()), 0);
        char *szMessage = nullptr;
        const int nOpen = DVSK_Device_Open(&szMessage);
        free(szMessage);
        QCOMPARE(nOpen, 0);
    }

    QList<qint64> listBytes;
    const QString strLocal = env.Path(QStringLiteral("trip.mp4"));
    const int nResult =
        pLogic->GetFile(strLocal, strRemote, 2, [&listBytes](qint64 nBytes) { listBytes << nBytes; });
    // Another copy without a handler hears nothing and still copies.
    const int nPlain = pLogic->GetFile(env.Path(QStringLiteral("again.mp4")), strRemote, 2);
    if (pRig) {
        DVSK_Device_Select("sim");
        qunsetenv("ANDROID_ADB_SERVER_PORT");
        QString strProblems;
        QVERIFY2(pRig->Stop(&strProblems), qPrintable(strProblems));
    }
    TestPhone::UseDefault();

    QCOMPARE(nResult, int(GETFILE_OK));
    QCOMPARE(nPlain, int(GETFILE_OK));
    QVERIFY2(FileBytes(strLocal) == FileBytes(strSource), "the copy differs");
    QVERIFY2(listBytes.size() >= 3, qPrintable(QString::number(listBytes.size())));
    for (int i = 1; i < listBytes.size(); ++i)
        QVERIFY2(listBytes.at(i) - listBytes.at(i - 1) >= FileProgressGate::kMinBytes,
                 qPrintable(QStringLiteral("report %1").arg(i)));
    QVERIFY(listBytes.first() >= FileProgressGate::kMinBytes);
    QVERIFY(listBytes.last() <= nSize);
}

QTEST_GUILESS_MAIN(tst_FileProgress)
#include "tst_fileprogress.moc"
