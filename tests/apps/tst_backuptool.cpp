// backuptool, run as a program on packages written by the package writer
// and on broken ones: exit status, what it prints, what it writes.

#include "PackageFixture.h"
#include "TestEnv.h"

#include <MyZip.h>
#include <host/CommonUtils.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <memory>

#include <unistd.h>

class tst_BackupTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void listJson();
    void verifyWithoutPackage_data();
    void verifyWithoutPackage();
    void verifyJson_data();
    void verifyJson();
    void infoJson();
    void extractWritesFiles();

private:
    struct Result
    {
        int nExit = -1;
        QString strOut;
        QString strErr;
    };
    Result Run(const QStringList &listArgs);
    QString Package(const QString &strName) const { return m_pEnv->Path(QStringLiteral("pkg/") + strName); }

    std::unique_ptr<TestEnv> m_pEnv;
    QByteArray m_baGood; // the good package's file bytes
};

void tst_BackupTool::initTestCase()
{
    QVERIFY2(QFile::exists(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool")), "backuptool is not built");
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("32.610.12"));
    QVERIFY(QDir().mkpath(m_pEnv->Path(QStringLiteral("src"))));
    QVERIFY(QDir().mkpath(m_pEnv->Path(QStringLiteral("pkg"))));

    // The good package, written by the writer as a backup writes it.
    const QByteArray baInfo = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Info>\r\n\t<DashBoard>32.610.12</DashBoard>\r\n"
                              "\t<CVersion>C00</CVersion>\r\n\t<DeviceName>Phone\x10" "350000000000017</DeviceName>\r\n"
                              "\t<FirmWare>V1C00</FirmWare>\r\n</Info>\r\n<Moudle>\r\n\t<PB>120</PB>\r\n</Moudle>";
    PackageFixture::WriteFile(m_pEnv->Path(QStringLiteral("src/Info.xml")), baInfo);
    PackageFixture::WriteFile(m_pEnv->Path(QStringLiteral("src/PB.zip")), QByteArray(300000, 'c'));
    MyZip zip;
    zip.SetDeviceName("Phone\x10" "350000000000017");
    QVERIFY(zip.AddFile(QFile::encodeName(m_pEnv->Path(QStringLiteral("src/Info.xml")))));
    QVERIFY(zip.AddFile(QFile::encodeName(m_pEnv->Path(QStringLiteral("src/PB.zip")))));
    zip.SetPBCount(120);
    QVERIFY(zip.SetOutPutFile(QFile::encodeName(Package(QStringLiteral("good.zip")))));
    QVERIFY(zip.DoMakeZip(false));
    m_baGood = PackageFixture::ReadFile(Package(QStringLiteral("good.zip")));

    // Broken ones.
    const QByteArray baPlain = PackageFixture::Gunzip(m_baGood);
    PackageFixture::WriteFile(Package(QStringLiteral("cut-entry.zip")), PackageFixture::Gzip(baPlain.left(baPlain.size() - 1000)));
    PackageFixture::WriteFile(Package(QStringLiteral("cut-header.zip")), PackageFixture::Gzip(baPlain.left(100000)));
    PackageFixture::WriteFile(Package(QStringLiteral("garbage.zip")), PackageFixture::Gzip(QByteArray(280000, '\x7f')));
    // The second entry declared one byte short: its last byte is left over.
    QByteArray baShort = baPlain;
    PackageFixture::PutU32(baShort, 68 + 4, 300000 - 1);
    PackageFixture::WriteFile(Package(QStringLiteral("short.zip")), PackageFixture::Gzip(baShort));
    // One flipped bit in the stored checksum: every byte decodes, none is confirmed.
    QByteArray baFlipped = m_baGood;
    baFlipped[baFlipped.size() - 6] = char(baFlipped.at(baFlipped.size() - 6) ^ 0x01);
    PackageFixture::WriteFile(Package(QStringLiteral("flipped.zip")), baFlipped);
    // An entry name that would steer the terminal.
    PackageFixture::WriteFile(Package(QStringLiteral("escape.zip")),
                              PackageFixture::Gzip(PackageFixture::Build(QStringLiteral("MMS"),
                                                                         {{"C:/a/Info.xml", "<Info>\r\n</Info>"},
                                                                          {"C:/a/\x1b[2Jred", "x"}},
                                                                         {0, 1}, "P")));
    // Files of other kinds that a user may take for a package.
    PackageFixture::WriteFile(Package(QStringLiteral("ordinary.zip")),
                              QByteArray("PK\x03\x04\x14\x00\x00\x00\x00\x00", 10) + QByteArray(200, '\0'));
    PackageFixture::WriteFile(Package(QStringLiteral("notes.txt")), "a note, not a package\n");
    // The backup folder beside a package, and a folder of nothing.
    QVERIFY(QDir().mkpath(Package(QStringLiteral("good/Image"))));
    QVERIFY(QDir().mkpath(Package(QStringLiteral("plain"))));
    PackageFixture::WriteFile(Package(QStringLiteral("no-info.zip")),
                              PackageFixture::Gzip(PackageFixture::Build(QStringLiteral("MMS"), {{"C:/a/PB.zip", "x"}}, {0, 1}, "P")));
}

tst_BackupTool::Result tst_BackupTool::Run(const QStringList &listArgs)
{
    QProcess process;
    process.start(QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool"), listArgs);
    Result result;
    if (!process.waitForFinished(60000))
        return result;
    result.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.strErr = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

void tst_BackupTool::commands_data()
{
    QTest::addColumn<QStringList>("args"); // "@" stands for the package folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out");  // lines or parts expected on stdout
    QTest::addColumn<QString>("err");      // part expected on stderr

    QTest::newRow("list") << QStringList{"list", "@/good.zip"} << 0
                          << QStringList{"Layout:   MMS (versioned, 20 counts)", "Version:  DVSK 32.610.12\n",
                                         "Phone:    Phone\n", "Counts:\n  contacts   120\n  sms        0\n",
                                         "  mms        0\n", "  email      0\n", "Entries:  2", "300000  "}
                          << "";
    QTest::newRow("info") << QStringList{"info", "@/good.zip"} << 0
                          << QStringList{"Phone:          Phone\n", "Firmware:       V1C00\n", "Customisation:  C00\n",
                                         "Host version:   32.610.12\n", "  contacts   120\n", "  videos     0\n",
                                         "  calls      0\n", "Info.xml:       contacts 120\n"}
                          << "";
    QTest::newRow("verify good") << QStringList{"verify", "@/good.zip"} << 0
                                 << QStringList{"Checksum: confirmed", "The package is sound."} << "";
    QTest::newRow("verify cut entry")
        << QStringList{"verify", "@/cut-entry.zip"} << 1
        << QStringList{"The package is NOT sound:", "entry 1", "declares 300000 bytes but the package holds only 299000",
                       "Intact entries: none", "Read in full, but not confirmed (their bytes may be wrong): 0 Info.xml"}
        << "the package is not sound";
    QTest::newRow("verify entry declared short")
        << QStringList{"verify", "@/short.zip"} << 1
        << QStringList{"1 bytes follow the last entry", "Intact entries: none", "0 Info.xml, 1 PB.zip"}
        << "the package is not sound";
    QTest::newRow("extract flipped checksum")
        << QStringList{"extract", "@/flipped.zip", "@/flipped-out"} << 1
        << QStringList{"kept " + QStringLiteral("@/flipped-out/Info.xml.unconfirmed"), "not confirmed"}
        << "extraction failed";
    QTest::newRow("extract entry declared short")
        << QStringList{"extract", "@/short.zip", "@/short-out"} << 1 << QStringList{"PB.zip.unconfirmed"}
        << "1 bytes follow the last entry";
    QTest::newRow("extract escapes names") << QStringList{"extract", "@/escape.zip", "@/escape-out"} << 0
                                           << QStringList{"escape-out/\\x1b[2Jred"} << "";
    QTest::newRow("verify cut header") << QStringList{"verify", "@/cut-header.zip"} << 1
                                       << QStringList{"ends inside its header", "NOT sound"} << "not sound";
    QTest::newRow("list missing") << QStringList{"list", "@/none.zip"} << 1 << QStringList()
                                  << "cannot read @/none.zip: No such file or directory";
    QTest::newRow("info of an ordinary ZIP") << QStringList{"info", "@/ordinary.zip"} << 1 << QStringList()
                                             << "is not a backup package (it is an ordinary ZIP archive)";
    QTest::newRow("list backup folder") << QStringList{"list", "@/good"} << 1 << QStringList()
                                        << "its package is @/good.zip";
    QTest::newRow("info backup folder") << QStringList{"info", "@/good"} << 1 << QStringList()
                                        << "its package is @/good.zip";
    QTest::newRow("info garbage") << QStringList{"info", "@/garbage.zip"} << 1 << QStringList()
                                  << "not a backup package";
    QTest::newRow("info without Info.xml") << QStringList{"info", "@/no-info.zip"} << 1 << QStringList()
                                           << "the package holds no Info.xml entry";
    QTest::newRow("info cut entry is fine") << QStringList{"info", "@/cut-entry.zip"} << 0
                                            << QStringList{"  contacts   120"} << "";
    QTest::newRow("--help") << QStringList{"--help"} << 0
                            << QStringList{"Commands:", "  verify", "4 phone disconnected", "5 no usable phone", "130 cancelled"} << "";
    QTest::newRow("run --help names every kind")
        << QStringList{"run", "--help"} << 0
        << QStringList{"media    (also: images, videos, photos", "other    (also: calls, calendar, email", "130 cancelled"}
        << "";
    QTest::newRow("no command") << QStringList() << 2 << QStringList() << "no command given";
    QTest::newRow("unknown command") << QStringList{"pack"} << 2 << QStringList() << "unknown command 'pack'";
    QTest::newRow("unknown option") << QStringList{"verify", "--fast", "a"} << 2 << QStringList()
                                    << "verify: unknown option --fast";
}

void tst_BackupTool::commands()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
    QFETCH(QString, err);
    for (QString &strArg : args)
        strArg.replace(QLatin1Char('@'), m_pEnv->Path(QStringLiteral("pkg")));
    const Result result = Run(args);
    QVERIFY2(result.nExit == exitCode, qPrintable(QStringLiteral("exit %1\n%2\n%3").arg(result.nExit).arg(result.strOut, result.strErr)));
    // Nothing from a package reaches the terminal raw.
    QVERIFY(!result.strOut.contains(QChar(0x1b)));
    for (QString strPart : out) {
        strPart.replace(QLatin1Char('@'), m_pEnv->Path(QStringLiteral("pkg")));
        QVERIFY2(result.strOut.contains(strPart), qPrintable(strPart + QStringLiteral(" not in:\n") + result.strOut));
    }
    err.replace(QLatin1Char('@'), m_pEnv->Path(QStringLiteral("pkg")));
    if (err.isEmpty())
        QCOMPARE(result.strErr, QString());
    else
        QVERIFY2(result.strErr.contains(err), qPrintable(result.strErr));
}

void tst_BackupTool::listJson()
{
    const Result result = Run({QStringLiteral("list"), Package(QStringLiteral("good.zip")), QStringLiteral("--json")});
    QCOMPARE(result.nExit, 0);
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(result.strOut.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value(QStringLiteral("deviceName")).toString(), QStringLiteral("Phone\x10" "350000000000017"));
    QCOMPARE(object.value(QStringLiteral("counts")).toObject().value(QStringLiteral("PBCount")).toInt(), 120);
    const QJsonArray entries = object.value(QStringLiteral("entries")).toArray();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(1).toObject().value(QStringLiteral("size")).toInt(), 300000);
    QCOMPARE(object.value(QStringLiteral("interrupted")), QJsonValue(false));
}

void tst_BackupTool::verifyWithoutPackage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("err");
    QTest::newRow("missing") << "none.zip" << "cannot read @/none.zip: No such file or directory";
    QTest::newRow("unreadable") << "locked.zip" << "cannot read @/locked.zip: Permission denied";
    QTest::newRow("ordinary ZIP") << "ordinary.zip" << "@/ordinary.zip is not a backup package (it is an ordinary ZIP archive)";
    QTest::newRow("text") << "notes.txt" << "@/notes.txt is not a backup package\n";
    QTest::newRow("gzip of something else") << "garbage.zip" << "@/garbage.zip is not a backup package\n";
    QTest::newRow("backup folder") << "good" << "@/good is a backup folder, not a package; its package is @/good.zip\n";
    QTest::newRow("backup folder with a slash") << "good/" << "its package is @/good.zip\n";
    QTest::newRow("folder") << "plain" << "@/plain is a folder, not a backup package\n";
}

