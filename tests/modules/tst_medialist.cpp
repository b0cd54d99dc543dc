// The media list file: exact bytes, write/read round trip, and how the reader
// treats empty, broken, missing and foreign documents.
#include "MediaInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QList<MediaInfo>)

namespace
{
QByteArray ReadAll(const QString &strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool WriteAll(const QString &strPath, const QByteArray &baData)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(baData) == baData.size();
}

// The bytes as they land on disk: text mode gives CR LF on Windows.
QByteArray OnDisk(QByteArray baText)
{
#ifdef Q_OS_WIN
    baText.replace("\n", "\r\n");
#endif
    return baText;
}
} // namespace

class tst_MediaList : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void exactBytes();
    void emptyListBytesAndRead();
    void roundTrip_data();
    void roundTrip();
    void unstorableCharactersKeepTheDocumentReadable();
    void writeReplacesWholeFile();
    void writeIntoMissingFolderFails();

    void readBroken_data();
    void readBroken();
    void readAppendsAndIgnoresForeignElements();
    void readMissingFileDoesNotCreateIt();

private:
    QString ListPath() const { return m_pDir->filePath(QStringLiteral("ImageList.xml")); }
    std::unique_ptr<QTemporaryDir> m_pDir;
};

void tst_MediaList::init()
{
    m_pDir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_pDir->isValid(), qPrintable(m_pDir->errorString()));
}

void tst_MediaList::exactBytes()
{
    const QList<MediaInfo> listMedia = {
        {QStringLiteral("a (1).jpg"), QStringLiteral("a.jpg"), QStringLiteral("/sdcard/DCIM/a.jpg")},
        {QStringLiteral("b&c.png"), QStringLiteral("b&c.png"), QStringLiteral("/sdcard/<b>.png")},
    };
    QVERIFY(g_WriteMediaList(ListPath(), listMedia));
    const QByteArray baExpected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<filelist>\n"
                                  "    <file>\n"
                                  "        <pcname>a (1).jpg</pcname>\n"
                                  "        <phname>a.jpg</phname>\n"
                                  "        <phpath>/sdcard/DCIM/a.jpg</phpath>\n"
                                  "    </file>\n"
                                  "    <file>\n"
                                  "        <pcname>b&amp;c.png</pcname>\n"
                                  "        <phname>b&amp;c.png</phname>\n"
                                  "        <phpath>/sdcard/&lt;b&gt;.png</phpath>\n"
                                  "    </file>\n"
                                  "</filelist>\n";
    QCOMPARE(ReadAll(ListPath()), OnDisk(baExpected));
}

void tst_MediaList::emptyListBytesAndRead()
{
    QVERIFY(g_WriteMediaList(ListPath(), {}));
    QCOMPARE(ReadAll(ListPath()), OnDisk("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<filelist/>\n"));

    QList<MediaInfo> listRead;
    QVERIFY(!g_ReadMediaList(ListPath(), listRead));
    QVERIFY(listRead.isEmpty());
}

void tst_MediaList::roundTrip_data()
{
    QTest::addColumn<QList<MediaInfo>>("listMedia");

    QTest::newRow("plain") << QList<MediaInfo>{
        {QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), QStringLiteral("/sdcard/DCIM/a.jpg")}};
    QTest::newRow("xml-special") << QList<MediaInfo>{
        {QStringLiteral("<tag> & \"q\" 'a'.jpg"), QStringLiteral("<tag> & \"q\" 'a'.jpg"),
         QStringLiteral("/sdcard/]]>/&amp;.jpg")}};
    QTest::newRow("non-latin") << QList<MediaInfo>{
        {QStringLiteral("фото (1).jpg"), QStringLiteral("фото.jpg"), QStringLiteral("/sdcard/Камера/фото.jpg")},
        {QStringLiteral("写真.png"), QStringLiteral("写真.png"), QStringLiteral("/sdcard/写真.png")},
        {QStringLiteral("صورة.jpg"), QStringLiteral("صورة.jpg"), QStringLiteral("/sdcard/صورة.jpg")},
        {QString::fromUtf8("\xF0\x9F\x98\x80.gif"), QString::fromUtf8("\xF0\x9F\x98\x80.gif"),
         QString::fromUtf8("/sdcard/\xF0\x9F\x98\x80.gif")}};
    QTest::newRow("sanitised-name") << QList<MediaInfo>{
        {QStringLiteral("_etc_passwd"), QStringLiteral("/etc/passwd"), QStringLiteral("/etc/passwd")},
        {QStringLiteral(".._x.jpg"), QStringLiteral("../x.jpg"), QStringLiteral("/sdcard/../x.jpg")}};
    QTest::newRow("blanks-and-empty-fields") << QList<MediaInfo>{
        {QStringLiteral("  two  blanks  "), QString(), QStringLiteral("/sdcard/ x ")},
        {QStringLiteral("tab\there"), QStringLiteral("tab\there"), QString()}};

    QList<MediaInfo> listMany;
    for (int i = 0; i < 200; ++i)
        listMany.append({QStringLiteral("IMG_%1.jpg").arg(i), QStringLiteral("IMG_%1.jpg").arg(i),
                         QStringLiteral("/sdcard/DCIM/IMG_%1.jpg").arg(i)});
    QTest::newRow("many-in-order") << listMany;
}

