// The restore engine against a phone kept in memory: what the planner
// decides for each kind and file, and what the runner reports for what the
// phone took, refused, or never saw (cancel, unplug, a full phone). The
// backups are real ones, written by backuptool from fixture phones.

#include "ApkVersionReader.h"
#include "BackupCatalog.h"
#include "BackUpUILogic.h"
#include "BackupKinds.h"
#include "BackupRecords.h"
#include "Factory.h"
#include "FactoryFixture.h"
#include "InterruptedRun.h"
#include "PackageFixture.h"
#include "RecordExport.h"
#include "RestorePlanner.h"
#include "RestoreRunner.h"
#include "RestoreSource.h"
#include "RunState.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <sdk/dvsk_device.h>
#include <sdk/dvsk_restore.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QWaitCondition>
#include <QtEndian>

#include <zlib.h>

namespace
{
using Action = RestorePlan::Action;
using Stat = RestoreDevice::Stat;
using PhoneFiles = QList<QPair<QString, RestoreDevice::Stat>>;

const qint64 kTime = 1700000000; // the fixture files' modification time

// A phone in memory: its files, apps and what its record calls answer.
class FakePhone : public RestoreDevice
{
public:
    QHash<QString, Stat> files;
    QHash<QString, qint64> apps;
    QHash<int, QString> recordsRefused; // type -> reason
    QHash<QString, QString> putRefused; // phone path -> the phone's reason
    QHash<QString, QString> installRefused;
    int nNoSpaceAfter = -1;             // files taken before the phone is full
    int nPutResult = 0;                 // what PutFiles returns besides
    bool bBlockInPut = false;           // PutFiles waits for a cancel
    QStringList listPut;                // phone paths written
    QStringList listInstalled;
    QStringList listScanned;
    QList<int> listRecordTypes;

    int StatFiles(const QStringList &listPaths, QList<Stat> &listStats) override
    {
        listStats.clear();
        for (const QString &strPath : listPaths)
            listStats << files.value(strPath);
        return 0;
    }
    int PutFiles(const QList<Job> &listJobs, const FileCallback &callback) override
    {
        if (bBlockInPut) {
            QMutexLocker locker(&m_mutex);
            m_bBlocked = true;
            while (!m_bCancelled)
                m_wait.wait(&m_mutex);
            return DVSK_DEV_ERR_CANCELLED;
        }
        for (int i = 0; i < listJobs.size(); ++i) {
            const Job &job = listJobs.at(i);
            if (nNoSpaceAfter >= 0 && listPut.size() >= nNoSpaceAfter) {
                callback(i, DVSK_RESTORE_ERR_NO_SPACE, 0, QStringLiteral("No space left on device"));
                return DVSK_RESTORE_ERR_NO_SPACE;
            }
            if (putRefused.contains(job.strPhonePath)) {
                callback(i, DVSK_RESTORE_ERR_REFUSED, 0, putRefused.value(job.strPhonePath));
                continue;
            }
            const qint64 nSize = QFileInfo(job.strLocal).size();
            callback(i, -1, nSize / 2, QString());
            files.insert(job.strPhonePath, Stat{Stat::File, nSize, job.nModified});
            listPut << job.strPhonePath;
            callback(i, 0, nSize, QString());
        }
        return nPutResult;
    }
    int ScanMedia(const QStringList &listPaths) override
    {
        listScanned += listPaths;
        return 0;
    }
    int AppVersions(QHash<QString, qint64> &hashVersions) override
    {
        hashVersions = apps;
        return 0;
    }
    int InstallApp(const QStringList &listApks, QString &strMessage) override
    {
        const QString strPackage = QFileInfo(listApks.value(0)).completeBaseName();
        if (installRefused.contains(strPackage)) {
            strMessage = installRefused.value(strPackage);
            return DVSK_RESTORE_ERR_REFUSED;
        }
        strMessage = QStringLiteral("Success");
        listInstalled << strPackage;
        apps.insert(strPackage, ApkVersionReader::VersionCode(listApks.value(0)));
        return 0;
    }
    int RecordsAvailable(int nType, QString &strReason) override
    {
        strReason = recordsRefused.value(nType);
        return strReason.isEmpty() ? 0 : DVSK_RESTORE_ERR_NOT_RESTORABLE;
    }
    int Records(int nType, const QString &, RecordCounts &counts, QString &) override
    {
        listRecordTypes << nType;
        counts.nRestored = 3;
        return 0;
    }
    void Cancel() override
    {
        QMutexLocker locker(&m_mutex);
        m_bCancelled = true;
        m_wait.wakeAll();
    }
    void ResetCancel() override
    {
        QMutexLocker locker(&m_mutex);
        m_bCancelled = false;
    }
    bool IsBlocked()
    {
        QMutexLocker locker(&m_mutex);
        return m_bBlocked;
    }

private:
    QMutex m_mutex;
    QWaitCondition m_wait;
    bool m_bCancelled = false;
    bool m_bBlocked = false;
};

QByteArray U16(quint16 n)
{
    QByteArray ba(2, '\0');
    qToLittleEndian(n, ba.data());
    return ba;
}

QByteArray U32(quint32 n)
{
    QByteArray ba(4, '\0');
    qToLittleEndian(n, ba.data());
    return ba;
}

// A zip archive with one stored entry.
QByteArray StoredZip(const QByteArray &baName, const QByteArray &baData)
{
    const quint32 nCrc = quint32(crc32(0, reinterpret_cast<const Bytef *>(baData.constData()), uInt(baData.size())));
    const QByteArray baCommon = U16(20) + U16(0) + U16(0) + U16(0) + U16(0) + U32(nCrc) + U32(quint32(baData.size()))
                                + U32(quint32(baData.size())) + U16(quint16(baName.size())) + U16(0);
    const QByteArray baLocal = U32(0x04034b50) + baCommon + baName + baData;
    const QByteArray baCentral = U32(0x02014b50) + U16(20) + baCommon + U16(0) + U16(0) + U16(0) + U32(0) + U32(0)
                                 + baName;
    return baLocal + baCentral + U32(0x06054b50) + U16(0) + U16(0) + U16(1) + U16(1)
           + U32(quint32(baCentral.size())) + U32(quint32(baLocal.size())) + U16(0);
}

QByteArray TextManifest(qint64 nVersion)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<manifest xmlns:android=\"http://schemas.android.com/apk/res/"
                          "android\" package=\"p\" android:versionCode=\"%1\"/>\n")
        .arg(nVersion)
        .toUtf8();
}

