// backup-host, the host application: its command line, and whole runs of the
// program off screen (a backup with pictures, waiting for a phone that never
// comes, a library that is not the suite's plugin, no display, nothing to
// back up).

#include "AdbTestRig.h"
#include "BackupKinds.h"
#include "HostOptions.h"
#include "ItemNames.h"
#include "TestEnv.h"
#include "TestPhone.h"

#include <host/Change.h>

#include <QImage>
#include <QLibraryInfo>
#include <QProcess>
#include <QtTest>

#include <memory>

namespace
{
struct RunResult
{
    int nExitCode = -1;
    QString strOut;
    QString strErr;
};
} // namespace

class tst_BackupHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void options_data();
    void options();
    void phoneOptions_data();
    void phoneOptions();
    void headlessWaitsForPhone_data();
    void headlessWaitsForPhone();
    void itemNamesAgreeWithTheTool();
    void headlessBackupWithPictures();
    void headlessPhoneDisconnected();
    void refusesForeignLibrary_data();
    void refusesForeignLibrary();
    void refusals_data();
    void refusals();

private:
    RunResult Run(const QStringList &listArgs, const QProcessEnvironment &env);
    QProcessEnvironment Environment() const;

    std::unique_ptr<TestEnv> m_pEnv;
    QString m_strPhone;
};

void tst_BackupHost::initTestCase()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    QVERIFY2(QFileInfo(QStringLiteral(BACKUP_STAGE_DIR "/bin/backup-host")).isExecutable(), "backup-host is not built");
    // A small phone: records only, so a run is quick.
    TestPhone phone(m_pEnv->Path(QStringLiteral("phone")));
    phone.SetRecords(0, 3);
    phone.SetRecords(1, 4);
    phone.SetRecords(4, 2);
    QVERIFY(phone.Save());
    m_strPhone = phone.Dir();
    // Backups the restore wizard lists but cannot take, and a file that is none.
    const QString strCut = m_pEnv->Path(QStringLiteral("backups/backup_Cut_2021-01-01-00-00-00"));
    QVERIFY(QDir().mkpath(strCut + QStringLiteral("/APK")));
    for (const QString &strFile : {QStringLiteral("/APK/a.apk"), QStringLiteral("/INTERRUPTED.txt")}) {
        QFile file(strCut + strFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
    }
    QFile notes(m_pEnv->Path(QStringLiteral("backups/notes.txt")));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a backup\n") > 0);
}

QProcessEnvironment tst_BackupHost::Environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELORIX_HOST_LOG"), m_pEnv->Path(QStringLiteral("host.log")));
    env.insert(QStringLiteral("PELORIX_HOST_ROOT"), QStringLiteral(BACKUP_STAGE_DIR));
    env.remove(QStringLiteral("PELORIX_HOST_LANG"));
    return env;
}

RunResult tst_BackupHost::Run(const QStringList &listArgs, const QProcessEnvironment &env)
{
    RunResult result;
    QProcess process;
    process.setProcessEnvironment(env);
    // Relative arguments are the user's: they start from here.
    process.setWorkingDirectory(m_pEnv->Root());
    process.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backup-host"), listArgs);
    if (!process.waitForStarted(30000) || !process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        result.strErr = QStringLiteral("backup-host did not run to its end");
        return result;
    }
    result.nExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.strErr = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

void tst_BackupHost::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("caller");

    QTest::newRow("items in wizard order, once")
        << QStringList{"--headless", "--items", "music, Contacts,music"} << true << QStringList{"music", "contacts"} << 0;
    QTest::newRow("all") << QStringList{"--headless", "--items", "all"} << true << HostOptions::TileNames() << 0;
    QTest::newRow("unknown item") << QStringList{"--headless", "--items", "fotos"} << false << QStringList() << 0;
    QTest::newRow("kinds and everyday words name their tiles")
        << QStringList{"--headless", "--items", "photos,Audio,sms,email,videos"} << true
        << QStringList{"media", "music", "messages", "other"} << 0;
    QTest::newRow("rom caller") << QStringList{"--caller", "ROM"} << true << QStringList() << 2;
    QTest::newRow("unknown caller") << QStringList{"--caller", "home"} << false << QStringList() << 0;
    QTest::newRow("option taken as a value") << QStringList{"--dest", "--headless"} << false << QStringList() << 0;
    QTest::newRow("shots need headless") << QStringList{"--shots", "x"} << false << QStringList() << 0;
    QTest::newRow("items need headless") << QStringList{"--items", "music"} << false << QStringList() << 0;
    QTest::newRow("bad timeout") << QStringList{"--headless", "--timeout", "0"} << false << QStringList() << 0;
}

