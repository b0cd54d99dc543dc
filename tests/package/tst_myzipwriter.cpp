// The package writer: every header field at its offset, entry contents,
// refusals and what is left on disk after a failure.

#include "PackageFixture.h"
#include "TestEnv.h"

#include <MyZip.h>
#include <host/CommonUtils.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace
{
QByteArray Path8(const QString &strPath)
{
    return QFile::encodeName(strPath);
}

void ExpectWarning(const QString &strText)
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(strText) + QLatin1Char('$')));
}

QByteArray RandomBytes(int nSize)
{
    QByteArray baData(nSize, '\0');
    QRandomGenerator generator(nSize);
    for (char &ch : baData)
        ch = char(generator.generate());
    return baData;
}
} // namespace

class tst_MyZipWriter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void roundTrip_data();
    void roundTrip();
    void refusedPackages_data();
    void refusedPackages();
    void addFileLimits();
    void deviceNameCut_data();
    void deviceNameCut();
    void entryOf4GiBRefused();
    void deleteSourcesAndStartAgain();

private:
    QString MakeFile(const QString &strName, const QByteArray &baData);
    std::unique_ptr<TestEnv> m_pEnv;
};

void tst_MyZipWriter::init()
{
    m_pEnv = std::make_unique<TestEnv>();
    QVERIFY2(m_pEnv->IsValid(), "no temporary folder");
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), QStringLiteral("32.610.12"));
}

void tst_MyZipWriter::cleanup()
{
    m_pEnv.reset();
}

QString tst_MyZipWriter::MakeFile(const QString &strName, const QByteArray &baData)
{
    const QString strPath = m_pEnv->Path(strName);
    QDir().mkpath(QFileInfo(strPath).path());
    PackageFixture::WriteFile(strPath, baData);
    return strPath;
}

void tst_MyZipWriter::roundTrip_data()
{
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<QString>("hostVersion");
    QTest::addColumn<QByteArray>("versionField");
    const QByteArray baInfo = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Info>\r\n</Info>";
    const QString strUsual = QStringLiteral("32.610.12");
    const QByteArray baUsual = "Version: DVSK 32.610.12";
    QTest::newRow("three small") << QList<QByteArray>{baInfo, "contacts", "sms data"} << strUsual << baUsual;
    QTest::newRow("empty entries, long version") << QList<QByteArray>{baInfo, QByteArray(), "x", QByteArray()}
                                                 << QString(60, QLatin1Char('9')) << "Version: DVSK " + QByteArray(49, '9');
    // Chunk boundaries: one byte over a chunk, several chunks.
    QTest::newRow("chunk and a byte") << QList<QByteArray>{RandomBytes(1024 * 1024 + 1), baInfo} << strUsual << baUsual;
    QTest::newRow("several chunks") << QList<QByteArray>{baInfo, RandomBytes(2600 * 1024), QByteArray(70000, 'a')}
                                    << strUsual << baUsual;
}