// A file that is no package gets no verdict on its soundness.
void tst_BackupTool::verifyWithoutPackage()
{
    QFETCH(QString, file);
    QFETCH(QString, err);
    const QString strPath = Package(file);
    if (file == QLatin1String("locked.zip")) {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        PackageFixture::WriteFile(strPath, m_baGood);
        QVERIFY(QFile::setPermissions(strPath, QFileDevice::Permissions()));
    }
    const Result result = Run({QStringLiteral("verify"), strPath});
    QCOMPARE(result.nExit, 1);
    QVERIFY2(!result.strOut.contains(QStringLiteral("sound")), qPrintable(result.strOut));
    err.replace(QLatin1Char('@'), m_pEnv->Path(QStringLiteral("pkg")));
    QVERIFY2(result.strErr.contains(err), qPrintable(result.strErr));
}

void tst_BackupTool::verifyJson_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("backupPackage");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("error");
    QTest::newRow("sound") << "good.zip" << 0 << true << true << true << 2 << "";
    QTest::newRow("cut entry") << "cut-entry.zip" << 1 << true << true << false << 2 << "";
    QTest::newRow("missing") << "none.zip" << 1 << false << false << false << 0 << "cannot read";
    QTest::newRow("ordinary ZIP") << "ordinary.zip" << 1 << true << false << false << 0 << "not a backup package";
}

