// `backuptool restore` and `backuptool export` as a user runs them: the
// sample phone backed up, restored onto an empty simulated phone, and that
// phone backed up again; damaged packages, name clashes, a full phone,
// Ctrl-C and an unplugged phone.

#include "BackupContents.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

#include <csignal>

namespace
{
const char kItems[] = "contacts,messages,apps,media,music,other";

using Result = ToolRun::Result;

Result RunTool(const QStringList &listArgs)
{
    return ToolRun::Run(listArgs);
}

// Backs up the simulated phone in strPhone into strDest; the package path.
QString Backup(const QString &strPhone, const QString &strDest)
{
    const Result result = RunTool({QStringLiteral("run"), QStringLiteral("--phone"), strPhone, QStringLiteral("--dest"),
                                   strDest, QStringLiteral("--items"), QLatin1String(kItems), QStringLiteral("--full")});
    const QStringList listPackages = QDir(strDest).entryList({QStringLiteral("backup_*.zip")}, QDir::Files, QDir::Time);
    if (result.nExit != 0 || listPackages.isEmpty()) {
        qWarning("backup failed (%d): %s %s", result.nExit, qPrintable(result.strOut), qPrintable(result.strErr));
        return QString();
    }
    return QDir(strDest).filePath(listPackages.first());
}

// True when a summary line reads "KIND:   REST" (any padding).
bool HasLine(const QString &strOut, const QString &strKind, const QString &strRest)
{
    const QRegularExpression re(QStringLiteral("^%1: +%2").arg(QRegularExpression::escape(strKind), strRest),
                                QRegularExpression::MultilineOption);
    return re.match(strOut).hasMatch();
}

void SetPhoneKey(const QString &strPhone, const QString &strKey, const QVariant &value)
{
    QSettings settings(strPhone + QStringLiteral("/phone.ini"), QSettings::IniFormat);
    settings.setValue(strKey, value);
}
} // namespace

class tst_BackupToolRestore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void roundTrip();
    void dryRunChangesNothing();
    void nameClashTakesFreeName();
    void damagedPackageRefused_data();
    void damagedPackageRefused();
    void phoneFaults_data();
    void phoneFaults();
    void interruptCancels();
    void exportWritesOpenFormats();
    void wrongArguments_data();
    void wrongArguments();

private:
    QString EmptyPhone(const QString &strName);

    std::unique_ptr<TestEnv> m_pEnv;
    TestEnv m_sharedEnv;
    QString m_strPackage; // the sample phone's backup
};

void tst_BackupToolRestore::initTestCase()
{
    QVERIFY2(m_sharedEnv.IsValid(), "temporary folder");
    m_strPackage = Backup(TestEnv::SamplePhoneDir(), m_sharedEnv.Path(QStringLiteral("sample-backup")));
    QVERIFY(!m_strPackage.isEmpty());
}

void tst_BackupToolRestore::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
}

QString tst_BackupToolRestore::EmptyPhone(const QString &strName)
{
    TestPhone phone(m_pEnv->Path(strName));
    phone.SetDevice(QStringLiteral("Phone B"), QStringLiteral("V100R001C10B100"), QStringLiteral("350000000000002"));
    return phone.Save() ? phone.Dir() : QString();
}