void tst_BackupHost::options()
{
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QStringList, items);
    QFETCH(int, caller);
    HostOptions options;
    QString strError;
    QCOMPARE(options.Parse(args, strError), ok);
    QCOMPARE(strError.isEmpty(), ok);
    if (ok) {
        QCOMPARE(options.listItems, items);
        QCOMPARE(options.nCaller, caller);
    }
}

void tst_BackupHost::phoneOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("device"); // empty: the SDK's default (a real phone)

    QTest::newRow("nothing said") << QStringList {} << true << QString();
    QTest::newRow("a phone folder is the simulated phone") << QStringList {"--phone", "p"} << true << "sim";
    QTest::newRow("folder and sim") << QStringList {"--device", "sim", "--phone", "p"} << true << "sim";
    QTest::newRow("folder with a real phone") << QStringList {"--phone", "p", "--device", "adb"} << false << QString();
    QTest::newRow("a serial") << QStringList {"--device", "adb:127.0.0.1:5555"} << true << "adb:127.0.0.1:5555";
    QTest::newRow("adb: alone") << QStringList {"--device", "adb:"} << false << QString();
    QTest::newRow("unknown back end") << QStringList {"--device", "usb"} << false << QString();
}

void tst_BackupHost::phoneOptions()
{
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QString, device);
    HostOptions options;
    QString strError;
    QCOMPARE(options.Parse(args, strError), ok);
    if (ok)
        QCOMPARE(options.strDevice, device);
}

// The window's --items and backuptool's take the same names for the same
// tiles: the host keeps its own table, as it never links the engine.
void tst_BackupHost::itemNamesAgreeWithTheTool()
{
    for (const QString &strName : ItemNames::Names()) {
        const BackupTile *pTile = BackupKinds::Tile(ItemNames::TileOf(strName));
        QVERIFY2(pTile, qPrintable(strName));
        QCOMPARE(HostOptions::TileOfName(strName), QString::fromLatin1(pTile->szToolName));
    }
}

void tst_BackupHost::headlessWaitsForPhone_data()
{
    QTest::addColumn<QByteArray>("lang");
    for (const char *szLang : {"en", "ru", "ar"})
        QTest::newRow(szLang) << QByteArray(szLang);
}

// No phone at all: the program does not end at once but shows the connect
// page, prints what it says in the chosen language and gives up when the
// time is over.
void tst_BackupHost::headlessWaitsForPhone()
{
    QFETCH(QByteArray, lang);
    if (AdbTestRig::AdbPath().isEmpty())
        QSKIP("adb is not installed (apt-get install adb)");
    AdbTestRig rig(m_pEnv->Path(QStringLiteral("rig-") + QString::fromLatin1(lang)));
    QDir().mkpath(m_pEnv->Path(QStringLiteral("rig-") + QString::fromLatin1(lang)));
    QString strError;
    QVERIFY2(rig.Start(&strError), qPrintable(strError));
    QProcessEnvironment env = Environment();
    env.insert(rig.Environment());
    const RunResult result = Run({QStringLiteral("--headless"), QStringLiteral("--device"), QStringLiteral("adb"),
                                  QStringLiteral("--lang"), QString::fromLatin1(lang), QStringLiteral("--timeout"),
                                  QStringLiteral("2")},
                                 env);
    QVERIFY(rig.Stop());
    qputenv("PELORIX_HOST_LANG", lang);
    const QString strTitle = Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_TITLE");
    const QString strNoPhone = Change::tr("IDS_BACKUPUIPLUGIN_CONNECT_NOPHONE_TEXT");
    qunsetenv("PELORIX_HOST_LANG");
    QVERIFY2(result.nExitCode == 3, qPrintable(result.strOut + result.strErr));
    QVERIFY2(result.strOut.contains(strTitle) && result.strOut.contains(strNoPhone), qPrintable(result.strOut));
    QVERIFY2(result.strErr.contains(QStringLiteral("no phone became ready within 2 s")), qPrintable(result.strErr));
}