void tst_BackupTool::verifyJson()
{
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(bool, readable);
    QFETCH(bool, backupPackage);
    QFETCH(bool, sound);
    QFETCH(int, entries);
    QFETCH(QString, error);
    const Result result = Run({QStringLiteral("verify"), Package(file), QStringLiteral("--json")});
    QCOMPARE(result.nExit, exitCode);
    QJsonParseError parseError;
    const QJsonObject object = QJsonDocument::fromJson(result.strOut.toUtf8(), &parseError).object();
    QCOMPARE(parseError.error, QJsonParseError::NoError);
    QCOMPARE(object.value(QStringLiteral("readable")).toBool(), readable);
    QCOMPARE(object.value(QStringLiteral("backupPackage")).toBool(), backupPackage);
    QCOMPARE(object.value(QStringLiteral("sound")).toBool(), sound);
    QCOMPARE(object.value(QStringLiteral("entries")).toArray().size(), entries);
    QCOMPARE(object.value(QStringLiteral("problems")).toArray().isEmpty(), sound);
    QVERIFY(object.value(QStringLiteral("error")).toString().contains(error));
    if (entries > 0) {
        const QJsonObject first = object.value(QStringLiteral("entries")).toArray().first().toObject();
        QCOMPARE(first.value(QStringLiteral("target")).toString(), QStringLiteral("Info.xml"));
        QCOMPARE(object.value(QStringLiteral("deviceName")).toString(), QStringLiteral("Phone\x10" "350000000000017"));
    }
}

