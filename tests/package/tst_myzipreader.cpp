// The package readers on all six layouts, built by the tests from the
// layout table (not by the writer): header outputs, layout choice,
// extraction and entry names.

#include "PackageFixture.h"
#include "PackageTraversal.h"

#include <MyZip.h>
#include <PackageReader.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
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
} // namespace

class tst_MyZipReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void layouts_data();
    void layouts();
    void versionChoice_data();
    void versionChoice();
    void headerReaderResults_data();
    void headerReaderResults();
    void entryNames_data();
    void entryNames();

private:
    QString Write(const QByteArray &baPackage, bool bGzip = true);
    QString Out();
    QScopedPointer<QTemporaryDir> m_pDir;
};

void tst_MyZipReader::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY2(m_pDir->isValid(), qPrintable(m_pDir->errorString()));
}

QString tst_MyZipReader::Write(const QByteArray &baPackage, bool bGzip)
{
    const QString strPath = m_pDir->filePath(QStringLiteral("p.zip"));
    PackageFixture::WriteFile(strPath, bGzip ? PackageFixture::Gzip(baPackage) : baPackage);
    return strPath;
}

QString tst_MyZipReader::Out()
{
    const QString strOut = m_pDir->filePath(QStringLiteral("out"));
    QDir().mkpath(strOut);
    return strOut;
}

void tst_MyZipReader::layouts_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("layoutId");
    for (int i = 0; i < PackageFixture::LayoutNames().size(); ++i)
        QTest::newRow(qPrintable(PackageFixture::LayoutNames().at(i))) << PackageFixture::LayoutNames().at(i) << i;
}

void tst_MyZipReader::layouts()
{
    QFETCH(QString, layout);
    QFETCH(int, layoutId);
    QList<PackageFixture::Entry> listEntries;
    const QString strPackage = Write(PackageFixture::Typical(layout, &listEntries));
    const bool bVersioned = PackageFixture::GetLayout(layout).bVersioned;

    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[20];
    std::fill(std::begin(anCounts), std::end(anCounts), 99u);
    QByteArray baDevice;
    zip.UnZipPkgHead(Path8(strPackage), listNames, anCounts, baDevice);
    QCOMPARE(zip.IsVersioned(), bVersioned);
    QCOMPARE(listNames.size(), listEntries.size());
    for (int i = 0; i < listEntries.size(); ++i)
        QCOMPARE(listNames.at(i), listEntries.at(i).baName);
    // Contacts (7) come before text messages (3).
    QCOMPARE(anCounts[0], 7u);
    QCOMPARE(anCounts[1], 3u);
    // fh1 and fh2 are read as fh here, which puts their device name
    // elsewhere; only extraction tells them apart.
    if (bVersioned || layout == QLatin1String("fh"))
        QCOMPARE(baDevice, QByteArray("Fixture Phone\x10" "350000000000017"));
    for (int i = 11; i < 20 && !bVersioned; ++i)
        QCOMPARE(anCounts[i], 0u);

    QVERIFY(zip.UnZipPkg(Path8(strPackage), Path8(Out())));
    QStringList listExpected;
    for (const PackageFixture::Entry &entry : listEntries) {
        const QString strName = QString::fromLatin1(entry.baName).section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
        listExpected << strName;
        QCOMPARE(PackageFixture::ReadFile(Out() + QLatin1Char('/') + strName), entry.baData);
    }
    listExpected.sort();
    QCOMPARE(QDir(Out()).entryList(QDir::Files, QDir::Name), listExpected);

    // The streaming reader picks the same layout on its own.
    PackageReader reader;
    QCOMPARE(reader.Open(Path8(strPackage)), PackageReader::OpenOk);
    QCOMPARE(int(reader.Layout()), layoutId);
}

