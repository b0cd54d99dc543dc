// `backuptool run` as a user runs it: the program in the stage folder, with
// its own settings and SDK user data folder, against the sample phone and
// fixture phones.

#include "ScratchMount.h"
#include "TestEnv.h"
#include "TestPhone.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>

namespace
{
QString Tool()
{
    return ToolRun::Path();
}

using Result = ToolRun::Result;

Result RunTool(const QStringList &listArgs)
{
    return ToolRun::Run(QStringList{QStringLiteral("run")} + listArgs, 60000);
}

QString Field(const QString &strOut, const QString &strLabel)
{
    for (const QString &strLine : strOut.split(QLatin1Char('\n'))) {
        if (strLine.startsWith(strLabel))
            return strLine.mid(strLabel.size()).trimmed();
    }
    return QString();
}

QStringList Entries(const QString &strFolder)
{
    return QDir(strFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

class tst_BackupToolRun : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sampleWithEveryItem();
    void repeatRunReusesUnchangedFiles();
    void failures_data();
    void failures();
    void itemNotOnThePhone();
    void timeLeftOnTheProgressLine();
    void wrongArguments_data();
    void wrongArguments();
    void interruptCancels_data();
    void interruptCancels();
    void phoneDisconnected();
    void interruptedBackupIsNamed_data();
    void interruptedBackupIsNamed();
    void refusedBeforeReading_data();
    void refusedBeforeReading();
    void oneBackupPerDataFolder();
    void staleLockIsTakenOver();
    void closedOutput();

private:
    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_BackupToolRun::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "temporary folder");
    QVERIFY2(QFileInfo(Tool()).isExecutable(), "backuptool is built");
    qunsetenv("DVSK_SIM_PHONE");
}

void tst_BackupToolRun::sampleWithEveryItem()
{
    const QString strDest = m_pEnv->Path("dest");
    const Result result = RunTool({"--dest", strDest, "--items", "all", "--verify"});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));

    const QString strPackage = Field(result.strOut, "Package:");
    const QString strFolder = Field(result.strOut, "Backup folder:");
    QVERIFY(strPackage.startsWith(strDest + "/backup_Corvo X5_"));
    QVERIFY(QFileInfo(strPackage).isFile());
    QVERIFY(QFileInfo(strFolder + "/Image/ImageList.xml").isFile());
    QVERIFY(result.strOut.contains("Verify:        the package is sound (12 entries"));
    QVERIFY(result.strOut.contains(QRegularExpression("contacts +40")));
    QVERIFY(!result.strOut.contains("Failed:"));
    // Not a terminal: plain progress lines, never redrawn in place.
    QVERIFY(result.strErr.contains("images"));
    QVERIFY(!result.strErr.contains('\r'));
    QVERIFY(result.strErr.contains("100%"));

    // The run leaves no temporary files and records when it happened.
    QCOMPARE(QDir(m_pEnv->UserDataDir()).entryList({"*.zip"}, QDir::Files), QStringList());
    QSettings settings(m_pEnv->SettingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value("BackUpUIPlugin/BackupTmpFile").toString(), QStringLiteral("1"));
    QCOMPARE(settings.value("BackUpUIPlugin/BackupDate").toString(),
             QDate::currentDate().toString("dd.MM.yyyy"));
}

// The sample phone's 12 images, 3 videos, 5 audio files and 4 applications:
// a second run takes them all from the first, --full from the phone again.
void tst_BackupToolRun::repeatRunReusesUnchangedFiles()
{
    const QStringList listArgs = {"--dest", m_pEnv->Path("dest"), "--items", "apps,media,music"};
    const Result first = RunTool(listArgs);
    QVERIFY2(first.nExit == 0, qPrintable(first.strOut + first.strErr));
    QVERIFY2(Field(first.strOut, "Files:").startsWith("24 from the phone ("), qPrintable(first.strOut));
    QVERIFY(Field(first.strOut, "Files:").endsWith(", 0 reused from an earlier backup (0.0 MB)"));

    const Result second = RunTool(listArgs);
    QVERIFY2(second.nExit == 0, qPrintable(second.strOut + second.strErr));
    QVERIFY2(Field(second.strOut, "Files:").startsWith("0 from the phone (0.0 MB), 24 reused"),
             qPrintable(second.strOut));
    QVERIFY(Field(second.strOut, "Backup folder:") != Field(first.strOut, "Backup folder:"));

    const Result full = RunTool(listArgs + QStringList{"--full"});
    QVERIFY2(full.nExit == 0, qPrintable(full.strOut + full.strErr));
    QCOMPARE(Field(full.strOut, "Files:"), Field(first.strOut, "Files:"));
}