void tst_MyZipWriter::roundTrip()
{
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QString, hostVersion);
    QFETCH(QByteArray, versionField);
    CommonUtils::SetSettings(QStringLiteral("version"), QStringLiteral("version"), hostVersion);

    using Setter = void (MyZip::*)(quint32);
    const QList<QPair<Setter, int>> listSetters = {
        {&MyZip::SetSMSCount, 0},       {&MyZip::SetPBCount, 1},      {&MyZip::SetCalendarCount, 2},
        {&MyZip::SetAPPCount, 4},       {&MyZip::SetCallLogCount, 5}, {&MyZip::SetEmailCount, 6},
        {&MyZip::SetBookmarkCount, 7},  {&MyZip::SetAPPDataCount, 10}, {&MyZip::SetImageCount, 16},
        {&MyZip::SetVideoCount, 17},    {&MyZip::SetAudioCount, 18},  {&MyZip::SetMMSCount, 19}};
    quint32 anExpected[20] = {};
    MyZip zip;
    zip.ClearFh();
    zip.SetDeviceName("Phone One\x10" "350000000000017");
    QStringList listPaths;
    for (int i = 0; i < entries.size(); ++i) {
        listPaths << MakeFile(QStringLiteral("src/entry%1.bin").arg(i), entries.at(i));
        QVERIFY(zip.AddFile(Path8(listPaths.last())));
    }
    for (const auto &setter : listSetters) {
        anExpected[setter.second] = 0xFFFFFF00u + quint32(setter.second);
        (zip.*setter.first)(anExpected[setter.second]);
    }
    const QString strPackage = m_pEnv->Path(QStringLiteral("backup.zip"));
    QVERIFY(zip.SetOutPutFile(Path8(strPackage)));
    QVERIFY(zip.DoMakeZip(false));
    QVERIFY(QFile::exists(listPaths.first())); // sources are kept unless asked

    // The bytes, read with the layout table of the tests.
    const QByteArray baPackage = PackageFixture::Gunzip(PackageFixture::ReadFile(strPackage));
    const PackageFixture::Layout layout = PackageFixture::GetLayout(QStringLiteral("MMS"));
    QVERIFY(baPackage.size() >= layout.nHeadSize);
    QCOMPARE(baPackage.left(64), versionField + QByteArray(64 - versionField.size(), '\0'));
    QCOMPARE(PackageFixture::GetU32(baPackage, layout.nFileCountAt), quint32(entries.size()));
    QByteArray baContents;
    for (int i = 0; i < 1024; ++i) {
        const quint32 nSize = PackageFixture::GetU32(baPackage, layout.nSizeAt + 4 * i);
        const QByteArray baName = baPackage.mid(layout.nNameAt + 260 * i, 260);
        QCOMPARE(nSize, i < entries.size() ? quint32(entries.at(i).size()) : 0u);
        const QByteArray baPath = i < entries.size() ? Path8(listPaths.at(i)) : QByteArray();
        QCOMPARE(baName, baPath + QByteArray(260 - baPath.size(), '\0'));
        baContents += entries.value(i);
    }
    for (int i = 0; i < 20; ++i)
        QCOMPARE(PackageFixture::GetU32(baPackage, layout.nCountsAt + 4 * i), anExpected[i]);
    QCOMPARE(PackageFixture::Text(baPackage, layout.nDeviceNameAt, 260), QByteArray("Phone One\x10" "350000000000017"));
    QCOMPARE(baPackage.mid(layout.nHeadSize), baContents);

    // And back through the readers.
    QList<QByteArray> listNames;
    quint32 anCounts[20] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead(Path8(strPackage), listNames, anCounts, baDevice);
    QVERIFY(zip.IsVersioned());
    QCOMPARE(listNames.size(), entries.size());
    QCOMPARE(anCounts[0], anExpected[1]); // contacts come first
    QCOMPARE(anCounts[19], anExpected[19]);
    QCOMPARE(baDevice, QByteArray("Phone One\x10" "350000000000017"));
    const QString strOut = m_pEnv->Path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(strOut));
    QVERIFY(zip.UnZipPkg(Path8(strPackage), Path8(strOut)));
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(PackageFixture::ReadFile(strOut + QStringLiteral("/entry%1.bin").arg(i)), entries.at(i));
}

void tst_MyZipWriter::refusedPackages_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("oldPackageStays");
    QTest::newRow("no entry") << "none" << "NO file is added" << true;
    QTest::newRow("no output path") << "noOutput" << "NO output file position" << true;
    // A refused path does not leave the earlier one in its place.
    QTest::newRow("output path too long") << "longOutput" << "NO output file position" << true;
    QTest::newRow("missing source") << "missing" << "File can not exists" << true;
    // Fails only after the package was started: nothing half-written stays.
    QTest::newRow("source is a folder") << "folder" << "File can not be open" << false;
    QTest::newRow("output folder missing") << "badOutput" << "Create Output File Failed" << false;
}

void tst_MyZipWriter::refusedPackages()
{
    QFETCH(QString, setup);
    QFETCH(QString, warning);
    QFETCH(bool, oldPackageStays);
    MyZip zip;
    QString strPackage = MakeFile(QStringLiteral("p.zip"), "an older package");
    if (setup != QLatin1String("none"))
        QVERIFY(zip.AddFile(Path8(MakeFile(QStringLiteral("Info.xml"), "info"))));
    if (setup == QLatin1String("missing"))
        QVERIFY(zip.AddFile(Path8(m_pEnv->Path(QStringLiteral("gone.zip")))));
    if (setup == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(m_pEnv->Path(QStringLiteral("folder"))));
        QVERIFY(zip.AddFile(Path8(m_pEnv->Path(QStringLiteral("folder")))));
    }
    if (setup == QLatin1String("badOutput"))
        strPackage = m_pEnv->Path(QStringLiteral("no/such/folder/p.zip"));
    if (setup != QLatin1String("noOutput"))
        QVERIFY(zip.SetOutPutFile(Path8(strPackage)));
    if (setup == QLatin1String("longOutput")) {
        const QByteArray baLong = Path8(m_pEnv->Path(QString(260, QLatin1Char('o'))));
        ExpectWarning(QStringLiteral("Output file path is too long: ") + QString::fromLocal8Bit(baLong));
        QVERIFY(!zip.SetOutPutFile(baLong));
    }
    const quint32 nEntries = zip.WriterHead().FileCount;

    ExpectWarning(warning);
    QVERIFY(!zip.DoMakeZip(true));
    QCOMPARE(zip.LastError(), warning);
    QCOMPARE(QFile::exists(strPackage), oldPackageStays);
    if (oldPackageStays)
        QCOMPARE(PackageFixture::ReadFile(strPackage), QByteArray("an older package"));
    // The table stays for another attempt and no source was deleted.
    QCOMPARE(zip.WriterHead().FileCount, nEntries);
    QVERIFY(QFile::exists(m_pEnv->Path(QStringLiteral("Info.xml"))) || setup == QLatin1String("none"));
}

