// The simulator against the real adb server: a private server on a free
// port (never 5037), one or more simulators, the adb command-line client.
// Skipped when adb is not installed.
#include "AdbTestRig.h"
#include "TestPhone.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
using AdbRun = AdbTestRig::Run;

QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

class tst_AdbPhoneSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void shell_data();
    void shell();
    void shellReadsStandardInput();
    void dfMatchesStorages();
    void pullIsByteIdentical_data();
    void pullIsByteIdentical();
    void pushIsByteIdentical_data() { pullIsByteIdentical_data(); }
    void pushIsByteIdentical();
    void listing();
    void refusedFiles_data();
    void refusedFiles();
    void cancelledPullClosesStream(); // also: two streams at once
    void pushIsPaced();
    void unauthorized();
    void unplugAfterFiles();

private:
    AdbRun Adb(const QStringList &listArgs) const { return m_rig.Adb(listArgs); }
    // bExpectDevice false: the phone is expected to refuse authorisation.
    QString StartSimulator(const QStringList &listArgs, bool bExpectDevice = true)
    {
        return m_rig.StartSimulator(m_strPhone, listArgs, bExpectDevice);
    }
    QString SimulatorCommand(const QString &strSerial, const QByteArray &baCommand)
    {
        return m_rig.SimulatorCommand(strSerial, baCommand);
    }

    QTemporaryDir m_dir;
    AdbTestRig m_rig{m_dir.path()};
    QString m_strSerial;
    QString m_strPhone;
};

void tst_AdbPhoneSim::initTestCase()
{
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));

    TestPhone phone(m_dir.filePath(QStringLiteral("phone")));
    phone.ClearStorages();
    phone.AddStorage(1, 1000000, 250000, 4096);
    phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/IMG_0001.jpg"), 300 * 1024);
    phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/VID_0002.mp4"), 3 * 1024 * 1024 + 17);
    phone.AddFile(QStringLiteral("/sdcard/DCIM/Camera/empty.png"), 0);
    phone.AddFile(QStringLiteral("/sdcard/DCIM/Other name é.jpg"), 70000);
    phone.AddFile(QStringLiteral("/sdcard/Locked/secret.jpg"), 100);
    phone.AddFile(QStringLiteral("/sdcard/Locked/gone.jpg"), 100);
    phone.AddFile(QStringLiteral("/sdcard/Movies/big.mp4"), 4 * 1024 * 1024);
    phone.AddApp(QStringLiteral("com.example.notes"), 50000);
    phone.SetGetFileError(QStringLiteral("/sdcard/Locked/secret.jpg"), 5);
    phone.SetMissingFile(QStringLiteral("/sdcard/Locked/gone.jpg"));
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();
    // Text messages for "content query", from the sample phone's fixtures.
    QVERIFY(QDir().mkpath(m_strPhone + QStringLiteral("/providers")));
    QVERIFY(QFile::copy(QStringLiteral(BACKUP_SOURCE_DIR "/samples/phone/providers/sms.json"), m_strPhone + QStringLiteral("/providers/sms.json")));

    QString strError;
    QVERIFY2(m_rig.Start(&strError), qPrintable(strError));

    m_strSerial = StartSimulator({});
    QVERIFY(!m_strSerial.isEmpty());
}

void tst_AdbPhoneSim::cleanupTestCase()
{
    // Every simulator must end cleanly (no crash, no sanitizer report).
    QString strProblems;
    QVERIFY2(m_rig.Stop(&strProblems), qPrintable(strProblems));
}

