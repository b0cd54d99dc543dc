// The adb back end against the real adb server (a private one on a free port,
// never 5037) and the device simulator serving fixture phones. Skipped when
// adb or the simulator is not there.
#include "AdbTestRig.h"
#include "CallbackRecorder.h"
#include "HostileRecords.h"
#include "TestPhone.h"
#include "adb/AdbDevice.h"
#include "adb/AdbServer.h"
#include "sdk/dvsk_device.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

namespace
{
const char kSimulator[] = BACKUP_STAGE_DIR "/bin/adb-phone-sim";

QByteArray FileBytes(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Extracts the one package in strDest into strFiles.
bool ExtractThePackage(const QString &strDest, const QString &strFiles)
{
    const QStringList listPackages = QDir(strDest).entryList({"backup_*.zip"}, QDir::Files);
    if (listPackages.size() != 1)
        return false;
    QProcess extract;
    extract.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool"),
                  {"extract", QDir(strDest).filePath(listPackages.first()), strFiles});
    return extract.waitForFinished(60000) && extract.exitStatus() == QProcess::NormalExit && extract.exitCode() == 0;
}

// "name|size|path" of each line of a file-list text.
QStringList ListRows(const char *szText)
{
    QStringList listRows;
    for (const QString &strLine : QString::fromUtf8(szText).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        listRows << strLine.split(QChar(0x18)).join(QLatin1Char('|'));
    return listRows;
}
} // namespace

class tst_AdbClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void describesThePhone();
    void countsWhatTheWalkFinds();
    void listsFilesOver4GiB_data();
    void listsFilesOver4GiB();
    void copiesFilesByteForByte();
    void refusedAndVanishedFilesFailAlone();
    void notAvailableData();
    void choosingAPhone();
    void walksEveryStorageVolume();
    void cancelEndsACopy();
    void unplugRaisesEvents();
    void unplugDuringCopiesIsReportedAtOnce();
    void backuptoolBacksUpThePhone();
    void backuptoolBacksUpTheRecords();
    void twoPhonesOfOneModelNeverShare();
    void backuptoolBacksUpEverything();
    void backuptoolKeepsHostileRecords_data();
    void backuptoolKeepsHostileRecords();
    void silentPortIsNoServer();

private:
    // backuptool run --device adb:SERIAL ARGS, with its host settings
    // and SDK data folder in strWork: its exit status (-1: it did not
    // finish) and, in *pOutput, what it wrote.
    int RunBackuptool(const QString &strWork, const QString &strSerial, const QStringList &listArgs,
                      QString *pOutput) const;

    QTemporaryDir m_dir;
    QString m_strPhone;
    std::unique_ptr<AdbTestRig> m_pRig;
    quint16 m_nServerPort = 0;
    QString m_strSerial;
    std::unique_ptr<AdbDevice> m_pDevice;
};

void tst_AdbClient::initTestCase()
{
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    if (!QFileInfo(QString::fromUtf8(kSimulator)).isExecutable())
        QSKIP("the device simulator adb-phone-sim is not built");
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));

    TestPhone phone(m_dir.filePath("phone"));
    phone.SetDevice("Pixel Test", "TQ3A.230805.001", "350000000000001");
    phone.AddFile("/sdcard/DCIM/Camera/IMG_0001.jpg", 300 * 1024 + 7);
    phone.AddFile("/sdcard/DCIM/Camera/empty.png", 0);
    phone.AddFile("/sdcard/Pictures/Name é ü.JPG", 70000);
    phone.AddFile("/sdcard/Movies/clip.mp4", 2 * 1024 * 1024 + 3);
    phone.AddFile("/sdcard/Music/song.mp3", 123456);
    phone.AddFile("/sdcard/Documents/notes.txt", 100);
    phone.AddFile("/sdcard/Android/data/com.example/cache.jpg", 100);
    phone.AddFile("/sdcard/Android/obb/com.game/main.mp4", 100);
    phone.AddFile("/sdcard/Android/media/com.chat/voice.ogg", 2000);
    phone.AddFile("/sdcard/Locked/secret.jpg", 100);
    phone.AddFile("/sdcard/Locked/gone.jpg", 100);
    phone.AddApp("com.example.notes", 50000, {{"shared_prefs/p.xml", "<map/>"}});
    phone.SetGetFileError("/sdcard/Locked/secret.jpg", 5);
    phone.SetMissingFile("/sdcard/Locked/gone.jpg");
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();

    // A private server on a free port, with a home of its own for its key.
    m_pRig = std::make_unique<AdbTestRig>(m_dir.path());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
    m_nServerPort = m_pRig->ServerPort();
    QTRY_VERIFY_WITH_TIMEOUT(AdbServer(m_nServerPort).IsRunning(), 20000);

    m_strSerial = m_pRig->StartSimulator(m_strPhone, {});
    QVERIFY(!m_strSerial.isEmpty());
    m_pDevice = std::make_unique<AdbDevice>(m_strSerial, m_nServerPort);
    QString strMessage;
    QCOMPARE(m_pDevice->Open(strMessage), 0);
}