// The compiled manifest a phone installs: a string pool, the attributes'
// resource ids and the root element with versionCode as a typed integer.
QByteArray BinaryManifest(quint32 nVersion, bool bWithIds)
{
    QByteArray baStrings;
    QList<quint32> listOffsets;
    for (const QString &str : {QStringLiteral("versionCode"), QStringLiteral("manifest")}) {
        listOffsets << quint32(baStrings.size());
        baStrings += U16(quint16(str.size()));
        for (QChar c : str)
            baStrings += U16(c.unicode());
        baStrings += U16(0);
    }
    while (baStrings.size() % 4)
        baStrings += '\0';
    QByteArray baPool = U32(2) + U32(0) + U32(0) + U32(28 + 8) + U32(0) + U32(listOffsets.at(0)) + U32(listOffsets.at(1))
                        + baStrings;
    baPool = U16(0x0001) + U16(28) + U32(quint32(8 + baPool.size())) + baPool;
    const QByteArray baIds = bWithIds ? U16(0x0180) + U16(8) + U32(12) + U32(0x0101021b) : QByteArray();
    const QByteArray baAttribute = U32(0xffffffff) + U32(0) + U32(0xffffffff) + U16(8) + QByteArray(1, '\0')
                                   + QByteArray(1, '\x10') + U32(nVersion);
    const QByteArray baElement = U16(0x0102) + U16(16) + U32(16 + 20 + 20) + U32(1) + U32(0xffffffff) + U32(0xffffffff)
                                 + U32(1) + U16(20) + U16(20) + U16(1) + U16(0) + U16(0) + U16(0) + baAttribute;
    const QByteArray baBody = baPool + baIds + baElement;
    return U16(0x0003) + U16(8) + U32(quint32(8 + baBody.size())) + baBody;
}

const RestorePlan::Kind *KindOf(const RestorePlan &plan, int nCode)
{
    for (const RestorePlan::Kind &kind : plan.kinds) {
        if (kind.nCode == nCode)
            return &kind;
    }
    return nullptr;
}

const RestorePlan::Item *ItemOf(const RestorePlan::Kind *pKind, const QString &strName)
{
    for (const RestorePlan::Item &item : pKind->items) {
        if (item.strName == strName)
            return &item;
    }
    return nullptr;
}
} // namespace

class tst_RestoreEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void phonePaths_data();
    void phonePaths();
    void apkVersion_data();
    void apkVersion();

    void recordFormats_data();
    void recordFormats();

    void planOnEmptyPhone();
    void mediaAlreadyThere_data();
    void mediaAlreadyThere();
    void twoClashesTakeDifferentNames();
    void apps_data();
    void apps();
    void recordsRefusedByPhone();

    void runReportsWhatThePhoneTook();
    void runAgainChangesNothing();
    void startsAgainAsSoonAsFinished();
    void phoneRefusals_data();
    void phoneRefusals();
    void dryRunWritesNothing();
    void damagedPackageRefused();
    void interruptedBackupInCatalog_data();
    void interruptedBackupInCatalog();
    void stops_data();
    void stops();

private:
    RestorePlan PlanOn(FakePhone &phone, const QList<int> &listCodes = {});
    RestoreSummary RunOn(FakePhone &phone, const QString &strBackup, bool bDryRun = false);

    TestEnv m_env;
    QString m_strPackage;
    QString m_strFolder;
};