void tst_MyZipReader::versionChoice_data()
{
    QTest::addColumn<QByteArray>("head"); // the package's first bytes
    QTest::addColumn<bool>("versioned");
    QTest::addColumn<bool>("mms");
    QTest::addColumn<bool>("media");
    QTest::addColumn<int>("layout");
    const QByteArray v = "Version: DVSK ";
    QTest::newRow("32.610.12") << v + "32.610.12" << true << true << true << int(PackageLayout::MMS);
    QTest::newRow("only 9 characters count") << v + "32.610.12-beta" << true << true << true << int(PackageLayout::MMS);
    QTest::newRow("32.610.11") << v + "32.610.11" << true << false << true << int(PackageLayout::B610);
    QTest::newRow("32.610.07") << v + "32.610.07" << true << false << false << int(PackageLayout::B400);
    QTest::newRow("empty") << v << true << false << false << int(PackageLayout::B400);
    // Textual, not numeric: "4" sorts after "32...", "100" before it.
    QTest::newRow("4") << v + "4" << true << true << true << int(PackageLayout::MMS);
    QTest::newRow("100.0.0") << v + "100.0.0" << true << false << false << int(PackageLayout::B400);
    QTest::newRow("no blank") << QByteArray("Version: DVSK32.610.12") << false << false << false << -1;
    QTest::newRow("short package") << QByteArray("Version: DV") << false << false << false << -1;
}

void tst_MyZipReader::versionChoice()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, versioned);
    QFETCH(bool, mms);
    QFETCH(bool, media);
    QFETCH(int, layout);
    // Shorter than 64 bytes: the rest of the buffer is zero.
    const QString strPackage = Write(head);
    MyZip zip;
    char szVersion[64];
    std::memset(szVersion, 'x', sizeof(szVersion));
    QCOMPARE(zip.GetPkgVersion(Path8(strPackage), szVersion), 0);
    QCOMPARE(QByteArray(szVersion, 64), head + QByteArray(64 - head.size(), '\0'));
    QCOMPARE(MyZip::IsVersionedPkg(szVersion), versioned);
    if (!versioned)
        return;
    QCOMPARE(MyZip::IsSupportMMS(szVersion), mms);
    QCOMPARE(MyZip::IsSupportMutiMedia(szVersion), media);
    QCOMPARE(int(PackageReader::ChooseVersionedLayout(szVersion)), layout);

    ExpectWarning(QStringLiteral("open zip failed"));
    QCOMPARE(zip.GetPkgVersion(Path8(strPackage + QStringLiteral(".gone")), szVersion), -1);
}

void tst_MyZipReader::headerReaderResults_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("result"); // for the unversioned reader: 0 when it gives names
    QTest::addColumn<QStringList>("warnings");
    QTest::newRow("MMS good") << "MMS" << "" << 0 << QStringList();
    QTest::newRow("B610 zero") << "B610" << "zeroCounts" << -3 << QStringList{QStringLiteral("buh_media is zero")};
    QTest::newRow("B400 zero") << "B400" << "zeroCounts" << -3 << QStringList{QStringLiteral("buh_B400 is zero")};
    QTest::newRow("missing") << "MMS" << "missing" << -1 << QStringList{QStringLiteral("open zip failed")};
    QTest::newRow("truncated header") << "MMS" << "truncate" << -2 << QStringList{QStringLiteral("read BackUpHead failed")};
    QTest::newRow("FileCount 1025") << "B400" << "count1025" << -2 << QStringList{QStringLiteral("read BackUpHead failed")};
    QTest::newRow("fh good") << "fh" << "" << 0 << QStringList();
    QTest::newRow("fh FileCount 13") << "fh" << "count13" << -1 << QStringList{QStringLiteral("fh is not right")};
    QTest::newRow("fh counts zero") << "fh" << "zeroCounts" << -1
                                    << QStringList{QStringLiteral("fh is zero"), QStringLiteral("old version fh is zero")};
}