void tst_BackupTool::infoJson()
{
    const Result result = Run({QStringLiteral("info"), Package(QStringLiteral("good.zip")), QStringLiteral("--json")});
    QCOMPARE(result.nExit, 0);
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(result.strOut.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value(QStringLiteral("phoneName")).toString(), QStringLiteral("Phone"));
    QCOMPARE(object.value(QStringLiteral("customisation")).toString(), QStringLiteral("C00"));
    const QJsonObject counts = object.value(QStringLiteral("counts")).toObject();
    // Every kind the package counts, by the words the summary uses.
    QCOMPARE(counts.value(QStringLiteral("contacts")).toInt(), 120);
    QCOMPARE(counts.size(), 12);
    QVERIFY(counts.contains(QStringLiteral("appdata")) && counts.contains(QStringLiteral("bookmarks")));
    QCOMPARE(object.value(QStringLiteral("infoCounts")).toObject().value(QStringLiteral("contacts")).toInt(), 120);
}

void tst_BackupTool::extractWritesFiles()
{
    const QString strOut = m_pEnv->Path(QStringLiteral("deep/er/out"));
    const Result result = Run({QStringLiteral("extract"), Package(QStringLiteral("good.zip")), strOut});
    QCOMPARE(result.nExit, 0);
    QVERIFY(result.strOut.contains(QStringLiteral("2 entries written")));
    QCOMPARE(PackageFixture::ReadFile(strOut + QStringLiteral("/PB.zip")), QByteArray(300000, 'c'));
    QCOMPARE(PackageFixture::ReadFile(strOut + QStringLiteral("/Info.xml")),
             PackageFixture::ReadFile(m_pEnv->Path(QStringLiteral("src/Info.xml"))));
    // A cut package: the entries before the cut are kept marked as
    // unconfirmed, the cut one is not written.
    const QString strCut = m_pEnv->Path(QStringLiteral("cut-out"));
    QCOMPARE(Run({QStringLiteral("extract"), Package(QStringLiteral("cut-entry.zip")), strCut}).nExit, 1);
    QCOMPARE(QDir(strCut).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Info.xml.unconfirmed")});
    // A checksum that fails as the last entry arrives: nothing takes an
    // entry's name, and the last entry is not written.
    const QString strFlipped = m_pEnv->Path(QStringLiteral("flipped-out2"));
    QCOMPARE(Run({QStringLiteral("extract"), Package(QStringLiteral("flipped.zip")), strFlipped}).nExit, 1);
    QCOMPARE(QDir(strFlipped).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Info.xml.unconfirmed")});
}

QTEST_GUILESS_MAIN(tst_BackupTool)
#include "tst_backuptool.moc"
