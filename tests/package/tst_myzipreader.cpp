// The package readers on all six layouts, built by the tests from the
// layout table: header outputs, layout choice, extraction and entry names.

#include "PackageFixture.h"
#include "PackageTraversal.h"

#include <MyZip.h>
#include <PackageReader.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class tst_MyZipReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void layouts_data();
    void layouts();
    void versionChoice_data();
    void versionChoice();
    void versionReadBack_data();
    void versionReadBack();
    void headerReaderResults_data();
    void headerReaderResults();
    void unversionedHeaderChecks_data();
    void unversionedHeaderChecks();
    void entryNames_data();
    void entryNames();
    void existingFileReplaced();

private:
    QString Write(const QString &strName, const QByteArray &baPackage, bool bGzip = true);
    static QByteArray Path8(const QString &strPath) { return QFile::encodeName(strPath); }
    static void ExpectWarning(const QString &strText)
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(strText) + QLatin1Char('$')));
    }

    QScopedPointer<QTemporaryDir> m_pDir;
};

void tst_MyZipReader::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY2(m_pDir->isValid(), qPrintable(m_pDir->errorString()));
}

QString tst_MyZipReader::Write(const QString &strName, const QByteArray &baPackage, bool bGzip)
{
    const QString strPath = m_pDir->filePath(strName);
    PackageFixture::WriteFile(strPath, bGzip ? PackageFixture::Gzip(baPackage) : baPackage);
    return strPath;
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
    const QString strPackage = Write(QStringLiteral("p.zip"), PackageFixture::Typical(layout, &listEntries));
    const PackageFixture::Layout table = PackageFixture::GetLayout(layout);

    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[20];
    std::fill(std::begin(anCounts), std::end(anCounts), 99u);
    QByteArray baDevice;
    zip.UnZipPkgHead(Path8(strPackage), listNames, anCounts, baDevice);
    QCOMPARE(zip.IsVersioned(), table.bVersioned);
    QCOMPARE(listNames.size(), listEntries.size());
    for (int i = 0; i < listEntries.size(); ++i)
        QCOMPARE(listNames.at(i), listEntries.at(i).baName);
    // Contacts (7) come before text messages (3).
    QCOMPARE(anCounts[0], 7u);
    QCOMPARE(anCounts[1], 3u);
    if (table.bVersioned || layout == QLatin1String("fh")) {
        // fh1 and fh2 are read as fh here, which puts their device name
        // elsewhere; only extraction tells them apart.
        QCOMPARE(baDevice, QByteArray("Fixture Phone\x10" "350000000000017"));
    }
    if (!table.bVersioned) {
        for (int i = 11; i < 20; ++i)
            QCOMPARE(anCounts[i], 0u);
    }

    const QString strOut = m_pDir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(strOut));
    QVERIFY(zip.UnZipPkg(Path8(strPackage), Path8(strOut)));
    QStringList listExpected;
    for (const PackageFixture::Entry &entry : listEntries) {
        const QString strName = QString::fromLatin1(entry.baName).section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
        listExpected << strName;
        QCOMPARE(PackageFixture::ReadFile(strOut + QLatin1Char('/') + strName), entry.baData);
    }
    listExpected.sort();
    QCOMPARE(QDir(strOut).entryList(QDir::Files, QDir::Name), listExpected);

    // The streaming reader picks the same layout on its own.
    PackageReader reader;
    QCOMPARE(reader.Open(Path8(strPackage)), PackageReader::OpenOk);
    QCOMPARE(int(reader.Layout()), layoutId);
}

void tst_MyZipReader::versionChoice_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("mms");
    QTest::addColumn<bool>("media");
    QTest::addColumn<int>("layout");
    QTest::newRow("32.610.12") << QByteArray("32.610.12") << true << true << int(PackageLayout::MMS);
    QTest::newRow("32.610.20") << QByteArray("32.610.20") << true << true << int(PackageLayout::MMS);
    QTest::newRow("only 9 characters count") << QByteArray("32.610.12-beta") << true << true << int(PackageLayout::MMS);
    QTest::newRow("32.610.11") << QByteArray("32.610.11") << false << true << int(PackageLayout::B610);
    QTest::newRow("32.610.08") << QByteArray("32.610.08") << false << true << int(PackageLayout::B610);
    QTest::newRow("32.610.07") << QByteArray("32.610.07") << false << false << int(PackageLayout::B400);
    QTest::newRow("empty") << QByteArray() << false << false << int(PackageLayout::B400);
    // Textual, not numeric: "4" sorts after "32...", "100" before it.
    QTest::newRow("4") << QByteArray("4") << true << true << int(PackageLayout::MMS);
    QTest::newRow("100.0.0") << QByteArray("100.0.0") << false << false << int(PackageLayout::B400);
}