void tst_MyZipReader::headerReaderResults()
{
    QFETCH(QString, layout);
    QFETCH(QString, damage);
    QFETCH(int, result);
    QFETCH(QStringList, warnings);
    QByteArray baPackage = PackageFixture::Typical(layout);
    const PackageFixture::Layout table = PackageFixture::GetLayout(layout);
    if (damage == QLatin1String("zeroCounts"))
        baPackage.replace(table.nCountsAt, 4 * table.nCounts, QByteArray(4 * table.nCounts, '\0'));
    if (damage == QLatin1String("truncate"))
        baPackage.truncate(table.nHeadSize - 1);
    if (damage.startsWith(QLatin1String("count")))
        PackageFixture::PutU32(baPackage, table.nFileCountAt, damage.mid(5).toUInt());
    QString strPackage = Write(baPackage);
    if (damage == QLatin1String("missing"))
        strPackage += QLatin1String(".gone");

    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[20] = {};
    QByteArray baDevice;
    for (const QString &strWarning : warnings)
        ExpectWarning(strWarning);
    int nResult = 0;
    if (layout == QLatin1String("MMS"))
        nResult = zip.UnZipPkgHead_MMS(Path8(strPackage), listNames, anCounts, baDevice);
    else if (layout == QLatin1String("B610"))
        nResult = zip.UnZipPkgHead_B610(Path8(strPackage), listNames, anCounts, baDevice);
    else if (layout == QLatin1String("B400"))
        nResult = zip.UnZipPkgHead_B400(Path8(strPackage), listNames, anCounts, baDevice);
    else {
        zip.UnZipPkgHead(Path8(strPackage), listNames, anCounts, baDevice);
        QVERIFY(!zip.IsVersioned());
        nResult = listNames.isEmpty() ? -1 : 0;
    }
    QCOMPARE(nResult, result);
    QCOMPARE(listNames.size(), result == 0 ? int(layout == QLatin1String("fh") ? 3 : 2) : 0);
    QCOMPARE(anCounts[0], result == 0 ? 7u : 0u);
}

void tst_MyZipReader::entryNames_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("trailingSeparator"); // on the output folder
    QTest::newRow("forward slashes") << QByteArray("C:/x/y/PB.zip") << "PB.zip" << true;
    QTest::newRow("mixed") << QByteArray("/a/b\\c/d.txt") << "d.txt" << true;
    QTest::newRow("ends with separator") << QByteArray("C:/x/") << "" << true;
    QTest::newRow("dot dot behind folder") << QByteArray("a/..") << "" << true;
    QTest::newRow("hidden file") << QByteArray("../.profile") << ".profile" << false;
}

void tst_MyZipReader::entryNames()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, written);
    QFETCH(bool, trailingSeparator);
    const QString strPackage = Write(PackageFixture::Build(
        QStringLiteral("MMS"), {{"C:/d/Info.xml", "info"}, {stored, "payload"}, {"C:/d/end", "end"}}, {1}, "Phone"));
    const QString strOut = Out();
    // A longer file of the same name is replaced, not overwritten in place.
    if (!written.isEmpty())
        PackageFixture::WriteFile(strOut + QLatin1Char('/') + written, QByteArray(5000, 'o'));
    else
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("skip entry 1: no usable file name")));
    MyZip zip;
    QVERIFY(zip.UnZipPkg_MMS(Path8(strPackage), Path8(trailingSeparator ? strOut + QLatin1Char('/') : strOut)));
    QStringList listExpected = {QStringLiteral("Info.xml"), QStringLiteral("end")};
    if (!written.isEmpty()) {
        listExpected << written;
        QCOMPARE(PackageFixture::ReadFile(strOut + QLatin1Char('/') + written), QByteArray("payload"));
    }
    listExpected.sort();
    QCOMPARE(QDir(strOut).entryList(QDir::Files | QDir::Hidden, QDir::Name), listExpected);
    QCOMPARE(zip.LastSkipped(), written.isEmpty() ? QList<int>{1} : QList<int>());
    // What followed the skipped entry still came out whole.
    QCOMPARE(PackageFixture::ReadFile(strOut + QStringLiteral("/end")), QByteArray("end"));
    QCOMPARE(PackageTraversal::Strays(m_pDir->path(), strOut, {QStringLiteral("p.zip")}), QStringList());
}

QTEST_GUILESS_MAIN(tst_MyZipReader)
#include "tst_myzipreader.moc"
