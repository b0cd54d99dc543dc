// Hostile and broken packages: every reader survives them, nothing is
// written outside the output folder, extraction gives an entry its name only
// when the whole package is confirmed, and the verifier names the fault and
// the entries still intact.

#include "PackageFixture.h"
#include "PackageTraversal.h"

#include <MyZip.h>
#include <PackageVerifier.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace
{
QByteArray Random(int nSize, quint32 nSeed)
{
    QByteArray baData(nSize, '\0');
    QRandomGenerator generator(nSeed);
    for (char &ch : baData)
        ch = char(generator.generate());
    return baData;
}

const QByteArray kInfo = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Info>\r\n</Info>\r\n<Moudle>\r\n</Moudle>";

QByteArray Mms(const QList<PackageFixture::Entry> &listEntries)
{
    return PackageFixture::Build(QStringLiteral("MMS"), listEntries, {1, 2}, "Phone");
}
} // namespace

class tst_PackageHostile : public QObject
{
    Q_OBJECT

private slots:
    void hostile_data();
    void hostile();
};

void tst_PackageHostile::hostile_data()
{
    QTest::addColumn<QByteArray>("file");      // the package file's bytes
    QTest::addColumn<bool>("extracts");        // UnZipPkgHead + UnZipPkg succeed
    QTest::addColumn<QStringList>("written");  // what that extraction leaves
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("problem");      // part of a verifier problem
    QTest::addColumn<QList<int>>("intact");    // entries the verifier read in full

    const QList<PackageFixture::Entry> listGood = {{"C:/u/Info.xml", kInfo}, {"C:/u/PB.zip", "contacts"}};
    const QByteArray baGood = Mms(listGood);
    const QStringList listBoth = {QStringLiteral("Info.xml"), QStringLiteral("PB.zip")};
    const QStringList listInfo = {QStringLiteral("Info.xml")};
    // What a failed extraction keeps of the entries it read in full.
    const QStringList listInfoUnconfirmed = {QStringLiteral("Info.xml.unconfirmed")};
    const QStringList listBothUnconfirmed = {QStringLiteral("Info.xml.unconfirmed"),
                                             QStringLiteral("PB.zip.unconfirmed")};

    QTest::newRow("good") << PackageFixture::Gzip(baGood) << true << listBoth << true << "" << QList<int>{0, 1};
    QTest::newRow("empty file") << QByteArray() << false << QStringList() << false << "empty" << QList<int>();
    QTest::newRow("truncated in the header")
        << PackageFixture::Gzip(baGood.left(200000)) << false << QStringList() << false
        << "ends inside its header" << QList<int>();
    QTest::newRow("truncated in an entry")
        << PackageFixture::Gzip(baGood.left(baGood.size() - 3)) << false << listInfoUnconfirmed << false
        << "declares 8 bytes but the package holds only 5" << QList<int>{0};
    {
        // Incompressible data, so that cutting the compressed file cuts it.
        const QByteArray baBig = Mms({{"C:/u/Info.xml", kInfo}, {"C:/u/IMAGE.zip", Random(600000, 1)}});
        const QByteArray baGzip = PackageFixture::Gzip(baBig);
        QTest::newRow("compressed stream cut") << baGzip.left(baGzip.size() - 50000) << false << listInfoUnconfirmed << false
                                               << "compressed stream is cut off" << QList<int>{0};
        QByteArray baCrc = baGzip;
        baCrc[baCrc.size() - 6] = char(baCrc.at(baCrc.size() - 6) ^ 0x55);
        // zlib checks the checksum as the last entry's bytes arrive, so that
        // entry is not written.
        QTest::newRow("checksum wrong") << baCrc << false << listInfoUnconfirmed << false << "incorrect data check"
                                        << QList<int>{0};
    }
    {
        QByteArray baCount = baGood;
        PackageFixture::PutU32(baCount, 64, 1025);
        QTest::newRow("FileCount 1025") << PackageFixture::Gzip(baCount) << false << QStringList() << false
                                        << "declares 1025 entries" << QList<int>();
        PackageFixture::PutU32(baCount, 64, 0xFFFFFFFFu);
        QTest::newRow("FileCount max") << PackageFixture::Gzip(baCount) << false << QStringList() << false
                                       << "more than the 1024" << QList<int>();
        QByteArray baSize = baGood;
        PackageFixture::PutU32(baSize, 68 + 4, 0xFFFFFFFFu);
        QTest::newRow("declared size 4 GiB") << PackageFixture::Gzip(baSize) << false << listInfoUnconfirmed << false
                                             << "declares 4294967295 bytes but the package holds only 8" << QList<int>{0};
    }
    QTest::newRow("traversal names")
        << PackageFixture::Gzip(Mms({{"C:/u/Info.xml", kInfo},
                                     {"../../evil.txt", "e"},
                                     {"/etc/passwd", "p"},
                                     {"..", "dots"},
                                     {"C:\\..\\..\\x", "x"},
                                     {"sub/dir/", "folder"}}))
        << true << QStringList{QStringLiteral("Info.xml"), QStringLiteral("evil.txt"), QStringLiteral("passwd"), QStringLiteral("x")}
        << false << "entry 3 has no usable file name" << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("backslash names")
        << PackageFixture::Gzip(Mms({{"C:\\Users\\me\\Info.xml", kInfo}, {"C:\\Users\\me\\SMS.zip", "sms"}})) << true
        << QStringList{QStringLiteral("Info.xml"), QStringLiteral("SMS.zip")} << true << "" << QList<int>{0, 1};
    QTest::newRow("empty entries")
        << PackageFixture::Gzip(Mms({{"C:/u/Info.xml", kInfo}, {"C:/u/a", ""}, {"C:/u/b", ""}})) << true
        << QStringList{QStringLiteral("Info.xml"), QStringLiteral("a"), QStringLiteral("b")} << true << ""
        << QList<int>{0, 1, 2};
    QTest::newRow("name fills its field")
        << PackageFixture::Gzip(Mms({{"C:/u/Info.xml", kInfo}, {QByteArray(260, 'n'), "long"}})) << false << listInfo
        << true << "" << QList<int>{0, 1};
    QTest::newRow("bytes after the last entry") << PackageFixture::Gzip(baGood + "extra") << false << listBothUnconfirmed << false
                                                << "5 bytes follow the last entry" << QList<int>{0, 1};
    QTest::newRow("garbage") << Random(300000, 2) << false << QStringList() << false << "not a backup package"
                             << QList<int>();
    QTest::newRow("gzip of garbage") << PackageFixture::Gzip(Random(300000, 3)) << false << QStringList() << false
                                     << "not a backup package" << QList<int>();
    QTest::newRow("gzip header only") << PackageFixture::Gzip(baGood).left(10) << false << QStringList() << false
                                      << "empty" << QList<int>();
    QTest::newRow("not compressed") << baGood << false << listBothUnconfirmed << false << "not gzip-compressed"
                                    << QList<int>{0, 1};
    {
        // A flipped byte inside the compressed data: zlib decodes on, and
        // only the checksum at the end tells.
        const QByteArray baBig = Mms({{"C:/u/Info.xml", kInfo}, {"C:/u/PB.zip", Random(200000, 4).toHex()}});
        QByteArray baFlipped = PackageFixture::Gzip(baBig);
        baFlipped[baFlipped.size() / 2] = char(baFlipped.at(baFlipped.size() / 2) ^ 0x01);
        QTest::newRow("one flipped byte") << baFlipped << false << listInfoUnconfirmed << false << "" << QList<int>{0};
        // An entry declared one byte short shifts every later entry.
        QByteArray baShort = Mms({{"C:/u/Info.xml", kInfo}, {"C:/u/PB.zip", "contacts"}, {"C:/u/SMS.zip", "sms"}});
        PackageFixture::PutU32(baShort, 68 + 4, 7);
        QTest::newRow("entry declared one byte short")
            << PackageFixture::Gzip(baShort) << false
            << QStringList{QStringLiteral("Info.xml.unconfirmed"), QStringLiteral("PB.zip.unconfirmed"),
                           QStringLiteral("SMS.zip.unconfirmed")}
            << false << "1 bytes follow the last entry" << QList<int>{0, 1, 2};
    }
    QTest::newRow("empty Info.xml") << PackageFixture::Gzip(Mms({{"C:/u/Info.xml", ""}, {"C:/u/PB.zip", "contacts"}}))
                                    << true << listBoth << false << "the Info.xml entry cannot be read"
                                    << QList<int>{0, 1};
    const QByteArray baCounted = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Info>\r\n</Info>\r\n<Moudle>\r\n"
                                 "\t<SMS>1</SMS>\r\n\t<PB>40</PB>\r\n</Moudle>";
    QTest::newRow("Info.xml counts differ from the header")
        << PackageFixture::Gzip(Mms({{"C:/u/Info.xml", baCounted}, {"C:/u/PB.zip", "contacts"}})) << true << listBoth
        << false << "Info.xml gives PB as 40 but the header as 2" << QList<int>{0, 1};
}