void tst_AdbPhoneSim::shell_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out"); // regular expression for standard output
    QTest::addColumn<int>("status");
    QTest::newRow("getprop") << QStringList{"getprop", "ro.product.model"} << "Test Phone\n" << 0;
    QTest::newRow("firmware") << QStringList{"getprop ro.build.display.id"} << "V100R001C10B100\n" << 0;
    QTest::newRow("pm") << QStringList{"pm", "list", "packages", "-3", "-f"}
                        << "package:/data/app/~~[\\w-]+==/com\\.example\\.notes-[\\w-]+==/base\\.apk=com\\.example\\.notes\n" << 0;
    QTest::newRow("exit status") << QStringList{"false || exit_is_not_here"} << "" << 127;
    QTest::newRow("echo") << QStringList{"echo", "'a  b'"} << "a  b\n" << 0;
    QTest::newRow("content query keeps new lines in values")
        << QStringList{"content", "query", "--uri", "content://sms", "--projection", "_id:body", "--where", "'_id>4'", "--sort", "'_id LIMIT 2'"}
        << "Row: 0 _id=5, body=Line one\nline two\nline three\nRow: 1 _id=6, body=Commas, commas, and more, commas\n" << 0;
    QTest::newRow("content query of an unknown provider") << QStringList{"content query --uri content://nope"} << "" << 0;
}

void tst_AdbPhoneSim::shell()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    QFETCH(int, status);
    const AdbRun run = Adb(QStringList{QStringLiteral("-s"), m_strSerial, QStringLiteral("shell")} + args);
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(out)).match(run.strOut).hasMatch(), qPrintable(run.strOut + run.strErr));
    QCOMPARE(run.nStatus, status);
    if (status == 127)
        QCOMPARE(run.strErr, QStringLiteral("/system/bin/sh: exit_is_not_here: inaccessible or not found\n"));
    if (args.join(QLatin1Char(' ')).contains(QLatin1String("nope")))
        QCOMPARE(run.strErr, QStringLiteral("Error while accessing provider:nope\njava.lang.IllegalArgumentException: Unknown URI content://nope\n"));

    // The same through exec: (no shell protocol, raw bytes).
    if (status == 0 && run.strErr.isEmpty()) {
        const AdbRun exec = Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("exec-out"), args.join(QLatin1Char(' '))});
        QCOMPARE(exec.strOut, run.strOut);
    }
}

void tst_AdbPhoneSim::shellReadsStandardInput()
{
    // "adb shell" without a command and with input from a pipe: lines are run until exit.
    QProcess shell;
    shell.setProcessEnvironment(m_rig.Environment());
    shell.start(AdbTestRig::AdbPath(), {QStringLiteral("-P"), QString::number(m_rig.ServerPort()), QStringLiteral("-s"), m_strSerial, QStringLiteral("shell")});
    QVERIFY(shell.waitForStarted());
    shell.write("getprop ro.product.model\nls /nope\nexit 3\necho never\n");
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray("Test Phone\n"));
    QCOMPARE(shell.readAllStandardError(), QByteArray("ls: /nope: No such file or directory\n"));
    QCOMPARE(shell.exitCode(), 3);
}

void tst_AdbPhoneSim::dfMatchesStorages()
{
    const AdbRun run = Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("shell"), QStringLiteral("df -k /data /sdcard")});
    QCOMPARE(run.nStatus, 0);
    const QStringList listLines = run.strOut.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(listLines.size(), 3);
    QCOMPARE(listLines.at(0).simplified(), QStringLiteral("Filesystem 1K-blocks Used Available Use% Mounted on"));
    // 1000000 blocks of 4096 bytes, 250000 used.
    QCOMPARE(listLines.at(1).simplified(), QStringLiteral("/dev/block/dm-5 4000000 1000000 3000000 25% /data"));
    QCOMPARE(listLines.at(2).simplified(), QStringLiteral("/dev/fuse 4000000 1000000 3000000 25% /storage/emulated"));
}

void tst_AdbPhoneSim::pullIsByteIdentical_data()
{
    // Simulator options; none: the shared simulator.
    QTest::addColumn<QStringList>("listOptions");
    QTest::newRow("plain") << QStringList();
    // Latency and the rate limit together must keep every byte in order.
    QTest::newRow("latency and rate") << QStringList{"--latency", "3", "--rate", "20000000"};
    QTest::newRow("latency, small messages") << QStringList{"--latency", "1", "--max-data", "4096"};
}

