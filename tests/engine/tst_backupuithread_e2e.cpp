// A whole backup of the bundled sample phone with every item, through the
// worker thread as the wizard drives it: count, then back up.

#include "BackUpUILogic.h"
#include "BackUpUIThread.h"
#include "BackUpUIThreadCancel.h"
#include "Factory.h"
#include "MediaInfo.h"
#include "MyZip.h"
#include "PackageFixture.h"
#include "PackageVerifier.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <host/CommonUtils.h>

#include <QDir>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace
{
QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray Sha256(const QByteArray &baData)
{
    return QCryptographicHash::hash(baData, QCryptographicHash::Sha256).toHex();
}

// The package's decompressed bytes with each stored source path cut to its
// file name: the data folder of a test run is a fresh temporary folder, the
// rest of the package is the same on every run.
QByteArray PackageWithoutFolders(const QString &strPackage)
{
    constexpr int kFileCountAt = 64;
    constexpr int kNameAt = 4164;
    constexpr int kNameWidth = 260;
    QByteArray baData = PackageFixture::Gunzip(PackageFixture::ReadFile(strPackage));
    if (baData.size() < kNameAt + 1024 * kNameWidth)
        return QByteArray();
    const quint32 nFiles = qMin<quint32>(PackageFixture::GetU32(baData, kFileCountAt), 1024);
    for (quint32 i = 0; i < nFiles; ++i) {
        const int nAt = kNameAt + int(i) * kNameWidth;
        const QByteArray baName = PackageFixture::Text(baData, nAt, kNameWidth);
        QByteArray baField = baName.mid(baName.lastIndexOf('/') + 1);
        baField.append(QByteArray(kNameWidth - baField.size(), '\0'));
        baData.replace(nAt, kNameWidth, baField);
    }
    return baData;
}
} // namespace

class tst_BackUpUIThreadE2E : public QObject
{
    Q_OBJECT

private slots:
    void wholeSamplePhone();
};

