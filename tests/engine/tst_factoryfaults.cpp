// What a backup does when the world is hostile: full disks under the
// writers and the package, a dangling link where the package would go,
// counts the phone could not give, a backup folder left empty, and the lock
// that keeps two backups out of one data folder.

#include "DataFolderLock.h"
#include "Factory.h"
#include "FactoryFixture.h"
#include "MediaInfo.h"
#include "ParseInfo.h"
#include "RunNames.h"
#include "RunState.h"
#include "SaveFileCommit.h"
#include "ScratchMount.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace
{
const QDateTime kRunTime(QDate(2026, 3, 4), QTime(9, 8, 7));
const QString kRunName = QStringLiteral("backup_Test Phone_2026-03-04-09-08-07");
const int kRecordMask = 0x001 | 0x002 | 0x400 | 0x008 | 0x004 | 0x010;

BackupItems RecordItems()
{
    BackupItems items;
    items.bPB = items.bSMS = items.bMMS = items.bCallLog = items.bCalendar = items.bEmail = true;
    return items;
}

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

class tst_FactoryFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writersOnFullDisk_data();
    void writersOnFullDisk();
    void packageOnFullDisk();
    void danglingLinkAtPackageName();
    void namesFitTheLimit();
    void failedCounts_data();
    void failedCounts();
    void emptyBackupFolderIsRemoved();
    void dataFolderLock();

private:

    FactoryFixture m_fixture;
};

void tst_FactoryFaults::init()
{
    QVERIFY2(m_fixture.Init(kRunTime), "temporary folder");
    for (int nType : {0, 1, 19, 4, 2, 5})
        m_fixture.pPhone->SetRecords(nType, 3);
}

void tst_FactoryFaults::cleanup()
{
    m_fixture.Cleanup();
}

// Every writer of a file that must be whole says so when the disk is full,
// and leaves the earlier file as it was.
void tst_FactoryFaults::writersOnFullDisk_data()
{
    using Write = std::function<bool(const QString &)>;
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("name");
    QTest::newRow("save file") << Write([](const QString &strPath) {
        QSaveFile file(strPath);
        return file.open(QIODevice::WriteOnly) && file.write(QByteArray(5000, 'x')) == 5000
               && SaveFileCommit::Commit(file);
    }) << "data.bin";
    QTest::newRow("device information") << Write([](const QString &strPath) {
        BackupItems items;
        items.bPB = true;
        BackupCounts counts;
        counts[BackupCounts::PB] = 3;
        return ParseInfo(nullptr).WriteInfo(QFileInfo(strPath).path() + QLatin1Char('/'), PhoneInfo(), items, counts);
    }) << "Info.xml";
    QTest::newRow("media list") << Write([](const QString &strPath) {
        QList<MediaInfo> list;
        for (int i = 0; i < 200; ++i)
            list.append({QStringLiteral("IMG_%1.jpg").arg(i), QStringLiteral("IMG_%1.jpg").arg(i),
                         QStringLiteral("/sdcard/DCIM/IMG_%1.jpg").arg(i)});
        return g_WriteMediaList(strPath, list);
    }) << "ImageList.xml";
}

void tst_FactoryFaults::writersOnFullDisk()
{
    QFETCH(std::function<bool(const QString &)>, write);
    QFETCH(QString, name);
    ScratchMount disk(256 * 1024);
    if (!disk.IsMounted())
        QSKIP(qPrintable(disk.SkipReason()));
    const QString strPath = disk.Path() + QLatin1Char('/') + name;
    QVERIFY(write(strPath));
    const QByteArray baBefore = ReadAll(strPath);
    QVERIFY(!baBefore.isEmpty());

    QVERIFY(disk.Fill());
    QVERIFY2(!write(strPath), "a write on a full disk reported success");
    QCOMPARE(ReadAll(strPath), baBefore);
    QCOMPARE(QDir(disk.Path()).entryList(QDir::Files), QStringList{name});
}

// The destination fills up: no package passes for a backup, every item that
// should have been in it has failed, and the module files stay until a
// package holding them is safe.
void tst_FactoryFaults::packageOnFullDisk()
{
    ScratchMount disk(256 * 1024);
    if (!disk.IsMounted())
        QSKIP(qPrintable(disk.SkipReason()));
    Factory *pFactory = m_fixture.Prepare(RecordItems());
    QVERIFY(pFactory);
    connect(pFactory, &Factory::PackageStatus, this, [&](bool bPackaging) {
        if (bPackaging)
            QVERIFY(disk.Fill());
    });
    QSignalSpy errors(pFactory, &Factory::signalError);
    QCOMPARE(pFactory->BackUp(disk.Path()), kRecordMask);
    QCOMPARE(errors.count(), 6);
    QVERIFY(!pFactory->IsPackageDelivered());
    QVERIFY(!QFileInfo::exists(pFactory->GetPackagePath()));
    QVERIFY(QFileInfo::exists(pFactory->GetDataFolder() + QStringLiteral("PB.zip")));
}

// A link left where the package would go, even one that leads nowhere, is a
// taken name: the run takes the next second instead of failing.
void tst_FactoryFaults::danglingLinkAtPackageName()
{
    Factory *pFactory = m_fixture.Prepare(RecordItems());
    QVERIFY(pFactory);
    const QString strDest = m_fixture.pEnv->Path(QStringLiteral("dest"));
    QVERIFY(QDir().mkpath(strDest));
    QVERIFY(QFile::link(m_fixture.pEnv->Path(QStringLiteral("nowhere")), strDest + QLatin1Char('/') + kRunName + ".zip"));
    QCOMPARE(pFactory->BackUp(strDest), 0);
    QVERIFY(pFactory->IsPackageDelivered());
    QCOMPARE(pFactory->GetPackagePath(), strDest + QStringLiteral("/backup_Test Phone_2026-03-04-09-08-08.zip"));
}