void tst_AdbClient::cleanupTestCase()
{
    m_pDevice.reset();
    m_pRig.reset();
}

void tst_AdbClient::twoPhonesOfOneModelNeverShare()
{
    // Two phones of one model with the same files and times; only their own
    // serial numbers differ. Backed up into one destination.
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    const QDateTime dtFiles(QDate(2025, 6, 1), QTime(12, 0, 0), Qt::UTC);
    QStringList listSerials;
    for (const char *szSerial : {"TWIN0000000A", "TWIN0000000B"}) {
        TestPhone phone(out.filePath(QString::fromLatin1(szSerial)));
        phone.SetDevice("Corvo Twin", "CRT V1", "350000000000099");
        phone.SetSerial(QString::fromLatin1(szSerial));
        for (const char *szPath : {"/sdcard/DCIM/a.jpg", "/sdcard/Music/b.mp3"}) {
            QFile file(phone.AddFile(QString::fromLatin1(szPath), 4000));
            QVERIFY(file.open(QIODevice::ReadOnly) && file.setFileTime(dtFiles, QFileDevice::FileModificationTime));
        }
        QVERIFY(phone.Save());
        listSerials << m_pRig->StartSimulator(phone.Dir(), {});
        QVERIFY(!listSerials.last().isEmpty());
    }
    const QRegularExpression reNoneReused("Files: +2 from the phone \\([0-9.]+ MB\\), 0 reused");
    const QRegularExpression reAllReused("Files: +0 from the phone \\(0.0 MB\\), 2 reused");
    const struct
    {
        int nPhone;
        const QRegularExpression &reFiles;
    } runs[] = {{0, reNoneReused}, {1, reNoneReused}, {0, reAllReused}, {1, reAllReused}};
    for (const auto &run : runs) {
        QString strOutput;
        QCOMPARE(RunBackuptool(out.path(), listSerials.at(run.nPhone), {"--items", "media,music", "--dest", out.filePath("dest")},
                               &strOutput),
                 0);
        QVERIFY2(strOutput.contains(run.reFiles), qPrintable(strOutput));
    }
    // Every backup folder names its own phone.
    QStringList listNamed;
    for (const QString &strFolder : QDir(out.filePath("dest")).entryList({"backup_*"}, QDir::Dirs, QDir::Name)) {
        const QString strDevice = FileBytes(out.filePath("dest/" + strFolder + "/Device.txt"));
        listNamed << strDevice.section('\n', 0, 0);
        QVERIFY2(strDevice.contains("backend=adb\n") && strDevice.contains("model=Corvo Twin\n"), qPrintable(strDevice));
    }
    QCOMPARE(listNamed, (QStringList {"serial=TWIN0000000A", "serial=TWIN0000000B", "serial=TWIN0000000A",
                                      "serial=TWIN0000000B"}));
    for (const QString &strSerial : listSerials)
        m_pRig->Adb({"disconnect", strSerial});
}

int tst_AdbClient::RunBackuptool(const QString &strWork, const QString &strSerial, const QStringList &listArgs,
                                 QString *pOutput) const
{
    QProcess tool;
    QProcessEnvironment env = m_pRig->Environment();
    env.insert("DVSK_SIM_USERDATA", strWork + "/userdata");
    env.insert("PELORIX_HOST_SETTINGS", strWork + "/host.ini");
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool"),
               QStringList{"run", "--device", "adb:" + strSerial} + listArgs);
    const bool bFinished = tool.waitForFinished(120000);
    *pOutput = QString::fromUtf8(tool.readAll());
    return bFinished ? tool.exitCode() : -1;
}

void tst_AdbClient::describesThePhone()
{
    const QStringList listInfo = m_pDevice->DeviceInfo().split('\n');
    QCOMPARE(listInfo.size(), 3);
    QCOMPARE(listInfo.at(0), QString("Pixel Test"));
    QCOMPARE(listInfo.at(1), QString("TQ3A.230805.001"));
    // No IMEI through adb: the serial number stands for it.
    QVERIFY(!listInfo.at(2).isEmpty());
    QVERIFY(listInfo.at(2) != QLatin1String("350000000000001"));
    QVERIFY(m_pDevice->IsAttached());

    DVSK_MemInfo *pList = nullptr;
    QCOMPARE(m_pDevice->MemInfo(&pList), 2);
    QVERIFY(pList);
    QCOMPARE(pList[0].nType, int64_t(1));
    QCOMPARE(pList[1].nType, int64_t(2));
    QCOMPARE(pList[0].nUnit, int64_t(1024));
    QVERIFY(pList[0].nTotal > pList[0].nUsed);
    free(pList);
}