void tst_BackupToolRestore::roundTrip()
{
    const QString strPhone = EmptyPhone(QStringLiteral("b"));
    const Result first = RunTool({QStringLiteral("restore"), m_strPackage, QStringLiteral("--phone"), strPhone});
    QVERIFY2(first.nExit == 0, qPrintable(first.strOut + first.strErr));
    QVERIFY2(HasLine(first.strOut, QStringLiteral("images"), QStringLiteral("12 restored, 0 already on the phone, 0 failed$")),
             qPrintable(first.strOut));
    QVERIFY2(HasLine(first.strOut, QStringLiteral("sms"), QStringLiteral("not restorable: needs an app on the phone")),
             qPrintable(first.strOut));

    // Phone B backed up gives back what phone A's backup held.
    const QString strBackupB = Backup(strPhone, m_pEnv->Path(QStringLiteral("backup-b")));
    QVERIFY(!strBackupB.isEmpty());
    const QMap<QString, QByteArray> mapA = BackupContents::FilesOf(m_strPackage);
    QCOMPARE(mapA.size(), 24);
    QCOMPARE(BackupContents::FilesOf(strBackupB), mapA);
    const QString strExportA = m_pEnv->Path(QStringLiteral("export-a"));
    const QString strExportB = m_pEnv->Path(QStringLiteral("export-b"));
    QCOMPARE(RunTool({QStringLiteral("export"), m_strPackage, strExportA}).nExit, 0);
    QCOMPARE(RunTool({QStringLiteral("export"), strBackupB, strExportB}).nExit, 0);
    for (const QString &strFile : {QStringLiteral("contacts.vcf"), QStringLiteral("calendar.ics"),
                                   QStringLiteral("call-log.xml")}) {
        const QStringList listA = BackupContents::RecordKeys(QDir(strExportA).filePath(strFile));
        QVERIFY2(listA.size() > 10, qPrintable(strFile));
        QCOMPARE(BackupContents::RecordKeys(QDir(strExportB).filePath(strFile)), listA);
    }

    // Again: nothing changes, and everything is said to be there already.
    const QStringList listBefore = BackupContents::Snapshot(strPhone + QStringLiteral("/fs")) + BackupContents::Snapshot(strPhone + QStringLiteral("/records"));
    const Result second = RunTool({QStringLiteral("restore"), m_strPackage.chopped(4), QStringLiteral("--phone"), strPhone});
    QVERIFY2(second.nExit == 0, qPrintable(second.strOut + second.strErr));
    QCOMPARE(BackupContents::Snapshot(strPhone + QStringLiteral("/fs")) + BackupContents::Snapshot(strPhone + QStringLiteral("/records")), listBefore);
    for (const QString &strKind : {QStringLiteral("contacts"), QStringLiteral("apps"), QStringLiteral("images"),
                                   QStringLiteral("videos"), QStringLiteral("audio"), QStringLiteral("calls"),
                                   QStringLiteral("calendar")}) {
        const QRegularExpression re(QStringLiteral("^%1: +0 restored, [1-9][0-9]* already on the phone, 0 failed$")
                                        .arg(strKind),
                                    QRegularExpression::MultilineOption);
        QVERIFY2(re.match(second.strOut).hasMatch(), qPrintable(strKind + QLatin1Char('\n') + second.strOut));
    }
}

void tst_BackupToolRestore::dryRunChangesNothing()
{
    const QString strPhone = EmptyPhone(QStringLiteral("b"));
    const QStringList listBefore = BackupContents::Snapshot(strPhone);
    const Result result =
        RunTool({QStringLiteral("restore"), m_strPackage, QStringLiteral("--phone"), strPhone, QStringLiteral("--dry-run")});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));
    QCOMPARE(BackupContents::Snapshot(strPhone), listBefore);
    QVERIFY2(HasLine(result.strOut, QStringLiteral("images"), QStringLiteral("12 to restore, 0 already on the phone$")),
             qPrintable(result.strOut));
    QVERIFY2(result.strOut.contains(QStringLiteral("up to 40 to restore")), qPrintable(result.strOut));
    QVERIFY2(HasLine(result.strOut, QStringLiteral("email"), QStringLiteral("not restorable: needs an app on the phone")),
             qPrintable(result.strOut));
    QVERIFY2(result.strOut.contains(QStringLiteral("nothing was written to the phone")), qPrintable(result.strOut));
}