void tst_BackupToolRun::failures_data()
{
    using Setup = std::function<void(TestPhone &)>;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one module fails") << Setup([](TestPhone &p) { p.SetBackupError(1, 7); })
                                      << "contacts,messages" << "Failed:        sms";
    QTest::newRow("one image missing")
        << Setup([](TestPhone &p) { p.SetMissingFile("/sdcard/DCIM/p1.jpg"); }) << "media"
        << "Failed:        images (2 of 3 copied)\n  not copied:  /sdcard/DCIM/p1.jpg";
    QTest::newRow("memory information missing") << Setup([](TestPhone &p) { p.SetMemInfoError(-1); })
                                                << "contacts" << "memory information is not available";
    QTest::newRow("no storage at all") << Setup([](TestPhone &p) { p.ClearStorages(); }) << "contacts"
                                       << "memory information is not available";
    QTest::newRow("no free memory") << Setup([](TestPhone &p) {
        p.ClearStorages();
        p.AddStorage(1, 1000, 1000, 4096);
    }) << "contacts" << "no free memory";
    QTest::newRow("contacts not counted") << Setup([](TestPhone &p) { p.SetCountError(0, 5); })
                                          << "contacts,messages" << "Failed:        contacts (could not be counted)";
    QTest::newRow("images not counted")
        << Setup([](TestPhone &p) {
               p.AddFile(QStringLiteral("/sdcard/DCIM/a.jpg"), 100);
               p.SetCountError(16, 5);
           })
        << "contacts,media" << "Failed:        images (could not be counted)";
    QTest::newRow("applications not counted")
        << Setup([](TestPhone &p) {
               p.AddApp(QStringLiteral("com.example.a"), 100);
               p.SetCountError(9, 5);
           })
        << "contacts,apps" << "On the phone: contacts 5, apps (could not be counted)";
}

void tst_BackupToolRun::failures()
{
    using Setup = std::function<void(TestPhone &)>;
    QFETCH(Setup, setup);
    QFETCH(QString, items);
    QFETCH(QString, expected);
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    phone.SetRecords(1, 4);
    phone.SetRecords(19, 2);
    for (int i = 0; i < 3; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    phone.AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    setup(phone);
    QVERIFY(phone.Save());

    const Result result = RunTool({"--phone", phone.Dir(), "--dest", m_pEnv->Path("dest"), "--items", items});
    QCOMPARE(result.nExit, 1);
    QVERIFY2(result.strOut.contains(expected), qPrintable(result.strOut));
}

// A phone that does not give e-mail at all: the run leaves it out and says
// so, and is still a complete backup of what the phone has.
void tst_BackupToolRun::itemNotOnThePhone()
{
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    phone.SetRecords(4, 3);
    phone.SetCountError(5, 0xff11);
    QVERIFY(phone.Save());

    const Result result = RunTool({"--phone", phone.Dir(), "--dest", m_pEnv->Path("dest"), "--items", "contacts,other"});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));
    // The calendar is empty; the e-mail is not there at all.
    QVERIFY2(result.strOut.contains("\nNothing to back up: calendar\nNot available on this phone: email\n"),
             qPrintable(result.strOut));
    QVERIFY2(result.strOut.contains(QRegularExpression("calls +3")), qPrintable(result.strOut));
    QVERIFY(!result.strOut.contains("Failed:"));
}

// A video that takes about 6 seconds over a limited link: once this run's
// throughput is measured, the progress lines say how long is left.
void tst_BackupToolRun::timeLeftOnTheProgressLine()
{
    TestPhone phone(m_pEnv->Path("phone"));
    phone.AddFile("/sdcard/Movies/long.mp4", 60 * 1000 * 1000);
    phone.SetRateLimitKBps(10000);
    QVERIFY(phone.Save());

    const Result result = RunTool({"--phone", phone.Dir(), "--dest", m_pEnv->Path("dest"), "--items", "media"});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));
    const QRegularExpression timeLeft(QStringLiteral("%  videos 1/1  (about \\d+ min|less than a minute) left\n"));
    QVERIFY2(result.strErr.contains(timeLeft), qPrintable(result.strErr));
    // The last line, at 100 %, has none.
    QVERIFY2(result.strErr.trimmed().endsWith(QLatin1String("100%")), qPrintable(result.strErr));
}