void tst_AdbClient::countsWhatTheWalkFinds()
{
    struct Expected
    {
        int nType;
        QStringList listPaths;
        qint64 nBytes;
    };
    // Android/data and Android/obb are the applications' own; Android/media is the user's.
    const QList<Expected> listExpected = {
        {16,
         {"/sdcard/DCIM/Camera/IMG_0001.jpg", "/sdcard/DCIM/Camera/empty.png", "/sdcard/Locked/gone.jpg",
          "/sdcard/Locked/secret.jpg", "/sdcard/Pictures/Name é ü.JPG"},
         300 * 1024 + 7 + 100 + 100 + 70000},
        {17, {"/sdcard/Movies/clip.mp4"}, 2 * 1024 * 1024 + 3},
        {18, {"/sdcard/Android/media/com.chat/voice.ogg", "/sdcard/Music/song.mp3"}, 2000 + 123456},
    };
    for (const Expected &expected : listExpected) {
        int nCount = -1;
        int nSize = -1;
        QCOMPARE(m_pDevice->GetBackUpCount(expected.nType, &nCount, &nSize), 0);
        QCOMPARE(nCount, int(expected.listPaths.size()));
        QCOMPARE(nSize, int((expected.nBytes + 1023) / 1024));
        char *szList = nullptr;
        QCOMPARE(m_pDevice->BackUp(expected.nType, "phone book", &szList), 0);
        QStringList listPaths;
        for (const QString &strRow : ListRows(szList))
            listPaths << strRow.section('|', -1);
        free(szList);
        QCOMPARE(listPaths, expected.listPaths);
    }
    int nApps = 0;
    int nApkSize = 0;
    QCOMPARE(m_pDevice->GetBackUpCount(9, &nApps, &nApkSize), 0);
    QCOMPARE(nApps, 1);
    QCOMPARE(nApkSize, (50000 + 1023) / 1024);
}

void tst_AdbClient::listsFilesOver4GiB_data()
{
    QTest::addColumn<QStringList>("listSimulatorArgs");
    QTest::addColumn<qint64>("nListedSize");
    const qint64 nLong = 5LL * 1024 * 1024 * 1024 + 17;
    QTest::newRow("ls_v2: 64-bit sizes") << QStringList() << nLong;
    // Before Android 10 only LIST exists: its sizes are modulo 4 GiB.
    QTest::newRow("old phone: LIST") << QStringList {"--no-ls-v2"} << (nLong & 0xffffffffLL);
}

void tst_AdbClient::listsFilesOver4GiB()
{
    QFETCH(QStringList, listSimulatorArgs);
    QFETCH(qint64, nListedSize);
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    TestPhone phone(dir.filePath("phone"));
    phone.SetDevice("Long Video", "TQ3A.230805.001", "350000000000002");
    phone.AddFile("/sdcard/Movies/short.mp4", 1000);
    // A sparse file: listed, never copied.
    QFile video(phone.AddFile("/sdcard/Movies/long.mp4", 0));
    QVERIFY(video.resize(5LL * 1024 * 1024 * 1024 + 17));
    QVERIFY(phone.Save());
    const qint64 nMtime = QFileInfo(video.fileName()).lastModified().toSecsSinceEpoch();

    const QString strSerial = m_pRig->StartSimulator(phone.Dir(), listSimulatorArgs);
    QVERIFY(!strSerial.isEmpty());
    AdbDevice device(strSerial, m_nServerPort);
    QString strMessage;
    QCOMPARE(device.Open(strMessage), 0);
    int nCount = -1;
    int nSize = -1;
    QCOMPARE(device.GetBackUpCount(17, &nCount, &nSize), 0);
    QCOMPARE(nCount, 2);
    QCOMPARE(nSize, int((nListedSize + 1000 + 1023) / 1024));
    char *szList = nullptr;
    QCOMPARE(device.BackUp(17, "phone book", &szList), 0);
    const QStringList listRows = ListRows(szList);
    free(szList);
    // name, size, modification time, path
    QCOMPARE(listRows, (QStringList {QStringLiteral("long.mp4|%1|%2|/sdcard/Movies/long.mp4").arg(nListedSize).arg(nMtime),
                                     QStringLiteral("short.mp4|1000|%1|/sdcard/Movies/short.mp4")
                                             .arg(QFileInfo(phone.HostPath("/sdcard/Movies/short.mp4")).lastModified().toSecsSinceEpoch())}));
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::copiesFilesByteForByte()
{
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    TestPhone phone(m_strPhone);
    for (int nType : {16, 17, 18, 9}) {
        char *szList = nullptr;
        QCOMPARE(m_pDevice->BackUp(nType, "phone book", &szList), 0);
        const QStringList listRows = ListRows(szList);
        free(szList);
        for (const QString &strRow : listRows) {
            const QString strName = strRow.section('|', 0, 0);
            const QString strPath = strRow.section('|', -1);
            if (strPath.startsWith("/sdcard/Locked/"))
                continue;
            const QString strLocal = out.filePath(strName);
            QCOMPARE(m_pDevice->GetFile(strLocal.toUtf8(), strPath.toUtf8(), 2), 0);
            const QString strHost = nType == 9 ? QDir(m_strPhone).filePath("fs/data/app/" + strName + ".apk")
                                               : phone.HostPath(strPath);
            QVERIFY2(FileBytes(strLocal) == FileBytes(strHost), qPrintable(strPath));
            // name, size, modification time, path
            QCOMPARE(strRow.section('|', 2, 2).toLongLong(), QFileInfo(strHost).lastModified().toSecsSinceEpoch());
        }
    }
}

void tst_AdbClient::refusedAndVanishedFilesFailAlone()
{
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    const QByteArray baSecret = out.filePath("secret.jpg").toUtf8();
    QCOMPARE(m_pDevice->GetFile(baSecret, "/sdcard/Locked/secret.jpg", 2), int(DVSK_DEV_ERR_PHONE_IO));
    QCOMPARE(m_pDevice->GetFile(out.filePath("gone.jpg").toUtf8(), "/sdcard/Locked/gone.jpg", 2),
             int(DVSK_ERR_FILE_NOT_EXIST));
    QCOMPARE(m_pDevice->GetFile(out.filePath("x.jpg").toUtf8(), "/sdcard/nowhere/x.jpg", 2),
             int(DVSK_ERR_FILE_NOT_EXIST));
    // The next file goes through as before; nothing of the failed ones is left.
    QCOMPARE(m_pDevice->GetFile(out.filePath("song.mp3").toUtf8(), "/sdcard/Music/song.mp3", 2), 0);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"song.mp3"});
    QCOMPARE(m_pDevice->GetFile("/nonexistent-folder/a.mp3", "/sdcard/Music/song.mp3", 2),
             int(DVSK_DEV_ERR_LOCAL_FILE));
}