void tst_AdbPhoneSim::pullIsByteIdentical()
{
    QFETCH(QStringList, listOptions);
    const QString strSerial = listOptions.isEmpty() ? m_strSerial : StartSimulator(listOptions);
    QVERIFY(!strSerial.isEmpty());
    const QString strLocal = m_dir.filePath(QStringLiteral("pulled ") + QTest::currentDataTag());
    QDir().mkpath(strLocal);
    AdbRun run = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("pull"), QStringLiteral("/sdcard/DCIM"), strLocal});
    QVERIFY2(run.nStatus == 0, qPrintable(run.strOut + run.strErr));
    const QString strPhoneDcim = m_strPhone + QStringLiteral("/fs/sdcard/DCIM");
    int nFiles = 0;
    QDirIterator it(strPhoneDcim, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strPhoneFile = it.next();
        const QString strPulled = strLocal + QStringLiteral("/DCIM/") + QDir(strPhoneDcim).relativeFilePath(strPhoneFile);
        QVERIFY2(ReadAll(strPulled) == ReadAll(strPhoneFile), qPrintable(strPulled));
        ++nFiles;
    }
    QCOMPARE(nFiles, 4);

    // One file through the other name of the shared storage.
    const QString strOne = strLocal + QStringLiteral("/one.mp4");
    run = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("pull"), QStringLiteral("/storage/emulated/0/Movies/big.mp4"), strOne});
    QVERIFY2(run.nStatus == 0, qPrintable(run.strErr));
    QVERIFY(ReadAll(strOne) == ReadAll(m_strPhone + QStringLiteral("/fs/sdcard/Movies/big.mp4")));

    // An installed application by the path pm gives.
    const QString strApkPath = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("shell"), QStringLiteral("pm path com.example.notes")})
                                   .strOut.trimmed().mid(8);
    const QString strApk = strLocal + QStringLiteral("/notes.apk");
    run = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("pull"), strApkPath, strApk});
    QVERIFY2(run.nStatus == 0, qPrintable(strApkPath + run.strErr));
    QVERIFY(ReadAll(strApk) == ReadAll(m_strPhone + QStringLiteral("/fs/data/app/com.example.notes.apk")));
}

void tst_AdbPhoneSim::pushIsByteIdentical()
{
    QFETCH(QStringList, listOptions);
    const QString strSerial = listOptions.isEmpty() ? m_strSerial : StartSimulator(listOptions);
    QVERIFY(!strSerial.isEmpty());
    const QString strTarget = QStringLiteral("/sdcard/Pushed ") + QTest::currentDataTag();
    const QString strSource = m_strPhone + QStringLiteral("/fs/sdcard/DCIM");
    const QString strLanded = m_strPhone + QStringLiteral("/fs") + strTarget;
    QVERIFY(QDir().mkpath(strLanded)); // several sources go into a folder that is there
    const AdbRun run = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("push"), strSource,
                            m_strPhone + QStringLiteral("/fs/sdcard/Movies/big.mp4"), strTarget + QLatin1Char('/')});
    QVERIFY2(run.nStatus == 0, qPrintable(run.strOut + run.strErr));
    QVERIFY(ReadAll(strLanded + QStringLiteral("/big.mp4")) == ReadAll(m_strPhone + QStringLiteral("/fs/sdcard/Movies/big.mp4")));
    int nFiles = 0;
    QDirIterator it(strSource, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString strFile = it.next();
        const QString strPushed = strLanded + QStringLiteral("/DCIM/") + QDir(strSource).relativeFilePath(strFile);
        QVERIFY2(ReadAll(strPushed) == ReadAll(strFile), qPrintable(strPushed));
        ++nFiles;
    }
    QCOMPARE(nFiles, 4);
}