void tst_BackupToolRestore::nameClashTakesFreeName()
{
    TestPhone phone(m_pEnv->Path(QStringLiteral("b")));
    const QString strOther = phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg"), QByteArray("another picture"));
    QVERIFY(phone.Save());
    const Result result = RunTool({QStringLiteral("restore"), m_strPackage, QStringLiteral("--phone"), phone.Dir(),
                                   QStringLiteral("--items"), QStringLiteral("media")});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));
    QFile other(strOther);
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("another picture"));
    const QString strRenamed = phone.HostPath(QStringLiteral("/sdcard/DCIM/Camera/IMG_0001 (1).jpg"));
    QCOMPARE(BackupContents::Digest(strRenamed), BackupContents::FilesOf(m_strPackage).value(QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg")));
    QVERIFY2(result.strOut.contains(
                 QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg -> /sdcard/DCIM/Camera/IMG_0001 (1).jpg")),
             qPrintable(result.strOut));
}

void tst_BackupToolRestore::damagedPackageRefused_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut short") << "cut" << "is damaged";
    QTest::newRow("bytes flipped") << "flip" << "is damaged";
    QTest::newRow("no package beside the folder") << "folder" << "no package";
}

void tst_BackupToolRestore::damagedPackageRefused()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    const QString strPhone = EmptyPhone(QStringLiteral("b"));
    const QString strCopy = m_pEnv->Path(QStringLiteral("copy/backup_x.zip"));
    QVERIFY(QDir().mkpath(strCopy.chopped(4)));
    QFile source(m_strPackage);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray baPackage = source.readAll();
    if (damage == QLatin1String("cut"))
        baPackage.chop(baPackage.size() / 2);
    else if (damage == QLatin1String("flip"))
        baPackage[baPackage.size() / 2] = char(baPackage.at(baPackage.size() / 2) ^ 0x55);
    if (damage != QLatin1String("folder")) {
        QFile copy(strCopy);
        QVERIFY(copy.open(QIODevice::WriteOnly));
        QCOMPARE(copy.write(baPackage), qint64(baPackage.size()));
    }
    const QString strBackup = damage == QLatin1String("folder") ? strCopy.chopped(4) : strCopy;
    const QStringList listBefore = BackupContents::Snapshot(strPhone);
    const Result result = RunTool({QStringLiteral("restore"), strBackup, QStringLiteral("--phone"), strPhone});
    QCOMPARE(result.nExit, 1);
    QVERIFY2(result.strErr.contains(message), qPrintable(result.strErr));
    QCOMPARE(BackupContents::Snapshot(strPhone), listBefore);
}

void tst_BackupToolRestore::phoneFaults_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("message");
    QTest::newRow("full phone") << "faults/restoreFreeKB" << QVariant(300) << 1 << "no space on the phone";
    QTest::newRow("install refused") << "faults/installFailure" << QVariant("INSTALL_FAILED_INSUFFICIENT_STORAGE") << 1
                                     << "Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE";
    QTest::newRow("unplugged") << "faults/unplugDuringPushedFile" << QVariant(3) << 4 << "phone disconnected";
    QTest::newRow("old phone's call log") << "device/sdk" << QVariant(28) << 0
                                          << "not restorable: Android 12 or newer";
}

void tst_BackupToolRestore::phoneFaults()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(int, exitStatus);
    QFETCH(QString, message);
    const QString strPhone = EmptyPhone(QStringLiteral("b"));
    SetPhoneKey(strPhone, key, value);
    const Result result = RunTool({QStringLiteral("restore"), m_strPackage, QStringLiteral("--phone"), strPhone});
    QVERIFY2(result.nExit == exitStatus, qPrintable(result.strOut + result.strErr));
    QVERIFY2(result.strOut.contains(message), qPrintable(result.strOut));
    // No half file under a real name, whatever happened.
    for (const QString &strLine : BackupContents::Snapshot(strPhone + QStringLiteral("/fs"))) {
        const QString strPath = strLine.section(QLatin1Char(' '), 0, -4);
        if (strPath.endsWith(QLatin1String(".restore-part")))
            continue;
        const QString strPhonePath = QLatin1Char('/') + strPath;
        if (!strPhonePath.startsWith(QLatin1String("/sdcard")) && !strPhonePath.startsWith(QLatin1String("/storage")))
            continue;
        QCOMPARE(strLine.section(QLatin1Char(' '), -1).toLatin1(), BackupContents::FilesOf(m_strPackage).value(strPhonePath));
    }
}

void tst_BackupToolRestore::interruptCancels()
{
    const QString strPhone = EmptyPhone(QStringLiteral("b"));
    SetPhoneKey(strPhone, QStringLiteral("faults/rateLimitKBps"), 64);
    QProcess process;
    process.start(ToolRun::Path(),
                  {QStringLiteral("restore"), m_strPackage, QStringLiteral("--phone"), strPhone});
    QVERIFY(process.waitForStarted());
    QByteArray baErr;
    QTRY_VERIFY_WITH_TIMEOUT((baErr += process.readAllStandardError()).contains("images"), 60000);
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(60000));
    const QString strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    QCOMPARE(process.exitCode(), 130);
    QVERIFY2(strOut.contains(QStringLiteral("Result:        cancelled")), qPrintable(strOut));
    QVERIFY2(!HasLine(strOut, QStringLiteral("videos"), QStringLiteral("3 restored")), qPrintable(strOut));
}