void tst_AdbClient::notAvailableData()
{
    // The test phone has no content providers; e-mail and bookmarks have none on any phone.
    for (int nType : {0, 1, 2, 4, 5, 6, 19, 15}) {
        int nCount = -1;
        int nSize = -1;
        QCOMPARE(m_pDevice->GetBackUpCount(nType, &nCount, &nSize), int(DVSK_DEV_ERR_NOT_AVAILABLE));
        QCOMPARE(nCount, 0);
        char *szText = nullptr;
        QCOMPARE(m_pDevice->BackUp(nType, "phone book", &szText), int(DVSK_DEV_ERR_NOT_AVAILABLE));
        QVERIFY(!szText);
    }
}

void tst_AdbClient::choosingAPhone()
{
    QString strMessage;
    AdbDevice missing("127.0.0.1:1", m_nServerPort);
    QVERIFY(missing.Open(strMessage) != 0);
    QVERIFY2(strMessage.contains("No phone with the serial 127.0.0.1:1"), qPrintable(strMessage));

    // One phone: no serial needed.
    AdbDevice any(QString(), m_nServerPort);
    QCOMPARE(any.Open(strMessage), 0);
    QCOMPARE(any.DeviceInfo().section('\n', 0, 0), QString("Pixel Test"));

    // A phone that has not allowed this computer, beside the first.
    const QString strLocked = m_pRig->StartSimulator(m_strPhone, {"--unauthorized"}, false);
    QVERIFY(!strLocked.isEmpty());
    AdbDevice locked(strLocked, m_nServerPort);
    QTRY_VERIFY_WITH_TIMEOUT(locked.Open(strMessage) != 0 && strMessage.contains("Allow USB debugging on the phone"),
                             20000);
    // The one usable phone is taken, whatever else is connected.
    AdbDevice oneUsable(QString(), m_nServerPort);
    QCOMPARE(oneUsable.Open(strMessage), 0);
    QVERIFY2(oneUsable.Identity().contains("backend=adb"), qPrintable(oneUsable.Identity()));
    QCOMPARE(oneUsable.DeviceInfo().section('\n', 0, 0), QString("Pixel Test"));
    // Two usable ones: the user must choose.
    const QString strSecond = m_pRig->StartSimulator(m_strPhone, {});
    QVERIFY(!strSecond.isEmpty());
    AdbDevice several(QString(), m_nServerPort);
    strMessage.clear();
    QVERIFY(several.Open(strMessage) != 0);
    QVERIFY2(strMessage.contains("Several phones") && strMessage.contains(m_strSerial)
                     && strMessage.contains(strSecond) && !strMessage.contains(strLocked),
             qPrintable(strMessage));
    m_pRig->Adb({"disconnect", strLocked});
    m_pRig->Adb({"disconnect", strSecond});
}