// Every name the backup makes fits the 255-byte file-name limit: a long phone
// name in the run name, long media names and their " (1)" duplicates.
void tst_FactoryFaults::namesFitTheLimit()
{
    const QString strPhone = QString(200, QChar(0x00e9)); // 400 bytes
    const QString strRun = RunNames::Name(strPhone, kRunTime, false);
    QVERIFY((strRun + QStringLiteral(".zip")).toLocal8Bit().size() <= 255);
    QVERIFY(strRun.startsWith(QStringLiteral("backup_") + QChar(0x00e9)));
    QVERIFY(strRun.endsWith(QStringLiteral("_2026-03-04-09-08-07")));
    QCOMPARE(QString::fromUtf8(strRun.toUtf8()), strRun);

    m_fixture.pPhone->SetDevice(QString(240, QLatin1Char('P')), QStringLiteral("V100R001C10B100"), QStringLiteral("1"));
    const QString strMedia = QString(250, QLatin1Char('m')) + QStringLiteral(".jpg");
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/DCIM/") + strMedia, 100);
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/Pictures/") + strMedia, 200);
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 300);
    BackupItems items = RecordItems();
    items.bImage = items.bVideo = true;
    Factory *pFactory = m_fixture.Prepare(items);
    QVERIFY(pFactory);
    QCOMPARE(pFactory->BackUp(m_fixture.pEnv->Path(QStringLiteral("dest"))), 0);
    QVERIFY(pFactory->IsPackageDelivered());
    const QStringList listImages = QDir(pFactory->GetBackupFolder() + QStringLiteral("/Image")).entryList(QDir::Files);
    QCOMPARE(listImages.size(), 3); // two images and their list
    for (const QString &strName : listImages)
        QVERIFY2(strName.toLocal8Bit().size() <= 255, qPrintable(strName));
}

// A count the phone could not give fails the item; it is never "nothing to
// back up".
void tst_FactoryFaults::failedCounts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("failed");
    QTest::newRow("contacts") << 0 << 0x001;
    QTest::newRow("images") << 16 << 0x080;
    QTest::newRow("applications") << 9 << 0x040;
}

void tst_FactoryFaults::failedCounts()
{
    QFETCH(int, type);
    QFETCH(int, failed);
    m_fixture.pPhone->AddApp(QStringLiteral("com.example.alpha"), 4096, {{QStringLiteral("files/a.db"), "alpha"}});
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 3000);
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 3000);
    m_fixture.pPhone->SetCountError(type, 5);
    BackupItems items = RecordItems();
    items.bAPK = items.bAPKData = items.bImage = items.bVideo = true;
    Factory *pFactory = m_fixture.Prepare(items);
    QVERIFY(pFactory);
    QCOMPARE(pFactory->GetCountFailedMask(), failed);
    QSignalSpy errors(pFactory, &Factory::signalError);
    QCOMPARE(pFactory->BackUp(m_fixture.pEnv->Path(QStringLiteral("dest"))), failed);
    QCOMPARE(errors.count(), 1);
    QVERIFY(pFactory->IsPackageDelivered());
}

// Images failed and nothing else was copied: no empty backup folder stays.
void tst_FactoryFaults::emptyBackupFolderIsRemoved()
{
    m_fixture.pPhone->AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 3000);
    m_fixture.pPhone->SetBackupError(16, 7);
    BackupItems items;
    items.bPB = items.bImage = items.bVideo = true;
    Factory *pFactory = m_fixture.Prepare(items);
    QVERIFY(pFactory);
    QCOMPARE(pFactory->BackUp(m_fixture.pEnv->Path(QStringLiteral("dest"))), 0x080);
    QVERIFY(pFactory->IsPackageDelivered());
    QVERIFY(!pFactory->GetBackupFolder().isEmpty());
    QVERIFY(!QFileInfo::exists(pFactory->GetBackupFolder()));
}

// One holder at a time; within the process the lock is counted, and it goes
// with the last holder. (A lock left by an ended process is taken over: see
// the command-line tool's tests, which kill a running backup.)
void tst_FactoryFaults::dataFolderLock()
{
    const QString strFolder = m_fixture.pEnv->UserDataDir();
    const QString strLock = DataFolderLock::LockPath(strFolder);
    QVERIFY(DataFolderLock::Acquire(strFolder));
    QVERIFY(DataFolderLock::Acquire(strFolder));
    DataFolderLock::Release();
    // Still held once: another holder is refused and can tell who holds it.
    QLockFile intruder(strLock);
    intruder.setStaleLockTime(0);
    QVERIFY(!intruder.tryLock(0));
    qint64 nPid = 0;
    QString strHost;
    QString strApp;
    QVERIFY(intruder.getLockInfo(&nPid, &strHost, &strApp));
    QCOMPARE(nPid, QCoreApplication::applicationPid());
    DataFolderLock::Release();
    QVERIFY(!QFileInfo::exists(strLock));
    QVERIFY(intruder.tryLock(0));
}

QTEST_GUILESS_MAIN(tst_FactoryFaults)
#include "tst_factoryfaults.moc"
