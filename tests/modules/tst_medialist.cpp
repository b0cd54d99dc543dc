// The media list file: exact bytes, write/read round trip, and how the reader
// treats empty, broken, missing and foreign documents.
#include "MediaInfo.h"
#include "ModuleFixture.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QList<MediaInfo>)

using ModuleFixture::ReadFile;
using ModuleFixture::WriteFile;

class tst_MediaList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exactBytes_data();
    void exactBytes();
    void roundTrip_data();
    void roundTrip();
    void unstorableCharactersKeepTheDocumentReadable();
    void writeIntoMissingFolderFails();
    void readBroken_data();
    void readBroken();

private:
    QString ListPath() const { return m_pDir->filePath(QStringLiteral("ImageList.xml")); }
    std::unique_ptr<QTemporaryDir> m_pDir;
};

void tst_MediaList::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_pDir->isValid(), qPrintable(m_pDir->errorString()));
}

void tst_MediaList::exactBytes_data()
{
    QTest::addColumn<QList<MediaInfo>>("listMedia");
    QTest::addColumn<QByteArray>("baExpected");

    QTest::newRow("two-records-escaped")
        << QList<MediaInfo>{{QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), QStringLiteral("/sdcard/DCIM/a.jpg")},
                            {QStringLiteral("b&c.png"), QStringLiteral("b&c.png"), QStringLiteral("/sdcard/<b>.png")}}
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<filelist>\n    <file>\n"
                      "        <pcname>a (1).jpg</pcname>\n        <phname>a.jpg</phname>\n"
                      "        <phpath>/sdcard/DCIM/a.jpg</phpath>\n    </file>\n    <file>\n"
                      "        <pcname>b&amp;c.png</pcname>\n        <phname>b&amp;c.png</phname>\n"
                      "        <phpath>/sdcard/&lt;b&gt;.png</phpath>\n    </file>\n</filelist>\n");
    QTest::newRow("empty") << QList<MediaInfo>{} << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<filelist/>\n");
}

void tst_MediaList::exactBytes()
{
    QFETCH(QList<MediaInfo>, listMedia);
    QFETCH(QByteArray, baExpected);
#ifdef Q_OS_WIN
    baExpected.replace("\n", "\r\n"); // text mode
#endif
    QVERIFY(g_WriteMediaList(ListPath(), listMedia));
    QCOMPARE(ReadFile(ListPath()), baExpected);
    // An empty list reads as a failure with nothing added.
    QList<MediaInfo> listRead;
    QCOMPARE(g_ReadMediaList(ListPath(), listRead), !listMedia.isEmpty());
    QCOMPARE(listRead, listMedia);
}

void tst_MediaList::roundTrip_data()
{
    QTest::addColumn<QList<MediaInfo>>("listMedia");

    QTest::newRow("xml-special") << QList<MediaInfo>{
        {QStringLiteral("<tag> & \"q\" 'a'.jpg"), QStringLiteral("<tag> & \"q\" 'a'.jpg"), QStringLiteral("/sdcard/]]>/&amp;.jpg")}};
    QTest::newRow("non-latin") << QList<MediaInfo>{
        {QStringLiteral("фото (1).jpg"), QStringLiteral("фото.jpg"), QStringLiteral("/sdcard/Камера/фото.jpg")},
        {QStringLiteral("صورة.jpg"), QStringLiteral("写真.png"), QString::fromUtf8("/sdcard/\xF0\x9F\x98\x80.gif")}};
    QTest::newRow("blanks-and-empty-fields") << QList<MediaInfo>{
        {QStringLiteral("  two  blanks  "), QString(), QStringLiteral("/sdcard/ x ")},
        {QStringLiteral("tab\there"), QStringLiteral("tab\there"), QString()}};
    QList<MediaInfo> listMany;
    for (int i = 0; i < 200; ++i)
        listMany.append({QStringLiteral("IMG_%1.jpg").arg(i), QStringLiteral("I%1").arg(i), QStringLiteral("/p/%1").arg(i)});
    QTest::newRow("many-in-order") << listMany;
}

void tst_MediaList::roundTrip()
{
    QFETCH(QList<MediaInfo>, listMedia);
    // A longer list written first must not survive behind the new one.
    QList<MediaInfo> listLong;
    for (int i = 0; i < 300; ++i)
        listLong.append({QStringLiteral("old%1").arg(i), QStringLiteral("old"), QStringLiteral("/old")});
    QVERIFY(g_WriteMediaList(ListPath(), listLong));
    QVERIFY(g_WriteMediaList(ListPath(), listMedia));
    QList<MediaInfo> listRead;
    QVERIFY(g_ReadMediaList(ListPath(), listRead));
    QCOMPARE(listRead, listMedia);
}