void tst_AdbPhoneSim::listing()
{
    const AdbRun run = Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("ls"), QStringLiteral("/sdcard/DCIM/Camera")});
    QCOMPARE(run.nStatus, 0);
    // mode, size, mtime in hex, then the name
    QStringList listLines = run.strOut.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    listLines.sort();
    QCOMPARE(listLines.size(), 5);
    QVERIFY2(QRegularExpression(QStringLiteral("^000041f9 00001000 [0-9a-f]{8} \\.$")).match(listLines.at(0)).hasMatch(), qPrintable(listLines.at(0)));
    QVERIFY2(listLines.at(2).startsWith(QLatin1String("000081b0 00000000 ")) && listLines.at(2).endsWith(QLatin1String(" empty.png")), qPrintable(listLines.at(2)));
    QVERIFY2(listLines.at(3).startsWith(QLatin1String("000081b0 0004b000 ")) && listLines.at(3).endsWith(QLatin1String(" IMG_0001.jpg")), qPrintable(listLines.at(3)));
    QVERIFY2(listLines.at(4).startsWith(QLatin1String("000081b0 00300011 ")) && listLines.at(4).endsWith(QLatin1String(" VID_0002.mp4")), qPrintable(listLines.at(4)));

    const AdbRun denied = Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("ls"), QStringLiteral("/data/data")});
    QCOMPARE(denied.strOut, QString()); // a folder the shell may not read lists as empty
}

void tst_AdbPhoneSim::refusedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    QTest::newRow("permission denied") << "/sdcard/Locked/secret.jpg" << "remote open failed: Permission denied";
    QTest::newRow("vanished after listing") << "/sdcard/Locked/gone.jpg" << "remote open failed: No such file or directory";
    // The shell user cannot even see into an application's folder.
    QTest::newRow("application data") << "/data/data/com.example.notes/x" << "remote object '/data/data/com.example.notes/x' does not exist";
}

void tst_AdbPhoneSim::refusedFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, error);
    const QString strLocal = m_dir.filePath(QStringLiteral("refused"));
    const AdbRun run = Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("pull"), path, strLocal});
    QVERIFY(run.nStatus != 0);
    // adb prints its error on standard output
    QVERIFY2((run.strOut + run.strErr).contains(error), qPrintable(run.strOut + run.strErr));
    QVERIFY(!QFile::exists(strLocal));
    // The phone goes on serving.
    QCOMPARE(Adb({QStringLiteral("-s"), m_strSerial, QStringLiteral("shell"), QStringLiteral("echo alive")}).strOut, QStringLiteral("alive\n"));
}

void tst_AdbPhoneSim::cancelledPullClosesStream()
{
    // A slow link so that the copy is still running when the client goes
    // away: at 50 KB/s the checks below have 40 s before half of the file
    // has passed, so a loaded machine cannot outrun them.
    const QString strSerial = StartSimulator({QStringLiteral("--rate"), QStringLiteral("50000")});
    QVERIFY(!strSerial.isEmpty());
    QProcess pull;
    pull.setProcessEnvironment(m_rig.Environment());
    const QString strLocal = m_dir.filePath(QStringLiteral("cancelled.mp4"));
    pull.start(AdbTestRig::AdbPath(), {QStringLiteral("-P"), QString::number(m_rig.ServerPort()), QStringLiteral("-s"), strSerial,
                          QStringLiteral("pull"), QStringLiteral("/sdcard/Movies/big.mp4"), strLocal});
    QVERIFY(pull.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(strLocal).size() > 0, 20000);
    QVERIFY(SimulatorCommand(strSerial, "status").contains(QLatin1String(" streams=1 ")));
    // Another stream is answered beside the copy ...
    QCOMPARE(Adb({QStringLiteral("-s"), strSerial, QStringLiteral("shell"), QStringLiteral("getprop ro.product.model")}).strOut,
             QStringLiteral("Test Phone\n"));
    // ... while the copy is still far from done: a paced copy must not starve other streams.
    QVERIFY(QFileInfo(strLocal).size() < 2 * 1024 * 1024);
    QCOMPARE(pull.state(), QProcess::Running);
    pull.kill(); // the server closes the stream
    pull.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(SimulatorCommand(strSerial, "status").contains(QLatin1String(" streams=0 ")), 20000);
    QCOMPARE(Adb({QStringLiteral("-s"), strSerial, QStringLiteral("shell"), QStringLiteral("echo alive")}).strOut, QStringLiteral("alive\n"));
}

