// Small files fetched ahead over several sync connections: the backup is the
// same as over one, the engine may skip files, and a cancel or an unplug ends
// every connection and leaves nothing behind. Against a private adb server
// and the device simulator; skipped when adb or the simulator is not there.
#include "AdbTestRig.h"
#include "TestPhone.h"
#include "adb/AdbDevice.h"
#include "sdk/dvsk_device.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

namespace
{
const char kSimulator[] = BACKUP_STAGE_DIR "/bin/adb-phone-sim";
const char kTool[] = BACKUP_STAGE_DIR "/bin/backuptool";

QByteArray FileBytes(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Every file below strDir (hidden ones too) by its relative path, with its bytes.
QMap<QString, QByteArray> Tree(const QString &strDir)
{
    QMap<QString, QByteArray> mapFiles;
    QDirIterator it(strDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strPath = it.next();
        mapFiles.insert(QDir(strDir).relativeFilePath(strPath), FileBytes(strPath));
    }
    return mapFiles;
}

// backuptool's output without its progress line (redrawn as time passes),
// the date in the backup's name and the destination strDest.
QStringList Summary(const QString &strOutput, const QString &strDest)
{
    const QRegularExpression dated(QStringLiteral("\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d"));
    QStringList listLines;
    for (const QString &strLine : strOutput.split(QLatin1Char('\n'))) {
        if (!strLine.startsWith(QLatin1Char('[')))
            listLines << QString(strLine).remove(dated).remove(strDest);
    }
    return listLines;
}

// The entries of a package, read back by backuptool.
QMap<QString, QByteArray> PackageEntries(const QString &strPackage, const QString &strDir)
{
    QProcess extract;
    extract.start(QString::fromUtf8(kTool), {"extract", strPackage, strDir});
    if (!extract.waitForFinished(60000) || extract.exitCode() != 0)
        return {};
    return Tree(strDir);
}

// The phone paths of one media type, as the back end plans them.
QStringList PlannedPaths(AdbDevice &device, int nType)
{
    char *szList = nullptr;
    if (device.BackUp(nType, "phone book", &szList) != 0 || !szList)
        return {};
    QStringList listPaths;
    for (const QString &strLine : QString::fromUtf8(szList).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        listPaths << strLine.section(QChar(0x18), -1);
    free(szList);
    return listPaths;
}
} // namespace

class tst_AdbStreams : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameBackupAsOneStream_data();
    void sameBackupAsOneStream();
    void skippedFilesAndOrder_data();
    void skippedFilesAndOrder();
    void cancelEndsEveryStream();
    void unplugEndsEveryStream();

private:
    // backuptool run of the media with nStreams connections into strDest:
    // its exit status, with its summary in *pOutput.
    int RunBackup(const QString &strSerial, int nStreams, const QString &strDest, QString *pOutput) const;
    std::unique_ptr<AdbDevice> OpenDevice(const QString &strSerial, int nStreams);

    QTemporaryDir m_dir;
    QString m_strPhone;
    std::unique_ptr<AdbTestRig> m_pRig;
};

void tst_AdbStreams::initTestCase()
{
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    if (!QFileInfo(QString::fromUtf8(kSimulator)).isExecutable())
        QSKIP("the device simulator adb-phone-sim is not built");
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    TestPhone phone(m_dir.filePath("phone"));
    // Small files in several folders, large ones between them, one of each
    // kind of failure, an empty file and names that sort by their bytes.
    for (int i = 0; i < 40; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/IMG_%1.jpg").arg(i, 3, 10, QLatin1Char('0')), 3000 + 997 * i);
    phone.AddFile("/sdcard/DCIM/Camera/IMG_020b.jpg", 1536 * 1024 + 5);
    phone.AddFile("/sdcard/DCIM/Camera/IMG_031b.jpg", 0);
    phone.AddFile("/sdcard/DCIM/Camera/IMG_015b.jpg", 100);
    phone.AddFile("/sdcard/DCIM/Camera/IMG_025b.jpg", 100);
    phone.SetGetFileError("/sdcard/DCIM/Camera/IMG_015b.jpg", 5);
    phone.SetMissingFile("/sdcard/DCIM/Camera/IMG_025b.jpg");
    for (int i = 0; i < 12; ++i)
        phone.AddFile(QStringLiteral("/sdcard/Pictures/Dir%1/shot é %2.png").arg(i).arg(i % 3), 20000 + i);
    phone.AddFile("/sdcard/Movies/a.mp4", 1200 * 1024);
    phone.AddFile("/sdcard/Movies/b.mp4", 1000);
    phone.AddFile("/sdcard/Movies/c.mp4", 1300 * 1024 + 1);
    phone.AddFile("/sdcard/Music/song.mp3", 70000);
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();
    m_pRig = std::make_unique<AdbTestRig>(m_dir.path());
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
}

void tst_AdbStreams::cleanupTestCase()
{
    QString strProblems;
    if (m_pRig)
        QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
}

int tst_AdbStreams::RunBackup(const QString &strSerial, int nStreams, const QString &strDest, QString *pOutput) const
{
    QProcess tool;
    QProcessEnvironment env = m_pRig->Environment();
    // The same SDK data folder for both runs: its path is part of the package.
    env.insert("DVSK_SIM_USERDATA", m_dir.filePath("userdata/"));
    env.insert("PELORIX_HOST_SETTINGS", m_dir.filePath("host.ini"));
    env.insert("DVSK_ADB_STREAMS", QString::number(nStreams));
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QString::fromUtf8(kTool),
               {"run", "--device", "adb:" + strSerial, "--items", "media,music", "--full", "--dest", strDest});
    const bool bFinished = tool.waitForFinished(240000);
    *pOutput = QString::fromUtf8(tool.readAll());
    return bFinished && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

void tst_AdbStreams::sameBackupAsOneStream_data()
{
    QTest::addColumn<QStringList>("listSimulator");
    QTest::addColumn<int>("nStreams");
    QTest::newRow("default streams") << QStringList() << 0;
    QTest::newRow("latency, two streams") << QStringList{"--latency", "2"} << 2;
    QTest::newRow("slow link, latency, four streams")
            << QStringList{"--latency", "1", "--rate", "4000000"} << 4;
}

void tst_AdbStreams::sameBackupAsOneStream()
{
    QFETCH(QStringList, listSimulator);
    QFETCH(int, nStreams);
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, listSimulator);
    QVERIFY(!strSerial.isEmpty());
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QString strOne;
    QString strMany;
    const int nOne = RunBackup(strSerial, 1, out.filePath("one"), &strOne);
    const int nMany = RunBackup(strSerial, nStreams, out.filePath("many"), &strMany);
    // A refused and a vanished image: the images fail alike in both runs.
    QCOMPARE(nOne, 1);
    QCOMPARE(nMany, nOne);
    const QRegularExpression dated(QStringLiteral("\\d{4}\\D\\d\\d\\D\\d\\d(\\D\\d\\d\\D\\d\\d(\\D\\d\\d)?)?"));
    QCOMPARE(Summary(strMany, "/many"), Summary(strOne, "/one"));
    // The backup folder (files, media lists) and the package, each alike.
    const QStringList listOne = QDir(out.filePath("one")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList listMany = QDir(out.filePath("many")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(listOne.size(), 2);
    QCOMPARE(QString(listMany.join('|')).remove(dated), QString(listOne.join('|')).remove(dated));
    for (int i = 0; i < 2; ++i) {
        const QString strA = out.filePath("one/" + listOne.at(i));
        const QString strB = out.filePath("many/" + listMany.at(i));
        if (QFileInfo(strA).isDir()) {
            QMap<QString, QByteArray> mapOne = Tree(strA);
            QMap<QString, QByteArray> mapMany = Tree(strB);
            QCOMPARE(mapOne.size(), 40 + 2 + 12 + 3 + 1 + 3 + 1); // files, the three lists, the device file
            // The time of the backup is the one thing that may differ.
            for (QMap<QString, QByteArray> *pMap : {&mapOne, &mapMany})
                (*pMap)["Device.txt"] = QString::fromUtf8(pMap->value("Device.txt")).remove(dated).toUtf8();
            QVERIFY(mapMany == mapOne);
        } else {
            QMap<QString, QByteArray> mapOne = PackageEntries(strA, out.filePath("one-extracted"));
            QMap<QString, QByteArray> mapMany = PackageEntries(strB, out.filePath("many-extracted"));
            QVERIFY(mapOne.contains("Info.xml"));
            // The time of the backup is the one thing that may differ.
            for (QMap<QString, QByteArray> *pMap : {&mapOne, &mapMany})
                (*pMap)["Info.xml"] = QString::fromUtf8(pMap->value("Info.xml")).remove(dated).toUtf8();
            QCOMPARE(mapMany, mapOne);
        }
    }
    QVERIFY2(strMany.contains("IMG_015b.jpg") && strMany.contains("IMG_025b.jpg"), qPrintable(strMany));
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbStreams::skippedFilesAndOrder_data()
{
    // Which of the planned images the engine asks for, by position.
    QTest::addColumn<QString>("strWhich");
    QTest::newRow("every file") << "all";
    QTest::newRow("every third (a repeat backup)") << "third";
    QTest::newRow("last half only") << "half";
    QTest::newRow("backwards") << "backwards";
}

void tst_AdbStreams::skippedFilesAndOrder()
{
    QFETCH(QString, strWhich);
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, {"--latency", "1"});
    QVERIFY(!strSerial.isEmpty());
    std::unique_ptr<AdbDevice> pDevice = OpenDevice(strSerial, 4);
    QVERIFY(pDevice);
    const QStringList listPaths = PlannedPaths(*pDevice, 16);
    QCOMPARE(listPaths.size(), 40 + 4 + 12);
    QList<int> listWanted;
    for (int i = 0; i < listPaths.size(); ++i) {
        if (strWhich == "all" || (strWhich == "third" && i % 3 == 1) || (strWhich == "half" && i >= listPaths.size() / 2))
            listWanted << i;
        else if (strWhich == "backwards")
            listWanted.prepend(i);
    }
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    TestPhone phone(m_strPhone);
    QStringList listExpected;
    for (int i : listWanted) {
        const QString strPath = listPaths.at(i);
        const QString strLocal = out.filePath(QString::number(i));
        const int nResult = pDevice->GetFile(strLocal.toUtf8(), strPath.toUtf8(), 2);
        if (strPath.endsWith("IMG_015b.jpg")) {
            QCOMPARE(nResult, int(DVSK_DEV_ERR_PHONE_IO));
        } else if (strPath.endsWith("IMG_025b.jpg")) {
            QCOMPARE(nResult, int(DVSK_ERR_FILE_NOT_EXIST));
        } else {
            QCOMPARE(nResult, 0);
            QVERIFY2(FileBytes(strLocal) == FileBytes(phone.HostPath(strPath)), qPrintable(strPath));
            listExpected << QString::number(i);
        }
    }
    // Nothing but the files asked for: no temporary or fetched-ahead file.
    QStringList listFound = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
    std::sort(listExpected.begin(), listExpected.end());
    QCOMPARE(listFound, listExpected);
    pDevice.reset();
    m_pRig->Adb({"disconnect", strSerial});
}

std::unique_ptr<AdbDevice> tst_AdbStreams::OpenDevice(const QString &strSerial, int nStreams)
{
    qputenv("DVSK_ADB_STREAMS", QByteArray::number(nStreams));
    auto pDevice = std::make_unique<AdbDevice>(strSerial, m_pRig->ServerPort());
    qunsetenv("DVSK_ADB_STREAMS");
    QString strMessage;
    if (pDevice->Open(strMessage) != 0) {
        qWarning("%s", qPrintable(strMessage));
        return nullptr;
    }
    return pDevice;
}

void tst_AdbStreams::cancelEndsEveryStream()
{
    // A slow link: the images take about a minute, so the cancel comes while
    // files ahead are still on their way.
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, {"--rate", "20000", "--latency", "1"});
    QVERIFY(!strSerial.isEmpty());
    std::unique_ptr<AdbDevice> pDevice = OpenDevice(strSerial, 4);
    QVERIFY(pDevice);
    const QStringList listPaths = PlannedPaths(*pDevice, 16);
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    QCOMPARE(pDevice->GetFile(out.filePath("0").toUtf8(), listPaths.at(0).toUtf8(), 2), 0);
    int nResult = -1;
    std::thread copy([&]() {
        for (int i = 1; i < listPaths.size() && (nResult = pDevice->GetFile(out.filePath(QString::number(i)).toUtf8(), listPaths.at(i).toUtf8(), 2)) == 0; ++i) {
        }
    });
    // Several streams are open once the files ahead are being fetched.
    QTRY_VERIFY_WITH_TIMEOUT(m_pRig->SimulatorCommand(strSerial, "status").contains(QRegularExpression(" streams=[3-9] ")), 20000);
    pDevice->SetBackupCancel(1);
    copy.join();
    QCOMPARE(nResult, int(DVSK_DEV_ERR_CANCELLED));
    // Every stream on the phone ends, and only whole files are left.
    QTRY_VERIFY2_WITH_TIMEOUT(m_pRig->SimulatorCommand(strSerial, "status").contains(" streams=0 "),
                              qPrintable(m_pRig->SimulatorCommand(strSerial, "status")), 20000);
    const QStringList listLeft = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
    for (const QString &strName : listLeft)
        QVERIFY2(FileBytes(out.filePath(strName)) == FileBytes(TestPhone(m_strPhone).HostPath(listPaths.at(strName.toInt()))), qPrintable(strName));
    QVERIFY(listLeft.size() < listPaths.size());
    pDevice.reset();
    m_pRig->Adb({"disconnect", strSerial});
}

void tst_AdbStreams::unplugEndsEveryStream()
{
    const QString strSerial = m_pRig->StartSimulator(m_strPhone, {"--unplug-after-files", "6", "--latency", "1"});
    QVERIFY(!strSerial.isEmpty());
    std::unique_ptr<AdbDevice> pDevice = OpenDevice(strSerial, 4);
    QVERIFY(pDevice);
    const QStringList listPaths = PlannedPaths(*pDevice, 16);
    QTemporaryDir out;
    QVERIFY2(out.isValid(), qPrintable(out.errorString()));
    int nResult = 0;
    int nCopied = 0;
    for (; nCopied < listPaths.size(); ++nCopied) {
        nResult = pDevice->GetFile(out.filePath(QString::number(nCopied)).toUtf8(), listPaths.at(nCopied).toUtf8(), 2);
        if (nResult != 0)
            break;
    }
    QCOMPARE(nResult, int(DVSK_DEV_ERR_DISCONNECTED));
    QVERIFY2(nCopied <= 6, qPrintable(QString::number(nCopied)));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), nCopied);
    QTRY_VERIFY_WITH_TIMEOUT(m_pRig->SimulatorCommand(strSerial, "status").startsWith("connections=0 streams=0 "), 20000);
    pDevice.reset();
}

QTEST_GUILESS_MAIN(tst_AdbStreams)
#include "tst_adbstreams.moc"