void tst_MediaList::unstorableCharactersKeepTheDocumentReadable()
{
    // A phone name with characters XML cannot carry must not break the
    // document and cost the records after it.
    const QString strBad = QStringLiteral("bad") + QChar(0x01) + QChar(0xd800) + QChar(0xfffe) + QStringLiteral("\r.jpg");
    const QList<MediaInfo> listMedia = {
        {QStringLiteral("bad_.jpg"), strBad, QStringLiteral("/sdcard/") + strBad},
        {QStringLiteral("after.jpg"), QStringLiteral("after.jpg"), QStringLiteral("/sdcard/after.jpg")},
    };
    QVERIFY(g_WriteMediaList(ListPath(), listMedia));
    QList<MediaInfo> listRead;
    QVERIFY(g_ReadMediaList(ListPath(), listRead));
    QCOMPARE(listRead.size(), 2);
    const QString strStored = QStringLiteral("bad") + QString(4, QChar(QChar::ReplacementCharacter)) + QStringLiteral(".jpg");
    QCOMPARE(listRead.at(0).phname, strStored);
    QCOMPARE(listRead.at(0).phpath, QStringLiteral("/sdcard/") + strStored);
    QCOMPARE(listRead.at(1), listMedia.at(1));
}

void tst_MediaList::writeIntoMissingFolderFails()
{
    const QString strPath = m_pDir->filePath(QStringLiteral("missing/ImageList.xml"));
    QVERIFY(!g_WriteMediaList(strPath, {{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("/a")}}));
    QVERIFY(!QFileInfo::exists(m_pDir->filePath(QStringLiteral("missing"))));
}

void tst_MediaList::readBroken_data()
{
    QTest::addColumn<QByteArray>("baDocument"); // "(none)": no file at all
    QTest::addColumn<bool>("bResult");
    QTest::addColumn<QList<MediaInfo>>("listAdded"); // after the record already in the list

    const QByteArray baOne = "<file><pcname>a.jpg</pcname><phname>a.jpg</phname><phpath>/a.jpg</phpath></file>";
    const MediaInfo a{QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), QStringLiteral("/a.jpg")};
    QTest::newRow("truncated-after-one") << "<?xml version=\"1.0\"?><filelist>" + baOne + "<file><pcname>b" << false
                                         << QList<MediaInfo>{a};
    QTest::newRow("mismatched-tag-after-two") << "<filelist>" + baOne + baOne + "<file><pcname>c</phname></file></filelist>"
                                              << false << QList<MediaInfo>{a, a};
    QTest::newRow("missing-root-end") << "<filelist>" + baOne << false << QList<MediaInfo>{a};
    QTest::newRow("garbage") << QByteArray("this is not xml") << false << QList<MediaInfo>{};
    QTest::newRow("empty-file") << QByteArray() << false << QList<MediaInfo>{};
    QTest::newRow("no-file") << QByteArray("(none)") << false << QList<MediaInfo>{};
    QTest::newRow("nested-element-in-field") << QByteArray("<filelist><file><pcname><b/></pcname></file></filelist>")
                                             << false << QList<MediaInfo>{};
    // The root's name is not checked, unknown elements are skipped and
    // missing fields stay empty.
    QTest::newRow("foreign-root-and-elements")
        << QByteArray("<other><file><x>1</x><phpath>/b</phpath><pcname>b</pcname></file><file><pcname>c</pcname></file></other>")
        << true
        << QList<MediaInfo>{{QStringLiteral("b"), QString(), QStringLiteral("/b")}, {QStringLiteral("c"), QString(), QString()}};
}

void tst_MediaList::readBroken()
{
    QFETCH(QByteArray, baDocument);
    QFETCH(bool, bResult);
    QFETCH(QList<MediaInfo>, listAdded);
    if (baDocument != "(none)")
        QVERIFY(WriteFile(ListPath(), baDocument));
    const MediaInfo existing{QStringLiteral("kept"), QStringLiteral("kept"), QStringLiteral("/kept")};
    QList<MediaInfo> listRead{existing};
    QCOMPARE(g_ReadMediaList(ListPath(), listRead), bResult);
    QCOMPARE(listRead, QList<MediaInfo>{existing} + listAdded);
    // Reading never creates the file.
    QCOMPARE(QFileInfo::exists(ListPath()), baDocument != "(none)");
}

QTEST_GUILESS_MAIN(tst_MediaList)
#include "tst_medialist.moc"