void tst_RestoreEngine::initTestCase()
{
    QVERIFY2(m_env.IsValid(), "no temporary folder");
    TestPhone phone(m_env.Path(QStringLiteral("phone")));
    phone.SetRecords(MODULE_PB, 3);
    phone.SetRecords(MODULE_SMS, 2);
    phone.SetRecords(MODULE_CALLLOG, 4);
    const QStringList listMedia = {QStringLiteral("/sdcard/DCIM/Camera/a.jpg"), QStringLiteral("/sdcard/DCIM/Camera/b.jpg"),
                                   QStringLiteral("/sdcard/Android/data/com.example.x/files/c.jpg"),
                                   QStringLiteral("/sdcard/Movies/m.mp4"), QStringLiteral("/sdcard/Music/s.mp3")};
    for (int i = 0; i < listMedia.size(); ++i) {
        const QString strHost = phone.AddFile(listMedia.at(i), 1000 + i);
        QFile file(strHost);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(kTime), QFileDevice::FileModificationTime));
    }
    phone.AddFile(QStringLiteral("/data/app/com.example.text.apk"), StoredZip("AndroidManifest.xml", TextManifest(7)));
    phone.AddFile(QStringLiteral("/data/app/com.example.binary.apk"),
                  StoredZip("AndroidManifest.xml", BinaryManifest(12, true)));
    BackupItems items;
    for (const BackupTile &tile : BackupKinds::Tiles()) {
        if (tile.nId != 3) // no application data on this phone
            BackupKinds::SelectTile(tile.nId, items);
    }
    RunState::Set(0);
    Factory *pFactory = FactoryFixture::Prepare(phone, items);
    QVERIFY(pFactory);
    QCOMPARE(pFactory->BackUp(m_env.Path(QStringLiteral("backups"))), 0);
    m_strPackage = pFactory->GetPackagePath();
    m_strFolder = pFactory->GetBackupFolder();
    Factory::DestroyInstance();
    QVERIFY(QFileInfo(m_strPackage).isFile());
    QVERIFY(QFileInfo(m_strFolder).isDir());
}

void tst_RestoreEngine::phonePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<bool>("privateFolder");
    QTest::addColumn<QString>("numbered");
    QTest::newRow("camera") << "/sdcard/DCIM/a.jpg" << true << false << "/sdcard/DCIM/a (1).jpg";
    QTest::newRow("no extension") << "/sdcard/notes" << true << false << "/sdcard/notes (1)";
    QTest::newRow("two dots") << "/sdcard/a.b.mp3" << true << false << "/sdcard/a.b (1).mp3";
    QTest::newRow("app data") << "/sdcard/Android/data/com.x/f.jpg" << true << true << "/sdcard/Android/data/com.x/f (1).jpg";
    QTest::newRow("obb any case") << "/storage/emulated/0/android/OBB/x.obb" << true << true
                                  << "/storage/emulated/0/android/OBB/x (1).obb";
    QTest::newRow("media is shared") << "/sdcard/Android/media/x.jpg" << true << false << "/sdcard/Android/media/x (1).jpg";
    QTest::newRow("relative") << "DCIM/a.jpg" << false << false << "DCIM/a (1).jpg";
    QTest::newRow("climbs out") << "/sdcard/../data/a.jpg" << false << false << "/sdcard/../data/a (1).jpg";
    QTest::newRow("line break") << "/sdcard/a\n.jpg" << false << false << "/sdcard/a\n (1).jpg";
}

void tst_RestoreEngine::phonePaths()
{
    QFETCH(QString, path);
    QFETCH(bool, usable);
    QFETCH(bool, privateFolder);
    QFETCH(QString, numbered);
    QCOMPARE(RestorePlanner::IsUsablePhonePath(path), usable);
    QCOMPARE(RestorePlanner::IsPrivateAppPath(path), privateFolder);
    QCOMPARE(RestorePlanner::NumberedPath(path, 1), numbered);
}

void tst_RestoreEngine::apkVersion_data()
{
    QTest::addColumn<QByteArray>("apk");
    QTest::addColumn<qint64>("version");
    QTest::newRow("text manifest") << StoredZip("AndroidManifest.xml", TextManifest(41)) << qint64(41);
    QTest::newRow("binary, by resource id") << StoredZip("AndroidManifest.xml", BinaryManifest(305419896, true))
                                            << qint64(305419896);
    QTest::newRow("binary, by name") << StoredZip("AndroidManifest.xml", BinaryManifest(9, false)) << qint64(9);
    QTest::newRow("no manifest") << StoredZip("classes.dex", "dex\n035") << qint64(-1);
    QTest::newRow("not a zip") << QByteArray("PK\x03\x04 and then nothing") << qint64(-1);
    QTest::newRow("cut binary manifest") << StoredZip("AndroidManifest.xml", BinaryManifest(9, true).left(60))
                                         << qint64(-1);
    QByteArray baHostile = StoredZip("AndroidManifest.xml", TextManifest(3));
    // The central directory claims a manifest far larger than the file.
    baHostile.replace(int(baHostile.indexOf("PK\x01\x02")) + 24, 4, U32(0x7fffffff));
    QTest::newRow("declared size too large") << baHostile << qint64(-1);
}