void tst_BackupHost::headlessBackupWithPictures()
{
    const QString strDest = m_pEnv->Path(QStringLiteral("dest"));
    const QString strShots = m_pEnv->Path(QStringLiteral("shots"));
    // Folders given relative to where the user started, not to the install
    // folder the program moves into.
    const RunResult result = Run({QStringLiteral("--headless"), QStringLiteral("--phone"), m_strPhone,
                                  QStringLiteral("--dest"), QStringLiteral("dest"), QStringLiteral("--items"),
                                  QStringLiteral("contacts,messages,other"), QStringLiteral("--shots"),
                                  QStringLiteral("./shots")},
                                 Environment());
    QVERIFY2(result.nExitCode == 0, qPrintable(result.strOut + result.strErr));
    QVERIFY2(result.strOut.contains(QStringLiteral("On the phone: contacts 3, messages 4")), qPrintable(result.strOut));
    QVERIFY(result.strOut.contains(QStringLiteral("Selected: contacts, messages, other")));
    QVERIFY(result.strOut.contains(QStringLiteral("Backing up into %1").arg(strDest)));
    QVERIFY(result.strOut.contains(QStringLiteral("Backup finished.\n")));
    QVERIFY(result.strOut.contains(QStringLiteral("  contacts           3\n")));
    QVERIFY(result.strOut.contains(QStringLiteral("  calls              2\n")));

    // The package line names the file the run left in the destination.
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Package:\\s+(\\S.*\\.zip)\\n")).match(result.strOut);
    QVERIFY2(match.hasMatch(), qPrintable(result.strOut));
    QCOMPARE(QFileInfo(match.captured(1)).absolutePath(), strDest);
    QVERIFY(QFileInfo(match.captured(1)).isFile());

    for (const char *szShot : {"1-prepare.png", "2-progress.png", "3-result.png"}) {
        const QImage image(QDir(strShots).filePath(QLatin1String(szShot)));
        QVERIFY2(!image.isNull(), szShot);
        QCOMPARE(image.size(), QSize(896, 640));
    }
}

