// Repeat backups of a fixture phone into one destination: unchanged files are
// taken from the newest earlier backup of the same phone (hard links, or
// local copies across file systems), everything else comes from the phone,
// and the earlier backup is never changed.

#include "Factory.h"
#include "FileListModule.h"
#include "RunState.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <sdk/dvsk_sim.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QDateTime kFirstRun(QDate(2026, 3, 4), QTime(9, 8, 7));
const QDateTime kPhoneTime(QDate(2025, 6, 1), QTime(12, 0, 0), Qt::UTC);

// Phone path -> path of its copy below the run folder.
const QMap<QString, QString> kFiles = {
    {"/sdcard/DCIM/Camera/a.jpg", "Image/a.jpg"},
    {"/sdcard/DCIM/Camera/b.png", "Image/b.png"},
    {"/sdcard/Movies/v.mp4", "Video/v.mp4"},
    {"/sdcard/Music/s.mp3", "Audio/s.mp3"},
    {"/data/app/com.example.alpha.apk", "APK/com.example.alpha.apk"},
};

BackupItems FileItems()
{
    BackupItems items;
    items.bAPK = items.bImage = items.bVideo = items.bAudio = true;
    return items;
}

bool SetTime(const QString &strPath, const QDateTime &dtTime)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) && file.setFileTime(dtTime, QFileDevice::FileModificationTime);
}

void FillPhone(TestPhone &phone)
{
    phone.AddApp("com.example.alpha", 4096);
    phone.AddFile("/sdcard/DCIM/Camera/a.jpg", 3000);
    phone.AddFile("/sdcard/DCIM/Camera/b.png", 1500);
    phone.AddFile("/sdcard/Movies/v.mp4", 10000);
    phone.AddFile("/sdcard/Music/s.mp3", 5000);
    for (auto it = kFiles.cbegin(); it != kFiles.cend(); ++it)
        SetTime(phone.HostPath(it.key()), kPhoneTime);
}

ino_t Inode(const QString &strPath)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(strPath).constData(), &st) == 0 ? st.st_ino : 0;
}

// Names, contents and times of everything below a folder.
QByteArray Checksum(const QString &strFolder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList listFiles;
    QDirIterator it(strFolder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        listFiles << it.next();
    listFiles.sort();
    for (const QString &strPath : listFiles) {
        const QFileInfo info(strPath);
        hash.addData(strPath.toUtf8() + '\0' + QByteArray::number(info.lastModified().toMSecsSinceEpoch()));
        QFile file(strPath);
        if (info.isFile() && file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result().toHex();
}

// The phone paths the SDK was asked to copy since the call log was cleared.
QStringList CopiedFromPhone()
{
    char *szLog = DVSK_Sim_GetCallLog();
    const QString strLog = QString::fromUtf8(szLog);
    free(szLog);
    QStringList listPaths;
    for (const QString &strLine : strLog.split('\n')) {
        if (strLine.startsWith("DVSK_GetFile "))
            listPaths << strLine.section('"', 3, 3);
    }
    listPaths.sort();
    return listPaths;
}
} // namespace

class tst_RepeatBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listFields_data();
    void listFields();
    void unchangedFilesAreLinked();
    void changesComeFromThePhone_data();
    void changesComeFromThePhone();
    void earlierBackupOnAnotherFileSystem();
    void otherPhonesNeverShare();
    void sameModelSharesOnlyWithItsOwnSerial_data();
    void sameModelSharesOnlyWithItsOwnSerial();
    void theDeviceFileNamesThePhone();

private:
    // Backs the phone up at the given run time; returns the run folder.
    QString Run(const QDateTime &dtRun, int nExpectedResult = 0);
    QString Dest() const { return m_pEnv->Path(QStringLiteral("dest")); }

    std::unique_ptr<TestEnv> m_pEnv;
    std::unique_ptr<TestPhone> m_pPhone;
};

void tst_RepeatBackup::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    m_pPhone = std::make_unique<TestPhone>(m_pEnv->Path(QStringLiteral("phone")));
    FillPhone(*m_pPhone);
    RunState::Set(0);
}