void tst_RestoreEngine::apkVersion()
{
    QFETCH(QByteArray, apk);
    QFETCH(qint64, version);
    const QString strApk = m_env.Path(QStringLiteral("probe.apk"));
    QVERIFY(PackageFixture::WriteFile(strApk, apk));
    QCOMPARE(ApkVersionReader::VersionCode(strApk), version);
}

void tst_RestoreEngine::recordFormats_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("format");
    using F = RecordExport::Format;
    QTest::newRow("vCard") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n") << int(F::VCard);
    QTest::newRow("vCard after a byte-order mark and blank lines")
        << QByteArray("\xEF\xBB\xBF\r\n\r\nbegin:vcard\r\n") << int(F::VCard);
    QTest::newRow("iCalendar") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n") << int(F::ICalendar);
    QTest::newRow("call log") << QByteArray("<?xml version=\"1.0\"?>\n<calls count=\"1\">\n<call number=\"1\"/>")
                              << int(F::CallLogXml);
    QTest::newRow("text messages") << QByteArray("<smses>") << int(F::SmsXml);
    QTest::newRow("multimedia messages") << QByteArray("<?xml version=\"1.0\"?><!-- x --><mmses>") << int(F::MmsXml);
    QTest::newRow("mailbox") << QByteArray("From a@b.c Sun Mar 03 15:00:00 2024\n") << int(F::Other);
    QTest::newRow("other XML") << QByteArray("<bookmarks/>") << int(F::Other);
    QTest::newRow("empty") << QByteArray() << int(F::Other);
}

void tst_RestoreEngine::recordFormats()
{
    QFETCH(QByteArray, content);
    QFETCH(int, format);
    const QString strFile = m_env.Path(QStringLiteral("record.dat"));
    QVERIFY(PackageFixture::WriteFile(strFile, content));
    QCOMPARE(int(RecordExport::Detect(strFile)), format);
}

RestorePlan tst_RestoreEngine::PlanOn(FakePhone &phone, const QList<int> &listCodes)
{
    RestoreSource source;
    QString strError;
    if (!source.Open(m_strPackage, strError))
        qWarning("cannot open the backup: %s", qPrintable(strError));
    RestorePlan plan;
    RestorePlanner(phone).Plan(source, listCodes, plan);
    return plan;
}

void tst_RestoreEngine::planOnEmptyPhone()
{
    FakePhone phone;
    const RestorePlan plan = PlanOn(phone);
    const RestorePlan::Kind *pImages = KindOf(plan, MODULE_IMAGE);
    QVERIFY(pImages);
    QCOMPARE(pImages->CountOf(Action::Restore), 2);
    const RestorePlan::Item *pPrivate = ItemOf(pImages, QStringLiteral("/sdcard/Android/data/com.example.x/files/c.jpg"));
    QVERIFY(pPrivate);
    QCOMPARE(pPrivate->action, Action::NotRestorable);
    const RestorePlan::Item *pA = ItemOf(pImages, QStringLiteral("/sdcard/DCIM/Camera/a.jpg"));
    QVERIFY(pA);
    QCOMPARE(pA->strTarget, pA->strName);
    QCOMPARE(pA->nModified, kTime);
    QCOMPARE(pA->nSize, qint64(1000));
    QCOMPARE(KindOf(plan, MODULE_VIDEO)->CountOf(Action::Restore), 1);
    QCOMPARE(KindOf(plan, MODULE_AUDIO)->CountOf(Action::Restore), 1);
    QCOMPARE(KindOf(plan, MODULE_APK)->CountOf(Action::Restore), 2);
    QCOMPARE(KindOf(plan, MODULE_PB)->action, Action::Restore);
    QVERIFY(!KindOf(plan, MODULE_PB)->strRecordFile.isEmpty());
    QCOMPARE(KindOf(plan, MODULE_PB)->nBackedUp, 3);
    for (int nCode : {MODULE_SMS}) {
        const RestorePlan::Kind *pKind = KindOf(plan, nCode);
        QVERIFY2(pKind, qPrintable(QString::number(nCode)));
        QCOMPARE(pKind->action, Action::NotRestorable);
        QCOMPARE(pKind->strWhy, QStringLiteral("needs an app on the phone"));
    }
    // The fixture phone has no calendar: the backup does not hold one.
    QVERIFY(!KindOf(plan, MODULE_CALENDAR));
    QCOMPARE(plan.FilesToSend(), 6);
}