void tst_PackageHostile::hostile()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, extracts);
    QFETCH(QStringList, written);
    QFETCH(bool, sound);
    QFETCH(QString, problem);
    QFETCH(QList<int>, intact);

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString strPackage = dir.filePath(QStringLiteral("pkg/backup.zip"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("pkg"))));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    QVERIFY(PackageFixture::WriteFile(strPackage, file));
    const QByteArray baPackage = QFile::encodeName(strPackage);

    // Extraction as a caller does it.
    {
        MyZip zip;
        QList<QByteArray> listNames;
        quint32 anCounts[20] = {};
        QByteArray baDevice;
        zip.UnZipPkgHead(baPackage, listNames, anCounts, baDevice);
        QCOMPARE(zip.UnZipPkg(baPackage, QFile::encodeName(dir.filePath(QStringLiteral("out")))), extracts);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 written);
    }

    // The verifier.
    PackageVerifier verifier;
    QCOMPARE(verifier.Verify(baPackage), sound);
    QCOMPARE(verifier.IsSound(), sound);
    if (!problem.isEmpty())
        QVERIFY2(verifier.Problems().join(QLatin1Char('\n')).contains(problem),
                 qPrintable(verifier.Problems().join(QLatin1Char('\n'))));
    QList<int> listRead;
    for (const PackageVerifier::Entry &entry : verifier.Entries()) {
        if (entry.state == PackageVerifier::EntryIntact || entry.state == PackageVerifier::EntryComplete)
            listRead << entry.nIndex;
        // Intact means byte-exact: confirmed by the checksum, with the table
        // accounting for the whole stream.
        QCOMPARE(entry.state == PackageVerifier::EntryIntact,
                 verifier.ChecksumConfirmed() && verifier.LeftOver() == 0);
    }
    QCOMPARE(listRead, intact);

    // Every reader, every layout: whatever they make of it stays in "all".
    const QString strAll = dir.filePath(QStringLiteral("all"));
    QVERIFY(QDir().mkpath(strAll));
    QCOMPARE(PackageTraversal::RunAll(strPackage, strAll).listOutside, QStringList());
    QStringList listExpected = {QStringLiteral("pkg"), QStringLiteral("pkg/backup.zip"), QStringLiteral("out")};
    for (const QString &strName : written)
        listExpected << QStringLiteral("out/") + strName;
    QCOMPARE(PackageTraversal::Strays(dir.path(), strAll, listExpected), QStringList());
}

QTEST_GUILESS_MAIN(tst_PackageHostile)
#include "tst_packagehostile.moc"