void tst_MyZipReader::versionChoice()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, mms);
    QFETCH(bool, media);
    QFETCH(int, layout);
    QByteArray baField = "Version: DVSK " + version;
    baField.append(QByteArray(64 - baField.size(), '\0'));
    QVERIFY(MyZip::IsVersionedPkg(baField.constData()));
    QCOMPARE(MyZip::IsSupportMMS(baField.constData()), mms);
    QCOMPARE(MyZip::IsSupportMutiMedia(baField.constData()), media);
    QCOMPARE(int(PackageReader::ChooseVersionedLayout(baField.constData())), layout);
}

void tst_MyZipReader::versionReadBack_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("versioned");
    QTest::newRow("versioned") << QByteArray("Version: DVSK 32.610.12") << true;
    QTest::newRow("no blank") << QByteArray("Version: DVSK32.610.12") << false;
    QTest::newRow("lower case") << QByteArray("version: dvsk 32.610.12") << false;
    QTest::newRow("short package") << QByteArray("Version: DV") << false;
}

void tst_MyZipReader::versionReadBack()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, versioned);
    // Shorter than 64 bytes: the rest of the buffer stays zero.
    const QString strPackage = Write(QStringLiteral("v.zip"), head);
    MyZip zip;
    char szVersion[64];
    std::memset(szVersion, 'x', sizeof(szVersion));
    QCOMPARE(zip.GetPkgVersion(Path8(strPackage), szVersion), 0);
    QCOMPARE(QByteArray(szVersion, 64), head + QByteArray(64 - head.size(), '\0'));
    QCOMPARE(MyZip::IsVersionedPkg(szVersion), versioned);

    ExpectWarning(QStringLiteral("open zip failed"));
    QCOMPARE(zip.GetPkgVersion(Path8(m_pDir->filePath(QStringLiteral("missing.zip"))), szVersion), -1);
}

void tst_MyZipReader::headerReaderResults_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("warning");
    QTest::newRow("MMS good") << "MMS" << "" << 0 << "";
    QTest::newRow("B610 good") << "B610" << "" << 0 << "";
    QTest::newRow("B400 good") << "B400" << "" << 0 << "";
    QTest::newRow("MMS zero") << "MMS" << "zeroCounts" << -3 << "buh is zero";
    QTest::newRow("B610 zero") << "B610" << "zeroCounts" << -3 << "buh_media is zero";
    QTest::newRow("B400 zero") << "B400" << "zeroCounts" << -3 << "buh_B400 is zero";
    QTest::newRow("missing") << "MMS" << "missing" << -1 << "open zip failed";
    QTest::newRow("truncated header") << "MMS" << "truncate" << -2 << "read BackUpHead failed";
    QTest::newRow("FileCount 1025") << "B400" << "count1025" << -2 << "read BackUpHead failed";
}

void tst_MyZipReader::headerReaderResults()
{
    QFETCH(QString, layout);
    QFETCH(QString, damage);
    QFETCH(int, result);
    QFETCH(QString, warning);
    QByteArray baPackage = PackageFixture::Typical(layout);
    const PackageFixture::Layout table = PackageFixture::GetLayout(layout);
    if (damage == QLatin1String("zeroCounts"))
        baPackage.replace(table.nCountsAt, 4 * table.nCounts, QByteArray(4 * table.nCounts, '\0'));
    if (damage == QLatin1String("truncate"))
        baPackage.truncate(table.nHeadSize - 1);
    if (damage == QLatin1String("count1025"))
        PackageFixture::PutU32(baPackage, table.nFileCountAt, 1025);
    QString strPackage = Write(QStringLiteral("p.zip"), baPackage);
    if (damage == QLatin1String("missing"))
        strPackage += QLatin1String(".gone");

    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[20] = {};
    QByteArray baDevice;
    if (!warning.isEmpty())
        ExpectWarning(warning);
    int nResult = 0;
    if (layout == QLatin1String("MMS"))
        nResult = zip.UnZipPkgHead_MMS(Path8(strPackage), listNames, anCounts, baDevice);
    else if (layout == QLatin1String("B610"))
        nResult = zip.UnZipPkgHead_B610(Path8(strPackage), listNames, anCounts, baDevice);
    else
        nResult = zip.UnZipPkgHead_B400(Path8(strPackage), listNames, anCounts, baDevice);
    QCOMPARE(nResult, result);
    QCOMPARE(listNames.size(), result == 0 ? 2 : 0);
    QCOMPARE(anCounts[0], result == 0 ? 7u : 0u);
}