void tst_RestoreEngine::mediaAlreadyThere_data()
{
    QTest::addColumn<PhoneFiles>("onPhone");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("target");
    const QString strA = QStringLiteral("/sdcard/DCIM/Camera/a.jpg");
    const QString strA1 = QStringLiteral("/sdcard/DCIM/Camera/a (1).jpg");
    const QString strA2 = QStringLiteral("/sdcard/DCIM/Camera/a (2).jpg");
    const Stat same{Stat::File, 1000, kTime};
    const Stat otherSize{Stat::File, 999, kTime};
    const Stat otherTime{Stat::File, 1000, kTime + 1};
    const Stat folder{Stat::Other, -1, -1};
    QTest::newRow("nothing there") << PhoneFiles{} << int(Action::Restore) << strA;
    QTest::newRow("same file") << PhoneFiles{{strA, same}} << int(Action::AlreadyThere) << strA;
    QTest::newRow("other size") << PhoneFiles{{strA, otherSize}} << int(Action::Restore) << strA1;
    QTest::newRow("other time") << PhoneFiles{{strA, otherTime}} << int(Action::Restore) << strA1;
    QTest::newRow("a folder there") << PhoneFiles{{strA, folder}} << int(Action::Restore) << strA1;
    QTest::newRow("first free name taken") << PhoneFiles{{strA, otherSize}, {strA1, otherTime}}
                                           << int(Action::Restore) << strA2;
    QTest::newRow("restored earlier under a free name")
        << PhoneFiles{{strA, otherSize}, {strA1, same}} << int(Action::AlreadyThere) << strA1;
}

void tst_RestoreEngine::mediaAlreadyThere()
{
    QFETCH(PhoneFiles, onPhone);
    QFETCH(int, action);
    QFETCH(QString, target);
    FakePhone phone;
    for (const auto &file : onPhone)
        phone.files.insert(file.first, file.second);
    const RestorePlan plan = PlanOn(phone, {MODULE_IMAGE});
    QCOMPARE(plan.kinds.size(), 1);
    const RestorePlan::Item *pA = ItemOf(&plan.kinds.first(), QStringLiteral("/sdcard/DCIM/Camera/a.jpg"));
    QVERIFY(pA);
    QCOMPARE(int(pA->action), action);
    if (pA->action == Action::Restore)
        QCOMPARE(pA->strTarget, target);
    else if (target != pA->strName)
        QVERIFY2(pA->strWhy.contains(target), qPrintable(pA->strWhy));
}

void tst_RestoreEngine::twoClashesTakeDifferentNames()
{
    // b.jpg's numbered name must not be the one a.jpg's clash could take:
    // each keeps its own base, and no target is planned twice.
    FakePhone phone;
    phone.files.insert(QStringLiteral("/sdcard/DCIM/Camera/a.jpg"), Stat{Stat::File, 1, 1});
    phone.files.insert(QStringLiteral("/sdcard/DCIM/Camera/b.jpg"), Stat{Stat::File, 1, 1});
    const RestorePlan plan = PlanOn(phone, {MODULE_IMAGE});
    QStringList listTargets;
    for (const RestorePlan::Item &item : plan.kinds.first().items) {
        if (item.action == Action::Restore)
            listTargets << item.strTarget;
    }
    listTargets.sort();
    QCOMPARE(listTargets, (QStringList{QStringLiteral("/sdcard/DCIM/Camera/a (1).jpg"),
                                       QStringLiteral("/sdcard/DCIM/Camera/b (1).jpg")}));
}

void tst_RestoreEngine::apps_data()
{
    QTest::addColumn<qint64>("installed"); // -1: not installed
    QTest::addColumn<int>("action");
    QTest::newRow("not installed") << qint64(-1) << int(Action::Restore);
    QTest::newRow("older installed") << qint64(11) << int(Action::Restore);
    QTest::newRow("same installed") << qint64(12) << int(Action::AlreadyThere);
    QTest::newRow("newer installed") << qint64(13) << int(Action::AlreadyThere);
}

void tst_RestoreEngine::apps()
{
    QFETCH(qint64, installed);
    QFETCH(int, action);
    FakePhone phone;
    if (installed >= 0)
        phone.apps.insert(QStringLiteral("com.example.binary"), installed);
    const RestorePlan plan = PlanOn(phone, {MODULE_APK});
    const RestorePlan::Item *pApp = ItemOf(&plan.kinds.first(), QStringLiteral("com.example.binary"));
    QVERIFY(pApp);
    QCOMPARE(pApp->nVersion, qint64(12));
    QCOMPARE(int(pApp->action), action);
}

void tst_RestoreEngine::recordsRefusedByPhone()
{
    FakePhone phone;
    phone.recordsRefused.insert(MODULE_CALLLOG, QStringLiteral("Android 12 or newer"));
    const RestorePlan plan = PlanOn(phone, {MODULE_PB, MODULE_CALLLOG, MODULE_CALENDAR});
    QCOMPARE(KindOf(plan, MODULE_PB)->action, Action::Restore);
    QCOMPARE(KindOf(plan, MODULE_CALLLOG)->action, Action::NotRestorable);
    QCOMPARE(KindOf(plan, MODULE_CALLLOG)->strWhy, QStringLiteral("Android 12 or newer"));
    // Asked for but not in the backup: said so, not an error.
    QCOMPARE(KindOf(plan, MODULE_CALENDAR)->action, Action::NotRestorable);
    QCOMPARE(KindOf(plan, MODULE_CALENDAR)->strWhy, QStringLiteral("not in this backup"));
}