void tst_BackUpUIThreadE2E::wholeSamplePhone()
{
    TestEnv env;
    QVERIFY2(env.IsValid(), "temporary folder");
    TestPhone::UseDefault();
    const TestPhone sample(TestEnv::SamplePhoneDir());
    QVERIFY2(QFileInfo::exists(sample.Dir() + "/phone.ini"), "the sample phone is built");

    BackUpUIThread *pWorker = BackUpUIThread::Instance();
    QSignalSpy counted(pWorker, &BackUpUIThread::signalsPluginCount);
    QSignalSpy finish(pWorker, &BackUpUIThread::signalsFinish);
    QSignalSpy cancelled(pWorker, &BackUpUIThread::signalBackupCancelSuccess);
    QSignalSpy increase(pWorker, &BackUpUIThread::signalIncreaseValue);

    BackUpThreadParam param;
    param.nMode = 3;
    pWorker->SetParam(param);
    pWorker->start();
    QTRY_VERIFY_WITH_TIMEOUT(!counted.isEmpty(), 10000);
    pWorker->wait();
    const QHash<int, structBackupID> counts = pWorker->GetModuleCounts();
    for (int nId : {0, 1, 29, 3, 4, 5, 6})
        QVERIFY2(counts.value(nId).nProNum > 0, qPrintable(QString::number(nId)));

    const QString strDest = env.Path(QStringLiteral("dest"));
    param.nMode = 1;
    for (int i = 0; i < BackupItems::kSlots; ++i)
        param.items.Slot(i) = true;
    param.items.bBookmark = false;
    param.strPath = strDest;
    pWorker->SetParam(param);
    const int nRange = pWorker->GetProgressTotal();
    pWorker->start();
    QTRY_VERIFY_WITH_TIMEOUT(!finish.isEmpty() || !cancelled.isEmpty(), 30000);
    pWorker->wait();
    QCoreApplication::processEvents();
    QCOMPARE(cancelled.count(), 0);
    QCOMPARE(finish.count(), 1);
    QCOMPARE(finish.at(0).at(0).toInt(), 0);
    QVERIFY(pWorker->IsFinished());

    // The progress events add up to about the range.
    double dProgress = 0.0;
    for (const QList<QVariant> &args : increase)
        dProgress += args.at(0).toFloat();
    QVERIFY2(dProgress > 0.5 * nRange && dProgress < 1.2 * nRange,
             qPrintable(QStringLiteral("%1 of %2").arg(dProgress).arg(nRange)));

    // The package, under the run name, with every entry and count.
    Factory *pFactory = Factory::ExistingInstance();
    const QString strPackage = pFactory->GetPackagePath();
    const QString strFolder = pFactory->GetBackupFolder();
    QVERIFY(strPackage.startsWith(strDest + "/backup_Corvo X5_"));
    QCOMPARE(strPackage, strFolder + ".zip");
    QCOMPARE(QDir(strDest).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
    PackageVerifier verifier;
    QVERIFY2(verifier.Verify(strPackage.toLocal8Bit().constData()), qPrintable(verifier.Problems().join(';')));
    QStringList listNames;
    for (const PackageVerifier::Entry &entry : verifier.Entries())
        listNames << QFileInfo(QString::fromLocal8Bit(entry.baName)).fileName();
    QCOMPARE(listNames, (QStringList{"Info.xml", "PB.zip", "SMS.zip", "MMS.zip", "APK.zip", "APKDATA.zip",
                                     "IMAGE.zip", "VIDEO.zip", "AUDIO.zip", "CALLLOG.zip", "CALENDAR.zip",
                                     "EMAIL.zip"}));
    MyZip zip;
    QList<QByteArray> listHeadNames;
    quint32 nCounts[20] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead(strPackage.toLocal8Bit().constData(), listHeadNames, nCounts, baDevice);
    const BackupCounts done = pFactory->GetBackedUpCounts();
    QCOMPARE(int(nCounts[0]), counts.value(0).nProNum);
    QCOMPARE(int(nCounts[1]), counts.value(24).nProNum);
    QCOMPARE(int(nCounts[19]), counts.value(27).nProNum);
    QCOMPARE(int(nCounts[16]), counts.value(25).nProNum);
    QCOMPARE(int(nCounts[17]), counts.value(26).nProNum);
    QCOMPARE(int(nCounts[18]), counts.value(5).nProNum);
    QCOMPARE(int(nCounts[4]), counts.value(29).nProNum);
    QCOMPARE(int(nCounts[10]), done[BackupCounts::APKData]);
    QCOMPARE(QString::fromLocal8Bit(baDevice).section(QChar(0x10), 0, 0), QStringLiteral("Corvo X5"));

    // The record entries are the phone's result files, byte for byte.
    QTemporaryDir extracted;
    QVERIFY(extracted.isValid());
    QVERIFY(zip.UnZipPkg(strPackage.toLocal8Bit().constData(), extracted.path().toLocal8Bit().constData()));
    QCOMPARE(ReadAll(extracted.filePath("PB.zip")), ReadAll(sample.Dir() + "/records/contacts.vcf"));
    QCOMPARE(ReadAll(extracted.filePath("EMAIL.zip")), ReadAll(sample.Dir() + "/records/email.mbox"));

    // The backup folder: the four folders, the media lists, and every copied
    // file equal to the phone's.
    for (const char *szFolder : {"APK", "Image", "Video", "Audio"})
        QVERIFY2(QFileInfo(strFolder + '/' + szFolder).isDir(), szFolder);
    int nMediaFiles = 0;
    for (const char *szList : {"Image/ImageList.xml", "Video/VideoList.xml", "Audio/AudioList.xml"}) {
        QList<MediaInfo> listMedia;
        QVERIFY2(g_ReadMediaList(strFolder + '/' + szList, listMedia), szList);
        const QString strMediaFolder = QFileInfo(strFolder + '/' + szList).absolutePath();
        for (const MediaInfo &media : std::as_const(listMedia)) {
            QCOMPARE(ReadAll(strMediaFolder + '/' + media.pcname), ReadAll(sample.HostPath(media.phpath)));
            ++nMediaFiles;
        }
    }
    QCOMPARE(nMediaFiles, counts.value(4).nProNum + counts.value(5).nProNum);
    QDirIterator apps(sample.Dir() + "/fs/data/app", {"*.apk"});
    int nApps = 0;
    while (apps.hasNext()) {
        const QString strApk = apps.next();
        QCOMPARE(ReadAll(strFolder + "/APK/" + QFileInfo(strApk).fileName()), ReadAll(strApk));
        ++nApps;
    }
    QCOMPARE(nApps, counts.value(29).nProNum);
    QVERIFY(QFileInfo(strFolder + "/APK/APPDATA.zip").size() > 0);

    // What the backup writes stays byte for byte what it was: the package
    // (stored source folders aside), its Info.xml and the media lists.
    const QList<QPair<QString, QByteArray>> listExpected = {
        {"package", "764f85f6d15ea7f86a082ca21ef2664061c45b607cd77004b642e9a695a70211"},
        {"Info.xml", "d85a5de1bdf1444ccd71cef0c5fb267f87aa04fee0a5d5149b52982c06ac4f92"},
        {"ImageList.xml", "89eb68303a2f9ab9c3636442f60646eef59637b1c048af9536610914e9ef9176"},
        {"VideoList.xml", "55a610846f3c5b68b962bd5159da1b53e9d753b0960094f2c58e896da18d8f93"},
        {"AudioList.xml", "7c31659d0893a8a4704d904ef1e0035921a08f650bbcd0edb086d0317a31f704"},
    };
    const QHash<QString, QByteArray> hashActual = {
        {"package", Sha256(PackageWithoutFolders(strPackage))},
        {"Info.xml", Sha256(ReadAll(extracted.filePath("Info.xml")))},
        {"ImageList.xml", Sha256(ReadAll(strFolder + "/Image/ImageList.xml"))},
        {"VideoList.xml", Sha256(ReadAll(strFolder + "/Video/VideoList.xml"))},
        {"AudioList.xml", Sha256(ReadAll(strFolder + "/Audio/AudioList.xml"))},
    };
    for (const auto &expected : listExpected)
        QVERIFY2(hashActual.value(expected.first) == expected.second,
                 qPrintable(expected.first + ": " + hashActual.value(expected.first)));

    // Nothing temporary is left in the data folder; the setting is written.
    QCOMPARE(QDir(env.UserDataDir()).entryList({"*.zip"}, QDir::Files), QStringList());
    QCOMPARE(CommonUtils::GetSettings("BackUpUIPlugin", "BackupTmpFile"), QStringLiteral("1"));

    BackUpUIThreadCancel::DestroyInstance();
    BackUpUIThread::DestroyInstance();
    Factory::DestroyInstance();
}

QTEST_GUILESS_MAIN(tst_BackUpUIThreadE2E)
#include "tst_backupuithread_e2e.moc"