void tst_MediaList::roundTrip()
{
    QFETCH(QList<MediaInfo>, listMedia);
    QVERIFY(g_WriteMediaList(ListPath(), listMedia));
    QList<MediaInfo> listRead;
    QVERIFY(g_ReadMediaList(ListPath(), listRead));
    QCOMPARE(listRead.size(), listMedia.size());
    for (int i = 0; i < listMedia.size(); ++i) {
        QCOMPARE(listRead.at(i).pcname, listMedia.at(i).pcname);
        QCOMPARE(listRead.at(i).phname, listMedia.at(i).phname);
        QCOMPARE(listRead.at(i).phpath, listMedia.at(i).phpath);
    }
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

void tst_MediaList::writeReplacesWholeFile()
{
    QList<MediaInfo> listLong;
    for (int i = 0; i < 20; ++i)
        listLong.append({QStringLiteral("%1.jpg").arg(i), QStringLiteral("%1.jpg").arg(i), QStringLiteral("/p/%1").arg(i)});
    QVERIFY(g_WriteMediaList(ListPath(), listLong));
    const QList<MediaInfo> listShort = {{QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("/x")}};
    QVERIFY(g_WriteMediaList(ListPath(), listShort));
    QList<MediaInfo> listRead;
    QVERIFY(g_ReadMediaList(ListPath(), listRead));
    QCOMPARE(listRead, listShort);
}

void tst_MediaList::writeIntoMissingFolderFails()
{
    const QString strPath = m_pDir->filePath(QStringLiteral("missing/ImageList.xml"));
    QVERIFY(!g_WriteMediaList(strPath, {{QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("/a")}}));
    QVERIFY(!QFileInfo::exists(strPath));
    QVERIFY(!QFileInfo::exists(m_pDir->filePath(QStringLiteral("missing"))));
}

void tst_MediaList::readBroken_data()
{
    QTest::addColumn<QByteArray>("baDocument");
    QTest::addColumn<int>("nKept");

    const QByteArray baOne = "<file><pcname>a.jpg</pcname><phname>a.jpg</phname><phpath>/a.jpg</phpath></file>";
    QTest::newRow("truncated-after-one") << QByteArray("<?xml version=\"1.0\"?><filelist>" + baOne + "<file><pcname>b") << 1;
    QTest::newRow("mismatched-tag-after-two")
        << QByteArray("<filelist>" + baOne + baOne + "<file><pcname>c</phname></file></filelist>") << 2;
    QTest::newRow("missing-root-end") << QByteArray("<filelist>" + baOne) << 1;
    QTest::newRow("garbage") << QByteArray("this is not xml") << 0;
    QTest::newRow("empty-file") << QByteArray() << 0;
    QTest::newRow("nested-element-in-field") << QByteArray("<filelist><file><pcname><b/></pcname></file></filelist>") << 0;
}

void tst_MediaList::readBroken()
{
    QFETCH(QByteArray, baDocument);
    QFETCH(int, nKept);
    QVERIFY(WriteAll(ListPath(), baDocument));
    QList<MediaInfo> listRead;
    QVERIFY(!g_ReadMediaList(ListPath(), listRead));
    QCOMPARE(listRead.size(), nKept);
    for (const MediaInfo &info : std::as_const(listRead))
        QCOMPARE(info, (MediaInfo{QStringLiteral("a.jpg"), QStringLiteral("a.jpg"), QStringLiteral("/a.jpg")}));
}

void tst_MediaList::readAppendsAndIgnoresForeignElements()
{
    // The root's name is not checked and unknown elements are skipped; a
    // record's missing fields stay empty; reading appends to the list.
    QVERIFY(WriteAll(ListPath(), "<other><file><x>1</x><phpath>/b</phpath><pcname>b</pcname></file>"
                                 "<file><pcname>c</pcname></file></other>"));
    const MediaInfo existing{QStringLiteral("kept"), QStringLiteral("kept"), QStringLiteral("/kept")};
    QList<MediaInfo> listRead{existing};
    QVERIFY(g_ReadMediaList(ListPath(), listRead));
    QCOMPARE(listRead.size(), 3);
    QCOMPARE(listRead.at(0), existing);
    QCOMPARE(listRead.at(1), (MediaInfo{QStringLiteral("b"), QString(), QStringLiteral("/b")}));
    QCOMPARE(listRead.at(2), (MediaInfo{QStringLiteral("c"), QString(), QString()}));
}

void tst_MediaList::readMissingFileDoesNotCreateIt()
{
    QList<MediaInfo> listRead;
    QVERIFY(!g_ReadMediaList(ListPath(), listRead));
    QVERIFY(listRead.isEmpty());
    QVERIFY(!QFileInfo::exists(ListPath()));
    QVERIFY(QDir(m_pDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(tst_MediaList)
#include "tst_medialist.moc"