RestoreSummary tst_RestoreEngine::RunOn(FakePhone &phone, const QString &strBackup, bool bDryRun)
{
    RestoreRunner runner(phone);
    QSignalSpy spyFinished(&runner, &RestoreRunner::signalFinished);
    runner.Start(strBackup, {}, bDryRun);
    // The worker may finish before the spy would start waiting.
    if (!QTest::qWaitFor([&] { return !spyFinished.isEmpty(); }, 60000))
        qWarning("the restore did not finish");
    runner.Wait();
    return spyFinished.isEmpty() ? RestoreSummary() : spyFinished.first().first().value<RestoreSummary>();
}

void tst_RestoreEngine::startsAgainAsSoonAsFinished()
{
    // Whoever hears that the dry run ended may start the restore at once,
    // while the dry run's thread is still ending: it starts all the same.
    FakePhone phone;
    RestoreRunner runner(phone);
    QSemaphore semHeard;
    QSemaphore semGoOn;
    const QMetaObject::Connection held = connect(
        &runner, &RestoreRunner::signalFinished, this,
        [&]() {
            semHeard.release();
            semGoOn.acquire();
        },
        Qt::DirectConnection);
    QVERIFY(runner.Start(m_strFolder, {}, true));
    QVERIFY(semHeard.tryAcquire(1, 60000));
    // The worker is still inside signalFinished, its thread running.
    const bool bRunning = runner.IsRunning();
    disconnect(held);
    semGoOn.release();
    QVERIFY(!bRunning);
    QSignalSpy spyFinished(&runner, &RestoreRunner::signalFinished);
    QVERIFY(runner.Start(m_strFolder, {}, false));
    QTRY_COMPARE_WITH_TIMEOUT(spyFinished.size(), 1, 60000);
    runner.Wait();
    QCOMPARE(spyFinished.first().first().value<RestoreSummary>().end, RestoreSummary::End::Completed);
    QCOMPARE(phone.listPut.size(), 4);
}

void tst_RestoreEngine::runReportsWhatThePhoneTook()
{
    FakePhone phone;
    const RestoreSummary summary = RunOn(phone, m_strFolder);
    QCOMPARE(summary.end, RestoreSummary::End::Completed);
    QCOMPARE(summary.ExitStatusCode(), 0);
    QCOMPARE(phone.listPut.size(), 4);
    QCOMPARE(phone.listInstalled.size(), 2);
    QCOMPARE(phone.listRecordTypes, (QList<int>{MODULE_PB, MODULE_CALLLOG}));
    phone.listScanned.sort();
    QStringList listPut = phone.listPut;
    listPut.sort();
    QCOMPARE(phone.listScanned, listPut);
    RestoreSummary copy = summary;
    QCOMPARE(copy.Find(MODULE_IMAGE)->nRestored, 2);
    QCOMPARE(copy.Find(MODULE_IMAGE)->nNotRestorable, 1);
    QCOMPARE(copy.Find(MODULE_PB)->nRestored, 3);
    QVERIFY(copy.Find(MODULE_SMS)->bNotRestorable);
    const QString strText = summary.Lines().join(QLatin1Char('\n'));
    QVERIFY2(strText.contains(QStringLiteral("sms:")) && strText.contains(QStringLiteral("needs an app on the phone")),
             qPrintable(strText));
}

void tst_RestoreEngine::runAgainChangesNothing()
{
    FakePhone phone;
    QCOMPARE(RunOn(phone, m_strPackage).ExitStatusCode(), 0);
    phone.listPut.clear();
    phone.listInstalled.clear();
    RestoreSummary second = RunOn(phone, m_strPackage);
    QCOMPARE(second.ExitStatusCode(), 0);
    QVERIFY(phone.listPut.isEmpty());
    QVERIFY(phone.listInstalled.isEmpty());
    QCOMPARE(second.Find(MODULE_IMAGE)->nSkipped, 2);
    QCOMPARE(second.Find(MODULE_IMAGE)->nRestored, 0);
    QCOMPARE(second.Find(MODULE_APK)->nSkipped, 2);
}

void tst_RestoreEngine::phoneRefusals_data()
{
    QTest::addColumn<int>("noSpaceAfter");
    QTest::addColumn<QString>("refusedPath");
    QTest::addColumn<QString>("refusedApp");
    QTest::addColumn<int>("imagesRestored");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file refused") << -1 << "/sdcard/DCIM/Camera/b.jpg" << QString() << 1
                                    << "couldn't create file: Permission denied";
    QTest::newRow("full after one file") << 1 << QString() << QString() << 1 << "b.jpg: no space on the phone";
    QTest::newRow("full at once") << 0 << QString() << QString() << 0 << "b.jpg: not attempted: no space on the phone";
    QTest::newRow("install refused") << -1 << QString() << "com.example.text" << 2
                                     << "Failure [INSTALL_FAILED_OLDER_SDK: Requires newer sdk]";
}