void tst_MyZipReader::unversionedHeaderChecks_data()
{
    QTest::addColumn<quint32>("fileCount");
    QTest::addColumn<bool>("zeroCounts");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<int>("names");
    QTest::newRow("good") << 3u << false << QStringList() << 3;
    QTest::newRow("FileCount 13") << 13u << false << QStringList{QStringLiteral("fh is not right")} << 0;
    QTest::newRow("FileCount 0") << 0u << false << QStringList{QStringLiteral("fh is not right")} << 0;
    QTest::newRow("all counts zero") << 3u << true
                                     << QStringList{QStringLiteral("fh is zero"), QStringLiteral("old version fh is zero")}
                                     << 0;
}

void tst_MyZipReader::unversionedHeaderChecks()
{
    QFETCH(quint32, fileCount);
    QFETCH(bool, zeroCounts);
    QFETCH(QStringList, warnings);
    QFETCH(int, names);
    QByteArray baPackage = PackageFixture::Typical(QStringLiteral("fh"));
    PackageFixture::PutU32(baPackage, 0, fileCount);
    if (zeroCounts)
        baPackage.replace(270340, 44, QByteArray(44, '\0'));
    const QString strPackage = Write(QStringLiteral("p.zip"), baPackage);
    for (const QString &strWarning : warnings)
        ExpectWarning(strWarning);
    MyZip zip;
    QList<QByteArray> listNames;
    quint32 anCounts[20] = {};
    QByteArray baDevice;
    zip.UnZipPkgHead(Path8(strPackage), listNames, anCounts, baDevice);
    QVERIFY(!zip.IsVersioned());
    QCOMPARE(listNames.size(), names);
}

void tst_MyZipReader::entryNames_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("trailingSeparator");
    QTest::newRow("forward slashes") << QByteArray("C:/x/y/PB.zip") << "PB.zip" << true;
    QTest::newRow("folder without separator") << QByteArray("C:/x/y/PB.zip") << "PB.zip" << false;
    QTest::newRow("backslashes") << QByteArray("C:\\x\\y\\SMS.zip") << "SMS.zip" << false;
    QTest::newRow("mixed") << QByteArray("/a/b\\c/d.txt") << "d.txt" << true;
    QTest::newRow("no separator") << QByteArray("CALLLOG.zip") << "CALLLOG.zip" << false;
    QTest::newRow("ends with separator") << QByteArray("C:/x/") << "" << true;
    QTest::newRow("dot dot") << QByteArray("..") << "" << false;
    QTest::newRow("dot dot behind folder") << QByteArray("a/..") << "" << true;
    QTest::newRow("dot behind backslash") << QByteArray("a\\.") << "" << false;
    QTest::newRow("empty") << QByteArray() << "" << true;
    QTest::newRow("hidden file") << QByteArray("../.profile") << ".profile" << true;
}

void tst_MyZipReader::entryNames()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, written);
    QFETCH(bool, trailingSeparator);
    const QByteArray baPackage = PackageFixture::Build(QStringLiteral("MMS"),
                                                       {{"C:/d/Info.xml", "info"}, {stored, "payload"}, {"C:/d/end", "end"}},
                                                       {1}, "Phone");
    const QString strPackage = Write(QStringLiteral("p.zip"), baPackage);
    const QString strOut = m_pDir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(strOut));
    if (written.isEmpty())
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

void tst_MyZipReader::existingFileReplaced()
{
    const QString strOut = m_pDir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(strOut));
    PackageFixture::WriteFile(strOut + QStringLiteral("/PB.zip"), QByteArray(5000, 'o'));
    const QString strPackage =
        Write(QStringLiteral("p.zip"), PackageFixture::Build(QStringLiteral("MMS"), {{"x/PB.zip", "new"}}, {1}, ""));
    MyZip zip;
    QVERIFY(zip.UnZipPkg_MMS(Path8(strPackage), Path8(strOut)));
    QCOMPARE(PackageFixture::ReadFile(strOut + QStringLiteral("/PB.zip")), QByteArray("new"));
}

QTEST_GUILESS_MAIN(tst_MyZipReader)
#include "tst_myzipreader.moc"