void tst_BackupToolRun::wrongArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown item") << QStringList{"--items", "contacts,fotos"} << 2 << "unknown item 'fotos'";
    QTest::newRow("destination without value") << QStringList{"--dest"} << 2 << "--dest needs a folder";
    QTest::newRow("option in place of a value") << QStringList{"--items", "--verify"} << 2 << "--items needs a list";
    QTest::newRow("no phone there") << QStringList{"--phone", "/nonexistent/phone"} << 1 << "no phone in";
    // "--name=VALUE" is read as "--name VALUE".
    QTest::newRow("value after =") << QStringList{"--items=contacts,fotos"} << 2 << "unknown item 'fotos'";
    QTest::newRow("nothing after =") << QStringList{"--dest="} << 2 << "--dest needs a folder";
    QTest::newRow("empty value") << QStringList{"--phone", ""} << 2 << "--phone needs a folder";
    QTest::newRow("negative wait") << QStringList{"--wait", "-1"} << 2 << "--wait needs a number of seconds";
    QTest::newRow("wait not a number") << QStringList{"--wait=soon"} << 2 << "--wait needs a number of seconds";
    QTest::newRow("switch with a value") << QStringList{"--verify=yes"} << 2 << "unexpected argument --verify=yes";
    QTest::newRow("stray argument") << QStringList{"backup"} << 2 << "unexpected argument backup";
}

void tst_BackupToolRun::wrongArguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, exit);
    QFETCH(QString, message);
    const Result result = RunTool(QStringList{"--dest", m_pEnv->Path("dest")} + args);
    QCOMPARE(result.nExit, exit);
    QVERIFY2(result.strErr.contains(message), qPrintable(result.strErr));
    QCOMPARE(Entries(m_pEnv->Path("dest")), QStringList());
}

void tst_BackupToolRun::interruptCancels_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << int(SIGINT);
    QTest::newRow("terminal closed") << int(SIGHUP);
}

// Ctrl-C (or a closed terminal) during the copying: the cancel path runs and
// the tool exits with nothing of the run left, neither in the destination
// nor in the data folder.
void tst_BackupToolRun::interruptCancels()
{
    QFETCH(int, signal);
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    for (int i = 0; i < 10; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 64 * 1024);
    phone.AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    phone.SetRateLimitKBps(256);
    QVERIFY(phone.Save());
    const QString strDest = m_pEnv->Path("dest");

    QProcess process;
    process.start(Tool(), {"run", "--phone", phone.Dir(), "--dest", strDest, "--items", "contacts,media"});
    QVERIFY(process.waitForStarted());
    QByteArray baErr;
    QTRY_VERIFY_WITH_TIMEOUT((baErr += process.readAllStandardError()).contains("images 1/"), 20000);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(30000));
    const QString strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 130);
    QVERIFY2(strOut.contains("Backup cancelled. Nothing of this run was kept"), qPrintable(strOut));
    QCOMPARE(Entries(strDest), QStringList());
    QCOMPARE(QDir(m_pEnv->UserDataDir()).entryList({"*.zip"}, QDir::Files), QStringList());
}

void tst_BackupToolRun::refusedBeforeReading_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("broken section line") << "ini" << "phone.ini is not a well-formed INI file";
    QTest::newRow("read-only destination") << "read-only" << "cannot write into the destination";
    QTest::newRow("destination below a file") << "below-file" << "cannot create the destination %1: Not a directory";
}