void tst_BackupToolRestore::exportWritesOpenFormats()
{
    const QString strDir = m_pEnv->Path(QStringLiteral("export"));
    const Result result = RunTool({QStringLiteral("export"), m_strPackage, strDir});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));
    QStringList listFiles = QDir(strDir).entryList(QDir::Files);
    listFiles.sort();
    QCOMPARE(listFiles, (QStringList{"EMAIL.zip", "README.txt", "calendar.ics", "call-log.xml", "contacts.vcf",
                                     "messages.xml"}));
    // The phone's own files, byte for byte, under their open names.
    const QString strSample = TestEnv::SamplePhoneDir() + QStringLiteral("/records/");
    QCOMPARE(BackupContents::Digest(QDir(strDir).filePath("contacts.vcf")), BackupContents::Digest(strSample + "contacts.vcf"));
    QCOMPARE(BackupContents::Digest(QDir(strDir).filePath("calendar.ics")), BackupContents::Digest(strSample + "calendar.ics"));
    QCOMPARE(BackupContents::Digest(QDir(strDir).filePath("EMAIL.zip")), BackupContents::Digest(strSample + "email.mbox"));
    QFile messages(QDir(strDir).filePath("messages.xml"));
    QVERIFY(messages.open(QIODevice::ReadOnly));
    const QByteArray baMessages = messages.readAll();
    QCOMPARE(baMessages.count("<sms "), qsizetype(60));
    QCOMPARE(baMessages.count("<mms "), qsizetype(8));
    QFile readme(QDir(strDir).filePath("README.txt"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QByteArray baReadme = readme.readAll();
    QVERIFY2(baReadme.contains("contacts.vcf") && baReadme.contains("messages.xml") && baReadme.contains("EMAIL.zip"),
             baReadme.constData());
}

void tst_BackupToolRestore::wrongArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("message"); // on the error stream; empty: not checked
    const QString strOne = QStringLiteral("expects one BACKUP");
    QTest::newRow("restore without backup") << QStringList{"restore"} << 2 << strOne;
    QTest::newRow("restore two backups") << QStringList{"restore", "a", "b"} << 2 << strOne;
    QTest::newRow("restore unknown item") << QStringList{"restore", "a", "--items", "toasters"} << 2
                                          << "unknown item 'toasters'";
    QTest::newRow("restore unknown option") << QStringList{"restore", "a", "--force"} << 2
                                            << "restore: unknown option --force";
    // "--name=VALUE" is read as "--name VALUE".
    QTest::newRow("restore unknown item after =") << QStringList{"restore", "a", "--items=toasters"} << 2
                                                  << "unknown item 'toasters'";
    QTest::newRow("restore items without value") << QStringList{"restore", "a", "--items"} << 2
                                                 << "restore: --items needs a list";
    QTest::newRow("restore option for a value") << QStringList{"restore", "--device", "--dry-run", "a"} << 2
                                                << "restore: --device needs sim, adb or adb:SERIAL";
    QTest::newRow("restore switch with a value") << QStringList{"restore", "a", "--dry-run=no"} << 2
                                                 << "restore: unknown option --dry-run=no";
    QTest::newRow("restore missing backup") << QStringList{"restore", "/nonexistent/backup_x.zip", "--dry-run"} << 1
                                            << QString();
    QTest::newRow("export one argument") << QStringList{"export", "a"} << 2 << "expects a PACKAGE and a DIR";
    QTest::newRow("export missing package") << QStringList{"export", "/nonexistent/p.zip", "/tmp/x"} << 1
                                            << QString();
    // The system's reason, as extract and run give it.
    QTest::newRow("export below a file") << QStringList{"export", m_strPackage, m_strPackage + QStringLiteral("/out")}
                                         << 1 << "export: cannot create the folder " + m_strPackage + "/out: Not a directory";
}

void tst_BackupToolRestore::wrongArguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitStatus);
    QFETCH(QString, message);
    const Result result = RunTool(args);
    QVERIFY2(result.nExit == exitStatus, qPrintable(result.strOut + result.strErr));
    QVERIFY2(result.strErr.contains(message), qPrintable(result.strErr));
}

QTEST_GUILESS_MAIN(tst_BackupToolRestore)
#include "tst_backuptool_restore.moc"