void tst_RestoreEngine::phoneRefusals()
{
    QFETCH(int, noSpaceAfter);
    QFETCH(QString, refusedPath);
    QFETCH(QString, refusedApp);
    QFETCH(int, imagesRestored);
    QFETCH(QString, reason);
    FakePhone phone;
    phone.nNoSpaceAfter = noSpaceAfter;
    if (!refusedPath.isEmpty())
        phone.putRefused.insert(refusedPath, reason);
    if (!refusedApp.isEmpty())
        phone.installRefused.insert(refusedApp, reason);
    RestoreSummary summary = RunOn(phone, m_strPackage);
    QCOMPARE(summary.ExitStatusCode(), 1);
    QCOMPARE(summary.Find(MODULE_IMAGE)->nRestored, imagesRestored);
    // Never more restored than the phone took, and every file accounted for.
    int nRestored = 0;
    for (const RestoreSummary::KindResult &result : summary.kinds) {
        if (result.nCode != MODULE_APK && !result.bRecords)
            nRestored += result.nRestored;
    }
    QCOMPARE(nRestored, int(phone.listPut.size()));
    const QString strText = summary.Lines().join(QLatin1Char('\n'));
    QVERIFY2(strText.contains(reason), qPrintable(strText));
    QVERIFY2(strText.contains(QStringLiteral("failed")), qPrintable(strText));
}

void tst_RestoreEngine::dryRunWritesNothing()
{
    FakePhone phone;
    phone.files.insert(QStringLiteral("/sdcard/DCIM/Camera/a.jpg"), Stat{Stat::File, 5, 5});
    RestoreSummary summary = RunOn(phone, m_strPackage, true);
    QCOMPARE(summary.ExitStatusCode(), 0);
    QVERIFY(summary.bDryRun);
    QVERIFY(phone.listPut.isEmpty());
    QVERIFY(phone.listInstalled.isEmpty());
    QVERIFY(phone.listRecordTypes.isEmpty());
    QVERIFY(phone.listScanned.isEmpty());
    QCOMPARE(summary.Find(MODULE_IMAGE)->nRestored, 2);
    const QString strText = summary.Lines().join(QLatin1Char('\n'));
    QVERIFY2(strText.contains(QStringLiteral("/sdcard/DCIM/Camera/a.jpg -> /sdcard/DCIM/Camera/a (1).jpg")),
             qPrintable(strText));
    QVERIFY2(strText.contains(QStringLiteral("2 to restore")), qPrintable(strText));
}

void tst_RestoreEngine::damagedPackageRefused()
{
    const QString strCopy = m_env.Path(QStringLiteral("damaged/backup_x.zip"));
    QVERIFY(QDir().mkpath(QFileInfo(strCopy).path()));
    QByteArray baPackage = PackageFixture::ReadFile(m_strPackage);
    baPackage.chop(baPackage.size() / 3);
    QVERIFY(PackageFixture::WriteFile(strCopy, baPackage));
    FakePhone phone;
    const RestoreSummary summary = RunOn(phone, strCopy);
    QCOMPARE(summary.end, RestoreSummary::End::NotStarted);
    QCOMPARE(summary.ExitStatusCode(), 1);
    QVERIFY2(summary.strError.contains(QStringLiteral("damaged")), qPrintable(summary.strError));
    QVERIFY(phone.listRecordTypes.isEmpty());
}

void tst_RestoreEngine::interruptedBackupInCatalog_data()
{
    QTest::addColumn<bool>("bMarker");     // the folder holds INTERRUPTED.txt
    QTest::addColumn<bool>("bPackage");    // a package of its name lies beside it
    QTest::addColumn<bool>("bInterrupted"); // listed as an interrupted backup
    QTest::newRow("interrupted run") << true << false << true;
    QTest::newRow("marked folder beside its package") << true << true << false;
    QTest::newRow("leftover folder without marker") << false << false << false;
}