// What makes a run impossible is said before the phone is read.
void tst_BackupToolRun::refusedBeforeReading()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    QVERIFY(phone.Save());
    QString strDest = m_pEnv->Path("dest");
    std::unique_ptr<ScratchMount> pDisk;
    if (kind == "ini") {
        QFile ini(phone.Dir() + "/phone.ini");
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("\n[faults\nitemDelayMs=1\n");
    } else if (kind == "below-file") {
        QFile file(m_pEnv->Path("a-file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        strDest = file.fileName() + "/backups";
        message = message.arg(strDest);
    } else {
        pDisk = std::make_unique<ScratchMount>(64 * 1024, ScratchMount::ReadOnly);
        if (!pDisk->IsMounted())
            QSKIP(qPrintable(pDisk->SkipReason()));
        strDest = pDisk->Path();
    }
    const Result result = RunTool({"--phone", phone.Dir(), "--dest", strDest, "--items", "contacts"});
    QCOMPARE(result.nExit, 1);
    QVERIFY2(result.strErr.contains(message), qPrintable(result.strErr));
    QVERIFY(!result.strOut.contains("Counting"));
}

// A second run while one goes on in the same data folder is refused with a
// clear message naming the first.
void tst_BackupToolRun::oneBackupPerDataFolder()
{
    TestPhone first(m_pEnv->Path("first"));
    first.SetRecords(0, 5);
    first.SetItemDelayMs(600000); // goes on until it is cancelled
    QVERIFY(first.Save());
    TestPhone second(m_pEnv->Path("second"));
    second.SetRecords(0, 7);
    QVERIFY(second.Save());

    QProcess process;
    process.start(Tool(), {"run", "--phone", first.Dir(), "--dest", m_pEnv->Path("dest"), "--items", "contacts"});
    QVERIFY(process.waitForStarted());
    QByteArray baOut;
    QTRY_VERIFY_WITH_TIMEOUT((baOut += process.readAllStandardOutput()).contains("Counting"), 20000);

    const Result refused = RunTool({"--phone", second.Dir(), "--dest", m_pEnv->Path("dest2"), "--items", "contacts"});
    QCOMPARE(refused.nExit, 1);
    QVERIFY2(refused.strErr.contains("another backup"), qPrintable(refused.strErr));
    QVERIFY(refused.strErr.contains(QString::number(process.processId())));
    QVERIFY(!QFileInfo::exists(m_pEnv->Path("dest2")) || Entries(m_pEnv->Path("dest2")).isEmpty());

    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 130);
    // The lock went with its holder: the second phone now backs up.
    const Result after = RunTool({"--phone", second.Dir(), "--dest", m_pEnv->Path("dest2"), "--items", "contacts"});
    QVERIFY2(after.nExit == 0, qPrintable(after.strOut + after.strErr));
    QVERIFY(after.strOut.contains(QRegularExpression("contacts +7\n")));
}

// A backup killed outright leaves its lock behind; the next run takes it over.
void tst_BackupToolRun::staleLockIsTakenOver()
{
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    phone.SetItemDelayMs(600000); // goes on until it is killed
    QVERIFY(phone.Save());
    QProcess process;
    process.start(Tool(), {"run", "--phone", phone.Dir(), "--dest", m_pEnv->Path("dest"), "--items", "contacts"});
    QVERIFY(process.waitForStarted());
    QByteArray baOut;
    QTRY_VERIFY_WITH_TIMEOUT((baOut += process.readAllStandardOutput()).contains("Counting"), 20000);
    process.kill();
    QVERIFY(process.waitForFinished());
    QVERIFY2(QFileInfo::exists(m_pEnv->UserDataDir() + "backup.lock"),
             qPrintable(QDir(m_pEnv->UserDataDir()).entryList(QDir::AllEntries | QDir::Hidden).join(' ') + baOut));
    phone.SetItemDelayMs(0);
    QVERIFY(phone.Save());

    const Result result = RunTool({"--phone", phone.Dir(), "--dest", m_pEnv->Path("dest"), "--items", "contacts"});
    QVERIFY2(result.nExit == 0, qPrintable(result.strOut + result.strErr));
    QVERIFY(!QFileInfo::exists(m_pEnv->UserDataDir() + "backup.lock"));
}

// Output into a pipe that closes early (`| head`): the tool is not killed by
// SIGPIPE and finishes its backup.
void tst_BackupToolRun::closedOutput()
{
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    QVERIFY(phone.Save());
    QProcess process;
    process.start(Tool(), {"run", "--phone", phone.Dir(), "--dest", m_pEnv->Path("dest"), "--items", "contacts"});
    QVERIFY(process.waitForStarted());
    process.closeReadChannel(QProcess::StandardOutput);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QDir(m_pEnv->Path("dest")).entryList({"*.zip"}, QDir::Files).size(), 1);
}

QTEST_GUILESS_MAIN(tst_BackupToolRun)
// The phone goes away after the contacts file: the run stops, keeps nothing
// and ends with its own status and words, without waiting for the phone.
void tst_BackupToolRun::phoneDisconnected()
{
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 5);
    phone.SetRecords(1, 4);
    phone.SetRecords(19, 2);
    for (int i = 0; i < 4; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    phone.AddFile(QStringLiteral("/sdcard/Movies/v.mp4"), 1000);
    phone.SetUnplugAfterFiles(1);
    QVERIFY(phone.Save());
    const QString strDest = m_pEnv->Path("dest");
    QSettings(m_pEnv->SettingsFile(), QSettings::IniFormat).setValue("BackUpUIPlugin/BackupDate", "01.01.2000");

    const Result result = RunTool({"--phone", phone.Dir(), "--dest", strDest, "--items", "contacts,messages,media"});
    QCOMPARE(result.nExit, 4);
    QVERIFY2(result.strOut.contains("phone disconnected"), qPrintable(result.strOut));
    QCOMPARE(Entries(strDest), QStringList());
    QCOMPARE(QDir(m_pEnv->UserDataDir()).entryList({"*.zip"}, QDir::Files), QStringList());
    // A failed run is not the last backup.
    QCOMPARE(QSettings(m_pEnv->SettingsFile(), QSettings::IniFormat).value("BackUpUIPlugin/BackupDate").toString(),
             QStringLiteral("01.01.2000"));
}