void tst_MyZipWriter::addFileLimits()
{
    MyZip zip;
    // A path must leave room for its terminator in the 260-byte field.
    QVERIFY(zip.AddFile(QByteArray(259, 'a')));
    ExpectWarning(QStringLiteral("File path is too long: ") + QString(260, QLatin1Char('b')));
    QVERIFY(!zip.AddFile(QByteArray(260, 'b')));
    ExpectWarning(QStringLiteral("File path is empty"));
    QVERIFY(!zip.AddFile(""));
    QCOMPARE(zip.WriterHead().FileCount, 1u);
    QCOMPARE(QByteArray(zip.WriterHead().Name[0]), QByteArray(259, 'a'));

    for (int i = 1; i < 1023; ++i)
        QVERIFY(zip.AddFile(QByteArray("f") + QByteArray::number(i)));
    ExpectWarning(QStringLiteral("too many files"));
    QVERIFY(!zip.AddFile("one more"));
    QCOMPARE(zip.WriterHead().FileCount, 1023u);
    QCOMPARE(QByteArray(zip.WriterHead().Name[1023]), QByteArray());
}

void tst_MyZipWriter::deviceNameCut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expectedBytes");
    QTest::newRow("ascii, too long") << QString(300, QLatin1Char('x')) << 259;
    QTest::newRow("two-byte characters") << QString(200, QChar(0xe9)) << 258;
    QTest::newRow("four-byte characters") << QString::fromUtf8(QByteArray(100, 'x').replace("x", "\xf0\x9f\x93\xb1")) << 256;
    QTest::newRow("fits exactly") << QString(258, QLatin1Char('y')) + QChar(0x20ac) << 258;
}

void tst_MyZipWriter::deviceNameCut()
{
    QFETCH(QString, name);
    QFETCH(int, expectedBytes);
    MyZip zip;
    zip.SetDeviceName(name.toLocal8Bit());
    const QByteArray baStored(zip.WriterHead().DeviceName);
    QCOMPARE(baStored.size(), expectedBytes);
    // Whole characters only: the stored bytes decode to a prefix of the name.
    QVERIFY(name.startsWith(QString::fromLocal8Bit(baStored)));
    QCOMPARE(QString::fromLocal8Bit(baStored).toLocal8Bit(), baStored);
}

void tst_MyZipWriter::entryOf4GiBRefused()
{
    // A sparse file: its size is what matters, not its blocks.
    QFile big(m_pEnv->Path(QStringLiteral("big.bin")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    if (!big.resize(Q_INT64_C(0x100000000)))
        QSKIP("the file system cannot hold a sparse 4 GiB file");
    big.close();
    MyZip zip;
    QVERIFY(zip.AddFile(Path8(MakeFile(QStringLiteral("Info.xml"), "info"))));
    QVERIFY(zip.AddFile(Path8(big.fileName())));
    const QString strPackage = m_pEnv->Path(QStringLiteral("p.zip"));
    QVERIFY(zip.SetOutPutFile(Path8(strPackage)));
    ExpectWarning(QStringLiteral("File is too large for the package (4 GiB or more): ") + big.fileName());
    QVERIFY(!zip.DoMakeZip(true));
    QVERIFY(!QFile::exists(strPackage));
    QVERIFY(QFile::exists(big.fileName()));
}

void tst_MyZipWriter::deleteSourcesAndStartAgain()
{
    const QStringList listSources = {MakeFile(QStringLiteral("Info.xml"), "info"), MakeFile(QStringLiteral("PB.zip"), "contacts")};
    MyZip zip;
    for (const QString &strSource : listSources)
        QVERIFY(zip.AddFile(Path8(strSource)));
    zip.SetDeviceName("Phone");
    zip.SetSMSCount(4);
    const QString strPackage = m_pEnv->Path(QStringLiteral("p.zip"));
    QVERIFY(zip.SetOutPutFile(Path8(strPackage)));
    QVERIFY(zip.DoMakeZip(true));
    for (const QString &strSource : listSources)
        QVERIFY(!QFile::exists(strSource));
    QVERIFY(PackageFixture::Gunzip(PackageFixture::ReadFile(strPackage)).endsWith("infocontacts"));

    // The next package starts from an empty table and keeps the output path.
    QCOMPARE(zip.WriterHead().FileCount, 0u);
    QCOMPARE(zip.WriterHead().Counts[0], 0u);
    QCOMPARE(zip.WriterHead().DeviceName[0], '\0');
    QCOMPARE(zip.OutPutFile(), Path8(strPackage));
    ExpectWarning(QStringLiteral("NO file is added"));
    QVERIFY(!zip.DoMakeZip(false));
}

QTEST_GUILESS_MAIN(tst_MyZipWriter)
#include "tst_myzipwriter.moc"