void tst_RepeatBackup::cleanup()
{
    Factory::DestroyInstance();
    Factory::SetRunTimeOverride(QDateTime());
    Factory::SetFullCopy(false);
    TestPhone::UseDefault();
    m_pPhone.reset();
    m_pEnv.reset();
}

QString tst_RepeatBackup::Run(const QDateTime &dtRun, int nExpectedResult)
{
    if (!m_pPhone->Use())
        return QString();
    Factory::DestroyInstance();
    Factory::SetRunTimeOverride(dtRun);
    Factory *pFactory = Factory::Instance();
    for (int nType : {9, 16, 17, 18}) {
        int nCount = 0;
        int nSize = 0;
        pFactory->GetCount(nType, &nCount, &nSize);
    }
    pFactory->CreateObject(FileItems());
    DVSK_Sim_ClearCallLog();
    const int nResult = pFactory->BackUp(Dest());
    if (nResult != nExpectedResult) {
        qWarning("backup result %d", nResult);
        return QString();
    }
    return pFactory->GetBackupFolder();
}

void tst_RepeatBackup::listFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("modified");

    const QString s(QChar(0x18));
    QTest::newRow("name, size, time, path") << "a.jpg" + s + "3000" + s + "1748779200" + s + "/sdcard/a.jpg"
                                            << "a.jpg" << "/sdcard/a.jpg" << qint64(3000) << qint64(1748779200);
    QTest::newRow("older list without a time") << "a.jpg" + s + "3000" + s + "/sdcard/a.jpg" << "a.jpg"
                                               << "/sdcard/a.jpg" << qint64(3000) << qint64(-1);
    QTest::newRow("name only") << "a.jpg" << "a.jpg" << "a.jpg" << qint64(-1) << qint64(-1);
    QTest::newRow("values that are no numbers") << "a.jpg" + s + "big" + s + "-5" + s + "/sdcard/a.jpg" << "a.jpg"
                                                << "/sdcard/a.jpg" << qint64(-1) << qint64(-1);
}

// The time sits before the path: readers of name and path alone are not
// affected by it.
void tst_RepeatBackup::listFields()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(qint64, size);
    QFETCH(qint64, modified);
    const auto mapListed = FileListModule::ParseListedFiles(line + "\r\n", false);
    QCOMPARE(mapListed.size(), 1);
    const FileListModule::ListedFile file = mapListed.first();
    QCOMPARE(file.strName, name);
    QCOMPARE(file.strPhonePath, path);
    QCOMPARE(file.nSize, size);
    QCOMPARE(file.nModified, modified);
    QCOMPARE(FileListModule::ParseFileList(line, false).value(path), name);
}

void tst_RepeatBackup::unchangedFilesAreLinked()
{
    const QString strFirst = Run(kFirstRun);
    QVERIFY(!strFirst.isEmpty());
    QCOMPARE(CopiedFromPhone(), QStringList(kFiles.keys()));
    // Copies keep the phone's time: that is how the next run knows them.
    for (const QString &strFile : kFiles)
        QCOMPARE(QFileInfo(strFirst + '/' + strFile).lastModified(), kPhoneTime);
    const QByteArray baBefore = Checksum(strFirst);

    const QString strSecond = Run(kFirstRun.addDays(1));
    QVERIFY(!strSecond.isEmpty());
    QCOMPARE(CopiedFromPhone(), QStringList());
    for (const QString &strFile : kFiles)
        QCOMPARE(Inode(strSecond + '/' + strFile), Inode(strFirst + '/' + strFile));
    const TransferCounts transfer = Factory::Instance()->GetTransferCounts();
    QCOMPARE(transfer.nPhoneFiles, 0);
    QCOMPARE(transfer.nReusedFiles, 5);
    QCOMPARE(transfer.nLinkedFiles, 5);
    QCOMPARE(transfer.nReusedBytes, qint64(4096 + 3000 + 1500 + 10000 + 5000));
    // The new backup stands on its own, lists included; the earlier one is
    // unchanged.
    for (const char *szList : {"Image/ImageList.xml", "Video/VideoList.xml", "Audio/AudioList.xml"}) {
        QFile first(strFirst + '/' + szList);
        QFile second(strSecond + '/' + szList);
        QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
        QCOMPARE(second.readAll(), first.readAll());
    }
    QCOMPARE(Checksum(strFirst), baBefore);

    // The newest earlier backup is the one used.
    const QString strImage = m_pPhone->HostPath("/sdcard/DCIM/Camera/a.jpg");
    QVERIFY(SetTime(strImage, kPhoneTime.addSecs(60)));
    const QString strThird = Run(kFirstRun.addDays(2));
    QCOMPARE(CopiedFromPhone(), QStringList{"/sdcard/DCIM/Camera/a.jpg"});
    const QString strFourth = Run(kFirstRun.addDays(3));
    QCOMPARE(CopiedFromPhone(), QStringList());
    QCOMPARE(Inode(strFourth + "/Image/a.jpg"), Inode(strThird + "/Image/a.jpg"));
    QVERIFY(Inode(strFourth + "/Image/a.jpg") != Inode(strFirst + "/Image/a.jpg"));
}