void tst_BackupToolRun::interruptedBackupIsNamed_data()
{
    QTest::addColumn<QString>("strCommand");
    QTest::addColumn<bool>("bFolder"); // the backup folder, else the package the run would have written
    QTest::addColumn<bool>("bJson");
    QTest::newRow("list folder") << "list" << true << false;
    QTest::newRow("list package, json") << "list" << false << true;
    QTest::newRow("info package") << "info" << false << false;
    QTest::newRow("info folder, json") << "info" << true << true;
    QTest::newRow("verify folder") << "verify" << true << false;
    QTest::newRow("verify package") << "verify" << false << false;
    QTest::newRow("verify package, json") << "verify" << false << true;
    QTest::newRow("extract package") << "extract" << false << false;
    QTest::newRow("restore folder") << "restore" << true << false;
    QTest::newRow("restore package") << "restore" << false << false;
}

// A run the phone cut off after two images keeps them in a folder with no
// package. Every command pointed at it says it is an interrupted backup,
// how many files it keeps and that running the backup again finishes it,
// and ends with status 1; it is never called sound, nor restored.
void tst_BackupToolRun::interruptedBackupIsNamed()
{
    QFETCH(QString, strCommand);
    QFETCH(bool, bFolder);
    QFETCH(bool, bJson);
    TestPhone phone(m_pEnv->Path("phone"));
    phone.SetRecords(0, 3);
    for (int i = 0; i < 4; ++i)
        phone.AddFile(QStringLiteral("/sdcard/DCIM/p%1.jpg").arg(i), 1000);
    phone.SetUnplugAfterFiles(3);
    QVERIFY(phone.Save());
    const QString strDest = m_pEnv->Path("dest");
    const Result cut = RunTool({"--phone", phone.Dir(), "--dest", strDest, "--items", "contacts,media"});
    QCOMPARE(cut.nExit, 4);
    const QStringList listRuns = QDir(strDest).entryList({"backup_*"}, QDir::AllEntries);
    QCOMPARE(listRuns.size(), 1);
    const QString strFolder = QDir(strDest).filePath(listRuns.first());
    const int nKept = int(QDir(strFolder + "/Image").entryList({"*.jpg"}, QDir::Files).size());
    QVERIFY2(nKept >= 1 && cut.strOut.contains(QStringLiteral("Backup interrupted: %1 files kept").arg(nKept)),
             qPrintable(cut.strOut));

    const QString strTarget = bFolder ? strFolder : strFolder + ".zip";
    QStringList listArgs{strCommand, strTarget};
    if (bJson)
        listArgs << "--json";
    if (strCommand == "restore")
        listArgs << "--phone" << phone.Dir();
    if (strCommand == "extract")
        listArgs << m_pEnv->Path("out");
    const Result result = ToolRun::Run(listArgs, 60000);
    QVERIFY2(result.nExit == 1, qPrintable(result.strOut + result.strErr));
    if (bJson) {
        const QJsonObject object = QJsonDocument::fromJson(result.strOut.toUtf8()).object();
        QCOMPARE(object.value("interrupted").toBool(), true);
        QCOMPARE(object.value("filesKept").toInt(), nKept);
        QCOMPARE(object.value("backupFolder").toString(), strFolder);
        QCOMPARE(object.value("sound").toBool(true), strCommand != "verify");
        QVERIFY(object.value("error").toString().contains("is an interrupted backup"));
        return;
    }
    QVERIFY2(!result.strOut.contains("sound"), qPrintable(result.strOut));
    QVERIFY2(result.strErr.contains(QStringLiteral("%1 is an interrupted backup, not a complete backup: %2 files kept")
                                        .arg(strTarget)
                                        .arg(nKept))
                 && result.strErr.contains("again to finish it"),
             qPrintable(result.strErr));
    QVERIFY(QFileInfo(strFolder + "/INTERRUPTED.txt").isFile());
    QVERIFY(!QFileInfo::exists(m_pEnv->Path("out")));
}

#include "tst_backuptool_run.moc"