// A backup folder a cut cable left (files, marker, no package) is listed
// beside the sound backup with the files it keeps, never as sound, and a
// restore from it, by folder or by the package it lacks, is refused with
// the reason. A marked folder that has its package, or a folder without the
// marker, is no interrupted backup.
void tst_RestoreEngine::interruptedBackupInCatalog()
{
    QFETCH(bool, bMarker);
    QFETCH(bool, bPackage);
    QFETCH(bool, bInterrupted);
    const QString strDir = m_env.Path(QStringLiteral("catalog/") + QString::fromLatin1(QTest::currentDataTag()));
    const QString strCut = strDir + QStringLiteral("/backup_Cut_2024-05-06-07-08-09");
    QVERIFY(QDir().mkpath(strCut + QStringLiteral("/Image")));
    const QString strGood = strDir + QStringLiteral("/backup_Good_2024-01-01-00-00-00.zip");
    QVERIFY(QFile::copy(m_strPackage, strGood));
    QFile good(strGood);
    QVERIFY(good.open(QIODevice::ReadWrite));
    QVERIFY(good.setFileTime(QDateTime(QDate(2024, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
    good.close();
    for (const char *szFile : {"/Image/a.jpg", "/Image/b.jpg", "/Image/ImageList.xml"})
        QVERIFY(PackageFixture::WriteFile(strCut + QLatin1String(szFile), "x"));
    if (bMarker)
        QVERIFY(PackageFixture::WriteFile(strCut + QLatin1String("/") + QLatin1String(InterruptedRun::kMarker), "cut"));
    if (bPackage)
        QVERIFY(QFile::copy(m_strPackage, strCut + QStringLiteral(".zip")));

    const QList<BackupCatalog::Entry> listEntries = BackupCatalog::Scan(strDir);
    QCOMPARE(listEntries.size(), bInterrupted || bPackage ? 2 : 1);
    // Newest first: the cut run, then the package made before it.
    const BackupCatalog::Entry &entry = listEntries.constFirst();
    QCOMPARE(entry.bInterrupted, bInterrupted);
    QCOMPARE(entry.strPackage, bInterrupted || bPackage ? strCut + QStringLiteral(".zip") : strGood);
    RestoreSource source;
    QString strError;
    QCOMPARE(source.Open(strCut, strError), bPackage);
    if (!bInterrupted)
        return;
    QCOMPARE(entry.nKeptFiles, 2);
    QVERIFY(!entry.bSound);
    QCOMPARE(entry.strFolder, strCut);
    QVERIFY2(entry.strProblem.contains(QStringLiteral("interrupted backup")), qPrintable(entry.strProblem));
    QVERIFY(listEntries.at(1).bSound);
    for (const QString &strBackup : {strCut, strCut + QStringLiteral(".zip")}) {
        QVERIFY(!source.Open(strBackup, strError));
        QVERIFY2(strError.contains(QStringLiteral("is an interrupted backup, not a complete backup: 2 files kept"))
                     && strError.contains(QStringLiteral("again to finish it")),
                 qPrintable(strError));
    }
}

void tst_RestoreEngine::stops_data()
{
    QTest::addColumn<bool>("unplug");
    QTest::addColumn<int>("exitStatus");
    QTest::newRow("cancel") << false << 130;
    QTest::newRow("unplug") << true << 4;
}

void tst_RestoreEngine::stops()
{
    QFETCH(bool, unplug);
    QFETCH(int, exitStatus);
    FakePhone phone;
    phone.bBlockInPut = true;
    RestoreRunner runner(phone);
    QSignalSpy spyFinished(&runner, &RestoreRunner::signalFinished);
    runner.Start(m_strPackage, {MODULE_PB, MODULE_IMAGE, MODULE_VIDEO}, false);
    QTRY_VERIFY_WITH_TIMEOUT(phone.IsBlocked(), 60000);
    if (unplug)
        emit BackUpUILogic::Instance()->signalDeviceMgrEvent(6006);
    else
        runner.Cancel();
    QTRY_VERIFY_WITH_TIMEOUT(!spyFinished.isEmpty(), 60000);
    runner.Wait();
    RestoreSummary summary = spyFinished.first().first().value<RestoreSummary>();
    QCOMPARE(summary.ExitStatusCode(), exitStatus);
    QCOMPARE(summary.Find(MODULE_PB)->nRestored, 3);
    QCOMPARE(summary.Find(MODULE_IMAGE)->nRestored, 0);
    const QString strText = summary.Lines().join(QLatin1Char('\n'));
    if (unplug)
        QVERIFY2(strText.contains(QStringLiteral("phone disconnected")), qPrintable(strText));
    // The run ended in the images: videos were never started, and say so.
    QVERIFY(phone.listPut.isEmpty());
    QVERIFY(!summary.Find(MODULE_PB)->bNotReached);
    QVERIFY(!summary.Find(MODULE_IMAGE)->bNotReached);
    QVERIFY(summary.Find(MODULE_VIDEO)->bNotReached);
    const QRegularExpression reNotReached(
        QStringLiteral("\\nvideos: +not restored: the restore stopped before it \\(\\d+ in the backup\\)\\n"));
    QVERIFY2(strText.contains(reNotReached), qPrintable(strText));
    // The images the run never came to are counted, not left unaccounted.
    const QRegularExpression reStopped(
        QStringLiteral("\\nimages: +0 restored, .*, 2 not restored: the restore stopped before them\\n"));
    QVERIFY2(strText.contains(reStopped), qPrintable(strText));
}

QTEST_GUILESS_MAIN(tst_RestoreEngine)
#include "tst_restoreengine.moc"