void tst_AdbPhoneSim::pushIsPaced()
{
    // The link's rate holds the server's writes too: at 50 KB/s a push of
    // 4 MB is still far from done once its first bytes have arrived. Small
    // messages keep each write's share of the link short.
    const QString strSerial = StartSimulator({QStringLiteral("--rate"), QStringLiteral("50000"), QStringLiteral("--max-data"),
                                              QStringLiteral("4096")});
    QVERIFY(!strSerial.isEmpty());
    const QString strLanded = m_strPhone + QStringLiteral("/fs/sdcard/Download/paced.mp4");
    QProcess push;
    push.setProcessEnvironment(m_rig.Environment());
    push.start(AdbTestRig::AdbPath(), {QStringLiteral("-P"), QString::number(m_rig.ServerPort()), QStringLiteral("-s"), strSerial,
                          QStringLiteral("push"), m_strPhone + QStringLiteral("/fs/sdcard/Movies/big.mp4"),
                          QStringLiteral("/sdcard/Download/paced.mp4")});
    QVERIFY(push.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(strLanded).size() > 0, 20000);
    QVERIFY(QFileInfo(strLanded).size() < 2 * 1024 * 1024);
    QCOMPARE(push.state(), QProcess::Running);
    // Another stream is answered beside the paced push.
    QCOMPARE(Adb({QStringLiteral("-s"), strSerial, QStringLiteral("shell"), QStringLiteral("echo alive")}).strOut, QStringLiteral("alive\n"));
    // The server still drains what the client had written: the cable goes.
    push.kill();
    push.waitForFinished();
    SimulatorCommand(strSerial, "unplug");
    QTRY_VERIFY_WITH_TIMEOUT(SimulatorCommand(strSerial, "status").contains(QLatin1String(" streams=0 ")), 20000);
}

void tst_AdbPhoneSim::unauthorized()
{
    const QString strSerial = StartSimulator({QStringLiteral("--unauthorized")}, false);
    QVERIFY(!strSerial.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(Adb({QStringLiteral("devices")}).strOut.contains(strSerial + QStringLiteral("\tunauthorized")), 20000);
    const AdbRun run = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("shell"), QStringLiteral("echo hi")});
    QVERIFY(run.nStatus != 0);
    QVERIFY2((run.strOut + run.strErr).contains(QLatin1String("unauthorized")), qPrintable(run.strOut + run.strErr));
}

void tst_AdbPhoneSim::unplugAfterFiles()
{
    const QString strSerial = StartSimulator({QStringLiteral("--unplug-after-files"), QStringLiteral("2")});
    QVERIFY(!strSerial.isEmpty());
    const QString strLocal = m_dir.filePath(QStringLiteral("unplugged"));
    QDir().mkpath(strLocal);
    const AdbRun run = Adb({QStringLiteral("-s"), strSerial, QStringLiteral("pull"), QStringLiteral("/sdcard/DCIM/Camera"), strLocal});
    QVERIFY(run.nStatus != 0);
    QVERIFY(SimulatorCommand(strSerial, "status").endsWith(QLatin1String("files=2 plugged=no")));
    QTRY_VERIFY_WITH_TIMEOUT(Adb({QStringLiteral("-s"), strSerial, QStringLiteral("get-state")}).strOut.trimmed() != QLatin1String("device"), 20000);

    // Plugged in again, the server finds the phone again.
    QCOMPARE(SimulatorCommand(strSerial, "plug"), QStringLiteral("plugged"));
    Adb({QStringLiteral("connect"), strSerial});
    QTRY_VERIFY_WITH_TIMEOUT(Adb({QStringLiteral("-s"), strSerial, QStringLiteral("get-state")}).strOut.trimmed() == QLatin1String("device"), 30000);
}

QTEST_GUILESS_MAIN(tst_AdbPhoneSim)
#include "tst_adbphonesim.moc"