// The phone goes away after the contacts file: the window reaches the result
// page, and the host says so and ends with the status for it.
void tst_BackupHost::headlessPhoneDisconnected()
{
    TestPhone phone(m_pEnv->Path(QStringLiteral("unplugged")));
    phone.SetRecords(0, 3);
    phone.SetRecords(1, 4);
    phone.SetRecords(19, 2);
    phone.SetUnplugAfterFiles(1);
    QVERIFY(phone.Save());
    const QString strDest = m_pEnv->Path(QStringLiteral("dest-unplugged"));
    const QString strShots = m_pEnv->Path(QStringLiteral("shots-unplugged"));
    const RunResult result = Run({QStringLiteral("--headless"), QStringLiteral("--phone"), phone.Dir(),
                                  QStringLiteral("--dest"), strDest, QStringLiteral("--items"),
                                  QStringLiteral("contacts,messages"), QStringLiteral("--shots"), strShots,
                                  QStringLiteral("--timeout"), QStringLiteral("20")},
                                 Environment());
    QVERIFY2(result.nExitCode == 4, qPrintable(result.strOut + result.strErr));
    QVERIFY2(result.strOut.contains(QStringLiteral("phone disconnected")), qPrintable(result.strOut));
    QVERIFY2(result.strOut.contains(QStringLiteral("Result page: ")), qPrintable(result.strOut));
    // The bar stops where the run did; it is never shown full.
    QVERIFY2(!result.strOut.contains(QStringLiteral("100%")), qPrintable(result.strOut));
    QVERIFY2(result.strOut.contains(QRegularExpression(QStringLiteral("\\] +\\d+%  Backup failed\\."))),
             qPrintable(result.strOut));
    QVERIFY(QFileInfo::exists(QDir(strShots).filePath(QStringLiteral("3-result.png"))));
    QCOMPARE(QDir(strDest).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void tst_BackupHost::refusesForeignLibrary_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("message");
    // A library of Qt's that the host does not load otherwise (a second copy
    // of one it has loaded would clash with it).
    QTest::newRow("not the suite's plugin")
        << QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Xml.so.6") << QByteArray()
        << QByteArray() << QStringLiteral("is not a plugin of this suite");
    // The plugin itself, with another version in its verification text.
    QTest::newRow("built for another host")
        << QStringLiteral(BACKUP_STAGE_DIR "/plugins/BackUpUIPlugin/BackUpUIPlugin.so") << QByteArray("version=4.6.2")
        << QByteArray("version=4.8.7") << QStringLiteral("was built for another host");
}

void tst_BackupHost::refusesForeignLibrary()
{
    QFETCH(QString, library);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, message);
    // An install folder whose plugin library is not the one the host expects.
    const QString strRoot = m_pEnv->Path(QStringLiteral("foreign-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
    QVERIFY(QDir().mkpath(strRoot + QStringLiteral("/plugins/BackUpUIPlugin")));
    QFile source(library);
    QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(library));
    QByteArray baLibrary = source.readAll();
    if (!from.isEmpty()) {
        QCOMPARE(baLibrary.count(from), 1);
        baLibrary.replace(from, to);
    }
    QFile target(strRoot + QStringLiteral("/plugins/BackUpUIPlugin/BackUpUIPlugin.so"));
    QVERIFY(target.open(QIODevice::WriteOnly));
    QCOMPARE(target.write(baLibrary), baLibrary.size());
    target.close();

    QProcessEnvironment env = Environment();
    env.insert(QStringLiteral("PELORIX_HOST_ROOT"), strRoot);
    const RunResult result = Run({QStringLiteral("--headless")}, env);
    QCOMPARE(result.nExitCode, 2);
    QVERIFY2(result.strErr.contains(message), qPrintable(result.strErr));
    QVERIFY(!result.strOut.contains(QStringLiteral("Counting")));
}

void tst_BackupHost::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("noDisplay");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no display") << QStringList() << true << 2 << QStringLiteral("no display is available");
    QTest::newRow("wrong argument") << QStringList{QStringLiteral("--lang"), QStringLiteral("xx")} << false << 2
                                    << QStringLiteral("unknown language");
    QTest::newRow("not a phone") << QStringList{QStringLiteral("--headless"), QStringLiteral("--phone"),
                                                QStringLiteral("/nonexistent")}
                                 << false << 2 << QStringLiteral("holds no phone");
    QTest::newRow("nothing to back up") << QStringList{QStringLiteral("--headless"), QStringLiteral("--items"),
                                                       QStringLiteral("music")}
                                        << false << 1 << QStringLiteral("nothing is selected");
    // A backup the wizard will not take ends at once, as backuptool restore
    // does, not when the wizard's time is up.
    const QString strCut = m_pEnv->Path(QStringLiteral("backups/backup_Cut_2021-01-01-00-00-00"));
    QTest::newRow("restore of an interrupted backup")
        << QStringList{QStringLiteral("--headless"), QStringLiteral("--timeout"), QStringLiteral("20"),
                       QStringLiteral("--restore"), strCut}
        << false << 1 << strCut + QStringLiteral(" cannot be restored: Interrupted: 1 files kept");
    const QString strNotes = m_pEnv->Path(QStringLiteral("backups/notes.txt"));
    QTest::newRow("restore of a file that is no backup")
        << QStringList{QStringLiteral("--headless"), QStringLiteral("--timeout"), QStringLiteral("20"),
                       QStringLiteral("--restore"), strNotes}
        << false << 1 << strNotes + QStringLiteral(" cannot be restored: it is no backup");
}

void tst_BackupHost::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(bool, noDisplay);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QProcessEnvironment env = Environment();
    if (noDisplay) {
        for (const char *szName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(szName));
    }
    if (!args.contains(QStringLiteral("--phone")))
        args << QStringLiteral("--phone") << m_strPhone;
    const RunResult result = Run(args, env);
    QCOMPARE(result.nExitCode, exitCode);
    QVERIFY2(result.strErr.contains(message), qPrintable(result.strOut + result.strErr));
}

QTEST_MAIN(tst_BackupHost)
#include "tst_backuphost.moc"