void tst_RepeatBackup::changesComeFromThePhone_data()
{
    // Changes the phone (first argument) or the earlier run folder (second)
    // between the two runs.
    using Change = std::function<void(TestPhone &, const QString &)>;
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("fromPhone");

    const QString strImage = "/sdcard/DCIM/Camera/a.jpg";
    QTest::newRow("phone file changed size") << Change([strImage](TestPhone &p, const QString &) {
        p.AddFile(strImage, 3001);
        SetTime(p.HostPath(strImage), kPhoneTime);
    }) << QStringList{strImage};
    QTest::newRow("phone file changed time") << Change([strImage](TestPhone &p, const QString &) {
        SetTime(p.HostPath(strImage), kPhoneTime.addSecs(-1));
    }) << QStringList{strImage};
    QTest::newRow("application updated") << Change([](TestPhone &p, const QString &) {
        p.AddApp("com.example.alpha", 5000);
    }) << QStringList{"/data/app/com.example.alpha.apk"};
    QTest::newRow("kept file no longer matches") << Change([](TestPhone &, const QString &strEarlier) {
        QFile file(strEarlier + "/Image/a.jpg");
        if (file.open(QIODevice::Append))
            file.write("edited");
        file.close();
        SetTime(file.fileName(), kPhoneTime);
    }) << QStringList{strImage};
    QTest::newRow("kept file is a link") << Change([](TestPhone &p, const QString &strEarlier) {
        QFile::remove(strEarlier + "/Video/v.mp4");
        QFile::link(p.HostPath("/sdcard/Movies/v.mp4"), strEarlier + "/Video/v.mp4");
    }) << QStringList{"/sdcard/Movies/v.mp4"};
    QTest::newRow("earlier media list damaged") << Change([](TestPhone &, const QString &strEarlier) {
        QFile file(strEarlier + "/Image/ImageList.xml");
        if (file.open(QIODevice::WriteOnly))
            file.write("<filelist><file><pcname>a.jpg</pcname><phname>");
    }) << QStringList{strImage, "/sdcard/DCIM/Camera/b.png"};
    QTest::newRow("earlier media list missing") << Change([](TestPhone &, const QString &strEarlier) {
        QFile::remove(strEarlier + "/Audio/AudioList.xml");
    }) << QStringList{"/sdcard/Music/s.mp3"};
    // A matching file outside the module folder is not taken.
    QTest::newRow("name in the earlier list leaves its folder")
        << Change([](TestPhone &p, const QString &strEarlier) {
               QFile::copy(p.HostPath("/sdcard/Music/s.mp3"), strEarlier + "/outside.mp3");
               SetTime(strEarlier + "/outside.mp3", kPhoneTime);
               QFile file(strEarlier + "/Audio/AudioList.xml");
               QByteArray baList;
               if (file.open(QIODevice::ReadOnly))
                   baList = file.readAll().replace("<pcname>s.mp3", "<pcname>../outside.mp3");
               file.close();
               if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                   file.write(baList);
           })
        << QStringList{"/sdcard/Music/s.mp3"};
    // A module folder of the earlier backup that is a link leads out of it:
    // the files there, however well they match, are no backup's.
    auto linkOut = [](const QString &strFolder) {
        return Change([strFolder](TestPhone &, const QString &strEarlier) {
            const QString strElsewhere = strEarlier + "/../elsewhere-" + strFolder;
            QDir().rename(strEarlier + '/' + strFolder, strElsewhere);
            QFile::link(strElsewhere, strEarlier + '/' + strFolder);
        });
    };
    QTest::newRow("earlier image folder links out") << linkOut("Image")
                                                    << QStringList{strImage, "/sdcard/DCIM/Camera/b.png"};
    QTest::newRow("earlier application folder links out") << linkOut("APK")
                                                          << QStringList{"/data/app/com.example.alpha.apk"};
    // Even a link that stays inside the earlier backup is not followed.
    QTest::newRow("earlier video folder links within the backup")
        << Change([](TestPhone &, const QString &strEarlier) {
               QDir().rename(strEarlier + "/Video", strEarlier + "/Audio/Video");
               QFile::link(strEarlier + "/Audio/Video", strEarlier + "/Video");
           })
        << QStringList{"/sdcard/Movies/v.mp4"};
    QTest::newRow("full copy requested") << Change([](TestPhone &, const QString &) {
        Factory::SetFullCopy(true);
    }) << QStringList(kFiles.keys());
}

