// The restore round trip through the real adb server: the sample phone,
// served by adb-phone-sim, is backed up through adb, the backup restored
// through adb onto an empty phone served the same way, and that phone backed
// up again. The server runs on a free port with its own HOME.

#include "AdbTestRig.h"
#include "BackupContents.h"
#include "TestEnv.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace
{
const char kItems[] = "contacts,messages,apps,media,music,other";
const char kCardFile[] = "/storage/sdcard1/Photos/holiday_beach.jpg";

// A new phone (Android 13, so the shell may write its call log) with nothing
// on it: its content providers are there, without rows.
bool MakeEmptyPhone(const QString &strDir)
{
    if (!QDir().mkpath(strDir + QStringLiteral("/providers")))
        return false;
    QFile ini(strDir + QStringLiteral("/phone.ini"));
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write("[device]\nname=Phone B\nfirmware=V100R001C10B100\nimei=350000000000002\nsdk=33\n"
                      "[memory]\nstorage1=1, 6815744, 4980736, 4096\n") <= 0)
        return false;
    const QDir samples(TestEnv::SamplePhoneDir() + QStringLiteral("/providers"));
    for (const QString &strName : samples.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile sample(samples.filePath(strName));
        if (!sample.open(QIODevice::ReadOnly))
            return false;
        QJsonObject table = QJsonDocument::fromJson(sample.readAll()).object();
        table.insert(QStringLiteral("rows"), QJsonArray());
        table.remove(QStringLiteral("streams"));
        QFile empty(strDir + QStringLiteral("/providers/") + strName);
        if (!empty.open(QIODevice::WriteOnly) || empty.write(QJsonDocument(table).toJson()) <= 0)
            return false;
    }
    return true;
}
} // namespace

class tst_BackupToolRestoreAdb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void roundTrip();

private:
    ToolRun::Result Tool(const QStringList &listArgs) const;
    QString Backup(const QString &strSerial, const QString &strDest) const;

    TestEnv m_env;
    std::unique_ptr<AdbTestRig> m_pRig;
};

void tst_BackupToolRestoreAdb::initTestCase()
{
    QVERIFY2(m_env.IsValid(), "temporary folder");
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed");
    m_pRig = std::make_unique<AdbTestRig>(m_env.Path(QStringLiteral("rig")));
    QString strError;
    QVERIFY2(m_pRig->Start(&strError), qPrintable(strError));
}

void tst_BackupToolRestoreAdb::cleanupTestCase()
{
    if (!m_pRig)
        return;
    QString strProblems;
    QVERIFY2(m_pRig->Stop(&strProblems), qPrintable(strProblems));
}

ToolRun::Result tst_BackupToolRestoreAdb::Tool(const QStringList &listArgs) const
{
    return ToolRun::Run(listArgs, 300000, m_pRig->Environment());
}

QString tst_BackupToolRestoreAdb::Backup(const QString &strSerial, const QString &strDest) const
{
    const ToolRun::Result result = Tool({QStringLiteral("run"), QStringLiteral("--device"), QStringLiteral("adb:") + strSerial,
                                         QStringLiteral("--dest"), strDest, QStringLiteral("--items"),
                                         QLatin1String(kItems), QStringLiteral("--full")});
    const QStringList listPackages = QDir(strDest).entryList({QStringLiteral("backup_*.zip")}, QDir::Files);
    if (result.nExit != 0 || listPackages.size() != 1) {
        qWarning("backup through adb failed (%d): %s %s", result.nExit, qPrintable(result.strOut),
                 qPrintable(result.strErr));
        return QString();
    }
    return QDir(strDest).filePath(listPackages.first());
}

void tst_BackupToolRestoreAdb::roundTrip()
{
    const QString strSerialA = m_pRig->StartSimulator(TestEnv::SamplePhoneDir());
    QVERIFY(!strSerialA.isEmpty());
    const QString strPackageA = Backup(strSerialA, m_env.Path(QStringLiteral("backup-a")));
    QVERIFY(!strPackageA.isEmpty());

    const QString strPhoneB = m_env.Path(QStringLiteral("phone-b"));
    QVERIFY(MakeEmptyPhone(strPhoneB));
    const QString strSerialB = m_pRig->StartSimulator(strPhoneB);
    QVERIFY(!strSerialB.isEmpty());
    const QStringList listRestore = {QStringLiteral("restore"), strPackageA, QStringLiteral("--device"),
                                     QStringLiteral("adb:") + strSerialB};
    // The shell may write shared storage only: the picture on the memory
    // card is refused by the phone, and said so.
    const ToolRun::Result first = Tool(listRestore);
    QVERIFY2(first.nExit == 1, qPrintable(first.strOut + first.strErr));
    QVERIFY2(first.strOut.contains(QStringLiteral("Result:        1 failed\n"))
                 && first.strOut.contains(QStringLiteral("    - %1: couldn't create file: Permission denied").arg(kCardFile)),
             qPrintable(first.strOut));

    const QString strPackageB = Backup(strSerialB, m_env.Path(QStringLiteral("backup-b")));
    QVERIFY(!strPackageB.isEmpty());
    QMap<QString, QByteArray> mapA = BackupContents::FilesOf(strPackageA);
    QVERIFY(mapA.size() > 20);
    QVERIFY(mapA.remove(QLatin1String(kCardFile)) == 1);
    QCOMPARE(BackupContents::FilesOf(strPackageB), mapA);
    const QString strExportA = m_env.Path(QStringLiteral("export-a"));
    const QString strExportB = m_env.Path(QStringLiteral("export-b"));
    QCOMPARE(Tool({QStringLiteral("export"), strPackageA, strExportA}).nExit, 0);
    QCOMPARE(Tool({QStringLiteral("export"), strPackageB, strExportB}).nExit, 0);
    for (const QString &strFile : {QStringLiteral("contacts.vcf"), QStringLiteral("calendar.ics"),
                                   QStringLiteral("call-log.xml")}) {
        const QStringList listA = BackupContents::RecordKeys(QDir(strExportA).filePath(strFile), true);
        QVERIFY2(listA.size() > 10, qPrintable(strFile));
        QCOMPARE(BackupContents::RecordKeys(QDir(strExportB).filePath(strFile), true), listA);
    }

    // Again: nothing on phone B changes, and the summary says so.
    const QStringList listBefore = BackupContents::Snapshot(strPhoneB);
    const ToolRun::Result second = Tool(listRestore);
    QVERIFY2(second.nExit == 1, qPrintable(second.strOut + second.strErr));
    QCOMPARE(BackupContents::Snapshot(strPhoneB), listBefore);
    const QRegularExpression reRestored(QStringLiteral("^[a-z ]+: +[1-9][0-9]* restored"),
                                        QRegularExpression::MultilineOption);
    QVERIFY2(!reRestored.match(second.strOut).hasMatch(), qPrintable(second.strOut));
    QVERIFY2(second.strOut.contains(QStringLiteral("Result:        1 failed\n")), qPrintable(second.strOut));
}

QTEST_GUILESS_MAIN(tst_BackupToolRestoreAdb)
#include "tst_backuptool_restore_adb.moc"