void tst_AdbClient::walksEveryStorageVolume()
{
    // Shared storage, a readable memory card and one the phone cannot open;
    // in the shared storage a folder it cannot open, and one too long a path
    // for a sync request that it can open and one below that it cannot.
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    TestPhone phone(dir.filePath("phone"));
    QString strLong = "/sdcard";
    for (const char c : {'v', 'w', 'x', 'y', 'z'})
        strLong += '/' + QString(220, QLatin1Char(c));
    phone.AddFile("/sdcard/DCIM/a.jpg", 1000);
    phone.AddFile("/sdcard/Private/p.jpg", 10);
    phone.AddFile(strLong + "/far.jpg", QByteArray("far away"));
    phone.AddFile(strLong + "/Locked/l.jpg", 10);
    phone.AddFile("/storage/1A2B-3C4D/DCIM/b.jpg", 2000);
    phone.AddFile("/storage/1A2B-3C4D/Music/c.mp3", 3000);
    phone.AddFile("/storage/1A2B-3C4D/Android/data/com.x/cache.jpg", 10);
    phone.AddFile("/storage/1A2B-3C4D/Android/obb/com.y/main.mp4", 10);
    phone.AddFile("/storage/9C33-6BBD/DCIM/d.jpg", 4000);
    QVERIFY(phone.Save());
    {
        QSettings ini(phone.Dir() + "/phone.ini", QSettings::IniFormat);
        ini.setValue("faults/unreadableFolders",
                     QStringList {"/storage/9C33-6BBD", "/sdcard/Private", strLong + "/Locked"});
    }
    const QString strSerial = m_pRig->StartSimulator(phone.Dir(), {});
    QVERIFY(!strSerial.isEmpty());
    AdbDevice device(strSerial, m_nServerPort);
    QString strMessage;
    QCOMPARE(device.Open(strMessage), 0);

    // What cannot be read stands in every media list, so no item looks whole.
    const QStringList listUnreadable {"Private|0|/sdcard/Private", "Locked|0|" + strLong + "/Locked",
                                      "9C33-6BBD|0|/storage/9C33-6BBD"};
    const struct
    {
        int nType;
        QStringList listRows;
    } expected[] = {
        {16, QStringList {"a.jpg|1000|/sdcard/DCIM/a.jpg", listUnreadable.at(0), listUnreadable.at(1),
                          "far.jpg|8|" + strLong + "/far.jpg", "b.jpg|2000|/storage/1A2B-3C4D/DCIM/b.jpg",
                          listUnreadable.at(2)}},
        {17, listUnreadable},
        {18, QStringList {listUnreadable.at(0), listUnreadable.at(1), "c.mp3|3000|/storage/1A2B-3C4D/Music/c.mp3",
                          listUnreadable.at(2)}},
    };
    for (const auto &type : expected) {
        int nCount = -1;
        int nSize = -1;
        QCOMPARE(device.GetBackUpCount(type.nType, &nCount, &nSize), 0);
        QCOMPARE(nCount, int(type.listRows.size()));
        char *szText = nullptr;
        QCOMPARE(device.BackUp(type.nType, "media", &szText), 0);
        QStringList listRows;
        for (const QString &strRow : ListRows(szText))
            listRows << strRow.section('|', 0, 1) + '|' + strRow.section('|', -1);
        free(szText);
        QCOMPARE(listRows, type.listRows);
    }
    QVERIFY(device.GetFile(dir.filePath("b.jpg").toUtf8(), "/storage/1A2B-3C4D/DCIM/b.jpg", 2) == 0);
    QCOMPARE(QFileInfo(dir.filePath("b.jpg")).size(), qint64(2000));
    QCOMPARE(device.GetFile(dir.filePath("card").toUtf8(), "/storage/9C33-6BBD", 2), int(DVSK_DEV_ERR_PHONE_IO));
    QVERIFY(!QFileInfo::exists(dir.filePath("card")));
    QCOMPARE(device.GetFile(dir.filePath("private").toUtf8(), "/sdcard/Private", 2), int(DVSK_DEV_ERR_PHONE_IO));
    // Read through the shell: its bytes and nothing else.
    QCOMPARE(device.GetFile(dir.filePath("far.jpg").toUtf8(), (strLong + "/far.jpg").toUtf8(), 2), 0);
    QFile far(dir.filePath("far.jpg"));
    QVERIFY(far.open(QIODevice::ReadOnly));
    QCOMPARE(far.readAll(), QByteArray("far away"));
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::cancelEndsACopy()
{
    // A slow link: the 2 MiB video takes seconds.
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, {"--rate", "200000"});
    QVERIFY(!strSerial.isEmpty());
    AdbDevice device(strSerial, m_nServerPort);
    QString strMessage;
    QCOMPARE(device.Open(strMessage), 0);
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    const QByteArray baLocal = out.filePath("clip.mp4").toUtf8();
    int nResult = -1;
    std::thread copy([&]() { nResult = device.GetFile(baLocal, "/sdcard/Movies/clip.mp4", 2); });
    // The copy is under way once the phone has a stream open for it.
    QTRY_VERIFY_WITH_TIMEOUT(m_pRig->SimulatorCommand(strSerial, "status").contains("streams=1"), 20000);
    device.SetBackupCancel(1);
    copy.join();
    QCOMPARE(nResult, int(DVSK_DEV_ERR_CANCELLED));
    QVERIFY(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QCOMPARE(device.GetFile(out.filePath("song.mp3").toUtf8(), "/sdcard/Music/song.mp3", 2),
             int(DVSK_DEV_ERR_CANCELLED));
    device.SetBackupCancel(0);
    QCOMPARE(device.GetFile(out.filePath("song.mp3").toUtf8(), "/sdcard/Music/song.mp3", 2), 0);
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::unplugRaisesEvents()
{
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, {});
    QVERIFY(!strSerial.isEmpty());
    AdbDevice device(strSerial, m_nServerPort);
    device.SetEventCallback(&CallbackRecorder::OnEvent);
    QString strMessage;
    QCOMPARE(device.Open(strMessage), 0);
    QVERIFY(CallbackRecorder::Instance().EventCodes().isEmpty());
    m_pRig->SimulatorCommand(strSerial, "unplug");
    QTRY_COMPARE_WITH_TIMEOUT(CallbackRecorder::Instance().EventCodes(),
                              (QList<int> {DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST}), 20000);
    QVERIFY(!device.IsAttached());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QCOMPARE(device.GetFile(out.filePath("song.mp3").toUtf8(), "/sdcard/Music/song.mp3", 2),
             int(DVSK_DEV_ERR_DISCONNECTED));
    // Plugged in again, the phone is active again.
    m_pRig->SimulatorCommand(strSerial, "plug");
    m_pRig->Adb({"connect", strSerial});
    QTRY_COMPARE_WITH_TIMEOUT(CallbackRecorder::Instance().EventCodes().value(2), int(DVSK_EVENT_DEVICE_ACTIVE), 20000);
    m_pRig->Adb({"disconnect", strSerial});
}

// A copy cut off by the unplug reports the departure before it returns, so
// the engine knows the phone is gone when it sees the failed copy.
void tst_AdbClient::unplugDuringCopiesIsReportedAtOnce()
{
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, {"--unplug-after-files", "1"});
    QVERIFY(!strSerial.isEmpty());
    CallbackRecorder::Instance().Clear();
    AdbDevice device(strSerial, m_nServerPort);
    device.SetEventCallback(&CallbackRecorder::OnEvent);
    QString strMessage;
    QCOMPARE(device.Open(strMessage), 0);
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QCOMPARE(device.GetFile(out.filePath("song.mp3").toUtf8(), "/sdcard/Music/song.mp3", 2), 0);
    QCOMPARE(device.GetFile(out.filePath("clip.mp4").toUtf8(), "/sdcard/Movies/clip.mp4", 2),
             int(DVSK_DEV_ERR_DISCONNECTED));
    QCOMPARE(CallbackRecorder::Instance().EventCodes(),
             (QList<int> {DVSK_EVENT_DEVICE_REMOVED, DVSK_EVENT_SERVICE_LOST}));
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::backuptoolBacksUpThePhone()
{
    // The bundled sample phone, backed up by the command-line tool through adb.
    const QString strSample = QStringLiteral(BACKUP_STAGE_DIR "/samples/phone");
    const QString strSerial = m_pRig->StartSimulator(strSample, {});
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QString strOutput;
    const int nStatus = RunBackuptool(out.path(), strSerial, {"--items", "media,music,apps", "--dest", out.filePath("dest"), "--verify"},
                                      &strOutput);
    QVERIFY2(nStatus == 0, qPrintable(strOutput));

    // Every image, video and audio file of the phone is in the backup folder, byte for byte.
    const QStringList listFolders = QDir(out.filePath("dest")).entryList({"backup_*"}, QDir::Dirs);
    QCOMPARE(listFolders.size(), 1);
    const QString strBackup = QDir(out.filePath("dest")).filePath(listFolders.first());
    QHash<QByteArray, int> hashBackedUp;
    QDirIterator itBackup(strBackup, QDir::Files, QDirIterator::Subdirectories);
    while (itBackup.hasNext())
        hashBackedUp[QCryptographicHash::hash(FileBytes(itBackup.next()), QCryptographicHash::Sha1)]++;
    // The memory card's photo (/storage/sdcard1/...) as well as the shared storage's files.
    int nMedia = 0;
    for (const char *szVolume : {"/fs/sdcard", "/fs/storage"}) {
        QDirIterator itPhone(strSample + szVolume, QDir::Files, QDirIterator::Subdirectories);
        while (itPhone.hasNext()) {
            const QString strFile = itPhone.next();
            if (QFileInfo(strFile).suffix() == QLatin1String("txt"))
                continue;
            ++nMedia;
            const QByteArray baHash = QCryptographicHash::hash(FileBytes(strFile), QCryptographicHash::Sha1);
            QVERIFY2(hashBackedUp.value(baHash) > 0, qPrintable(strFile));
            hashBackedUp[baHash]--;
        }
    }
    QVERIFY(QFileInfo::exists(strSample + "/fs/storage/sdcard1/Photos/holiday_beach.jpg"));
    QVERIFY(nMedia > 0);
    const QString strImageList = FileBytes(strBackup + "/Image/ImageList.xml");
    QVERIFY2(strImageList.contains("/storage/sdcard1/Photos/holiday_beach.jpg"), qPrintable(strImageList));

    // A second backup of the unchanged phone takes every file from the first.
    QString strRepeat;
    QVERIFY2(RunBackuptool(out.path(), strSerial, {"--items", "media,music,apps", "--dest", out.filePath("dest")}, &strRepeat) == 0,
             qPrintable(strRepeat));
    QVERIFY2(strRepeat.contains(QRegularExpression("Files: +0 from the phone \\(0.0 MB\\), [1-9][0-9]* reused")),
             qPrintable(strRepeat));
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::backuptoolBacksUpTheRecords()
{
    // The sample phone's contacts, messages, call log and calendar, read from
    // its content providers; the call log's provider refuses the shell user.
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    const QString strPhone = out.filePath("phone");
    QVERIFY(QDir().mkpath(strPhone + "/providers"));
    const QString strSample = QStringLiteral(BACKUP_STAGE_DIR "/samples/phone");
    QVERIFY(QFile::copy(strSample + "/phone.ini", strPhone + "/phone.ini"));
    for (const QString &strName : QDir(strSample + "/providers").entryList({"*.json"}))
        QVERIFY(QFile::copy(strSample + "/providers/" + strName, strPhone + "/providers/" + strName));
    const QString strSerial = m_pRig->StartSimulator(strPhone, {});
    QVERIFY(!strSerial.isEmpty());

    QString strOutput;
    QCOMPARE(RunBackuptool(out.path(), strSerial, {"--items", "contacts,messages,other", "--dest", out.filePath("dest"), "--verify"}, &strOutput), 0);
    for (const char *szLine : {"contacts           32", "sms                60", "mms                4",
                               "calls              30", "calendar           12"})
        QVERIFY2(strOutput.contains(szLine), qPrintable(strOutput));
    // No e-mail provider through adb: left out and said so.
    QVERIFY2(strOutput.contains("\nNot available on this phone: email\n"), qPrintable(strOutput));

    // The package's module files, read by readers this project did not write.
    QVERIFY(ExtractThePackage(out.filePath("dest"), out.filePath("files")));
    const QList<QPair<QString, QString>> listFiles {{"PB.zip", "contacts.vcf"}, {"SMS.zip", "sms.xml"},
        {"MMS.zip", "mms.xml"}, {"CALLLOG.zip", "calllog.xml"}, {"CALENDAR.zip", "calendar.ics"}};
    for (const auto &file : listFiles)
        QVERIFY(QFile::rename(out.filePath("files/" + file.first), out.filePath("files/" + file.second)));
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start("/usr/bin/python3", {QStringLiteral(BACKUP_SOURCE_DIR "/tests/devicesdk/check_records.py"),
                                     strPhone + "/providers", out.filePath("files")});
    QVERIFY(check.waitForFinished(120000));
    const QByteArray baCheck = check.readAll();
    if (baCheck.contains("ModuleNotFoundError"))
        QSKIP("python3-vobject and python3-icalendar are not installed (scripts/install-deps.sh installs them)");
    QVERIFY2(check.exitCode() == 0, baCheck.constData());

    // A provider the shell may not read is not available on this phone; the
    // rest of the backup goes on.
    {
        QSettings ini(strPhone + "/phone.ini", QSettings::IniFormat);
        ini.setValue("faults/contentDenied", "content://call_log/calls");
    }
    QCOMPARE(RunBackuptool(out.path(), strSerial, {"--items", "contacts,messages,other", "--dest", out.filePath("dest2"), "--verify"}, &strOutput), 0);
    QVERIFY2(strOutput.contains("sms                60") && strOutput.contains("calendar           12"), qPrintable(strOutput));
    QVERIFY2(strOutput.contains("\nNot available on this phone: calls, email\n"), qPrintable(strOutput));
    QVERIFY2(!strOutput.contains("Nothing to back up"), qPrintable(strOutput));
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::backuptoolBacksUpEverything()
{
    // Every item of the sample phone: application data is not available
    // through adb without root, and the package still reads back sound.
    const QString strSample = QStringLiteral(BACKUP_STAGE_DIR "/samples/phone");
    const QString strSerial = m_pRig->StartSimulator(strSample, {});
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QString strOutput;
    // Without --verify: the run reads its package back all the same.
    const int nStatus = RunBackuptool(out.path(), strSerial, {"--items", "all", "--dest", out.filePath("dest")}, &strOutput);
    QVERIFY2(nStatus == 0, qPrintable(strOutput.right(900)));
    QVERIFY2(strOutput.contains(QRegularExpression("Not available on this phone: [^\n]*appdata")), qPrintable(strOutput));
    const QStringList listPackages = QDir(out.filePath("dest")).entryList({"backup_*.zip"}, QDir::Files);
    QCOMPARE(listPackages.size(), 1);
    QProcess verify;
    verify.setProcessChannelMode(QProcess::MergedChannels);
    verify.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool"), {"verify", QDir(out.filePath("dest")).filePath(listPackages.first())});
    QVERIFY(verify.waitForFinished(60000));
    const QByteArray baVerify = verify.readAll();
    QVERIFY2(verify.exitCode() == 0, baVerify.constData());
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::backuptoolKeepsHostileRecords_data()
{
    QTest::addColumn<bool>("oldShell");
    QTest::newRow("errors apart (shell v2)") << false;
    QTest::newRow("errors mixed in (exec)") << true;
}

void tst_AdbClient::backuptoolKeepsHostileRecords()
{
    // Provider values that look like rows, columns or the tool's error, and
    // a linker warning before every answer: every record is backed up as
    // the phone holds it, and the package is sound.
    QFETCH(bool, oldShell);
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    const QString strPhone = out.filePath("phone");
    QVERIFY(QDir().mkpath(strPhone + "/providers"));
    QVERIFY(QFile::copy(QStringLiteral(BACKUP_STAGE_DIR "/samples/phone/phone.ini"), strPhone + "/phone.ini"));
    QVERIFY(QFile(strPhone + "/phone.ini").setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const int nMessages = 1204;
    QVERIFY(HostileRecords::Write(strPhone + "/providers", nMessages));
    {
        QSettings ini(strPhone + "/phone.ini", QSettings::IniFormat);
        ini.setValue("faults/linkerWarning", "WARNING: linker: /system/lib64/libfoo.so: unused DT entry: type 0x6ffffffe");
        ini.setValue("device/oldShell", oldShell);
    }
    const QString strSerial = m_pRig->StartSimulator(strPhone, {});
    QVERIFY(!strSerial.isEmpty());

    QString strOutput;
    QCOMPARE(RunBackuptool(out.path(), strSerial, {"--items", "contacts,messages,other", "--dest", out.filePath("dest"), "--verify"}, &strOutput), 0);
    for (const char *szLine : {"contacts           1", "sms                1204", "mms                1", "calendar           2"})
        QVERIFY2(strOutput.contains(szLine), qPrintable(strOutput));
    QVERIFY(ExtractThePackage(out.filePath("dest"), out.filePath("files")));

    const QList<HostileRecords::Message> listGot = HostileRecords::ReadSmsXml(FileBytes(out.filePath("files/SMS.zip")));
    const QList<HostileRecords::Message> listWanted = HostileRecords::Messages(nMessages);
    QCOMPARE(listGot.size(), listWanted.size());
    for (int i = 0; i < nMessages; ++i) {
        QCOMPARE(listGot.at(i).strAddress, listWanted.at(i).strAddress);
        QCOMPARE(listGot.at(i).strSubject, listWanted.at(i).strSubject);
        QCOMPARE(listGot.at(i).strBody, listWanted.at(i).strBody);
    }
    // The picture and the photo begin like the tool's error and keep their bytes.
    QVERIFY(FileBytes(out.filePath("files/MMS.zip")).contains(HostileRecords::ErrorLookingBytes().toBase64()));
    QVERIFY(FileBytes(out.filePath("files/PB.zip")).replace("\r\n ", "").contains(HostileRecords::ErrorLookingBytes().toBase64()));
    const QByteArray baIcs = FileBytes(out.filePath("files/CALENDAR.zip"));
    QVERIFY2(baIcs.contains("\r\nSUMMARY:\r\n") && !baIcs.contains('\0') && baIcs.contains("DESCRIPTION:\xEF\xBB\xBFtext\r\n"),
             baIcs.constData());
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbClient::silentPortIsNoServer()
{
    // A program that accepts connections on the server's port and never
    // answers: it is no adb server, and the message says why, after a
    // bounded wait (no adb server is started over it).
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QString strError;
    QCOMPARE(AdbServer(silent.serverPort()).Probe(&strError), AdbServer::Silent);
    QVERIFY2(strError.contains("did not answer as an adb server"), qPrintable(strError));
    AdbDevice device(QString(), silent.serverPort());
    QString strMessage;
    QCOMPARE(device.Open(strMessage), int(DVSK_DEV_ERR_NO_SERVER));
    QVERIFY2(strMessage.contains(QString::number(silent.serverPort()) + " accepted the connection but did not answer"),
             qPrintable(strMessage));

    // Nothing on a port at all is no server either, and says nothing of silence.
    const quint16 nFree = AdbTestRig::FreePort();
    QCOMPARE(AdbServer(nFree).Probe(&strError), AdbServer::NoServer);
}

QTEST_GUILESS_MAIN(tst_AdbClient)
#include "tst_adbclient.moc"