void tst_RepeatBackup::changesComeFromThePhone()
{
    using Change = std::function<void(TestPhone &, const QString &)>;
    QFETCH(Change, change);
    QFETCH(QStringList, fromPhone);

    const QString strFirst = Run(kFirstRun);
    QVERIFY(!strFirst.isEmpty());
    change(*m_pPhone, strFirst);
    const QString strSecond = Run(kFirstRun.addDays(1));
    QVERIFY2(!strSecond.isEmpty(), "a damaged earlier backup is no failure");

    fromPhone.sort();
    QCOMPARE(CopiedFromPhone(), fromPhone);
    for (auto it = kFiles.cbegin(); it != kFiles.cend(); ++it) {
        const QString strNew = strSecond + '/' + it.value();
        QFile phoneFile(m_pPhone->HostPath(it.key()));
        QFile copy(strNew);
        QVERIFY(phoneFile.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QVERIFY2(copy.readAll() == phoneFile.readAll(), qPrintable(strNew));
        const bool bLinked = Inode(strNew) == Inode(strFirst + '/' + it.value());
        QVERIFY2(bLinked != fromPhone.contains(it.key()), qPrintable(strNew));
    }
    QCOMPARE(Factory::Instance()->GetTransferCounts().nPhoneFiles, fromPhone.size());
}

// A hard link cannot cross file systems: the kept file is copied on this
// computer, still not from the phone.
void tst_RepeatBackup::earlierBackupOnAnotherFileSystem()
{
    if (::geteuid() != 0)
        QSKIP("needs root to mount a small tmpfs for the earlier backup");
    const QString strFirst = Run(kFirstRun);
    QVERIFY(!strFirst.isEmpty());
    const QString strAside = m_pEnv->Path("aside");
    QVERIFY(QDir().rename(strFirst, strAside));
    QVERIFY(QDir().mkpath(strFirst));
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", strFirst}) != 0)
        QSKIP("cannot mount a tmpfs here");
    struct Unmount
    {
        QString strPath;
        ~Unmount() { QProcess::execute("umount", {strPath}); }
    } unmount{strFirst};
    QCOMPARE(QProcess::execute("cp", {"-a", strAside + "/.", strFirst}), 0);
    const QByteArray baBefore = Checksum(strFirst);

    const QString strSecond = Run(kFirstRun.addDays(1));
    QVERIFY(!strSecond.isEmpty());
    QCOMPARE(CopiedFromPhone(), QStringList());
    const TransferCounts transfer = Factory::Instance()->GetTransferCounts();
    QCOMPARE(transfer.nReusedFiles, 5);
    QCOMPARE(transfer.nLinkedFiles, 0);
    for (const QString &strFile : kFiles) {
        const QFileInfo info(strSecond + '/' + strFile);
        QCOMPARE(info.size(), QFileInfo(strFirst + '/' + strFile).size());
        QCOMPARE(info.lastModified(), kPhoneTime);
    }
    QCOMPARE(Checksum(strFirst), baBefore);
}

// Another phone, even one holding the very same files under a name that
// begins like this phone's, takes nothing from this phone's backups.
void tst_RepeatBackup::otherPhonesNeverShare()
{
    QVERIFY(!Run(kFirstRun).isEmpty());
    m_pPhone->SetDevice("Test", "V100R001C10B100", "350000000000002");
    const QString strOther = Run(kFirstRun.addDays(1));
    QVERIFY(strOther.contains("backup_Test_"));
    QCOMPARE(CopiedFromPhone(), QStringList(kFiles.keys()));
    QCOMPARE(Factory::Instance()->GetTransferCounts().nReusedFiles, 0);
}

void tst_RepeatBackup::sameModelSharesOnlyWithItsOwnSerial_data()
{
    QTest::addColumn<QString>("strFirstSerial");
    QTest::addColumn<QString>("strSecondSerial");
    // What is done to the first backup's device file: "", "remove" (a
    // backup from before the file existed), "no serial".
    QTest::addColumn<QString>("strEarlierFile");
    QTest::addColumn<bool>("bShared");

    QTest::newRow("the same phone") << "SER-A" << "SER-A" << "" << true;
    QTest::newRow("another phone of the same model") << "SER-A" << "SER-B" << "" << false;
    QTest::newRow("earlier backup without a device file") << "SER-A" << "SER-B" << "remove" << true;
    QTest::newRow("earlier device file without a serial") << "SER-A" << "SER-B" << "no serial" << true;
}

void tst_RepeatBackup::sameModelSharesOnlyWithItsOwnSerial()
{
    QFETCH(QString, strFirstSerial);
    QFETCH(QString, strSecondSerial);
    QFETCH(QString, strEarlierFile);
    QFETCH(bool, bShared);
    m_pPhone->SetSerial(strFirstSerial);
    const QString strFirst = Run(kFirstRun);
    QVERIFY(!strFirst.isEmpty());
    const QString strDeviceFile = strFirst + "/Device.txt";
    QVERIFY(QFileInfo::exists(strDeviceFile));
    if (strEarlierFile == "remove") {
        QVERIFY(QFile::remove(strDeviceFile));
    } else if (strEarlierFile == "no serial") {
        QFile file(strDeviceFile);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("serial=\nmodel=Test Phone\nbackend=sim\n");
    }

    // Same name, same files, same times: only the serial tells the phones apart.
    m_pPhone->SetSerial(strSecondSerial);
    const QString strSecond = Run(kFirstRun.addSecs(60));
    QVERIFY(!strSecond.isEmpty());
    QCOMPARE(QFileInfo(strSecond).fileName().section('_', 0, 1), QFileInfo(strFirst).fileName().section('_', 0, 1));
    const int nReused = Factory::Instance()->GetTransferCounts().nReusedFiles;
    QCOMPARE(nReused, bShared ? int(kFiles.size()) : 0);
    QCOMPARE(CopiedFromPhone(), bShared ? QStringList() : QStringList(kFiles.keys()));
    for (auto it = kFiles.cbegin(); it != kFiles.cend(); ++it) {
        const bool bSameFile = Inode(strFirst + '/' + it.value()) == Inode(strSecond + '/' + it.value());
        QVERIFY2(bSameFile == bShared, qPrintable(it.value()));
    }
}

void tst_RepeatBackup::theDeviceFileNamesThePhone()
{
    m_pPhone->SetSerial("R58M123ABC");
    const QString strRun = Run(kFirstRun);
    QVERIFY(!strRun.isEmpty());
    QFile file(strRun + "/Device.txt");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList listLines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(listLines.mid(0, 5), (QStringList {"serial=R58M123ABC", "manufacturer=Test", "model=Test Phone",
                                                "android=11", "backend=sim"}));
    QCOMPARE(listLines.size(), 6);
    QVERIFY(listLines.at(5).startsWith("date="));
    QCOMPARE(QDateTime::fromString(listLines.at(5).mid(5), Qt::ISODate), kFirstRun);
}

QTEST_GUILESS_MAIN(tst_RepeatBackup)
#include "tst_repeatbackup.moc"
